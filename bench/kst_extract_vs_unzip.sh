#!/usr/bin/env bash
# Whole-process timing of "kst extract" against "unzip" (Debian's unzip as the
# anchor), each writing a whole archive into an empty folder: archives of 1,000
# and 20,000 small stored entries in one folder (made at run time) and a large
# archive of many files in many folders (the first .jar of 20 MB or more found
# on the machine, else one made with zip from a generated tree). The programs
# take turns, RUNS times each per archive, a fresh folder each time; the median wall time
# is reported with the ratio kst/unzip (goal: at most 1.5), and the growth of
# kst's time from 1,000 to 20,000 entries (goal: at most 25, linear being 20).
#
# Usage: [RUNS=N] [JAR=path] bench/kst_extract_vs_unzip.sh [KST_PROGRAM]
# Needs unzip and python3; zip only when no large jar is found.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
KST=${1:-$ROOT/build/bin/kst}
RUNS=${RUNS:-3}
[ -x "$KST" ] || { echo "kst program not found: $KST" >&2; exit 2; }
command -v unzip >/dev/null || { echo "unzip is needed as the anchor" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Wall time in seconds of "$@" writing into a fresh empty output folder; the
# previous output is removed and flushed first, so no run pays for another's.
time_extract() {
  local start end
  rm -rf "$WORK/out" && sync && mkdir "$WORK/out"
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

median() { sort -g | sed -n "$(((RUNS + 1) / 2))p" | awk '{printf "%.3f\n", $1}'; }

make_many() {
  python3 - "$1" "$2" <<'PY'
import sys, zipfile
path, count = sys.argv[1], int(sys.argv[2])
with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as z:
    for i in range(count):
        z.writestr("file%05d.txt" % i, "entry %d\n" % i)
PY
}

find_large_archive() {
  if [ -n "${JAR:-}" ]; then echo "$JAR"; return; fi
  local jar
  jar=$(find / -xdev -name '*.jar' -size +20M 2>/dev/null | head -n 1 || true)
  if [ -n "$jar" ]; then echo "$jar"; return; fi
  command -v zip >/dev/null || { echo "no large jar and no zip to make one" >&2; exit 2; }
  python3 - "$WORK/tree" <<'PY'
import os, random, sys
random.seed(17)
root = sys.argv[1]
for i in range(25000):
    folder = os.path.join(root, "d%02d" % (i % 40), "e%02d" % (i % 23))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "f%05d.class" % i), "wb") as f:
        f.write(bytes(random.getrandbits(8) for _ in range(random.randint(200, 3000))))
PY
  (cd "$WORK/tree" && zip -qr "$WORK/large.zip" .)
  rm -rf "$WORK/tree"
  echo "$WORK/large.zip"
}

# One row: kst and unzip medians and kst/unzip (at most 1.5 is the goal). The
# two programs take turns, so a slow spell of the machine hits both alike.
compare() {
  local archive=$1 label=$2 k u i ks=() us=()
  for ((i = 0; i < RUNS; i++)); do
    ks+=("$(time_extract "$KST" extract "$archive" -d "$WORK/out" -o)")
    us+=("$(time_extract unzip -qo "$archive" -d "$WORK/out")")
  done
  rm -rf "$WORK/out"
  k=$(printf '%s\n' "${ks[@]}" | median)
  u=$(printf '%s\n' "${us[@]}" | median)
  printf '%-52s %9s %9s %7.2f\n' "$label" "$k" "$u" "$(echo "$k / $u" | bc -l)" >&2
  echo "$k"
}

make_many "$WORK/many1000.zip" 1000
make_many "$WORK/many20000.zip" 20000
LARGE=$(find_large_archive)

printf '%-52s %9s %9s %7s\n' "archive (median of $RUNS, seconds)" "kst" "unzip" "kst/unz" >&2
k1000=$(compare "$WORK/many1000.zip" "1,000 stored entries, one folder")
k20000=$(compare "$WORK/many20000.zip" "20,000 stored entries, one folder")
compare "$LARGE" "$(basename "$LARGE") ($(unzip -Z1 "$LARGE" | wc -l) entries)" >/dev/null
printf 'growth of kst from 1,000 to 20,000 entries: %.1fx (goal: at most 25x)\n' "$(echo "$k20000 / $k1000" | bc -l)" >&2
