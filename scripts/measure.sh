#!/usr/bin/env bash
# What the real game costs, under Xvfb: the first frame, CPU and wake-ups on the title and
# at each of the four waits, the pace, the memory held after play, the mixer's wake.
# Each figure is the median of several runs.
# Usage: scripts/measure.sh [seconds per wait] [runs]   (builds the release build first;
#   SKIP_SETUP=1 and SKIP_BUILD=1 leave out the package check and the build)
#   MEASURE_DISPLAY=:N picks the Xvfb display; SDL_AUDIODRIVER is "dummy" unless set, so
#   that the mixer and its thread are there on a machine without a sound card.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
runs=${2:-3}
if [ -z "${SKIP_SETUP:-}" ]; then bash scripts/setup.sh --test; fi
if [ -z "${SKIP_BUILD:-}" ]; then
  cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DTARNIX_BENCH=ON >/dev/null
  cmake --build build-release -j 2 --target tarnix tarnix_pacing tarnix_floor >/dev/null
fi
cp -f build-release/*.wav build-release/bench/ 2>/dev/null || true

display=${MEASURE_DISPLAY:-:$((90 + RANDOM % 9))}
Xvfb "$display" -screen 0 640x480x24 >/dev/null 2>&1 &
xvfb=$!
out=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$out"' EXIT
sleep 1

for run in $(seq "$runs"); do
  start=$(date +%s%N)
  DISPLAY=$display SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} \
    build-release/bench/tarnix_pacing "$seconds" 2>/dev/null > "$out/run$run" || true
  echo "exec_start_ns $start" >> "$out/run$run"
  awk '$1 == "exec_start_ns" { s = $2 } $1 == "title_drawn_realtime_ns" { d = $2 }
       END { if (s != "" && d != "") print "first_frame_ms", (d - s) / 1e6 }' \
    "$out/run$run" >> "$out/run$run"
  DISPLAY=$display build-release/bench/tarnix_floor 2>/dev/null >> "$out/run$run" || true
  echo "run $run of $runs done" >&2
done

# One value per run for each figure, then the median.
awk '
  function median(key,   n, i, j, t, v) {
    n = split(values[key], v, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] + 0 > v[j] + 0; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  function add(key, value) { values[key] = values[key] (values[key] == "" ? "" : " ") value; if (!(key in seen)) { seen[key] = 1; order[++count] = key } }
  $1 ~ /^startup_.*_ms$/ || $1 == "first_frame_ms" { add($1, $2) }
  $1 == "title_cpu_percent" || $1 == "title_wakeups_per_second" || $1 == "rss_kb" || $1 == "floor_rss_kb" { add($1, $2) }
  $1 == "mixer_wake_ms" { add($1, $2) }
  $1 == "wait" { add("pace" $2, $4); add("cpu" $2, $10); add("wake" $2, $12) }
  $1 == "rss_part" && FILENAME ~ /run1$/ && parts < 8 { partlist = partlist " " $3 " " $2 ";"; parts++ }
  END {
    printf "figure (median of %d runs)                     measured     target\n", runs
    printf "first frame, from exec                          %6.0f ms    <= 150 ms\n", median("first_frame_ms")
    printf "  of which: application %.0f ms, window %.0f ms, start-up steps %.0f ms, first paint %.0f ms\n", median("startup_application_ms"), median("startup_window_ms"), median("startup_load_ms"), median("startup_first_paint_ms")
    printf "title: CPU                                      %7.3f %%    <= 0.05 %% of a core\n", median("title_cpu_percent")
    printf "title: wake-ups                                 %7.2f /s   <= 1 a second\n", median("title_wakeups_per_second")
    split("0 25 50 75", w, " ")
    for (i = 1; i <= 4; i++) {
      printf "wait %2s: %6.2f passes/s, CPU %6.3f %%, wake-ups per drawn frame %5.2f\n", w[i], median("pace" w[i]), median("cpu" w[i]), median("wake" w[i])
    }
    printf "  (targets at the normal wait 50: CPU <= 0.6 %%, <= 2 wake-ups per frame; pace within 3 %% of 64 / 32 / 16 / 12.8)\n"
    printf "resident memory after %s s of play per wait    %6.1f MB    <= 35 MB\n", seconds, median("rss_kb") / 1024
    if (("floor_rss_kb" in seen)) printf "  a bare Qt window with a Japanese menu bar holds %.1f MB here\n", median("floor_rss_kb") / 1024
    printf "  largest parts (kB, first run):%s\n", partlist
    if (("mixer_wake_ms" in seen)) printf "mixer: an effect after the sleep starts in     %7.2f ms    <= 10 ms added\n", median("mixer_wake_ms")
  }' runs="$runs" seconds="$seconds" "$out"/run*
