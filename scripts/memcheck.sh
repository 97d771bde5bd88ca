#!/usr/bin/env bash
# The real viewer under valgrind's memcheck in a scripted session: two test cameras, a window
# manager, camera switches from the context menu by mouse and by keyboard, the camera-settings
# dialog (Ctrl+K, which also tells which camera is open), the about box (F1), a pen stroke,
# wheel zoom, a quarter turn (R), a saved picture (Ctrl+S), a recording with the sine
# microphone from the record button, compare with two kept pages and ink on one, the spotlight
# and the curtain while it records, and the close (Escape) while it records, which makes the
# movie before the program ends. Passes only when memcheck reports no error (leaks are not
# counted). Usage: scripts/memcheck.sh build/vistrela. The log goes to MEMCHECK_LOG (default:
# memcheck.log beside the binary).
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tests/e2e/lib/env.sh"
source "$root/scripts/lib/session.sh"
# Under memcheck the viewer runs tens of times slower: every bound is stretched.
SESSION_SLOWNESS="${MEMCHECK_SLOWNESS:-10}"
LOG="${MEMCHECK_LOG:-$(dirname "$VISTRELA_BIN")/memcheck.log}"
rm -f "$LOG"

start_x
start_wm
export VISTRELA_TEST_CAMERAS="Laptop Camera@640x480;USB Cam@1280x720"
export VISTRELA_TEST_MICROPHONE=sine:440
# GLib hands its memory to malloc so that memcheck sees every block.
export G_SLICE=always-malloc G_DEBUG=gc-friendly
# Qt compiles regular expressions (file-dialog filters, folder listings) to machine code that
# memcheck cannot follow; it reports every jump in that code as depending on unset memory.
export QT_ENABLE_REGEXP_JIT=0
# The plugin registry is built before, outside memcheck: the throw-away home has none, and
# scanning the plugins under memcheck would take minutes.
gst-inspect-1.0 >/dev/null 2>&1 || fail "gst-inspect-1.0 failed"

step() { echo "[$(date +%T)] $*"; }

# libhwy's start-up timer check in place of its own (see scripts/memcheck_hwy_timer.cpp).
PRELOAD=""
if [[ "$(ldd "$VISTRELA_BIN")" == *libhwy.so* ]]; then
  echo 'HWY_0 { global: *; };' >"$E2E_TMP/hwy.map"
  g++ -shared -fPIC -O2 -Wl,--version-script="$E2E_TMP/hwy.map" -o "$E2E_TMP/libhwytimer.so" \
    "$root/scripts/memcheck_hwy_timer.cpp" || fail "could not build the libhwy timer stand-in"
  PRELOAD="$E2E_TMP/libhwytimer.so"
fi

step "starting the viewer under memcheck (log: $LOG)"
LD_PRELOAD="$PRELOAD" valgrind --tool=memcheck --error-exitcode=99 --errors-for-leak-kinds=none \
  --child-silent-after-fork=yes --num-callers=40 --suppressions="$root/.ci/valgrind.supp" \
  --log-file="$LOG" "$VISTRELA_BIN" &
VG_PID=$!
PIDS+=($VG_PID)

viewer_alive() { kill -0 "$VG_PID" 2>/dev/null; }
invalid_access() { grep -q -E 'Invalid (read|write|free)|Mismatched free' "$LOG" 2>/dev/null; }
# A wait gives up at once when the viewer has ended or memcheck has seen an invalid access.
session_abort() { ! viewer_alive || invalid_access; }
# Every failure shows memcheck's first reports of an invalid access, if there are any.
fail() {
  if invalid_access; then
    grep -E -B1 -A45 'Invalid (read|write|free)|Mismatched free' "$LOG" | head -150 >&2
    echo "memcheck found an invalid access (log: $LOG)" >&2
  fi
  viewer_alive || echo "the viewer has ended" >&2
  echo "FAIL: $*" >&2
  exit 1
}
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
gone() { ! shown "$1"; }

# The USB camera is listed first and opened first: menu row 0 is "USB Cam", row 1 "Laptop Camera".
wait_main_window 20
wait_until 30 title_shows 1280,720 || fail "not on the USB camera: $(main_title)"
focus_main

step "switching to the laptop camera with the mouse"
choose_camera_by_mouse 1 2
wait_until 60 camera_is "Laptop Camera" || fail "no switch to the laptop camera"

