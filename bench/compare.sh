#!/usr/bin/env bash
# Times two builds of quenmar-convert against each other on the bench sets, in
# alternating rounds so that the machine's drift falls on both alike, and prints
# each measure's median with its range: for telling whether a change made the run
# slower.
#
# usage: bench/compare.sh OLD_CONVERT NEW_CONVERT [ROUNDS]     (default 5 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
old="$1" new="$2" rounds="${3:-5}"
out="$PWD/bench/out-compare"
rm -rf "$out"
mkdir -p "$out"
python3 bench/make_exports.py "$out/big.zip" 50 2097152
python3 bench/make_exports.py "$out/small64k.zip" 65535 120

declare -A times
for _ in $(seq "$rounds"); do
  for set in big small64k; do
    for jobs in 1 2; do
      for which in old new; do
        bin="$old"; [ "$which" = new ] && bin="$new"
        start=$(date +%s%N)
        "$bin" -q -j "$jobs" "$out/$set.zip" >/dev/null
        end=$(date +%s%N)
        times["$set -j $jobs $which"]+="$(( (end - start) / 1000000 )) "
      done
    done
  done
done
for key in $(printf '%s\n' "${!times[@]}" | tr ' ' '_' | sort); do
  k="${key//_/ }"
  printf '%-20s' "$k"
  tr ' ' '\n' <<<"${times[$k]}" | grep . | sort -n |
    awk '{v[NR]=$1} END{printf "median %6d ms  range %d-%d ms\n", v[int((NR+1)/2)], v[1], v[NR]}'
done
