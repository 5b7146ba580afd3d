#!/usr/bin/env bash
# Times quenmar-convert against its floors (the same inflate, CRC-32 and deflate in
# memory, with zlib and with libdeflate) and against unzip + renaming + zip -6 and
# 7-Zip on the same archives, as medians of
# five rounds in which the commands alternate,
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

# alternate ROUNDS NAME...: runs the commands cmd[NAME] one after the other,
# ROUNDS times over, so that the machine's drift falls on all of them alike.
# Keeps every wall time (seconds, from a nanosecond clock) and peak RSS (KiB), and
# prints each one's median with its range.
declare -A cmd wall rss lo hi
median() { sort -g | awk '{v[NR]=$1} END{print v[int((NR+1)/2)]}'; }
alternate() {
  local rounds=$1; shift
  local name start end
  declare -A walls rsses
  for _ in $(seq "$rounds"); do
    for name in "$@"; do
      start=$(date +%s%N)
      /usr/bin/time -f "%M" -o "$out/time.txt" bash -c "${cmd[$name]}" >/dev/null 2>"$out/err.txt" ||
        { cat "$out/err.txt" >&2; exit 1; }
      end=$(date +%s%N)
      walls[$name]+="$(awk "BEGIN{printf \"%.4f\", ($end - $start) / 1e9}") "
      rsses[$name]+="$(cat "$out/time.txt") "
    done
  done
  for name in "$@"; do
    wall[$name]=$(tr ' ' '\n' <<<"${walls[$name]}" | grep . | median)
    lo[$name]=$(tr ' ' '\n' <<<"${walls[$name]}" | grep . | sort -g | head -1)
    hi[$name]=$(tr ' ' '\n' <<<"${walls[$name]}" | grep . | sort -g | tail -1)
    rss[$name]=$(tr ' ' '\n' <<<"${rsses[$name]}" | grep . | median)
    printf "%-22s median %8.3f s  (%.3f to %.3f)  peak %7d KiB\n" "$name" "${wall[$name]}" "${lo[$name]}" \
      "${hi[$name]}" "${rss[$name]}"
  done
}
ratio() { awk "BEGIN{printf \"%.2f\", $1 / $2}"; }

# Renames the files of the current folder as quenmar-convert --names says, in one
# process for them all, so the shell's own cost stays out of it.
rename_all() {
  find . -maxdepth 1 -type f -printf '%P\n' | xargs -d '\n' "$convert" --names |
    python3 -c 'import os, sys
for line in sys.stdin:
    old, new = line.rstrip("\n").split(" -> ", 1)
    os.rename(old, new)'
}
# The pipeline: unzip, rename each file by the same rule, zip -6.
pipeline() {
  set -euo pipefail
  local archive=$1 work=$2
  rm -rf "$work" "$work.zip"; mkdir -p "$work"
  unzip -q "$archive" -d "$work"
  cd "$work"
  rename_all
  zip -q -6 -r "$work.zip" .
  cd /; rm -rf "$work" "$work.zip"
}
# The same with 7-Zip, two threads each way.
pipeline7z() {
  set -euo pipefail
  local archive=$1 work=$2
  rm -rf "$work" "$work.zip"; mkdir -p "$work"
  7z x -bd -y -mmt=2 -o"$work" "$archive" >/dev/null
  cd "$work"
  rename_all
  7z a -bd -tzip -mx=5 -mmt=2 "$work.zip" . >/dev/null
  cd /; rm -rf "$work" "$work.zip"
}
export -f rename_all pipeline pipeline7z
export convert

echo "== generating archives"
python3 bench/make_exports.py "$out/big.zip" 50 2097152
python3 bench/make_exports.py "$out/small8k.zip" 8192 120
python3 bench/make_exports.py "$out/small64k.zip" 65535 120

