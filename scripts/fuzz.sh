#!/usr/bin/env bash
# Fuzzes the settings reader with libFuzzer for SECONDS (default 60), starting from the
# committed corpus; new inputs gather in build-fuzz/corpus. A crash leaves its input in
# build-fuzz/ and stops with an error: fix the bug and add the input to tests/fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/setup.sh --test
cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz >/dev/null
mkdir -p build-fuzz/corpus
cd build-fuzz
./settings_fuzz -max_total_time="$seconds" -print_final_stats=1 corpus ../tests/fuzz/corpus
