#!/usr/bin/env bash
# The options dialog as a user reaches it, under a window manager with two test cameras (the
# USB one listed first): Ctrl+, opens "Option" with the camera list focused, so Down and Enter
# switch to the laptop camera (a saved picture is 640x480, not USB Cam's 1280x720); a quality
# of 100 keeps the dialog open with its message; a restart without remembering opens USB Cam
# again, and after Alt+M (remember) and OK the restart opens the laptop camera.
source "$(dirname "$0")/lib/env.sh"
source "$(dirname "$0")/../../scripts/lib/session.sh"
start_x 1366x768
start_wm
export VISTRELA_TEST_CAMERAS="USB Cam@1280x720;Laptop Camera@640x480"

VIEWER_PID=""
start_viewer() {
  "$VISTRELA_BIN" 2>>"$E2E_TMP/viewer.err" &
  VIEWER_PID=$!
  PIDS+=($VIEWER_PID)
  wait_main_window 20
  focus_main
}
stop_viewer() {
  focus_main
  xdotool key Escape
  ended() { ! kill -0 "$VIEWER_PID" 2>/dev/null; }
  wait_until 20 ended || fail "the viewer did not close"
}
session_abort() { [ -n "$VIEWER_PID" ] && ! kill -0 "$VIEWER_PID" 2>/dev/null; }

OPTION_TITLE='^Option$'
option_shown() { xdotool search --onlyvisible --name "$OPTION_TITLE" >/dev/null 2>&1; }
option_gone() { ! option_shown; }
notice_shown() { xdotool search --onlyvisible --name '^Vistrela$' >/dev/null 2>&1; }
notice_gone() { ! notice_shown; }
open_options() {
  # The key is pressed again when the window had not taken the keyboard yet; once the dialog
  # is open the main window takes no keys, so a second press cannot open a second dialog.
  local try
  for try in 1 2 3; do
    focus_main
    xdotool key ctrl+comma
    wait_until 10 option_shown && break
  done
  option_shown || fail "Ctrl+, opened no Option dialog"
  local wid
  wid="$(xdotool search --onlyvisible --name "$OPTION_TITLE" | head -1)"
  xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
}

# Without capture.ini the dialog shows the folder in force: OK keeps the desktop.
pictures() { find "$HOME/Desktop" -maxdepth 1 -name '*.jpg' | sort; }
count_is() { [ "$(pictures | wc -l)" -eq "$1" ]; }
readable() { identify -format '%w' "$1" >/dev/null 2>&1; }
saved_size() {
  local before shot
  before=$(pictures | wc -l)
  focus_main
  xdotool key ctrl+s
  wait_until 20 count_is $((before + 1)) || fail "no picture saved"
  shot="$(ls -t "$HOME"/Desktop/*.jpg | head -1)"
  wait_until 20 readable "$shot" || fail "the picture $shot stays incomplete"
  identify -format '%wx%h' "$shot"
}

start_viewer
camera_is "USB Cam" || fail "the first start did not open USB Cam: $(open_camera_name)"

# The camera list has the focus: Down picks the second camera, Enter is OK.
open_options
xdotool key Down Return
wait_until 20 option_gone || fail "Enter did not close the dialog"
wait_until 20 camera_is "Laptop Camera" || fail "Down and Enter did not switch the camera"
size="$(saved_size)"
[ "$size" = "640x480" ] || fail "the laptop camera's picture is $size"

# Quality 100 (the fifth field in tab order): the message, and the dialog stays.
open_options
xdotool key Tab Tab Tab Tab ctrl+a
xdotool type 100
xdotool key Return
wait_until 20 notice_shown || fail "no message for quality 100"
option_shown || fail "the dialog closed on quality 100"
xdotool key Return
wait_until 20 notice_gone || fail "the message stayed"
option_shown || fail "the dialog closed after the message"
wid="$(xdotool search --onlyvisible --name "$OPTION_TITLE" | head -1)"
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
xdotool key Escape
wait_until 20 option_gone || fail "Escape did not close the dialog"

# Without remembering, a restart is the standard start: USB Cam.
stop_viewer
start_viewer
camera_is "USB Cam" || fail "the restart without remembering opened $(open_camera_name)"

# Remembered: the restart opens the laptop camera.
open_options
xdotool key Down alt+m Return
wait_until 20 option_gone || fail "Enter did not close the dialog"
wait_until 20 camera_is "Laptop Camera" || fail "the choice did not switch the camera"
grep -q 'Laptop Camera' "$XDG_CONFIG_HOME/vistrela/vistrela.conf" ||
  fail "nothing remembered in the profile"
stop_viewer
start_viewer
camera_is "Laptop Camera" || fail "the remembered camera did not open: $(open_camera_name)"

echo "1 passed, 0 failed"
