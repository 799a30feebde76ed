#!/usr/bin/env bash
# The Windows program's real window, tested under Wine on a virtual X display.
#   (b) no argument: the fatal box appears with its caption, text and error
#       icon, is dismissed with Return, and the program ends with exit code 0
#       without ever showing its main window;
#   (a) a pack executable made from the demo pack, countdown 3: the window is
#       found by its caption and photographed (kept under <build>/artifacts/),
#       its client size, centring, status lines, progress bar, logo and credits
#       box are checked with pixel probes, the container afterwards equals the
#       one a console run makes, and the temporary archive is gone;
#   (c) in that run, the rejected picture's warning box is captioned with the
#       entry name, shows its text and warning icon, is dismissed, and the run
#       goes on to its countdown;
#   (d) a second instance started while the first counts down ends at once,
#       showing nothing; then closing the first window (Alt+F4) during its
#       countdown ends it at once;
#   (e) closing the window while the run waits on a warning box lets the run
#       finish (container saved, temporary archive deleted), then the program
#       ends without counting down.
# Usage: tests/run_window.sh [WINDOWS_BUILD [NATIVE_BUILD]]   (default build-win
# and build; the native build provides demo-game and skinwright-pack).
# Needs Xvfb, xdotool, ImageMagick (import, convert) and Wine.
set -uo pipefail
cd "$(dirname "$0")/.."

WIN=$(realpath -m "${1:-build-win}")
NATIVE=$(realpath -m "${2:-build}")
EXE=$WIN/bin/skinwright.exe
ART=$WIN/artifacts
WORK=$WIN/window-test
export WINEPREFIX=$WIN/wineprefix-window
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all,trace+msgbox

