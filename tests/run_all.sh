#!/usr/bin/env bash
# The whole test suite: the Linux build and its tests, the same tests under the
# address and undefined-behaviour sanitizers, every fuzz target for a bounded
# time, then the Windows build cross-compiled with mingw-w64, the same tests run
# under Wine, and the Windows window under Xvfb and Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=2

tools/install-deps.sh all

echo "== Include layers =="
tools/check-layers.sh

echo "== Linux build (build/) =="
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$jobs"
echo "== Linux tests =="
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== Crash-safe save: the installer killed at many points of a large save =="
tests/hardening/crash_save.sh build/bin

echo "== AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/) =="
tests/run_sanitized.sh

echo "== Fuzz targets, bounded runs on their seed corpora (build-fuzz/) =="
tests/run_fuzz.sh

echo "== Windows build (build-win/) =="
cmake -S . -B build-win -DCMAKE_BUILD_TYPE=Release -DSKW_BUILD_BENCH=OFF \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build-win -j"$jobs"

echo "== Windows tests under Wine =="
export WINEPREFIX="$PWD/build-win/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
timeout 300 wineboot -i >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
ctest --test-dir build-win --output-on-failure -j"$jobs"

echo "== Windows window under Xvfb and Wine =="
tests/run_window.sh build-win build
