#!/usr/bin/env bash
# The save button as a user presses it: a click on the panel's save button (row 5, column 1)
# writes one JPEG named by the time stamp into the desktop folder, at the camera's size, and
# the title says so.
source "$(dirname "$0")/lib/env.sh"
start_x
export VISTRELA_TEST_CAMERAS="USB Document Camera@640x480@30"

"$VISTRELA_BIN" &
PIDS+=($!)
wid=$(wait_for_window "Vistrela Viewer" 10 | head -1) || fail "no window"

# Frames flow once the title shows a rate above zero.
for _ in $(seq 100); do
  title=$(xdotool getwindowname "$wid")
  [[ "$title" =~ fps:([0-9]+\.[0-9]{2}) ]] && [ "${BASH_REMATCH[1]}" != "0.00" ] && break
  sleep 0.1
done
[[ "$title" =~ fps:([0-9]+\.[0-9]{2}) ]] && [ "${BASH_REMATCH[1]}" != "0.00" ] ||
  fail "no frames: $title"

# Without a window manager the window has no frame: its geometry is the client area.
eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "window at $X,$Y size ${WIDTH}x$HEIGHT"
# Panel arithmetic: column 1 at width - 165 - 5; row 5 at 65 + 4 * 55 plus 5 times the extra
# spacing of windows taller than 480; the buttons are 60 x 50, clicked in their middle.
spacing=0
[ "$HEIGHT" -gt 480 ] && spacing=$(( (HEIGHT - 480) / 8 ))
click_x=$(( X + WIDTH - 165 - 5 + 30 ))
click_y=$(( Y + 65 + 4 * 55 + 5 * spacing + 25 ))
before=$(date +%s)
xdotool mousemove "$click_x" "$click_y" sleep 0.2 click 1

picture=""
for _ in $(seq 100); do
  picture=$(find "$HOME/Desktop" -maxdepth 1 -name '*.jpg' | head -1)
  [ -n "$picture" ] && break
  sleep 0.1
done
[ -n "$picture" ] || fail "no picture on the desktop after the click"
after=$(date +%s)
# The message stays about two seconds; the title is rewritten ten times a second.
for _ in $(seq 20); do
  title=$(xdotool getwindowname "$wid")
  [[ "$title" == *"[바탕화면에 저장합니다]"* ]] && break
  sleep 0.1
done
[[ "$title" == *"[바탕화면에 저장합니다]"* ]] || fail "no saved message in the title: $title"
sleep 1  # let a wrongly repeated save show up as a second file
count=$(find "$HOME/Desktop" -maxdepth 1 -name '*.jpg' | wc -l)
[ "$count" -eq 1 ] || fail "one click wrote $count pictures"

name=$(basename "$picture")
[[ "$name" =~ ^([0-9]{8})_([0-9]{6})\.jpg$ ]] || fail "not a time-stamp name: $name"
d=${BASH_REMATCH[1]} t=${BASH_REMATCH[2]}
taken=$(date -d "${d:0:4}-${d:4:2}-${d:6:2} ${t:0:2}:${t:2:2}:${t:4:2}" +%s)
[ "$taken" -ge "$before" ] && [ "$taken" -le "$after" ] ||
  fail "time stamp $name is not the time of the click"
identify -format '%m %w %h' "$picture" | grep -q '^JPEG 640 480$' ||
  fail "not a 640x480 JPEG: $(identify "$picture")"

echo "saved $name"
echo "1 passed, 0 failed"
