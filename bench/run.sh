#!/usr/bin/env bash
# Times quenmar-convert against its floor (the same inflate, CRC-32 and deflate in
# memory) and against unzip + renaming + zip -6 on the same archives, in one run,
# and measures the archive object alone: a 1 GiB entry added and extracted, and an
# archive of 65,535 entries opened and looked up by name.
#
# usage: bench/run.sh [--skip-large]      results go to bench/out/
set -euo pipefail
cd "$(dirname "$0")/.."
skip_large=0
[ "${1:-}" = "--skip-large" ] && skip_large=1

./scripts/ensure-packages.sh
command -v /usr/bin/time >/dev/null || { echo "bench needs /usr/bin/time (apt-get install time)" >&2; exit 1; }

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENMAR_BUILD_UI=OFF -DQUENMAR_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target quenmar-convert bench_tool >/dev/null
convert="$PWD/$build/quenmar-convert"
tool="$PWD/$build/bench/bench_tool"
out="$PWD/bench/out"
rm -rf "$out"
mkdir -p "$out"

# measure NAME RUNS CMD...: the best wall time of RUNS runs (seconds, from a
# nanosecond clock) and the peak RSS of that run (KiB)
declare -A wall rss
measure() {
  local name=$1 runs=$2; shift 2
  local best="" best_rss=""
  for _ in $(seq "$runs"); do
    local start end w r
    start=$(date +%s%N)
    /usr/bin/time -f "%M" -o "$out/time.txt" "$@" >/dev/null 2>"$out/err.txt" || { cat "$out/err.txt" >&2; exit 1; }
    end=$(date +%s%N)
    w=$(awk "BEGIN{printf \"%.4f\", ($end - $start) / 1e9}")
    r=$(cat "$out/time.txt")
    if [ -z "$best" ] || awk "BEGIN{exit !($w < $best)}"; then best=$w; best_rss=$r; fi
  done
  wall[$name]=$best
  rss[$name]=$best_rss
  printf "%-28s %9.3f s %10d KiB\n" "$name" "$best" "$best_rss"
}
ratio() { awk "BEGIN{printf \"%.2f\", $1 / $2}"; }

# The pipeline: unzip, rename each file by the same rule, zip -6.
pipeline() {
  set -euo pipefail
  local archive=$1 work=$2
  rm -rf "$work" "$work.zip"; mkdir -p "$work"
  unzip -q "$archive" -d "$work"
  cd "$work"
  # One process renames them all, so the shell's own cost stays out of it.
  find . -maxdepth 1 -type f -printf '%P\n' | xargs -d '\n' "$convert" --names |
    python3 -c 'import os, sys
for line in sys.stdin:
    old, new = line.rstrip("\n").split(" -> ", 1)
    os.rename(old, new)' 
  zip -q -6 -r "$work.zip" .
  cd /; rm -rf "$work" "$work.zip"
}
export -f pipeline
export convert

echo "== generating archives"
python3 bench/make_exports.py "$out/big.zip" 50 2097152
python3 bench/make_exports.py "$out/small8k.zip" 8192 120
python3 bench/make_exports.py "$out/small64k.zip" 65535 120

echo "== conversion: 50 entries of 2 MiB"
measure convert-big 3 "$convert" -q "$out/big.zip"
measure floor-big 3 "$tool" floor "$out/big.zip"
measure pipeline-big 3 bash -c "pipeline '$out/big.zip' '$out/work'"

echo "== conversion: 8,192 and 65,535 entries of 120 bytes"
measure convert-8k 3 "$convert" -q "$out/small8k.zip"
measure convert-64k 3 "$convert" -q "$out/small64k.zip"
measure pipeline-64k 3 bash -c "pipeline '$out/small64k.zip' '$out/work'"

echo "== archive: open 65,535 entries and look each up by name"
unzip -Z1 "$out/small64k.zip" >"$out/names64k.txt"
measure lookup-64k 5 "$tool" lookup "$out/small64k.zip" "$out/names64k.txt"
measure unzip-l-64k 5 unzip -l "$out/small64k.zip"
# The tool also times open, the lookups and close alone, without starting a
# process and reading the names to look for; the best of five.
lookup_inner=$(for _ in 1 2 3 4 5; do "$tool" lookup "$out/small64k.zip" "$out/names64k.txt" 2>/dev/null; done |
  sed -n 's/.*open+lookups+close \([0-9.]*\) ms/\1/p' | sort -g | head -1)
printf "%-28s %9.4f s\n" "lookup-64k-in-process" "$(awk "BEGIN{print $lookup_inner / 1000}")"

if [ $skip_large -eq 0 ]; then
  echo "== archive: one entry of 1 GiB"
  python3 bench/make_exports.py "$out/chunk.zip" 1 4194304
  unzip -p "$out/chunk.zip" >"$out/chunk.csv"
  for _ in $(seq 256); do cat "$out/chunk.csv"; done >"$out/large.csv"
  rm -f "$out/chunk.zip" "$out/chunk.csv"
  measure add-1g 1 "$tool" add "$out/large.csv" "$out/large.zip"
  measure deflate-floor-1g 1 "$tool" deflate "$out/large.csv"
  measure extract-1g 1 "$tool" extract "$out/large.zip" "$out/extracted"
  cmp "$out/large.csv" "$out/extracted/large.csv"
  rm -rf "$out/large.csv" "$out/extracted" "$out/large.zip"
fi

echo
echo "== results"
echo "50 x 2 MiB: quenmar / floor wall      $(ratio "${wall[convert-big]}" "${wall[floor-big]}")   (target <= 1.10)"
echo "50 x 2 MiB: quenmar peak memory       $((rss[convert-big] / 1024)) MiB (target <= 16)"
echo "50 x 2 MiB: quenmar / pipeline wall   $(ratio "${wall[convert-big]}" "${wall[pipeline-big]}")"
echo "65,535 x 120 B: quenmar / pipeline    $(ratio "${wall[convert-64k]}" "${wall[pipeline-64k]}")   (target <= 0.40)"
per8=$(awk "BEGIN{print ${wall[convert-8k]} / 8192}")
per64=$(awk "BEGIN{print ${wall[convert-64k]} / 65535}")
echo "time per entry 65,535 / 8,192         $(ratio "$per64" "$per8")   (target <= 1.50)"
echo "lookup of 65,535 / unzip -l           $(awk "BEGIN{printf \"%.3f\", $lookup_inner / 1000 / ${wall[unzip-l-64k]}}")  (target < 0.10; open, lookups, close)"
echo "  the same as a whole process          $(ratio "${wall[lookup-64k]}" "${wall[unzip-l-64k]}")   (also starting, reading the names to look for)"
if [ $skip_large -eq 0 ]; then
  echo "add 1 GiB / in-memory deflate         $(ratio "${wall[add-1g]}" "${wall[deflate-floor-1g]}")   (target <= 1.10)"
  echo "add 1 GiB peak memory                 $((rss[add-1g] / 1024)) MiB (target < 16)"
  echo "extract 1 GiB peak memory             $((rss[extract-1g] / 1024)) MiB (target < 16)"
fi
