#ifndef INDEXER_SEARCH_QUERY_H_
#define INDEXER_SEARCH_QUERY_H_

/// The text of a web-search link's query, encoded for the href that holds it.

#include <string>
#include <string_view>

#include "common/line_files.h"

/// What the text given to SearchQueryPart is: words taken from the HTML of a page, whose
/// character references ("&amp;", "&#35;") the page shows decoded, or plain typed text.
enum class QueryText { kMarkup, kPlain };

/// `text` as it is written into the query of a web-search link (inside href="..."), so that
/// the query a browser sends holds `text` as the browser reads it in an attribute. Only the
/// bytes that would end the attribute or change the query are changed, to their percent
/// escapes: '"', '#', '+', '%', tab, line ends, and '&' where it stands for itself. In
/// markup, a character reference that stands for one of them is replaced by that escape; any
/// other reference is left for the browser to decode. An '&' followed by a name and ';'
/// counts as a reference, and so does one of the older names a browser also reads without
/// ';' ("copy", "sup1", ...) where no letter, digit or '=' follows it.
std::string SearchQueryPart(std::string_view text, QueryText kind);

/// Writes `text` to `out` encoded as SearchQueryPart encodes it, without a copy.
void WriteSearchQuery(LineWriter* out, std::string_view text, QueryText kind);

#endif  // INDEXER_SEARCH_QUERY_H_
