#!/bin/sh
# Checks that this machine has what the named jobs need:
#   build    a C++20 compiler (g++ 12 or newer, or the compiler CXX names), CMake, and GNU
#            Wget, which wget.exe in every work directory starts;
#   tests    GoogleTest;
#   browser  Chromium, for the test that opens the indexer's pages; that test is skipped
#            without it, so a missing Chromium is only a warning;
#   windows  MinGW-w64 (the POSIX-threads g++ for 64-bit Windows) and Wine, to cross-build
#            the Windows programs and run their tests; tmux, for the checks in a terminal
#            under Wine (skipped without it, so a missing tmux is only a warning).
# As root on a machine with apt-get, installs what is missing. Otherwise prints the command
# that would install it and, when something other than Chromium or tmux is missing, ends with
# status 1.
# Usage: scripts/need.sh build|tests|browser|windows ...
[ $# -gt 0 ] || set -- -h
for job in "$@"; do
  case $job in
    build | tests | browser | windows) ;;
    *) echo "usage: $0 build|tests|browser|windows ..." >&2; exit 2 ;;
  esac
done

have() { command -v "$1" >/dev/null 2>&1; }

# The compiler CMake would take (CXX, else the first of its usual names) has to accept C++20;
# a g++ has to be 12 or newer, the oldest the suite is built with.
cxx_ok() {
  cxx=${CXX:-}
  if [ -z "$cxx" ]; then
    for c in c++ g++ clang++; do
      if have "$c"; then cxx=$c; break; fi
    done
  fi
  [ -n "$cxx" ] || return 1
  printf '%s\n' '#if __cplusplus < 202002L' '#error C++20' '#endif' \
    '#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ < 12' '#error g++ 12' '#endif' |
    $cxx -std=c++20 -fsyntax-only -x c++ - >/dev/null 2>&1
}

# Sets $required and $optional to the Debian packages of what is missing.
survey() {
  required=
  optional=
  for job in "$@"; do
    case $job in
      build)
        cxx_ok || required="$required g++"
        have cmake || required="$required cmake"
        have wget || required="$required wget"
        ;;
      tests)
        [ -f /usr/include/gtest/gtest.h ] || [ -f /usr/local/include/gtest/gtest.h ] ||
          required="$required libgtest-dev"
        ;;
      browser)
        have chromium || have chromium-browser || optional="$optional chromium"
        ;;
      windows)
        have x86_64-w64-mingw32-g++-posix || required="$required g++-mingw-w64-x86-64-posix"
        have wine || have wine64 || required="$required wine64 wine"
        have tmux || optional="$optional tmux"
        ;;
    esac
  done
}

what() {
  case $1 in
    g++) echo "a C++20 compiler: g++ 12 or newer${CXX:+ (CXX=$CXX is not one)}" ;;
    cmake) echo "CMake" ;;
    wget) echo "GNU Wget (wget.exe in a work directory starts it)" ;;
    libgtest-dev) echo "GoogleTest (gtest/gtest.h), for the tests" ;;
    chromium) echo "Chromium, for the browser test (skipped without it)" ;;
    g++-mingw-w64-x86-64-posix) echo "MinGW-w64 g++ (POSIX threads), for the Windows build" ;;
    wine64) echo "Wine, to run the Windows build's tests" ;;
    wine) ;;
    tmux) echo "tmux, for the Windows programs' checks in a terminal (skipped without it)" ;;
  esac
}

survey "$@"
[ -n "$required$optional" ] || exit 0

still=
if [ "$(id -u)" = 0 ] && have apt-get; then
  echo "installing:$required$optional"
  # Where Chromium is not packaged as "chromium", the rest is still installed.
  { apt-get update -q && apt-get install -y -q $required $optional; } ||
    { [ -n "$required" ] && [ -n "$optional" ] && apt-get install -y -q $required; }
  survey "$@"
  [ -n "$required$optional" ] || exit 0
  still="still "
fi

for p in $required $optional; do
  # A package that comes with another one (wine with wine64) is not named twice.
  m=$(what "$p")
  [ -z "$m" ] || echo "${still}missing: $m" >&2
done
if [ -z "$still" ]; then
  if have apt-get; then
    echo "install with:  sudo apt-get install -y$required$optional" >&2
  else
    echo "install them with the system's package manager (Debian names:$required$optional)" >&2
  fi
fi
[ -z "$required" ] || exit 1
echo "warning: going on without Chromium" >&2
