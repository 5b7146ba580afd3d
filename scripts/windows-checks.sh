#!/usr/bin/env bash
# Converts the same archives with the Linux build and with the Windows build under
# Wine, in the same time zone, and requires the same outcome: byte-identical
# outputs where both convert, a failure of both where one fails. The Windows
# build's outputs must also satisfy unzip -t and Python's zipfile.
#
# usage: scripts/windows-checks.sh LINUX_CONVERT WINE_RUN WINDOWS_CONVERT WORK_FOLDER
set -uo pipefail
linux=$1 wine_run=$2 windows=$3 work=$4
here="$(cd "$(dirname "$0")/.." && pwd)"
export TZ=Europe/Prague
rm -rf "$work"
mkdir -p "$work/archives"

# Archives shaped like the real exports, and the shared corpus when it is there.
python3 "$here/bench/make_exports.py" "$work/archives/many-small.zip" 2000 120 7
python3 "$here/bench/make_exports.py" "$work/archives/few-large.zip" 3 300000 8
if [ -d "$here/../shared/corpus" ]; then
  find "$here/../shared/corpus" -name '*.zip' | sort | while read -r f; do
    cp "$f" "$work/archives/corpus-$(basename "$(dirname "$f")")-$(basename "$f")"
  done
fi

passed=0 failed=0
for archive in "$work"/archives/*.zip; do
  name=$(basename "$archive")
  rm -rf "$work/linux" "$work/windows"
  mkdir -p "$work/linux" "$work/windows"
  cp "$archive" "$work/linux/input.zip"
  cp "$archive" "$work/windows/input.zip"
  (cd "$work/linux" && "$linux" -q input.zip >/dev/null 2>&1); linux_status=$?
  (cd "$work/windows" && "$wine_run" "$windows" -q input.zip >/dev/null 2>&1); windows_status=$?
  verdict=ok
  if [ $linux_status -ne $windows_status ]; then
    verdict="exit $linux_status on Linux, $windows_status on Windows"
  elif [ $linux_status -eq 0 ]; then
    if ! cmp -s "$work/linux/inpu-t.zip" "$work/windows/inpu-t.zip"; then
      verdict="outputs differ"
    elif [ "$(python3 -c 'import sys, zipfile; print(len(zipfile.ZipFile(sys.argv[1]).infolist()))' \
               "$work/windows/inpu-t.zip")" != 0 ] && ! unzip -tqq "$work/windows/inpu-t.zip" >/dev/null 2>&1; then
      verdict="unzip -t refuses the Windows output"  # (it calls an archive without entries an error)
    elif ! python3 -c 'import sys, zipfile; sys.exit(zipfile.ZipFile(sys.argv[1]).testzip() is not None)' \
        "$work/windows/inpu-t.zip"; then
      verdict="Python's zipfile refuses the Windows output"
    fi
  fi
  if [ "$(ls -A "$work/windows" | grep -vc -e '^input.zip$' -e '^inpu-t.zip$')" -ne 0 ]; then
    verdict="the Windows run left something behind"
  fi
  if [ "$verdict" = ok ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED $name: $verdict"
  fi
done
# Ctrl+C on a run: the program needs a console, which Wine gives a program on a
# terminal; script(1) provides one.
ctrl_c="$(dirname "$windows")/tests/ctrl_c.exe"
if [ -x "$ctrl_c" ] && command -v script >/dev/null; then
  rm -rf "$work/interrupt"
  mkdir -p "$work/interrupt"
  python3 "$here/bench/make_exports.py" "$work/interrupt/exports.zip" 12 2097152 9
  printf 'an earlier output' >"$work/interrupt/expo-rts.zip"
  script -qec "cd '$work/interrupt' && '$wine_run' '$ctrl_c' '$windows' exports.zip ." /dev/null \
    >"$work/interrupt.log" 2>&1 </dev/null || true
  # Wine's console draws with escape sequences, a blank as a cursor move.
  sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\r//g' "$work/interrupt.log" >"$work/interrupt.txt"
  verdict=ok
  if ! grep -q 'exit *0xc000013a' "$work/interrupt.txt"; then
    verdict="not ended as by Ctrl+C: $(tail -2 "$work/interrupt.txt" | tr '\n' ' ')"
  elif ! grep -q 'Konverze přerušena' "$work/interrupt.txt"; then
    verdict="no word of the interruption"
  elif [ "$(ls -A "$work/interrupt" | tr '\n' ' ')" != "expo-rts.zip exports.zip " ] ||
       [ "$(cat "$work/interrupt/expo-rts.zip")" != 'an earlier output' ]; then
    verdict="left: $(ls -A "$work/interrupt" | tr '\n' ' ')"
  fi
  if [ "$verdict" = ok ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED Ctrl+C under Wine: $verdict"
  fi
fi

# The package: the two programs and the page, which unpack anywhere and run.
package=$(ls "$(dirname "$windows")"/quenmar-*-win64.zip 2>/dev/null | head -1)
if [ -n "$package" ]; then
  rm -rf "$work/unpacked"
  mkdir -p "$work/unpacked/somewhere else"
  verdict=ok
  if ! unzip -tqq "$package" >/dev/null; then
    verdict="unzip -t refuses it"
  elif [ "$(unzip -Z1 "$package" | sort | tr '\n' ' ')" != "quenmar-convert.exe quenmar-info.html quenmar.exe " ]; then
    verdict="holds: $(unzip -Z1 "$package" | tr '\n' ' ')"
  else
    unzip -qq "$package" -d "$work/unpacked/somewhere else"
    got=$("$wine_run" "$work/unpacked/somewhere else/quenmar-convert.exe" --names 2018-10-15-abc-def-ghi.csv 2>&1 | tr -d '\r')
    [ "$got" = "2018-10-15-abc-def-ghi.csv -> 2018-10-abc-def-ghi-mob.csv" ] || verdict="the unpacked program says: $got"
  fi
  if [ "$verdict" = ok ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED $(basename "$package"): $verdict"
  fi
fi

echo "windows-checks: $passed passed, $failed failed"
[ $failed -eq 0 ]
