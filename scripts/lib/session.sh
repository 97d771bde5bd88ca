# Driving the real viewer as a user would, for the scripts of scripts/ (memcheck, soak). Source
# it after tests/e2e/lib/env.sh (a private X server, a throw-away home, `fail`, `wait_for_window`).
# Every step waits for something to show (a window, a title, a file) with a generous bound; the
# bounds scale with SESSION_SLOWNESS (memcheck runs the viewer many times slower).

SESSION_SLOWNESS="${SESSION_SLOWNESS:-1}"
MAIN_WID=""

# Waits up to $1 seconds (times SESSION_SLOWNESS) for the command "$2..." to succeed. A script
# may define `session_abort`, called while waiting: when it succeeds the wait fails at once
# (the viewer has ended, or has already gone wrong).
wait_until() {
  local limit=$(($1 * SESSION_SLOWNESS))
  shift
  local end=$((SECONDS + limit))
  while ! "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    if declare -F session_abort >/dev/null && session_abort; then return 1; fi
    sleep 0.1
  done
}

# Starts openbox on the private display and waits until it manages the screen.
start_wm() {
  openbox --sm-disable >/dev/null 2>&1 &
  PIDS+=($!)
  wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  wait_until 20 wm_ready || fail "openbox did not start"
}

main_title() { xdotool getwindowname "$MAIN_WID" 2>/dev/null; }

# True when the title shows the picture size $1 ("640,480") and a frame rate above zero.
title_shows() {
  local t
  t="$(main_title)" || return 1
  [[ "$t" == *"[$1] fps:"* ]] && [[ ! "$t" =~ fps:0\.00 ]]
}

# The name of the open camera as the camera-settings dialog (Ctrl+K) titles it; the dialog is
# closed again (Escape). Empty when the dialog does not show.
SETTINGS_TITLE='^카메라 설정'
settings_shown() { xdotool search --onlyvisible --name "$SETTINGS_TITLE" >/dev/null 2>&1; }
settings_gone() { ! settings_shown; }
open_camera_name() {
  local wid name
  focus_main
  xdotool key ctrl+k
  wait_until 30 settings_shown || return 0
  wid="$(xdotool search --onlyvisible --name "$SETTINGS_TITLE" | head -1)"
  name="$(xdotool getwindowname "$wid")"
  xdotool key Escape
  wait_until 30 settings_gone || fail "the camera-settings dialog stayed open"
  echo "${name#*카메라 설정 - }"
}
# True when the open camera is "$1". The title's size is not used: it keeps the size asked of
# the first camera.
camera_is() { [ "$(open_camera_name)" = "$1" ]; }

# Waits for the main window and its first frames; sets MAIN_WID.
wait_main_window() {
  local limit=$(($1 * SESSION_SLOWNESS))
  MAIN_WID="$(wait_for_window '^Vistrela Viewer v' "$limit" | head -1)" || fail "no main window"
  frames() { [[ "$(main_title)" =~ fps:([0-9.]+) ]] && [ "${BASH_REMATCH[1]}" != "0.00" ]; }
  wait_until "$1" frames || fail "no frames: $(main_title)"
}

# The viewer's visible menu windows, one id per line: override-redirect windows of the program
# (root children that openbox does not frame), tooltips left out.
popup_windows() {
  xwininfo -root -children 2>/dev/null | awk '/^ +0x/ {print $1}' | while read -r w; do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
    xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
    props="$(xprop -id "$w" WM_CLASS _NET_WM_WINDOW_TYPE 2>/dev/null)"
    [[ "$props" == *'"vistrela"'* && "$props" != *TOOLTIP* ]] || continue
    echo "$w"
  done
}
popup_count_is() { [ "$(popup_windows | wc -l)" -eq "$1" ]; }

# Geometry of window $1 as X Y W H (absolute).
window_box() {
  local info x y w h
  info="$(xwininfo -id "$1")" || return 1
  x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
  w=$(awk '/^ *Width:/ {print $NF}' <<<"$info")
  h=$(awk '/^ *Height:/ {print $NF}' <<<"$info")
  echo "$x $y $w $h"
}

# Screen position of the centre of the panel button in row $1, column $2 (controls/panel_layout:
# x from the right edge of the outer window, rows 55 px apart plus an eighth of the outer
# height above 480 per row; buttons 60 x 50).
panel_button_centre() {
  local row=$1 column=$2 x y w h left=0 right=0 top=0 bottom=0 extents
  read -r x y w h < <(window_box "$MAIN_WID")
  extents="$(xprop -id "$MAIN_WID" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ' ')"
  [ -n "$extents" ] && IFS=, read -r left right top bottom <<<"$extents"
  local outer_w=$((w + left + right)) outer_h=$((h + top + bottom)) d=0
  [ "$outer_h" -gt 480 ] && d=$(((outer_h - 480) / 8))
  local bx=$((outer_w - 165 - 5)) by
  if [ "$row" -eq 0 ]; then by=10; else by=$((65 + (row - 1) * 55 + row * d)); fi
  [ "$column" -eq 2 ] && bx=$((bx + 70))
  echo "$((x + bx + 30)) $((y + by + 25))"
}

focus_main() { xdotool windowactivate --sync "$MAIN_WID" >/dev/null 2>&1 || xdotool windowfocus --sync "$MAIN_WID"; }

# Pointer moves are not --sync: a move to where the pointer already is never reports and
# xdotool would wait for it.

# Opens the context menu with the panel's menu button (row 6, column 1); prints the menu's id.
open_menu() {
  local cx cy
  read -r cx cy < <(panel_button_centre 6 1)
  xdotool mousemove "$cx" "$cy" click 1
  wait_until 30 popup_count_is 1 || fail "the menu did not open"
  popup_windows
}

# Chooses camera row $1 (0-based) of $2 listed cameras with the mouse: menu button, the
# "camera" entry (the menu's first item), then the camera's item in the submenu.
choose_camera_by_mouse() {
  local row=$1 count=$2 menu sub x y w h
  menu="$(open_menu)"
  read -r x y w h < <(window_box "$menu")
  # The first item: 8 pixels below the menu's top edge lie inside it at any menu length.
  xdotool mousemove $((x + w / 3)) $((y + 8)) click 1
  wait_until 30 popup_count_is 2 || fail "the camera submenu did not open"
  sub="$(popup_windows | grep -vx "$menu" | head -1)"
  read -r x y w h < <(window_box "$sub")
  xdotool mousemove $((x + w / 3)) $((y + h * (2 * row + 1) / (2 * count))) click 1
  wait_until 30 popup_count_is 0 || fail "the menu stayed open after a choice"
}

# The same choice with the keyboard: the menu button, then Down, Right, Down x row, Return.
choose_camera_by_keys() {
  local row=$1 i
  open_menu >/dev/null
  xdotool key Down
  xdotool key Right
  wait_until 30 popup_count_is 2 || fail "the camera submenu did not open from the keyboard"
  for ((i = 0; i < row; i++)); do xdotool key Down; done
  xdotool key Return
  wait_until 30 popup_count_is 0 || fail "the menu stayed open after Return"
}
