#!/usr/bin/env bash
# The real viewer under valgrind's memcheck in a scripted session: two test cameras, a window
# manager, camera switches from the context menu by mouse and by keyboard, the camera-settings
# dialog (Ctrl+K), the about box (F1), a pen stroke, wheel zoom, a turn (R), a saved picture
# (Ctrl+S) and the close (Escape). Passes only when memcheck reports no error; leaks are not
# counted. Usage: scripts/memcheck.sh build/vistrela. The log is kept as MEMCHECK_LOG (default
# memcheck.log in the current folder's build/ when it exists, else /tmp).
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tests/e2e/lib/env.sh"
source "$root/scripts/lib/session.sh"
# Under memcheck the viewer runs tens of times slower: every bound is stretched.
SESSION_SLOWNESS="${MEMCHECK_SLOWNESS:-10}"
LOG="${MEMCHECK_LOG:-$root/build/memcheck.log}"
[ -d "$(dirname "$LOG")" ] || LOG="/tmp/vistrela-memcheck.log"

start_x
start_wm
export VISTRELA_TEST_CAMERAS="Laptop Camera@640x480;USB Cam@1280x720"
# GLib hands its memory to malloc so that memcheck sees every block.
export G_SLICE=always-malloc G_DEBUG=gc-friendly

step() { echo "[$(date +%T)] $*"; }

step "starting the viewer under memcheck (log: $LOG)"
valgrind --tool=memcheck --error-exitcode=99 --errors-for-leak-kinds=none \
  --suppressions="$root/.ci/valgrind.supp" --num-callers=40 --log-file="$LOG" \
  "$VISTRELA_BIN" &
VG_PID=$!
PIDS+=($VG_PID)

viewer_alive() { kill -0 "$VG_PID" 2>/dev/null; }
# Fails with the memcheck errors so far when the viewer has ended early.
check_alive() {
  viewer_alive && return 0
  grep -E -A25 'Invalid (read|write)|Process terminating' "$LOG" | head -80 >&2 || true
  fail "the viewer ended during: $*"
}

# The USB camera is listed first (and opened first): menu row 0 is "USB Cam", row 1 "Laptop Camera".
wait_main_window 20
check_alive "start"
wait_until 30 title_shows 1280,720 || fail "not on the USB camera: $(main_title)"
focus_main

step "switching to the laptop camera with the mouse"
choose_camera_by_mouse 1 2
wait_until 60 title_shows 640,480 || { check_alive "menu switch"; fail "no switch: $(main_title)"; }

step "switching back with the keyboard"
choose_camera_by_keys 0
wait_until 60 title_shows 1280,720 || { check_alive "key switch"; fail "no switch: $(main_title)"; }

step "camera settings (Ctrl+K)"
focus_main
xdotool key ctrl+k
wait_for_window '^카메라 설정' $((30 * SESSION_SLOWNESS)) >/dev/null || { check_alive "Ctrl+K"; fail "no camera-settings dialog"; }
xdotool key Escape
gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
wait_until 30 gone '^카메라 설정' || fail "the camera-settings dialog stayed"

step "about box (F1)"
focus_main
xdotool key F1
wait_for_window '정보$' $((30 * SESSION_SLOWNESS)) >/dev/null || { check_alive "F1"; fail "no about box"; }
xdotool key Return
wait_until 30 gone '정보$' || fail "the about box stayed"
check_alive "dialogs"

step "pen stroke, wheel zoom, turn"
focus_main
read -r x y w h < <(window_box "$MAIN_WID")
cx=$((x + (w - 165) / 2)) cy=$((y + h / 2))
xdotool mousemove --sync $((cx - 100)) $((cy - 50)) mousedown 1
for i in 1 2 3 4 5 6 7 8; do xdotool mousemove --sync $((cx - 100 + 25 * i)) $((cy - 50 + 12 * i)); done
xdotool mouseup 1
zoomed() { [[ "$(main_title)" =~ Zoom:([0-9.]+)x ]] && [ "${BASH_REMATCH[1]}" != "1.00" ]; }
# A step towards the user (button 5) magnifies, a step away (button 4) shrinks back.
xdotool click 5
wait_until 30 zoomed || { check_alive "wheel"; fail "the wheel did not zoom: $(main_title)"; }
xdotool click 4
unzoomed() { [[ "$(main_title)" == *"Zoom:1.00x"* ]]; }
wait_until 30 unzoomed || fail "the wheel did not zoom back: $(main_title)"
xdotool key r
check_alive "turn"

step "saving a picture (Ctrl+S)"
xdotool key ctrl+s
saved() { [ -n "$(find "$HOME/Desktop" -maxdepth 1 -name '*.jpg' -size +0 | head -1)" ]; }
wait_until 60 saved || { check_alive "Ctrl+S"; fail "no picture on the desktop"; }
picture="$(find "$HOME/Desktop" -maxdepth 1 -name '*.jpg' | head -1)"
# The quarter turn shows in the picture: the 1280 x 720 camera's picture stands upright.
identify -format '%m %w %h\n' "$picture" | grep -q '^JPEG 720 1280$' ||
  fail "not the turned 720 x 1280 JPEG: $(identify "$picture")"
step "saved $(basename "$picture"): $(identify -format '%w x %h' "$picture")"

step "closing (Escape)"
focus_main
xdotool key Escape
wait_until 120 gone '^Vistrela Viewer v' || fail "the window stayed after Escape"
ended() { ! viewer_alive; }
wait_until 120 ended || fail "the viewer did not end"
status=0
wait "$VG_PID" || status=$?

grep -E '^==[0-9]+== ERROR SUMMARY' "$LOG" || true
if grep -q -E 'Invalid (read|write)|Invalid free|Mismatched free' "$LOG"; then
  grep -E -B2 -A30 'Invalid (read|write)|Invalid free|Mismatched free' "$LOG" | head -150 >&2
  fail "memcheck found invalid accesses (log: $LOG)"
fi
[ "$status" -eq 0 ] || {
  grep -E -A30 '^==[0-9]+== [A-Z][a-z].*(uninitialised|Syscall param|overlap)' "$LOG" | head -120 >&2
  fail "the viewer under memcheck exited $status (log: $LOG)"
}
echo "memcheck: no errors"
