#!/bin/sh
# Checks that every #include of the product's code runs one way: a file may
# include files of its own layer and of the layers listed before it, never of a
# layer listed after it. The layers, lowest first, are the folders below; a file
# belongs to the first folder of the list whose path prefixes its own (so
# archive/core/ is matched before the umbrella archive/). Prints each offending
# include and exits 1 when there is one. Usage: tools/check-layers.sh [ROOT]
set -eu
cd "${1:-$(dirname "$0")/..}"

LAYERS="
platform/
archive/core/
archive/crc/
archive/names/
archive/decode/
archive/io/
archive/identify/
archive/list/
archive/extract/
archive/
textures/
installer/
"

# The layer number of a path, or nothing for paths outside the product's code.
layer_of() {
  n=0
  for prefix in $LAYERS; do
    n=$((n + 1))
    case "$1" in "$prefix"*) echo $n; return;; esac
  done
}

status=0
for file in $(git ls-files 'platform/*' 'archive/*' 'textures/*' 'installer/*' | grep -E '\.(h|cpp)$'); do
  from=$(layer_of "$file")
  for target in $(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file"); do
    to=$(layer_of "$target")
    [ -n "$to" ] || continue
    if [ "$to" -gt "$from" ]; then
      echo "$file includes $target (a higher layer)"
      status=1
    fi
  done
done
exit $status
