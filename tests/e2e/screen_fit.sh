#!/usr/bin/env bash
# The window fits the screen it starts on, frame included: a 1366x768 laptop with a 1920x1080
# camera, and a 2560x1440 screen at scale 2 with a 1280x720 one. Full screen covers the screen
# and the way back leaves the frame on the screen again. Runs under a window manager, which
# draws the frame the fit must count.
source "$(dirname "$0")/lib/env.sh"

# Prints "x y w h" of the window's frame (client geometry widened by _NET_FRAME_EXTENTS).
frame_of() {
  local id="$1" x y w h l r t b
  eval "$(xwininfo -id "$id" | awk '/Absolute upper-left X/{print "x="$4} /Absolute upper-left Y/{print "y="$4} /Width:/{print "w="$2} /Height:/{print "h="$2}')"
  read -r l r t b < <(xprop -id "$id" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  echo "$((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))"
}

# Waits until the frame of window $1 lies inside a $2 x $3 screen.
wait_inside() {
  local id="$1" sw="$2" sh="$3" fx fy fw fh
  for _ in $(seq 150); do
    read -r fx fy fw fh < <(frame_of "$id")
    if [ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ $((fx + fw)) -le "$sw" ] && [ $((fy + fh)) -le "$sh" ]; then
      echo "frame $fw x $fh at $fx,$fy on $sw x $sh"
      return 0
    fi
    sleep 0.1
  done
  echo "frame $fw x $fh at $fx,$fy does not fit $sw x $sh" >&2
  return 1
}

check_screen() {
  local size="$1" camera="$2" scale="$3" sw="${1%x*}" sh="${1#*x}"
  start_x "$size"
  openbox >/dev/null 2>&1 &
  PIDS+=($!)
  QT_SCALE_FACTOR="$scale" VISTRELA_TEST_CAMERAS="$camera" "$VISTRELA_BIN" 2>/dev/null &
  local viewer=$!
  PIDS+=($viewer)
  local id
  id="$(wait_for_window "Vistrela Viewer" 15 | head -1)" || fail "no window on $size"
  # The title shows the frame rate once the camera runs, after the fit to its picture.
  wait_for_window "fps:" 15 >/dev/null || fail "no live picture on $size"
  wait_inside "$id" "$sw" "$sh" || fail "window off the $size screen"

  xdotool key --window "$id" F11
  for _ in $(seq 100); do
    read -r _ _ w h < <(xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print 0, 0, w, h}')
    [ "$w" -eq "$sw" ] && [ "$h" -eq "$sh" ] && break
    sleep 0.1
  done
  [ "$w" -eq "$sw" ] && [ "$h" -eq "$sh" ] || fail "full screen is $w x $h on $size"
  xdotool key --window "$id" F11
  for _ in $(seq 100); do
    xprop -id "$id" _NET_WM_STATE | grep -q FULLSCREEN || break
    sleep 0.1
  done
  xprop -id "$id" _NET_WM_STATE | grep -q FULLSCREEN && fail "still full screen on $size"
  wait_inside "$id" "$sw" "$sh" || fail "window off the $size screen after full screen"
  read -r _ _ fw fh < <(frame_of "$id")
  [ "$fh" -lt "$sh" ] || fail "back from full screen, the window is still $fw x $fh"

  kill "$viewer"
  wait "$viewer" 2>/dev/null || true
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}

check_screen 1366x768 "Doc Cam@1920x1080@30" 1
check_screen 2560x1440 "Doc Cam@1280x720@30" 2
echo "2 passed, 0 failed"
