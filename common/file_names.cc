#include "common/file_names.h"

#include <algorithm>

#include "common/text.h"

bool IsHoldableName(std::string_view name) {
  return std::none_of(name.begin(), name.end(),
                      [](char c) { return c == '\\' || static_cast<unsigned char>(c) < 32; });
}

bool IsWindowsReservedName(std::string_view name) {
  if (name.empty()) return false;
  if (name.find_first_of("*?\"<>|:") != std::string_view::npos) return true;
  if (name.back() == '.' || name.back() == ' ') return true;
  // The device name is what stands before the first dot, blanks at its end ignored.
  std::string stem = LowerAscii(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul") return true;
  return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
         stem[3] >= '1' && stem[3] <= '9';
}

std::string EscapedName(std::string_view name) {
  std::string escaped;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\t') {
      escaped += "\\t";
    } else if (byte < 32) {
      const char* digits = "0123456789abcdef";
      escaped += {'\\', 'x', digits[byte >> 4], digits[byte & 15]};
    } else {
      escaped += c;
    }
  }
  return escaped;
}

void SplitFolderAndName(std::string_view name, std::string* folder, std::string* base) {
  size_t cut = name.find_last_of("\\/");
  if (cut == std::string_view::npos) {
    folder->clear();
    *base = std::string(name);
  } else {
    *folder = std::string(name.substr(0, cut));
    *base = std::string(name.substr(cut + 1));
  }
}
