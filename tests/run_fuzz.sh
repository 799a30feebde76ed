#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang-14 (AddressSanitizer,
# UndefinedBehaviorSanitizer, coverage instrumentation in every library) in
# build-fuzz/ and runs each one for a bounded time on a copy of its seed corpus
# (the tree stays clean). Fails when a target finds a crash, a leak, a hang or
# runs out of memory; the offending inputs are kept under build-fuzz/findings/.
#
#   tests/run_fuzz.sh [target ...]      default: every fuzz/*_fuzz.cpp
#   FUZZ_SECONDS=30  time per target     FUZZ_JOBS=2  targets run side by side
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
jobs=${FUZZ_JOBS:-2}
build=build-fuzz

missing=()
command -v clang-14 >/dev/null 2>&1 && command -v clang++-14 >/dev/null 2>&1 || missing+=(clang-14)
compgen -G "/usr/lib/llvm-14/lib/clang/14*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null || missing+=(libclang-rt-14-dev)
if ((${#missing[@]})); then
  echo "run_fuzz.sh: missing packages; install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 2
fi

if (($#)); then
  targets=("$@")
else
  targets=()
  for source in fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

echo "== fuzz build ($build/) =="
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DSKW_FUZZ=ON -DSKW_SANITIZE=ON -DSKW_BUILD_TESTS=OFF \
  -DSKW_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

work=$(mktemp -d "${TMPDIR:-/tmp}/skw-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}

# One target: corpus copied, engine run for $seconds, summary line printed.
run_one() {
  local target=$1 name=${1%_fuzz}
  local dir="$work/$name"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  cp fuzz/corpus/"$name"/* "$dir/corpus/" 2>/dev/null || true
  local rc=0
  # TMPDIR: the archive targets' scratch file lands in the work folder and goes with it.
  TMPDIR="$dir" nice -n 10 "$build/bin/$target" -dict=fuzz/zip.dict -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/artifacts/" "$dir/corpus" \
    >"$dir/log" 2>&1 || rc=$?
  local execs cov
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/log" | grep -o '[0-9]*$' || echo '?')
  cov=$(grep -o 'cov: [0-9]*' "$dir/log" | tail -1 | grep -o '[0-9]*' || echo '?')
  if ((rc != 0)) || compgen -G "$dir/artifacts/*" >/dev/null; then
    mkdir -p "$build/findings/$name"
    cp "$dir/artifacts/"* "$build/findings/$name/" 2>/dev/null || true
    cp "$dir/log" "$build/findings/$name/log"
    echo "FAIL $target: exit $rc, executions $execs, cov $cov; inputs and log in $build/findings/$name/"
    grep -m5 -E 'ERROR|runtime error|SUMMARY|deadly|timeout|out-of-memory' "$dir/log" | sed 's/^/    /'
    return 1
  fi
  echo "ok   $target: executions $execs, cov $cov"
}

echo "== fuzzing ${#targets[@]} targets, ${seconds} s each, $jobs at a time =="
failed=0
pids=()
for target in "${targets[@]}"; do
  run_one "$target" >"$work/$target.result" 2>&1 &
  pids+=($!)
  if ((${#pids[@]} >= jobs)); then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
for target in "${targets[@]}"; do cat "$work/$target.result"; done
exit "$failed"