step "switching back with the keyboard"
choose_camera_by_keys 0
wait_until 60 camera_is "USB Cam" || fail "no switch to the USB camera"

step "about box (F1)"
focus_main
xdotool key F1
wait_until 30 shown '정보$' || fail "no about box"
xdotool key Return
wait_until 30 gone '정보$' || fail "the about box stayed"

step "pen stroke, wheel zoom, quarter turn"
focus_main
read -r x y w h < <(window_box "$MAIN_WID")
cx=$((x + (w - 165) / 2)) cy=$((y + h / 2))
xdotool mousemove --sync $((cx - 100)) $((cy - 50)) mousedown 1
for i in 1 2 3 4 5 6 7 8; do xdotool mousemove --sync $((cx - 100 + 25 * i)) $((cy - 50 + 12 * i)); done
xdotool mouseup 1
# A step towards the user (button 5) magnifies, a step away (button 4) shrinks back.
zoomed() { [[ "$(main_title)" =~ Zoom:([0-9.]+)x ]] && [ "${BASH_REMATCH[1]}" != "1.00" ]; }
unzoomed() { [[ "$(main_title)" == *"Zoom:1.00x"* ]]; }
xdotool click 5
wait_until 30 zoomed || fail "the wheel did not zoom: $(main_title)"
xdotool click 4
wait_until 30 unzoomed || fail "the wheel did not zoom back: $(main_title)"
xdotool key r

step "saving a picture (Ctrl+S)"
xdotool key ctrl+s
picture() { find "$HOME/Desktop" -maxdepth 1 -name '*.jpg' -size +0 | head -1; }
# Complete: the picture is written in place, so a read may catch it half written.
saved() { [ -n "$(picture)" ] && identify -regard-warnings "$(picture)" >/dev/null 2>&1; }
wait_until 60 saved || fail "no picture on the desktop"
# The quarter turn shows in the picture: the 1280 x 720 camera's picture stands upright.
identify -format '%m %w %h\n' "$(picture)" | grep -q '^JPEG 720 1280$' ||
  fail "not the turned 720 x 1280 JPEG: $(identify "$(picture)")"
step "saved $(basename "$(picture)")"

step "recording from the record button"
movie="$HOME/Desktop/lesson.avi"
read -r rx ry < <(panel_button_centre 5 2)
xdotool mousemove "$rx" "$ry" click 1
wait_until 60 shown '^동영상 저장' || fail "no save dialog"
xdotool key ctrl+a
xdotool type --delay 30 "$movie"
xdotool key Return
# Two seconds or more on the clock: under memcheck the title may be redrawn seldom.
recording() {
  [[ "$(main_title)" =~ 녹화중\.\.\ ([0-9]+):([0-9]+) ]] &&
    ((10#${BASH_REMATCH[1]} * 60 + 10#${BASH_REMATCH[2]} >= 2))
}
wait_until 60 recording || fail "no recording clock: $(main_title)"

step "compare, spotlight and curtain while recording"
focus_main
xdotool key c c
xdotool mousemove --sync $((cx + 50)) $((cy - 100)) mousedown 1
for i in 1 2 3 4; do xdotool mousemove --sync $((cx + 50 + 30 * i)) $((cy - 100 + 10 * i)); done
xdotool mouseup 1
xdotool key s v ctrl+s
pictures() { find "$HOME/Desktop" -maxdepth 1 -name '*.jpg' -size +0 | wc -l; }
second_saved() { [ "$(pictures)" -ge 2 ]; }
wait_until 60 second_saved || fail "no picture saved in compare"
# Escape ends compare first; S and V turn the shades off.
xdotool key s v Escape

step "closing (Escape) while recording"
focus_main
xdotool key Escape
ended() { ! viewer_alive; }
session_abort() { invalid_access; }
wait_until 120 ended || fail "the viewer did not end after Escape"
status=0
wait "$VG_PID" || status=$?

grep -E '^==[0-9]+== ERROR SUMMARY' "$LOG" || true
invalid_access && fail "invalid access"
if [ "$status" -ne 0 ]; then
  grep -E -A40 '^==[0-9]+== [A-Z][a-z]+.*(uninitialised|Syscall param|overlap|Argument)' "$LOG" |
    head -150 >&2
  fail "the viewer under memcheck exited $status (log: $LOG)"
fi
[ -s "$movie" ] || fail "closing while recording lost the movie"
step "movie made: $(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "file:$movie" | tr '\n' ' ')"
step "memcheck: no errors"
