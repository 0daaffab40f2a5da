#include "common/wildcards.h"

#include <string>

#include "common/text.h"

namespace {

bool GlobMatch(std::string_view name, std::string_view pattern) {
  // Iterative matcher with one backtracking point per "*".
  size_t n = 0, p = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    // A '*' of the pattern is a wildcard even where the name holds a '*' too.
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++n, ++p;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool HasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string::npos; }

// Windows wildcard rules, without regard to case: "*.*" is everything, a trailing "." asks
// for names without a dot, and "x.*" also matches "x".
bool NameMatches(std::string_view name, std::string_view pattern) {
  std::string n = LowerAscii(name);
  std::string p = LowerAscii(pattern);
  if (p == "*.*" || p == "*") return true;
  if (EndsWith(p, ".") && !EndsWith(p, "..")) {
    return n.find('.') == std::string::npos && GlobMatch(n, p.substr(0, p.size() - 1));
  }
  if (GlobMatch(n, p)) return true;
  if (EndsWith(p, ".*") && n.find('.') == std::string::npos) {
    return GlobMatch(n, p.substr(0, p.size() - 2));
  }
  return false;
}
