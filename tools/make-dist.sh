#!/usr/bin/env bash
# The Windows release bundle: cross-builds the four static programs with
# mingw-w64 (build-win/) and writes dist/skinwright-<version>-win64.zip holding
# skinwright.exe, skinwright-pack.exe, skinwright-tex.exe, kst.exe, README.md
# and docs/pack-authors-guide.md. The version is the project's (the one the
# programs answer --version with). The bundle is then tested with kst, the
# archive tool it ships (the Linux build's), and, when Wine is there, each
# Windows program is asked for its version.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh dist
cmake -S . -B build-win -DCMAKE_BUILD_TYPE=Release -DSKW_BUILD_BENCH=OFF \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build-win -j2 --target skinwright skinwright-pack skinwright-tex kst
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target kst

version=$(sed -n 's/.*kSkinwrightVersion\[\] = "\(.*\)";/\1/p' build-win/generated/skw/Version.h)
[ -n "$version" ] || { echo "make-dist: no version in build-win/generated/skw/Version.h" >&2; exit 1; }
name="skinwright-$version-win64"
stage="build-win/dist/$name"
rm -rf "$stage"
mkdir -p "$stage/docs" dist
for program in skinwright skinwright-pack skinwright-tex kst; do
  cp "build-win/bin/$program.exe" "$stage/"
done
cp README.md "$stage/"
cp docs/pack-authors-guide.md "$stage/docs/"
rm -f "dist/$name.zip"
(cd "$stage" && zip -q -X -r "$OLDPWD/dist/$name.zip" .)

build/bin/kst test "dist/$name.zip"
if command -v wine >/dev/null 2>&1; then
  export WINEPREFIX="$PWD/build-win/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  for program in skinwright-pack skinwright-tex kst; do
    timeout 120 wine "$stage/$program.exe" --version | tr -d '\r'
  done
fi
echo "wrote dist/$name.zip"
