#ifndef LISTSTRUCT_CSV_OUTPUT_H_
#define LISTSTRUCT_CSV_OUTPUT_H_

/// The CSV output, copied to its time-stamped name afterwards.
inline constexpr char kCsvOutputFile[] = "list_04.csv";

/// list_04.csv from list_03_list.txt: an empty first line, then one record per chapter,
/// "mark line;title;body", with each sub-chapter shifted three fields right per full stop
/// of its mark. Fields are not quoted: the list must hold no semicolons.
void WriteCsv();

#endif  // LISTSTRUCT_CSV_OUTPUT_H_
