#include "common/html_text.h"

namespace {

// `text` with every character that `replacement` gives a text for replaced by it.
template <typename Replacement>
std::string Replaced(std::string_view text, Replacement replacement) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const std::string_view instead = replacement(c);
    if (instead.empty()) {
      out += c;
    } else {
      out += instead;
    }
  }
  return out;
}

std::string_view AngleBracketReference(char c) {
  switch (c) {
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    default:
      return {};
  }
}

std::string_view TextReference(char c) {
  return c == '&' ? std::string_view("&amp;") : AngleBracketReference(c);
}

}  // namespace

std::string HtmlText(std::string_view text) { return Replaced(text, TextReference); }

std::string HtmlAttributeText(std::string_view text) {
  return Replaced(text,
                  [](char c) { return c == '"' ? std::string_view("&quot;") : TextReference(c); });
}

std::string HtmlWithoutTags(std::string_view text) { return Replaced(text, AngleBracketReference); }

std::string HrefAddress(std::string_view address) {
  return Replaced(address,
                  [](char c) { return c == '"' ? std::string_view("%22") : std::string_view(); });
}
