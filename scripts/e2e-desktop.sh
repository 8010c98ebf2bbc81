#!/usr/bin/env bash
# The real game on a real X display (Xvfb): a running game pauses when another window takes
# the focus, and SIGTERM during play or over an open menu saves and ends it with status 0.
# Usage: e2e-desktop.sh BUILD_DIR [SHOTS_DIR]
set -euo pipefail
build=$(cd "$1" && pwd)
shots=${2:-}
for tool in Xvfb xdotool xmessage import convert; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
export QT_QPA_PLATFORM=xcb HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
unset WAYLAND_DISPLAY
mkdir -p "$work/game" "$HOME"
cp "$build/tarnix" "$build"/*.wav "$work/game/"

fail() { echo "FAIL: $*"; exit 1; }

start_game() {
  "$work/game/tarnix" --windowed --scale "$1" &
  game=$!
  pids+=("$game")
  win=$(xdotool search --sync --onlyvisible --pid "$game" | head -n1)
  sleep 1
  xdotool windowfocus --sync "$win"
  sleep 0.3
}

# Yellow pixels where the "Pause" message appears (game pixels 72..190 x 152..172).
pause_pixels() {
  eval "$(xdotool getwindowgeometry --shell "$win")"
  local n=$1 top=$((Y + HEIGHT - 324 * $1))
  import -window root -crop "$((119 * n))x$((21 * n))+$((X + 72 * n))+$((top + 152 * n))" "$work/crop.png"
  convert "$work/crop.png" -fill black +opaque '#FFFF00' -fill white -opaque '#FFFF00' \
    -format '%[fx:round(mean*w*h)]' info:
}

shot() { [ -n "$shots" ] && import -window root "$shots/$1.png" || true; }

end_game() {
  kill -TERM "$game"
  local status=0
  wait "$game" || status=$?
  [ "$status" -eq 0 ] || fail "$1: exit status $status after SIGTERM"
  [ -f "$work/game/Tarnix.ini" ] || fail "$1: Tarnix.ini not written"
  [ -f "$work/game/tarnix.conf" ] || fail "$1: tarnix.conf not written"
  rm -f "$work/game/Tarnix.ini"
}

# A game started, then the focus moves to another window: the pause shows.
start_game 2
xdotool key Return
sleep 1
playing=$(pause_pixels 2)
shot playing
xmessage -geometry +900+10 elsewhere &
pids+=($!)
other=$(xdotool search --sync --onlyvisible --name '^xmessage$' | head -n1)
xdotool windowfocus --sync "$other"
sleep 1
paused=$(pause_pixels 2)
shot paused
[ "$paused" -gt $((playing + 100)) ] ||
  fail "no pause on screen after the focus left ($playing yellow pixels before, $paused after)"
end_game "during the pause"

# SIGTERM during play, and over an open menu.
start_game 1
xdotool key Return
sleep 1
end_game "during play"
start_game 1
xdotool key alt+g
sleep 0.5
shot menu
end_game "over the open Game menu"
echo "focus loss pauses; SIGTERM saves and exits 0 in play, paused and over a menu"
