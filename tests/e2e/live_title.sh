#!/usr/bin/env bash
# A test camera shows live: after 5 s the title reads the video size, a rate near 30 and the
# zoom, and the picture is on screen (not a black window).
source "$(dirname "$0")/lib/env.sh"
start_x
export VISTRELA_TEST_CAMERAS="USB Document Camera@1280x720@30"

"$VISTRELA_BIN" &
PIDS+=($!)
wid=$(wait_for_window "Vistrela Viewer" 10 | head -1) || fail "no window"
sleep 5
title=$(xdotool getwindowname "$wid")
echo "title: $title"
[[ "$title" =~ ^"Vistrela Viewer v2.0  [1280,720] fps:"([0-9]+\.[0-9]{2})"   Zoom:1.00x"$ ]] ||
  fail "unexpected title: $title"
rate=${BASH_REMATCH[1]}
awk -v r="$rate" 'BEGIN { exit !(r >= 25 && r <= 35) }' || fail "rate $rate not near 30"

# The video area holds the camera picture: many distinct colours, not a black area.
import -window "$wid" "$E2E_TMP/screen.png"
colours=$(convert "$E2E_TMP/screen.png" -crop 1280x720+0+0 -format '%k' info:)
[ "$colours" -gt 4 ] || fail "the video area shows only $colours colours"
echo "1 passed, 0 failed"
