#!/usr/bin/env bash
# Fuzzes a reader with libFuzzer for SECONDS (default 60): the settings reader (default),
# the replay reader (`replay`) or the board server's upload reader (`submission`), starting
# from its committed corpus; new inputs gather in build-fuzz/corpus (build-fuzz/replay_corpus,
# build-fuzz/submission_corpus). A crash leaves its input in build-fuzz/ and
# stops with an error: fix the bug and add the input to the committed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
target=${2:-settings}
bash scripts/setup.sh --test
cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz >/dev/null
cd build-fuzz
if [ "$target" = submission ]; then
  mkdir -p submission_corpus
  ./submission_fuzz -max_total_time="$seconds" -print_final_stats=1 submission_corpus \
    ../tests/fuzz/submission_corpus ../tests/fuzz/replay_corpus
elif [ "$target" = replay ]; then
  mkdir -p replay_corpus
  ./replay_fuzz -max_total_time="$seconds" -print_final_stats=1 replay_corpus ../tests/fuzz/replay_corpus
else
  mkdir -p corpus
  ./settings_fuzz -max_total_time="$seconds" -print_final_stats=1 corpus ../tests/fuzz/corpus
fi
