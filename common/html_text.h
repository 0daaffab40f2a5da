#ifndef COMMON_HTML_TEXT_H_
#define COMMON_HTML_TEXT_H_

/// Text put into an HTML page, escaped for where it stands. Each form changes only the
/// characters it names; every other byte, UTF-8 included, stays as it is.

#include <string>
#include <string_view>

/// Text shown between tags: '&', '<' and '>' as character references.
std::string HtmlText(std::string_view text);

/// Text that may also stand in a double-quoted attribute value: as HtmlText, and '"' as
/// "&quot;".
std::string HtmlAttributeText(std::string_view text);

/// Text that keeps its own character references but opens no tag: only '<' and '>' as
/// "&lt;" and "&gt;".
std::string HtmlWithoutTags(std::string_view text);

/// An address as a double-quoted href value: '"', which would end the attribute, as "%22".
std::string HrefAddress(std::string_view address);

#endif  // COMMON_HTML_TEXT_H_
