#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# As root it runs apt-get itself; otherwise it prints the command and fails.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  zlib1g-dev libdeflate-dev libgtest-dev qt6-base-dev qt6-translations-l10n fonts-liberation
  zip unzip python3 p7zip-full libarchive-tools
  xvfb xauth openbox
  dpkg-dev desktop-file-utils lintian
)
# The Windows programs: the mingw-w64 cross compiler, zlib for it, Wine to try them,
# wixl to make the installer.
if [ -n "${QUENMAR_WINDOWS:-}" ]; then
  packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64 wixl)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
else
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with:  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
