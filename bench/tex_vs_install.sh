#!/usr/bin/env bash
# Times skinwright-tex list, export and check against the installer's own run
# on the import benchmark's input: the generated 64 MiB container and the pack
# of 200 pictures (256 x 256, Deflate) that build/bench/import_bench writes to
# the temporary folder. The installer runs with the console front-end on a
# Wine-prefix-shaped copy of the game (registry record, drive link, container),
# a fresh copy of the container before each run. Each figure is the median of
# five runs, wall-clock seconds. Usage: bench/tex_vs_install.sh [bin|pal]
# after a Linux build with benchmarks (build/).
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-bin}
bin=$PWD/build/bin
tmp=${TMPDIR:-/tmp}
flag=$([ "$kind" = bin ] && echo 1 || echo 0)
container="$tmp/skw-import-bench.$kind"
pack="$tmp/skw-import-bench-pack-$kind.zip"
# The benchmark writes its inputs on first use.
build/bench/import_bench --benchmark_filter="BM_PackExtract/bin:$flag" >/dev/null

work=$(mktemp -d "$tmp/skw-tex-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
game="$work/prefix/drive_c/Game"
mkdir -p "$game/cohokum/3ddata" "$work/prefix/dosdevices"
ln -s ../drive_c "$work/prefix/dosdevices/c:"
printf 'WINE REGISTRY Version 2\n\n[Software\\\\Razorworks\\\\Comanche Hokum] 1\n"Installation Path"="C:\\\\Game"\n' \
  >"$work/prefix/system.reg"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
timed() {  # prints the seconds one run of "$@" takes
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
run() {  # label, then the command; five runs, median
  local label=$1; shift
  local times=()
  for _ in 1 2 3 4 5; do
    [ "$label" = install ] && cp "$container" "$game/cohokum/3ddata/textures.$kind" && rm -f "$game/cohokum/3ddata/textures.$kind.original"
    [ "$label" = export ] && rm -rf "$work/pictures"
    times+=("$(timed "$@")")
  done
  printf '%-8s %8.3f s\n' "$label" "$(printf '%s\n' "${times[@]}" | median)"
}

echo "container $(stat -c %s "$container") bytes, pack $(stat -c %s "$pack") bytes ($kind)"
run list "$bin/skinwright-tex" list --container "$container"
run export "$bin/skinwright-tex" export --container "$container" "$work/pictures"
run check "$bin/skinwright-tex" check "$pack" --container "$container"
WINEPREFIX="$work/prefix" SKW_FRONTEND=console run install "$bin/skinwright" "$pack" 0
