#!/usr/bin/env bash
# The whole unit suite built with gcc, AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/) and run with ctest. Leak detection is
# on where the system lets LeakSanitizer work (it cannot under some debuggers
# and containers that forbid ptrace); any sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-asan

probe=$(mktemp -d "${TMPDIR:-/tmp}/skw-asan.XXXXXX")
trap 'rm -rf "$probe"' EXIT
printf 'int main() { return 0; }\n' >"$probe/probe.cpp"
if ! g++ -fsanitize=address,undefined "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1; then
  echo "run_sanitized.sh: g++ cannot build with -fsanitize=address,undefined; install the runtimes with:" >&2
  echo "  sudo apt-get install -y g++ libasan8 libubsan1" >&2
  exit 2
fi
if ASAN_OPTIONS=detect_leaks=1 "$probe/probe" >/dev/null 2>&1; then leaks=1; else leaks=0; fi
export ASAN_OPTIONS=detect_leaks=$leaks:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
echo "== sanitizer build ($build/), leak detection $([ $leaks = 1 ] && echo on || echo off) =="
# gcc 12 at -O2 takes a test's own operator new (malloc) and operator delete
# (free) for a mismatched pair once they are inlined: a false warning, not an error here.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKW_SANITIZE=ON -DSKW_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS=-Wno-mismatched-new-delete >/dev/null
cmake --build "$build" -j2
echo "== unit suite under the sanitizers =="
ctest --test-dir "$build" --output-on-failure -j2
