#ifndef LISTSTRUCT_CSV_OUTPUT_H_
#define LISTSTRUCT_CSV_OUTPUT_H_

/// list_03_com_ndx.txt: list_03_list.htm without its pre and body tag lines.
void WriteHtmlBodyCopy();

/// list_04.csv from list_03_list.txt: one record per chapter, deeper chapters shifted right.
void WriteCsv();

#endif  // LISTSTRUCT_CSV_OUTPUT_H_
