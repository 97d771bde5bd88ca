#!/usr/bin/env bash
# The lesson modes under a window manager with a 640x480 camera (coloured squares in the four
# corners on black, a white square moving across the middle): the spotlight darkens the corners
# and keeps the middle bright, and follows a drag; the curtain dragged to the middle reveals the
# top half only; compare with two kept pages saves three panes with the live one moving, inks
# each pane on its own, shows a pane alone on a click; B blanks the screen but not the
# pictures; F5 fills the screen.
source "$(dirname "$0")/lib/env.sh"
source "$(dirname "$0")/../../scripts/lib/session.sh"
start_x
start_wm
source "$(dirname "$0")/lib/pictures.sh"
start_document_camera

corners() { echo 40x40+10+10 40x40+590+10 40x40+10+430 40x40+590+430; }
# True when every corner of picture $1 holds mostly colour class $2.
corners_are() {
  local c
  for c in $(corners); do [ "$(count_colour "$1" "$2" "$c")" -gt 1400 ] || return 1; done
}
point() { xdotool mousemove $((wx + $1)) $((wy + $2)); }
click() { point "$1" "$2"; xdotool click 1; }

# Spotlight: the corners dark, the middle as bright as the moving square.
point 320 240
key s
shot="$(save)"
corners_are "$shot" dark || fail "the spotlight left a corner bright in $shot"
middle_bright() { [ "$(count_colour "$(save)" bright 40x40+300+220)" -gt 1400 ]; }
wait_until 30 middle_bright || fail "the middle stays dark under the spotlight"
drag 320,240 200,160 60,60
shot="$(save)"
[ "$(count_colour "$shot" bright 40x40+10+10)" -gt 1400 ] || fail "the spotlight did not follow the drag"
[ "$(count_colour "$shot" dark 40x40+590+430)" -gt 1400 ] || fail "the far corner is lit in $shot"
key s
corners_are "$(save)" bright || fail "the spotlight stays after S again"
echo "spotlight: ok"

# Curtain: covers the page; a drag to the middle reveals the top half.
key v
corners_are "$(save)" curtain || fail "the curtain does not cover the page"
drag 320,4 320,120 320,240
shot="$(save)"
[ "$(count_colour "$shot" bright 40x40+10+10)" -gt 1400 ] &&
  [ "$(count_colour "$shot" bright 40x40+590+10)" -gt 1400 ] || fail "the top half is covered in $shot"
[ "$(count_colour "$shot" curtain 600x200+20+260)" -gt 115000 ] || fail "the bottom half shows in $shot"
key Escape
corners_are "$(save)" bright || fail "Escape left the curtain"
echo "curtain: ok"

# Compare: two kept pages, then three panes and an empty fourth quarter.
key c
key c
grid() { [ "$(count_colour "$1" dark 300x220+330+250)" -gt 64000 ]; }
grid_saved() { grid "$(save)"; }
wait_until 20 grid_saved || fail "no 2x2 grid after two kept pages"
first="$(save)"
for pane in 20x20+325+5 20x20+5+245; do
  [ "$(count_colour "$first" bright "$pane")" -gt 300 ] || fail "kept page missing at $pane in $first"
done
same() { [ "$(compare -metric AE -fuzz 15% "$1[$3]" "$2[$3]" null: 2>&1)" -lt 50 ]; }
live_moved() {
  local next
  next="$(save)"
  same "$first" "$next" 320x240+320+0 || fail "a kept page changed between $first and $next"
  ! same "$first" "$next" 320x240+0+0
}
wait_until 30 live_moved || fail "the live pane does not move"
echo "compare grid: ok"

# Ink on the first kept page only, and Ctrl+Z takes it back there.
key 3
drag 380,120 450,120 560,120
shot="$(save)"
[ "$(count_colour "$shot" red 200x12+370+114)" -gt 250 ] || fail "no ink on the kept page in $shot"
[ "$(count_colour "$shot" red 200x12+60+114)" -lt 5 ] || fail "the kept page's ink reached the live pane"
key ctrl+z
[ "$(count_colour "$(save)" red 200x12+370+114)" -lt 5 ] || fail "Ctrl+Z left the page's ink"
echo "compare ink: ok"

# A click shows a pane alone, a second click the grid again; PageDown and PageUp step.
click 480 60
alone_saved() {
  local shot
  shot="$(save)"
  ! grid "$shot" && corners_are "$shot" bright
}
wait_until 20 alone_saved || fail "a click did not show the page alone"
click 320 240
wait_until 20 grid_saved || fail "a second click did not return to the grid"
key Next
wait_until 20 alone_saved || fail "PageDown did not show a pane alone"
key Prior
wait_until 20 grid_saved || fail "PageUp did not return to the grid"
key Escape
wait_until 20 alone_saved || fail "Escape did not leave compare"
echo "compare panes: ok"

# B blanks the screen (below the notice of the last saved picture), not the pictures.
key b
screen_black() {
  import -window root "$E2E_TMP/screen.png"
  [ "$(count_colour "$E2E_TMP/screen.png" dark 600x200+$((wx + 20))+$((wy + 260)))" -gt 119000 ]
}
wait_until 20 screen_black || fail "B did not blank the screen"
corners_are "$(save)" bright || fail "the blank screen reached a saved picture"
key period
screen_back() { ! screen_black; }
wait_until 20 screen_back || fail "the screen stays black after ."
echo "blank: ok"

# F5 fills the screen.
key F5
full() { read -r _ _ w _ < <(window_box "$MAIN_WID") && [ "$w" -ge "$(xdpyinfo | awk '/dimensions/{split($2,a,"x"); print a[1]}')" ]; }
wait_until 20 full || fail "F5 did not fill the screen"
echo "6 passed, 0 failed"
