#ifndef LISTSTRUCT_HTML_RENDER_H_
#define LISTSTRUCT_HTML_RENDER_H_

/// The HTML output, read again for the body copy and handed to the indexer.
inline constexpr char kHtmlOutputFile[] = "list_03_list.htm";

/// Renders list_03_utf.txt (a fresh copy of the structured text list_03_list.txt) as
/// list_03_list.htm: chapter headings with their IDs, cross-reference links, web and file
/// links, escaping of < and >, and table blocks (cut through list_03_table.txt). The chapter
/// rows come from the rows file of chapter_table.h, which describes the lines of
/// list_03.txt; the structured text follows them line for line.
void RenderHtml();

/// list_03_com_ndx.txt: list_03_list.htm without the lines that are, trimmed and in any
/// case, exactly <pre>, </pre>, <body> or </body>.
void WriteHtmlBodyCopy();

#endif  // LISTSTRUCT_HTML_RENDER_H_
