#!/usr/bin/env bash
# Builds a libFuzzer target with clang (address and undefined-behaviour sanitizers)
# and runs it for the given number of seconds (default 600), starting from small
# archives written by our own writer and, when present, the shared corpus.
#
# usage: fuzz/run.sh [SECONDS] [zip_fuzzer|run_fuzzer]
#   zip_fuzzer  the archive reader: open, list, look up and extract (default)
#   run_fuzzer  the whole conversion run, in a sandbox whose files must not change
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
target="${2:-zip_fuzzer}"
case "$target" in zip_fuzzer|run_fuzzer) ;; *) echo "unknown target: $target" >&2; exit 2;; esac
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUENMAR_FUZZ=ON -DQUENMAR_SANITIZE=ON -DQUENMAR_BUILD_UI=OFF -DQUENMAR_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target "$target" make_seeds >/dev/null
corpus="$build/corpus-$target"
mkdir -p "$corpus"
"$build/fuzz/make_seeds" "$corpus"
if [ -d ../shared/corpus ]; then
  find ../shared/corpus -name '*.zip' -exec cp -n {} "$corpus/" \;
fi
ASAN_OPTIONS=detect_leaks=1 "$build/fuzz/$target" "$corpus" -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1
