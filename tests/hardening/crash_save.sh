#!/usr/bin/env bash
# Crash-safe save: installs the palettised demo pack into a demo game whose
# container carries 64 MiB of trailing data (kept by the engine, so the save
# is long), and kills the installer with SIGKILL at many points of the run.
# After every kill the container must be byte for byte either the old file or
# the one a completed run writes, and a kept original, when there is one, the
# old file; a completed run must leave no file beside the container but the
# containers and the kept original.
#   tests/hardening/crash_save.sh [BIN_DIR]     (default build/bin; Linux only)
#   CRASH_POINTS=40  number of kills
set -euo pipefail
cd "$(dirname "$0")/../.."
bin=$(cd "${1:-build/bin}" && pwd)
points=${CRASH_POINTS:-40}
for program in skinwright demo-game; do
  [ -x "$bin/$program" ] || { echo "crash_save.sh: $bin/$program is missing; build it first" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/skw-crash.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$bin/demo-game" "$work" >/dev/null
data="$work/prefix/drive_c/Program Files/Razorworks/Comanche Hokum/cohokum/3ddata"
container="$data/textures.pal"
{ yes 'trailing bytes of a large container ' || true; } | head -c $((64 << 20)) >>"$container"
cp "$container" "$work/old"
expected_files=$(ls -A "$data"; echo textures.pal.original)
expected_files=$(echo "$expected_files" | sort)

run() { (cd "$work" && WINEPREFIX="$work/prefix" exec "$bin/skinwright" demo-pack-pal.zip 0) >/dev/null 2>&1; }

# One completed run gives the new container and the run's length.
start=$(date +%s%N)
run
duration_us=$((($(date +%s%N) - start) / 1000))
cp "$container" "$work/new"
if cmp -s "$work/old" "$work/new"; then echo "FAIL: the completed run changed nothing" >&2; exit 1; fi
if ! cmp -s "$work/old" "$container.original"; then echo "FAIL: the kept original is not the old container" >&2; exit 1; fi
if [ "$(ls -A "$data" | sort)" != "$expected_files" ]; then
  echo "FAIL: a completed run left files beside the container:" >&2; ls -A "$data" >&2; exit 1
fi

old=0 new=0 during=0
for ((i = 0; i < points; i++)); do
  cp "$work/old" "$container"
  # Kill points spread over the whole run and a little beyond.
  delay_us=$((duration_us * 12 * i / (10 * points)))
  # The subshell replaces itself by the installer: $! is the installer's own id.
  (cd "$work" && WINEPREFIX="$work/prefix" exec "$bin/skinwright" demo-pack-pal.zip 0) >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '%d.%06d' $((delay_us / 1000000)) $((delay_us % 1000000)))"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if cmp -s "$container" "$work/old"; then
    old=$((old + 1))
  elif cmp -s "$container" "$work/new"; then
    new=$((new + 1))
  else
    echo "FAIL: after a kill at ${delay_us} us the container is neither the old nor the new file" >&2
    exit 1
  fi
  if [ -e "$container.original" ] && ! cmp -s "$work/old" "$container.original"; then
    echo "FAIL: after a kill at ${delay_us} us the kept original is not the old container" >&2
    exit 1
  fi
  rm -f "$container.original"
  # A killed run may leave its unfinished temporary file; clear it for the next round.
  for f in "$data"/*; do
    case "$(basename "$f")" in textures.bin | textures.pal) ;; *) rm -f "$f"; during=$((during + 1)) ;; esac
  done
done
echo "crash-safe save: $points kills over a ${duration_us} us run: $old left the old container, $new the new one; $during kills fell inside the save (temporary file present)"