rounds=5
echo "== conversion: 50 entries of 2 MiB ($rounds alternating rounds)"
cmd[convert-big]="'$convert' -q -j 2 '$out/big.zip'"
cmd[convert-big-j1]="'$convert' -q -j 1 '$out/big.zip'"
cmd[floor-big]="'$tool' floor '$out/big.zip'"
cmd[floor-libdeflate-big]="'$tool' floor-libdeflate '$out/big.zip'"
cmd[pipeline-big]="pipeline '$out/big.zip' '$out/work'"
cmd[pipeline7z-big]="pipeline7z '$out/big.zip' '$out/work'"
alternate $rounds convert-big convert-big-j1 floor-big floor-libdeflate-big pipeline-big pipeline7z-big
"$convert" -q "$out/big.zip" >/dev/null
size_big=$(stat -c %s "$out/big.-zip")
floor_big=$("$tool" floor "$out/big.zip" 2>/dev/null | sed -n 's/.*entries, \([0-9]*\) bytes.*/\1/p')
rm -f "$out/big.-zip"

echo "== conversion: 8,192 and 65,535 entries of 120 bytes ($rounds alternating rounds)"
cmd[convert-8k]="'$convert' -q -j 2 '$out/small8k.zip'"
cmd[convert-64k]="'$convert' -q -j 2 '$out/small64k.zip'"
cmd[convert-64k-j1]="'$convert' -q -j 1 '$out/small64k.zip'"
cmd[floor-64k]="'$tool' floor '$out/small64k.zip'"
cmd[floor-libdeflate-64k]="'$tool' floor-libdeflate '$out/small64k.zip'"
cmd[pipeline-64k]="pipeline '$out/small64k.zip' '$out/work'"
cmd[pipeline7z-64k]="pipeline7z '$out/small64k.zip' '$out/work'"
alternate $rounds convert-8k convert-64k convert-64k-j1 floor-64k floor-libdeflate-64k pipeline-64k pipeline7z-64k

echo "== archive: open 65,535 entries and look each up by name ($rounds alternating rounds)"
unzip -Z1 "$out/small64k.zip" >"$out/names64k.txt"
cmd[lookup-64k]="'$tool' lookup '$out/small64k.zip' '$out/names64k.txt'"
cmd[unzip-l-64k]="unzip -l '$out/small64k.zip'"
alternate $rounds lookup-64k unzip-l-64k
# The tool also times open, the lookups and close alone, without starting a
# process and reading the names to look for; the median of five.
lookup_inner=$(for _ in 1 2 3 4 5; do "$tool" lookup "$out/small64k.zip" "$out/names64k.txt" 2>/dev/null; done |
  sed -n 's/.*open+lookups+close \([0-9.]*\) ms/\1/p' | median)
printf "%-22s median %8.4f s\n" "lookup-64k-in-process" "$(awk "BEGIN{print $lookup_inner / 1000}")"

if [ $skip_large -eq 0 ]; then
  echo "== archive: one entry of 1 GiB"
  python3 bench/make_exports.py "$out/chunk.zip" 1 4194304
  unzip -p "$out/chunk.zip" >"$out/chunk.csv"
  # Named like an export, so that the conversion takes it.
  large="$out/2018-10-15-a-b-large.csv"
  for _ in $(seq 256); do cat "$out/chunk.csv"; done >"$large"
  rm -f "$out/chunk.zip" "$out/chunk.csv"
  cmd[add-1g]="'$tool' add '$large' '$out/large.zip'"
  cmd[deflate-floor-1g]="'$tool' deflate '$large'"
  cmd[extract-1g]="rm -rf '$out/extracted'; exec '$tool' extract '$out/large.zip' '$out/extracted'"
  cmd[convert-1g]="'$convert' -q '$out/large.zip'"
  alternate 1 add-1g deflate-floor-1g extract-1g convert-1g
  cmp "$large" "$out/extracted/2018-10-15-a-b-large.csv"
  rm -rf "$large" "$out/extracted" "$out/large.zip" "$out/larg-e.zip"
fi

