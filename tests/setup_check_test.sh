#!/bin/sh
# Runs scripts/need.sh with a PATH of stand-ins that lacks one tool or another: as a user
# (through setpriv when this runs as root), and as root with an apt-get stand-in that records
# its arguments and makes the named commands appear. Nothing is installed.
unset CXX
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
# need.sh runs from a copy: the user the cases switch to may not be able to read the checkout
# (a clone inside a folder only root may enter).
need="$tmp/need.sh"
cp "$(dirname "$0")/../scripts/need.sh" "$need" || exit 1
chmod 644 "$need"
log="$tmp/apt.log"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for c in c++ g++ clang++; do
  cxx=$(command -v "$c") && break
done
chmod=$(command -v chmod)

# A fresh $tmp/bin holding id and the named tools: c++ is the real compiler, apt-get the
# stand-in, anything else an empty script.
tools() {
  rm -rf "$tmp/bin" "$log"
  mkdir "$tmp/bin"
  : >"$log"
  "$chmod" 666 "$log"
  ln -s "$(command -v id)" "$tmp/bin/id"
  for t in "$@"; do
    case $t in
      c++) ln -s "$cxx" "$tmp/bin/c++" ;;
      apt-get)
        # Fails, as on Ubuntu, when asked for chromium while $tmp/no_chromium exists.
        cat >"$tmp/bin/apt-get" <<EOF
#!/bin/sh
echo "\$*" >>"$log"
[ "\$1" = install ] || exit 0
case " \$* " in *" chromium "*) [ ! -e "$tmp/no_chromium" ] || exit 100 ;; esac
for p; do
  case \$p in -* | install) ;; *) printf '#!/bin/sh\n' >"$tmp/bin/\$p" && "$chmod" 755 "$tmp/bin/\$p" ;; esac
done
EOF
        "$chmod" 755 "$tmp/bin/apt-get"
        ;;
      *) printf '#!/bin/sh\n' >"$tmp/bin/$t" && "$chmod" 755 "$tmp/bin/$t" ;;
    esac
  done
}

# run user|root JOB...: need.sh's output in $out, its status in $rc.
run() {
  who=$1
  shift
  if [ "$who" = user ] && [ "$(id -u)" = 0 ]; then
    set -- setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
  fi
  out=$("$@" 2>&1)
  rc=$?
}
# need user|root JOB...: runs need.sh with only $tmp/bin on PATH.
need() {
  who=$1
  shift
  run "$who" env PATH="$tmp/bin" /bin/sh "$need" "$@"
}
expect() {  # expect CASE RC PATTERN: the status and a shell pattern the output must match
  [ "$rc" = "$2" ] || fail "$1: status $rc, not $2: $out"
  case $out in $3) ;; *) fail "$1: output does not match '$3': $out" ;; esac
}
apt_log() {  # apt_log CASE TEXT: what apt-get was called with, one call a line
  [ "$(cat "$log")" = "$2" ] || fail "$1: apt-get calls '$(cat "$log")', not '$2'"
}

tools c++ cmake wget chromium apt-get
need user build browser
expect "all there" 0 ""
apt_log "all there" ""

tools c++ wget chromium apt-get
need user build browser
expect "no cmake, user" 1 "*sudo apt-get install -y cmake"
apt_log "no cmake, user" ""

tools wget chromium
need user build
expect "no compiler, no cmake, no apt-get" 1 "*C++20 compiler*CMake*Debian names: g++ cmake)"

tools c++ cmake wget apt-get
need user build browser
expect "no chromium, user" 0 "*sudo apt-get install -y chromium*warning*"
apt_log "no chromium, user" ""

if [ "$(id -u)" = 0 ]; then
  tools c++ wget apt-get
  need root build browser
  expect "no cmake, no chromium, root" 0 "installing: cmake chromium"
  apt_log "no cmake, no chromium, root" "update -q
install -y -q cmake chromium"

  touch "$tmp/no_chromium"
  tools c++ wget apt-get
  need root build browser
  expect "chromium not packaged, root" 0 "*still missing: Chromium*warning*"
  apt_log "chromium not packaged, root" "update -q
install -y -q cmake chromium
install -y -q cmake"
  [ -x "$tmp/bin/cmake" ] || fail "chromium not packaged, root: cmake was not installed"
else
  echo "not root: the cases that install are skipped"
fi

[ "$failures" = 0 ] && echo "all cases passed"
exit "$failures"
