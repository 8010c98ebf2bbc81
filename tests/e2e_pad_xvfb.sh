#!/usr/bin/env bash
# The pad-only games of e2e_pad_test.cpp on a real display: Xvfb at a laptop's size, Qt's xcb
# platform, SDL's virtual pad. Nothing but the pad drives them.
# Usage: e2e_pad_xvfb.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
work=$(mktemp -d)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy \
  HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" \
  "$build/tests/tarnix_tests" --gtest_filter='PadE2ETest.*'
