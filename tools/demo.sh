#!/usr/bin/env bash
# The main job on generated data: builds the Linux programs, makes a demo game
# shaped like a Wine prefix (no real game or Wine needed), and installs the two
# demo packs into it with the console front-end: the true-colour pack as a pack
# executable made by skinwright-pack, the palettised pack as a ZIP argument.
# Then prints what changed in the game's texture containers. Around the installs
# skinwright-tex shows the toolkit at work: it lists the palettised container,
# exports the true-colour textures as pictures, checks the demo pack against
# the game, compares the container with the original the installer kept, and
# restores that original.
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
cp "$data/textures.bin" "$demo/textures-before.bin"
cp "$data/textures.pal" "$demo/textures-before.pal"

export WINEPREFIX="$demo/prefix"
tex="$bin/skinwright-tex"

for pack in demo-pack-bin.zip demo-pack-pal.zip; do
  echo "== kst list $pack =="
  "$bin/kst" list "$demo/$pack"
done

echo "== skinwright-tex list --pal: every record of the game's textures.pal =="
"$tex" list --pal
echo "== skinwright-tex export --bin build/demo/pictures: the game's pictures, named as a pack needs =="
"$tex" export --bin "$demo/pictures" | tail -n 4
echo "== skinwright-tex check demo-pack-bin.zip: what the installer will do (exit code 1: not every picture fits) =="
"$tex" check "$demo/demo-pack-bin.zip" || true

echo "== pack executable: skinwright-pack build/bin/skinwright demo-pack-bin.zip =="
"$bin/skinwright-pack" "$bin/skinwright" "$demo/demo-pack-bin.zip" "$demo/demo-pack-bin"
echo "== running demo-pack-bin (countdown 2 s) =="
# Argument 1 is ignored by a pack executable; argument 2 is the countdown.
(cd "$demo" && ./demo-pack-bin - 2)
echo "== running skinwright demo-pack-pal.zip 0 =="
(cd "$demo" && "$bin/skinwright" demo-pack-pal.zip 0)

echo "== what changed in the game's containers =="
for kind in bin pal; do
  before="$demo/textures-before.$kind"
  after="$data/textures.$kind"
  differing=$(cmp -l "$before" "$after" 2>/dev/null | wc -l || true)
  printf 'textures.%s: %s bytes before, %s bytes after, %s bytes differ in the common part\n' \
    "$kind" "$(stat -c %s "$before")" "$(stat -c %s "$after")" "$differing"
done

original="$data/textures.bin.original"
[ -f "$original" ] || original="$demo/textures-before.bin"
echo "== skinwright-tex diff: textures.bin against the original =="
"$tex" diff "$original" "$data/textures.bin" || true
echo "== skinwright-tex restore --bin: the original back =="
"$tex" restore --bin || true
"$tex" diff "$demo/textures-before.bin" "$data/textures.bin" || true
