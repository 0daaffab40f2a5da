#ifndef COMMON_WILDCARDS_H_
#define COMMON_WILDCARDS_H_

#include <string_view>

/// Windows wildcards, matched without regard to case: "*" and "?", where "*.*" is every
/// name, a trailing "." asks for names without a dot, and "x.*" also matches "x".
bool HasWildcard(std::string_view name);
bool NameMatches(std::string_view name, std::string_view pattern);

#endif  // COMMON_WILDCARDS_H_