failures=0
pass() { echo "ok   $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
check() { # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

for tool in Xvfb xdotool import convert wine wineserver; do
  command -v "$tool" >/dev/null || { echo "run_window: $tool is missing"; exit 1; }
done
for program in "$EXE" "$NATIVE/bin/demo-game" "$NATIVE/bin/skinwright-pack"; do
  [ -x "$program" ] || { echo "run_window: $program is missing (build it first)"; exit 1; }
done

# ---- virtual display, Wine prefix, clean-up ------------------------------------
display=
for n in $(seq 91 140); do
  [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || { display=$n; break; }
done
[ -n "$display" ] || { echo "run_window: no free X display"; exit 1; }
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
programs=()
cleanup() {
  for pid in "${programs[@]}"; do kill "$pid" 2>/dev/null; done
  wineserver -k 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 1 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

rm -rf "$WORK"
mkdir -p "$WORK" "$ART"
[ -d "$WINEPREFIX" ] || timeout 120 wineboot -i >/dev/null 2>&1
# Temporary archives left by an interrupted earlier run would spoil the checks.
find "$WINEPREFIX/drive_c/users" "$WINEPREFIX/drive_c/windows/temp" -name '*tmp-*.zip' -delete 2>/dev/null
wineserver -p 60  # keep the server between the programs: each starts in well under a second

"$NATIVE/bin/demo-game" "$WORK/demo" >/dev/null || { echo "run_window: demo-game failed"; exit 1; }
game_unix="$WORK/demo/prefix/drive_c/Program Files/Razorworks/Comanche Hokum"
game_wine="Z:$(echo "$game_unix" | tr / '\\')"
container="$game_unix/cohokum/3ddata/textures.bin"
cp "$container" "$WORK/textures.bin.before"
timeout 60 wine reg add 'HKLM\Software\Razorworks\Comanche Hokum' /v 'Installation Path' /t REG_SZ \
  /d "$game_wine" /reg:32 /f >/dev/null 2>&1 || { echo "run_window: cannot write the registry"; exit 1; }
"$NATIVE/bin/skinwright-pack" "$EXE" "$WORK/demo/demo-pack-bin.zip" "$WORK/pack-bin.exe" >/dev/null ||
  { echo "run_window: skinwright-pack failed"; exit 1; }

# ---- helpers ---------------------------------------------------------------------
# Starts a Windows program in the background under timeout; its exit code lands
# in $WORK/<tag>.rc and its output (with Wine's message-box trace) in <tag>.log.
start() { # start TAG SECONDS PROGRAM ARGS...
  local tag=$1 seconds=$2; shift 2
  rm -f "$WORK/$tag.rc"
  (cd "$WORK" && timeout "$seconds" wine "$@" >"$WORK/$tag.log" 2>&1; echo $? >"$WORK/$tag.rc") &
  programs+=($!)
}
# Waits until the program has ended; prints its exit code (empty on time-out).
finished() { # finished TAG SECONDS
  for _ in $(seq 1 $(($2 * 10))); do
    [ -s "$WORK/$1.rc" ] && { cat "$WORK/$1.rc"; return; }
    sleep 0.1
  done
}
# Id of the visible window whose caption is exactly the text; waits up to the
# given seconds; prints nothing when none appears.
find_window() { # find_window CAPTION SECONDS
  local pattern id
  pattern="^$(printf '%s' "$1" | sed 's/[].[*^$()+?{}|\\]/\\&/g')\$"
  for _ in $(seq 1 $(($2 * 10))); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
}
# Makes a window the active one with a click (without a window manager, Wine
# moves the keyboard focus only on a click), then presses the keys.
press() { # press WINDOW KEY
  xdotool mousemove --window "$1" 5 5 click 1 2>/dev/null
  sleep 0.3
  xdotool key "$2"
}
dismiss() { press "$1" Return; } # Return presses the box's OK button
size_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: //p'; }
position_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9]*,[0-9]*\).*/\1/p'; }
# The pixels of a region as lines "r g b".
pixels() { # pixels IMAGE X Y W H
  convert "$1" -crop "$4x$5+$2+$3" +repage -alpha off -depth 8 txt:- 2>/dev/null |
    sed -nE 's/^[0-9]+,[0-9]+: \(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3/p'
}
rgb() { pixels "$1" "$2" "$3" 1 1; }
# How many pixels of a region pass an awk condition on r, g, b.
count() { # count IMAGE X Y W H CONDITION
  pixels "$1" "$2" "$3" "$4" "$5" | awk "{ r=\$1; g=\$2; b=\$3 } $6 { n++ } END { print n + 0 }"
}
traced() { grep -qF "MSGBOX_OnInit L\"$2\"" "$WORK/$1.log"; }
no_window_named() { [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]; }
red_icon() { [ "$(count "$1" 0 0 60 "$2" 'r > 180 && g < 90 && b < 90')" -gt 20 ]; }
yellow_icon() { [ "$(count "$1" 0 0 60 "$2" 'r > 200 && g > 150 && b < 90')" -gt 20 ]; }

# ---- (b) the fatal path --------------------------------------------------------
echo "== (b) no argument: fatal box, no window =="
start fatal 30 "$EXE"
box=$(find_window "Skinwright import module" 15)
if [ -z "$box" ]; then
  fail "(b) the fatal box appears with caption \"Skinwright import module\""
else
  pass "(b) the fatal box appears with caption \"Skinwright import module\""
  import -window "$box" "$ART/window-fatal-box.png"
  check "(b) the box says \"No valid Zip file specified.\"" traced fatal "No valid Zip file specified."
  check "(b) the box carries the error icon" red_icon "$ART/window-fatal-box.png" 60
  check "(b) the main window is not shown" no_window_named "Skinwright import module 1\\.0"
  dismiss "$box"
fi
check "(b) the program ends with exit code 0 once the box is closed" test "$(finished fatal 10)" = 0

# ---- (a) and (c): a pack executable with countdown 3 ----------------------------
echo "== (a) pack executable, countdown 3; (c) rejected picture =="
start pack 60 "$WORK/pack-bin.exe" - 3
warning=$(find_window "HANGAR DOOR-BIN-64x64.bmp" 20)
if [ -z "$warning" ]; then
  fail "(c) the rejected picture's box appears captioned with its entry name"
else
  pass "(c) the rejected picture's box appears captioned with its entry name"
  import -window "$warning" "$ART/window-rejected-box.png"
  check "(c) the box says \"Wrong color depth or texture size.\"" traced pack "Wrong color depth or texture size."
  check "(c) the box carries the warning icon" yellow_icon "$ART/window-rejected-box.png" 60
  dismiss "$warning"
fi
main=$(find_window "Skinwright import module 1.0" 10)
shot=$ART/window-countdown.png
if [ -z "$main" ]; then
  fail "(a) the main window is found by its caption"
else
  pass "(a) the main window is found by its caption"
  read -r width height <<<"$(size_of "$main" | tr x ' ')"
  IFS=, read -r left top <<<"$(position_of "$main")"
  # Photograph once the countdown's first tick has moved the bar and the area
  # of the box just closed is repainted (a blank area shows as black). While
  # the container is saved the bar is full and the second line empty, so the
  # countdown is told by both: its line drawn, the bar's right end empty.
  for _ in $(seq 1 60); do
    import -window "$main" "$shot" 2>/dev/null
    [ "$(count "$shot" 14 58 6 8 'b > r + 60')" -gt 30 ] &&
      [ "$(count "$shot" 262 58 14 8 'b > r + 60')" -eq 0 ] &&
      [ "$(count "$shot" 16 30 120 13 'r < 100 && g < 100 && b < 100')" -gt 20 ] &&
      [ "$(count "$shot" 0 0 292 150 'r == 0 && g == 0 && b == 0')" -lt 4000 ] && break
    sleep 0.1
  done
  check "(a) client area 292 wide (is $width)" test "$width" = 292
  check "(a) the application's own window carries the title \"Skinwright import module\"" \
    test -n "$(xdotool search --onlyvisible --name '^Skinwright import module$' 2>/dev/null)"
  # Outer height 175 less a title bar and frame of 20 to 30 pixels.
  check "(a) client area of the tall window, 145 to 155 high (is $height)" test "$height" -ge 145 -a "$height" -le 155
  check "(a) centred on the desktop (client at $left,$top)" \
    test $((left + width / 2)) -ge 510 -a $((left + width / 2)) -le 514 -a $((top + height / 2)) -ge 380 -a $((top + height / 2)) -le 400
  read -r br bg bb <<<"$(rgb "$shot" 290 4)"
  check "(a) button-face background ($br,$bg,$bb)" test "$br" -ge 160 -a "$br" -le 250 -a "$br" = "$bg"
  check "(a) Label1 drawn at 16,10" test "$(count "$shot" 16 10 120 13 'r < 100 && g < 100 && b < 100')" -gt 20
  check "(a) Label2 drawn at 16,30" test "$(count "$shot" 16 30 120 13 'r < 100 && g < 100 && b < 100')" -gt 20
  check "(a) progress bar: filled part at its left" test "$(count "$shot" 14 58 6 8 'b > r + 60')" -gt 30
  check "(a) progress bar: empty part at its right" test "$(count "$shot" 262 58 14 8 'b > r + 60')" -eq 0
  check "(a) progress bar: ends at 280" test "$(count "$shot" 281 56 6 12 'b > r + 60')" -eq 0
  check "(a) credits box drawn white at 80,80 202x65" test "$(count "$shot" 150 130 120 12 'r == 255 && g == 255 && b == 255')" -gt 1000
  check "(a) credits text drawn in the box" test "$(count "$shot" 84 84 190 40 'r < 100 && g < 100 && b < 100')" -gt 50
  check "(a) logo drawn at 10,80" test "$(count "$shot" 12 82 60 60 "!(r == $br && g == $bg && b == $bb)")" -gt 3000
  check "(a) nothing drawn left of the logo" test "$(count "$shot" 0 80 9 60 "!(r == $br && g == $bg && b == $bb)")" -eq 0
fi
pack_rc=$(finished pack 15)
check "(a) the pack executable ends with exit code 0 after its countdown" test "$pack_rc" = 0
check "(a) the container was patched" bash -c '! cmp -s "$0" "$1"' "$WORK/textures.bin.before" "$container"
temp_left=$(find "$WINEPREFIX/drive_c/users" "$WINEPREFIX/drive_c/windows/temp" -name '*tmp-bin.zip' 2>/dev/null | wc -l)
check "(a) the temporary archive is gone" test "$temp_left" = 0
cp "$container" "$WORK/textures.bin.window"
cp "$WORK/textures.bin.before" "$container"
(cd "$WORK" && SKW_FRONTEND=console WINEDEBUG=-all timeout 30 wine "$WORK/pack-bin.exe" - 0 >"$WORK/console.log" 2>&1)
check "(a) the container equals the one the console front-end makes" cmp -s "$WORK/textures.bin.window" "$container"
check "(a) the console front-end reported the rejected picture on standard error" \
  grep -qF "warning: HANGAR DOOR-BIN-64x64.bmp: Wrong color depth or texture size." "$WORK/console.log"

# ---- (d) a second instance, and closing during the countdown ------------------
echo "== (d) second instance during a countdown; Alt+F4 ends the countdown =="
start first 60 "$EXE" 'demo\demo-pack-pal.zip' 20
warning=$(find_window "CRATE 01-PAL-16x16.bmp" 20)
[ -n "$warning" ] && dismiss "$warning"
main=$(find_window "Skinwright import module 1.0" 10)
for _ in $(seq 1 30); do # until the countdown's first tick
  import -window "$main" "$WORK/first.png" 2>/dev/null
  [ "$(count "$WORK/first.png" 14 58 6 8 'b > r + 60')" -gt 30 ] && break
  sleep 0.1
done
shown_before=$(xdotool search --onlyvisible --name . 2>/dev/null | sort)
began=$(date +%s%N)
start second 20 "$EXE"
second_rc=$(finished second 10)
took=$((($(date +%s%N) - began) / 1000000))
check "(d) the second instance ends with exit code 0 (in $took ms)" test "$second_rc" = 0
check "(d) the second instance ends at once" test "$took" -lt 5000
shown_after=$(xdotool search --onlyvisible --name . 2>/dev/null | sort)
check "(d) the second instance shows nothing" test "$shown_before" = "$shown_after" -a -z "$(grep MSGBOX_OnInit "$WORK/second.log")"
check "(d) the first is still counting down" test ! -s "$WORK/first.rc"
began=$(date +%s%N)
[ -n "$main" ] && press "$main" alt+F4
first_rc=$(finished first 10)
took=$((($(date +%s%N) - began) / 1000000))
check "(d) closing the window during the countdown ends the program with exit code 0" test "$first_rc" = 0
# Without a window manager Wine waits up to 2 s for each top-level window it
# unmaps, so "at once" here means well before the 20 s countdown would end.
check "(d) ... at once, not after the remaining countdown (in $took ms)" test "$took" -lt 10000

# ---- (e) closing the window during the run ------------------------------------
echo "== (e) Alt+F4 while the run waits on its warning box: the run still finishes =="
cp "$WORK/textures.bin.before" "$container"
start closed 60 "$WORK/pack-bin.exe" - 20
warning=$(find_window "HANGAR DOOR-BIN-64x64.bmp" 20)
main=$(find_window "Skinwright import module 1.0" 5)
if [ -z "$warning" ] || [ -z "$main" ]; then
  fail "(e) the run shows its window and the warning box"
else
  press "$main" alt+F4
  sleep 0.5
  check "(e) the program does not end while the run is going" test ! -s "$WORK/closed.rc"
  dismiss "$warning"
  began=$(date +%s%N)
  closed_rc=$(finished closed 15)
  took=$((($(date +%s%N) - began) / 1000000))
  check "(e) after the run the program ends with exit code 0 without counting down (in $took ms)" \
    test "$closed_rc" = 0 -a "$took" -lt 12000
  check "(e) the run saved the whole container" cmp -s "$WORK/textures.bin.window" "$container"
  temp_left=$(find "$WINEPREFIX/drive_c/users" "$WINEPREFIX/drive_c/windows/temp" -name '*tmp-bin.zip' 2>/dev/null | wc -l)
  check "(e) the run deleted the temporary archive" test "$temp_left" = 0
fi

echo "screenshots in $ART"
if [ "$failures" -gt 0 ]; then
  echo "run_window: $failures check(s) failed"
  exit 1
fi
echo "run_window: all checks passed"
