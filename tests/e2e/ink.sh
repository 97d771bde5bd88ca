#!/usr/bin/env bash
# The teacher's ink under a window manager with a 640x480 camera (shown turned by half at
# start-up: white square top left, black around it): red chosen with its key draws red; the
# yellow highlighter leaves the white square yellow and black print dark; Shift+drag draws a
# straight line; an ellipse and an arrow are drawn and taken back with Ctrl+Z; laser ink shows
# at once and leaves the picture and the screen; the pen's marker shows on the screen but never
# in a saved picture.
source "$(dirname "$0")/lib/env.sh"
source "$(dirname "$0")/../../scripts/lib/session.sh"
start_x
start_wm
source "$(dirname "$0")/lib/pictures.sh"
start_document_camera

# Red by its key, then a pen stroke across the middle.
key 3
drag 100,240 200,240 300,240 400,240 500,240
shot="$(save)"
red=$(count_colour "$shot" red 440x20+80+230)
echo "red pixels along the stroke: $red"
[ "$red" -gt 1000 ] || fail "no red stroke in $shot"

# The yellow highlighter over the white square (top left) and over the black beside it.
white=$(count_colour "$shot" dark 40x10+10+25)
[ "$white" -eq 0 ] || fail "no white square top left in $shot"
key h
drag 10,30 30,30 50,30
drag 110,30 150,30 190,30
shot="$(save)"
yellow=$(count_colour "$shot" yellow 40x10+10+25)
dark=$(count_colour "$shot" dark 80x10+110+25)
echo "highlighted white square: $yellow yellow of 400; highlighted black: $dark dark of 800"
[ "$yellow" -gt 350 ] || fail "the highlighter did not leave the white square yellow in $shot"
[ "$dark" -gt 750 ] || fail "the highlighter lightened the black print in $shot"

# Shift+drag with the pen: one straight line from the press to the release.
key p
HOLD=shift drag 100,400 300,330 500,400
shot="$(save)"
line=$(count_colour "$shot" red 400x12+100+394)
off=$(count_colour "$shot" red 20x20+290+320)
echo "straight line: $line red pixels on its row, $off where the pointer went past"
[ "$line" -gt 1500 ] && [ "$off" -lt 5 ] || fail "Shift+drag gave no straight line in $shot"

# An ellipse, then an arrow, each taken back with Ctrl+Z.
for tool in o a; do
  key "$tool"
  drag 400,280 560,370 470,330 520,360
  shot="$(save)"
  drawn=$(count_colour "$shot" red 150x110+385+265)
  echo "shape $tool: $drawn red pixels"
  [ "$drawn" -gt 200 ] || fail "no shape $tool in $shot"
  key ctrl+z
  shot="$(save)"
  [ "$(count_colour "$shot" red 150x110+385+265)" -lt 5 ] || fail "Ctrl+Z left shape $tool in $shot"
done

# Laser ink: shows at once, then fades out of the pictures and off the screen.
key l
drag 100,440 200,440 300,440
shot="$(save)"
laser=$(count_colour "$shot" red 220x14+90+433)
echo "laser ink at once: $laser red pixels"
[ "$laser" -gt 500 ] || fail "no laser ink in $shot"
faded() { [ "$(count_colour "$(save)" red 220x14+90+433)" -lt 5 ]; }
wait_until 20 faded || fail "laser ink stays in saved pictures"
# The screen shows the next frame a moment after a picture is saved from it.
screen_faded() {
  import -window root "$E2E_TMP/screen.png"
  [ "$(count_colour "$E2E_TMP/screen.png" red 220x14+$((wx + 90))+$((wy + 433)))" -lt 5 ]
}
wait_until 20 screen_faded || fail "laser ink stays on the screen"

# The pen's marker: on the screen around the pointer, never in a saved picture.
key p
xdotool mousemove $((wx + 320)) $((wy + 120)); sleep 0.2; xdotool mousemove $((wx + 322)) $((wy + 122))
marker_on_screen() {
  import -window root "$E2E_TMP/screen.png"
  [ "$(count_colour "$E2E_TMP/screen.png" marker 60x60+$((wx + 292))+$((wy + 92)))" -gt 100 ]
}
wait_until 20 marker_on_screen || fail "no pen marker on the screen"
shot="$(save)"
[ "$(count_colour "$shot" marker 60x60+292+92)" -lt 5 ] || fail "the pen marker is in $shot"
echo "6 passed, 0 failed"
