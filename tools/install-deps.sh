#!/usr/bin/env bash
# Makes sure the Debian packages that building and testing need are installed.
#   tools/install-deps.sh native   compilers and libraries for the Linux build
#   tools/install-deps.sh dist     also the Windows cross-compiler and Wine (the release bundle)
#   tools/install-deps.sh all      also the Windows cross-compiler, Wine, Xvfb and the fuzzing compiler
# As root it installs what is missing; otherwise it prints the apt-get line and fails.
set -euo pipefail

native=(cmake make g++ libgtest-dev googletest libbenchmark-dev zlib1g-dev libdeflate-dev unzip zip python3)
windows=(g++-mingw-w64-x86-64-posix wine wine64 xvfb xdotool imagemagick clang-14 libclang-rt-14-dev)

want=("${native[@]}")
if [ "${1:-all}" = all ]; then want+=("${windows[@]}"); fi
if [ "${1:-all}" = dist ]; then want+=(g++-mingw-w64-x86-64-posix wine wine64); fi

missing=()
for pkg in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
  echo "Missing packages. Run:"
  echo "  sudo apt-get install -y ${missing[*]}"
  exit 1
fi
