#!/usr/bin/env bash
# scripts/setup.sh on a PATH of stubs that log what they are asked to do: sudo when there is
# one, su when a terminal can ask for the root password, otherwise the exact apt-get line and a
# stop; without apt, the packages by name and a stop.
# Usage: setup_test.sh SETUP_SCRIPT
set -uo pipefail
setup=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stubs=$work/bin
log=$work/log
failures=0

stub() {
  printf '#!/bin/bash\n%s\n' "$2" >"$stubs/$1"
  chmod +x "$stubs/$1"
}
# A user's machine where nothing is installed yet.
reset_stubs() {
  rm -rf "$stubs" && mkdir -p "$stubs" && : >"$log"
  stub id 'echo 1000'
  stub dpkg-query 'exit 1'
  stub apt-get 'echo "apt-get $*" >>"$LOG"'
  stub sudo 'echo sudo >>"$LOG"; exec "$@"'
  stub su '[ "$1" = -c ] || exit 9; echo su >>"$LOG"; exec /bin/bash -c "$2"'
}
run() { env -i PATH="$stubs" LOG="$log" /bin/bash "$setup" "$@"; }
check() {  # check WHAT CONDITION...
  local what=$1; shift
  if ! "$@"; then
    echo "FAILED: $what"
    echo "--- output:"; cat "$work/out"; echo "--- log:"; cat "$log"
    failures=$((failures + 1))
  fi
}
has() { grep -qF -- "$2" "$1"; }
lacks() { ! grep -qF -- "$2" "$1"; }

reset_stubs
run >"$work/out" 2>&1 </dev/null
status=$?
check "with sudo, the set-up succeeds" test $status -eq 0
check "with sudo, apt-get runs through sudo" \
  test "$(head -n 3 "$log" | tr '\n' ' ')" = "sudo apt-get update -qq sudo "
check "make play installs the game's build needs" has "$log" "qt6-base-dev"
check "make play installs no test tools" lacks "$log" "libgtest-dev"

reset_stubs
run --test >"$work/out" 2>&1 </dev/null
check "make test installs the test tools and lintian" \
  grep -qE '^apt-get install .*libgtest-dev.* lintian' "$log"

reset_stubs
stub dpkg-query 'echo "install ok installed"'
run --test >"$work/out" 2>&1 </dev/null
status=$?
check "with everything installed, the set-up succeeds and does nothing" \
  test $status -eq 0 -a ! -s "$log"

reset_stubs
rm "$stubs/sudo"
script -qec "env -i PATH='$stubs' LOG='$log' /bin/bash '$setup'" /dev/null >"$work/out" 2>&1
check "without sudo, on a terminal, su runs apt-get" \
  test "$(head -n 2 "$log" | tr '\n' ' ')" = "su apt-get update -qq "
check "without sudo, on a terminal, su installs the packages" \
  grep -qE '^apt-get install .*qt6-base-dev' <(sed -n 3p "$log")

reset_stubs
rm "$stubs/sudo"
run >"$work/out" 2>&1 </dev/null
status=$?
check "without sudo or a terminal, the set-up stops with status 1" test $status -eq 1
check "without sudo or a terminal, nothing runs" test ! -s "$log"
check "without sudo or a terminal, it prints the command for root" \
  grep -qE '^  apt-get update && apt-get install --no-install-recommends g\+\+ .*qt6-base-dev' "$work/out"

reset_stubs
rm "$stubs/apt-get" "$stubs/dpkg-query"
run --test >"$work/out" 2>&1 </dev/null
status=$?
check "without apt, the set-up stops with status 1" test $status -eq 1
check "without apt, it names the Debian packages" has "$work/out" "Debian names: g++ cmake"
check "without apt, it names the Fedora packages" \
  grep -qE '^  Fedora names: gcc-c\+\+ .*qt6-qtbase-devel .*SDL2-devel' "$work/out"
check "without apt, it names what has no known Fedora name" has "$work/out" "provides: lintian"

[ $failures -eq 0 ] && echo "set-up: sudo, su, no root, no apt and nothing missing all behave"
exit $((failures > 0))
