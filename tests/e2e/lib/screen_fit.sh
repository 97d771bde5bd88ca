# Shared by the screen-fit tests: starts a private X server of a given size with a window
# manager, the viewer on it, and checks that the window's frame stays on the screen, in full
# screen and back. Source after env.sh.

# Prints "x y w h" of the window's frame (client geometry widened by _NET_FRAME_EXTENTS);
# fails while the window manager has not framed the window yet.
frame_of() {
  local id="$1" x y w h l r t b extents
  extents="$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null)"
  [[ "$extents" =~ =\ ([0-9]+),\ ([0-9]+),\ ([0-9]+),\ ([0-9]+) ]] || return 1
  l=${BASH_REMATCH[1]} r=${BASH_REMATCH[2]} t=${BASH_REMATCH[3]} b=${BASH_REMATCH[4]}
  eval "$(xwininfo -id "$id" | awk '/Absolute upper-left X/{print "x="$4} /Absolute upper-left Y/{print "y="$4} /Width:/{print "w="$2} /Height:/{print "h="$2}')"
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

# Waits until the frame of window $1 lies inside a $2 x $3 screen.
wait_inside() {
  local id="$1" sw="$2" sh="$3" fx fy fw fh
  for _ in $(seq 150); do
    read -r fx fy fw fh < <(frame_of "$id" || echo "-1 -1 0 0")
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
  openbox >"$E2E_TMP/openbox.log" 2>&1 &
  PIDS+=($!)
  # The window manager is ready once it has announced itself on the root window.
  for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" || { cat "$E2E_TMP/openbox.log" >&2; fail "no window manager on $size"; }
  QT_SCALE_FACTOR="$scale" VISTRELA_TEST_CAMERAS="$camera" "$VISTRELA_BIN" 2>"$E2E_TMP/viewer.err" &
  local viewer=$!
  PIDS+=($viewer)
  local id
  id="$(wait_for_window "Vistrela Viewer" 15 | head -1)" || { cat "$E2E_TMP/viewer.err" >&2; fail "no window on $size"; }
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

}

