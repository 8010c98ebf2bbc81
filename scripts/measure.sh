#!/usr/bin/env bash
# Pace, CPU and start-up of the real game under Xvfb, at each of the four waits.
# Usage: scripts/measure.sh [seconds per wait]   (builds the release build first)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
bash scripts/setup.sh --test
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DTARNIX_BENCH=ON >/dev/null
cmake --build build-release -j 2 --target tarnix tarnix_pacing >/dev/null

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 640x480x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1

start=$(date +%s%N)
DISPLAY=$display build-release/bench/tarnix_pacing "$seconds" 2>/dev/null > /tmp/tarnix-pacing.$$ || true
while read -r key rest; do
  case $key in
    title_drawn_realtime_ns)
      echo "start-up to title drawn: $(( (rest - start) / 1000000 )) ms (target < 500 ms)";;
    title_rss_kb) echo "resident memory on the title: $(( rest / 1024 )) MB (target < 80 MB)";;
    title_cpu_percent) echo "CPU on the title: ${rest} % of one core (target < 1 %)";;
    wait) echo "wait $rest";;
  esac
done < /tmp/tarnix-pacing.$$
rm -f /tmp/tarnix-pacing.$$
echo "(pace target: within 3 % of the model; CPU while playing at wait 50: < 5 %)"
