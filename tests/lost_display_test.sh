#!/usr/bin/env bash
# The display goes away under a running game (its Xvfb killed): the game saves as a normal
# closing would. Run from an unpacked folder named in Shift_JIS (its files must be found from
# the executable's path), and installed into a prefix with the table an older version left
# beside the executable (moved with its time to the configuration folder; nothing written
# under the prefix, whoever runs the test, root included).
# Usage: lost_display_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
for tool in Xvfb xdotool iconv; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
xvfb=""
game=""
cleanup() {
  [ -n "$game" ] && kill -9 "$game" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A table written at 2024-03-05 07:09, its file's time agreeing with its stamp.
old_table() {
  printf '"%s"\r\n"12"\r\n"ゆう"\r\n7\r\n4200\r\n' 'タールニックス Ver1.01 設定ファイル [2403050709]' |
    iconv -f UTF-8 -t CP932 >"$1"
  for _ in 1 2 3 4; do printf '""\r\n0\r\n0\r\n' >>"$1"; done
  touch -d '2024-03-05 07:09:30' "$1"
}

# The desktop's opener, stubbed to record what it is given.
mkdir "$work/bin"
printf '#!/bin/sh\nprintf %%s "$1" >"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

# Runs the executable $1 under a fresh Xvfb until its window shows, then runs $2 (if any),
# kills the display and waits for the game to end.
run_and_lose_display() {
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -1 "$work/display")"
  PATH="$work/bin:$PATH" QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy \
    XDG_CONFIG_HOME="$work/config" "$1" 2>"$work/stderr" &
  game=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$game" | head -1)
  [ -n "$window" ] || fail "no game window"
  sleep 1  # into the main loop
  "${2:-true}"
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  xvfb=""
  for _ in $(seq 300); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$game" 2>/dev/null && fail "the game outlived its display"
  wait "$game" || true
  game=""
  grep -q "X11 connection broke" "$work/stderr" || fail "the display was not lost: $(cat "$work/stderr")"
}

saved_as_closing() {
  [ -f "$1" ] || fail "nothing saved at $1"
  local text
  text=$(iconv -f CP932 -t UTF-8 <"$1" | tr -d '\r')
  [ "$(sed -n 2p <<<"$text")" = '"12"' ] || fail "options not as loaded (sound found?): $text"
  [ "$(sed -n 3p <<<"$text")" = '"ゆう"' ] || fail "table not kept: $text"
  grep -q '\[2403050709\]' <<<"$text" && fail "the file was not written again"
  true
}

# Unpacked into a folder named タール in Shift_JIS.
folder="$work/"$'\x83\x5e\x81\x5b\x83\x8b'
mkdir "$folder"
cp "$build/tarnix" "$build"/*.wav "$build/Readme.txt" "$folder/"
old_table "$folder/Tarnix.ini"
open_readme() {
  xdotool windowfocus --sync "$window" key alt+h sleep 0.5 key r
  for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
  [ "$(cat "$work/opened" 2>/dev/null)" = "$folder/Readme.txt" ] ||
    fail "the readme was not opened by its path"
}
run_and_lose_display "$folder/tarnix" open_readme
saved_as_closing "$folder/Tarnix.ini"
[ -f "$folder/tarnix.conf" ] || fail "the port's options were not saved beside the table"
[ -e "$work/config/tarnix" ] && fail "an unpacked game wrote into the configuration folder"

# Installed.
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
marker=$(find "$prefix" -type f -name installed | head -1)
[ -n "$marker" ] || fail "no install marker"
exe="$(dirname "$marker")/tarnix"
[ -x "$exe" ] || fail "no executable beside the install marker"
# Folders by name only: taking the old table out changes its folder's time.
listing() { find "$prefix" \( -type d -printf '%p\n' \) -o -printf '%p %s %T@ %m\n' | sort; }
before=$(listing)
# Moved without its time, the table would be rejected with a message, and never saved again.
old_table "$(dirname "$exe")/Tarnix.ini"
run_and_lose_display "$exe"
saved_as_closing "$work/config/tarnix/Tarnix.ini"
[ "$(listing)" = "$before" ] || fail "written under the prefix: $(diff <(echo "$before") <(listing))"

echo "lost display: saved from a Shift_JIS folder (readme and sounds found) and from an install; old table moved with its time"
