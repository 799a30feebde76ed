#!/usr/bin/env bash
# Whole-process timing of "kst cat" against "unzip -p" (Debian's unzip as the
# anchor): a ~100 MB text-like file is written and zipped at the default level
# at run time, then each program writes the entry to /dev/null five times and
# the median wall time is reported with the ratio. The same is done for every
# Shrink (1) and Implode (6) entry of tests/data/zip/legacy_*.zip; Reduce
# entries (2-5) are timed for kst alone, since unzip cannot decode them.
# When the benchmarks' libdeflate reader was built (build/bench/libdeflate_cat:
# the entry read whole, decompressed in one call, CRC checked, written out), the
# big entry is also timed against it.
#
# Usage: [RUNS=N] bench/kst_vs_unzip.sh [KST_PROGRAM]   (default: build/bin/kst, 5 runs)
# Needs unzip; zip is used to make the archive when present, else python3.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
KST=${1:-$ROOT/build/bin/kst}
RUNS=${RUNS:-5}
LIBDEFLATE_CAT=${LIBDEFLATE_CAT:-$ROOT/build/bench/libdeflate_cat}
[ -x "$KST" ] || { echo "kst program not found: $KST" >&2; exit 2; }
command -v unzip >/dev/null || { echo "unzip is needed as the anchor" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Median wall time in seconds of RUNS runs of "$@" with output to /dev/null.
median_time() {
  if command -v hyperfine >/dev/null; then
    hyperfine -N -r "$RUNS" --export-json "$WORK/h.json" "$(printf '%q ' "$@")" >/dev/null 2>&1
    python3 -c 'import json,sys; print("%.4f" % json.load(open(sys.argv[1]))["results"][0]["median"])' "$WORK/h.json"
    return
  fi
  local times=() i start end
  for ((i = 0; i < RUNS; i++)); do
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    times+=("$(echo "$end - $start" | bc -l)")
  done
  printf '%s\n' "${times[@]}" | sort -g | sed -n "$(((RUNS + 1) / 2))p" | awk '{printf "%.4f\n", $1}'
}

# One table row: kst and unzip medians and unzip/kst (above 1: kst is faster).
compare() {
  local archive=$1 name=$2 label=$3 k u
  k=$(median_time "$KST" cat "$archive" "$name")
  u=$(median_time unzip -p "$archive" "$name")
  printf '%-58s %10s %10s %7.2fx\n' "$label" "$k" "$u" "$(echo "$u / $k" | bc -l)"
}

make_text() {
  python3 - "$1" <<'PY'
import random, sys
random.seed(20011)
words = ["".join(random.choice("etaoinshrdlucmfwypvbgkjqxz") for _ in range(random.randint(2, 9)))
         for _ in range(6000)]
with open(sys.argv[1], "w") as out:
    size = 0
    while size < 100 * 1000 * 1000:
        line = " ".join(random.choice(words) for _ in range(random.randint(6, 14))) + "\n"
        out.write(line)
        size += len(line)
PY
}

echo "Making a ~100 MB text file and its archive..."
make_text "$WORK/big.txt"
if command -v zip >/dev/null; then
  (cd "$WORK" && zip -q big.zip big.txt)
else
  python3 -c 'import zipfile,sys; zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED, compresslevel=6).write(sys.argv[2], "big.txt")' \
    "$WORK/big.zip" "$WORK/big.txt"
fi
echo "archive: $(stat -c %s "$WORK/big.zip") bytes for $(stat -c %s "$WORK/big.txt") bytes"
rm -f "$WORK/big.txt"

printf '%-58s %10s %10s %8s\n' "entry (median of $RUNS, seconds)" "kst cat" "unzip -p" "ratio"
compare "$WORK/big.zip" big.txt "big.txt (Deflate, ~100 MB)"
if [ -x "$LIBDEFLATE_CAT" ]; then
  k=$(median_time "$KST" cat "$WORK/big.zip" big.txt)
  l=$(median_time "$LIBDEFLATE_CAT" "$WORK/big.zip" big.txt)
  printf '%-58s %10s %10s %7.2fx\n' "big.txt against the libdeflate reader" "$k" "$l" "$(echo "$l / $k" | bc -l)"
fi

for archive in "$ROOT"/tests/data/zip/legacy_*.zip; do
  base=$(basename "$archive")
  while IFS=$'\t' read -r name method _; do
    name=${name//\\//}
    case $method in
      1 | 6) compare "$archive" "$name" "$base:$name (method $method)" ;;
      2 | 3 | 4 | 5)
        printf '%-58s %10s %10s %8s\n' "$base:$name (method $method)" \
          "$(median_time "$KST" cat "$archive" "$name")" "-" "unzip: no Reduce" ;;
    esac
  done < <("$KST" list --tsv "$archive")
done
