#ifndef LISTSTRUCT_HTML_RENDER_H_
#define LISTSTRUCT_HTML_RENDER_H_

#include "liststruct/chapter_table.h"

/// Renders list_03_utf.txt (the structured text) as list_03_list.htm: chapter headings with
/// their IDs, cross-reference links, web and file links, escaping, and table blocks
/// (cut through list_03_table.txt).
void RenderHtml(const ChapterTable& table);

#endif  // LISTSTRUCT_HTML_RENDER_H_
