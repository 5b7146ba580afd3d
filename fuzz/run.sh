#!/usr/bin/env bash
# Builds the archive fuzzer with clang (address and undefined-behaviour sanitizers)
# and runs it for the given number of seconds (default 600), starting from small
# archives written by our own writer and, when present, the shared corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUENMAR_FUZZ=ON -DQUENMAR_SANITIZE=ON -DQUENMAR_BUILD_UI=OFF -DQUENMAR_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target zip_fuzzer make_seeds >/dev/null
corpus="$build/fuzz-corpus"
mkdir -p "$corpus"
"$build/fuzz/make_seeds" "$corpus"
if [ -d ../shared/corpus ]; then
  find ../shared/corpus -name '*.zip' -exec cp -n {} "$corpus/" \;
fi
ASAN_OPTIONS=detect_leaks=1 "$build/fuzz/zip_fuzzer" "$corpus" -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1