echo
echo "== the table (medians of $rounds alternating rounds, their range, ratio to the one-core zlib floor)"
row() {
  printf "| %-34s | %7.3f s (%.3f-%.3f) | %5s | %5s |\n" "$1" "${wall[$2]}" "${lo[$2]}" "${hi[$2]}" \
    "$(ratio "${wall[$2]}" "${wall[$3]}")" "$(( rss[$2] / 1024 ))"
}
echo "| 50 x 2 MiB | wall | x floor | MiB |"
echo "|---|---|---|---|"
row "quenmar -j 2" convert-big floor-big
row "quenmar -j 1" convert-big-j1 floor-big
row "zlib floor (one core)" floor-big floor-big
row "libdeflate floor (one core)" floor-libdeflate-big floor-big
row "Info-ZIP unzip + zip -6" pipeline-big floor-big
row "7-Zip, two threads" pipeline7z-big floor-big
echo
echo "| 65,535 x 120 B | wall | x floor | MiB |"
echo "|---|---|---|---|"
row "quenmar -j 2" convert-64k floor-64k
row "quenmar -j 1" convert-64k-j1 floor-64k
row "zlib floor (one core)" floor-64k floor-64k
row "libdeflate floor (one core)" floor-libdeflate-64k floor-64k
row "Info-ZIP unzip + zip -6" pipeline-64k floor-64k
row "7-Zip, two threads" pipeline7z-64k floor-64k

echo
echo "== results (ratios of medians)"
echo "50 x 2 MiB: -j 2 / one-core floor     $(ratio "${wall[convert-big]}" "${wall[floor-big]}")   (target <= 0.25)"
echo "50 x 2 MiB: -j 1 / one-core floor     $(ratio "${wall[convert-big-j1]}" "${wall[floor-big]}")   (target <= 0.45)"
echo "50 x 2 MiB: output / floor's zlib -6  $size_big / $floor_big bytes of data and records (target: no larger)"
echo "50 x 2 MiB: -j 1 / -j 2               $(ratio "${wall[convert-big-j1]}" "${wall[convert-big]}")"
echo "50 x 2 MiB: quenmar peak memory       $((rss[convert-big] / 1024)) MiB (target <= 32; -j 1: $((rss[convert-big-j1] / 1024)) MiB)"
echo "50 x 2 MiB: quenmar / pipeline wall   $(ratio "${wall[convert-big]}" "${wall[pipeline-big]}")"
echo "65,535 x 120 B: -j 2 / zlib floor     $(ratio "${wall[convert-64k]}" "${wall[floor-64k]}")   (target <= 1.00)"
echo "65,535 x 120 B: quenmar / pipeline    $(ratio "${wall[convert-64k]}" "${wall[pipeline-64k]}")"
echo "65,535 x 120 B: quenmar peak memory   $((rss[convert-64k] / 1024)) MiB"
echo "65,535 x 120 B: -j 1 / all cores      $(ratio "${wall[convert-64k-j1]}" "${wall[convert-64k]}")"
per8=$(awk "BEGIN{print ${wall[convert-8k]} / 8192}")
per64=$(awk "BEGIN{print ${wall[convert-64k]} / 65535}")
echo "time per entry 65,535 / 8,192         $(ratio "$per64" "$per8")   (target <= 1.50)"
echo "lookup of 65,535 / unzip -l           $(awk "BEGIN{printf \"%.3f\", $lookup_inner / 1000 / ${wall[unzip-l-64k]}}")  (target < 0.10; open, lookups, close)"
echo "  the same as a whole process          $(ratio "${wall[lookup-64k]}" "${wall[unzip-l-64k]}")   (also starting, reading the names to look for)"
if [ $skip_large -eq 0 ]; then
  echo "add 1 GiB / in-memory deflate         $(ratio "${wall[add-1g]}" "${wall[deflate-floor-1g]}")   (target <= 1.10)"
  echo "add 1 GiB peak memory                 $((rss[add-1g] / 1024)) MiB (target < 16)"
  echo "extract 1 GiB peak memory             $((rss[extract-1g] / 1024)) MiB (target < 16)"
  echo "convert 1 GiB entry peak memory       $((rss[convert-1g] / 1024)) MiB (target <= 16)"
fi
