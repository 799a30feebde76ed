#!/usr/bin/env bash
# The main job on generated data: builds the Linux programs, makes a demo game
# shaped like a Wine prefix (no real game or Wine needed), and installs the two
# demo packs into it with the console front-end: the true-colour pack as a pack
# executable made by skinwright-pack, the palettised pack as a ZIP argument.
# Then prints what changed in the game's texture containers.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh native
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2

bin=$PWD/build/bin
demo=$PWD/build/demo
rm -rf "$demo"
mkdir -p "$demo"
"$bin/demo-game" "$demo"
data="$demo/prefix/drive_c/Program Files/Razorworks/Comanche Hokum/cohokum/3ddata"
cp "$data/textures.bin" "$demo/textures.bin.before"
cp "$data/textures.pal" "$demo/textures.pal.before"

for pack in demo-pack-bin.zip demo-pack-pal.zip; do
  echo "== kst list $pack =="
  "$bin/kst" list "$demo/$pack"
done

echo "== pack executable: skinwright-pack build/bin/skinwright demo-pack-bin.zip =="
"$bin/skinwright-pack" "$bin/skinwright" "$demo/demo-pack-bin.zip" "$demo/demo-pack-bin"
echo "== running demo-pack-bin (countdown 2 s) =="
# Argument 1 is ignored by a pack executable; argument 2 is the countdown.
(cd "$demo" && WINEPREFIX="$demo/prefix" ./demo-pack-bin - 2)
echo "== running skinwright demo-pack-pal.zip 0 =="
(cd "$demo" && WINEPREFIX="$demo/prefix" "$bin/skinwright" demo-pack-pal.zip 0)

echo "== what changed in the game's containers =="
for kind in bin pal; do
  before="$demo/textures.$kind.before"
  after="$data/textures.$kind"
  differing=$(cmp -l "$before" "$after" 2>/dev/null | wc -l || true)
  printf 'textures.%s: %s bytes before, %s bytes after, %s bytes differ in the common part\n' \
    "$kind" "$(stat -c %s "$before")" "$(stat -c %s "$after")" "$differing"
done
