#!/usr/bin/env bash
# Fetches Debian's source package of libdeflate, the same version as the installed
# libdeflate-dev, into DIR (for the Windows build, which compiles it statically).
# The deb-src list, apt's lists and the download stay inside DIR: the machine's
# own apt configuration is neither read for sources nor changed.
#
# usage: scripts/fetch-libdeflate-source.sh DIR     prints the unpacked source folder
set -euo pipefail
dir="$1"
version="$(dpkg-query -W -f='${Version}' libdeflate-dev 2>/dev/null || true)"
[ -n "$version" ] || { echo "libdeflate-dev is not installed (scripts/ensure-packages.sh)" >&2; exit 1; }
upstream="${version%-*}"
upstream="${upstream#*:}"
source="$dir/libdeflate-$upstream"
if [ ! -f "$source/libdeflate.h" ]; then
  . /etc/os-release
  mkdir -p "$dir/apt/lists/partial" "$dir/apt/sources.list.d" "$dir/download"
  echo "deb-src http://deb.debian.org/debian $VERSION_CODENAME main" >"$dir/apt/sources.list"
  apt=(apt-get -q -o "Dir::Etc::SourceList=$dir/apt/sources.list" -o "Dir::Etc::SourceParts=$dir/apt/sources.list.d"
       -o "Dir::State::Lists=$dir/apt/lists" -o "APT::Sandbox::User=$(id -un)")
  "${apt[@]}" update >&2
  rm -rf "$dir/download" && mkdir -p "$dir/download"
  (cd "$dir/download" && "${apt[@]}" source "libdeflate=$version" >&2)
  rm -rf "$source"
  mv "$dir/download/libdeflate-$upstream" "$source"
fi
echo "$source"
