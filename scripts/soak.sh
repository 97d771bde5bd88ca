#!/usr/bin/env bash
# Soak run of the real viewer (not part of CI): under Xvfb with a window manager, switches
# between two test cameras SOAK_SWITCHES times (default 1000) through the context menu, by
# mouse and by keyboard in turn, then shows a 1080p test camera for SOAK_MINUTES (default 30),
# and prints how the process's resident memory, threads and open file descriptors grew.
# Usage: scripts/soak.sh build/vistrela
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tests/e2e/lib/env.sh"
source "$root/scripts/lib/session.sh"
SWITCHES="${SOAK_SWITCHES:-1000}"
MINUTES="${SOAK_MINUTES:-30}"

start_x
start_wm
# Listed USB camera first: row 0 "USB Cam", row 1 "Laptop Camera", row 2 the 1080p camera.
export VISTRELA_TEST_CAMERAS="Laptop Camera@640x480;USB Cam@1280x720;Soak Camera@1920x1080@30"
"$VISTRELA_BIN" &
VIEWER_PID=$!
PIDS+=($VIEWER_PID)
session_abort() { ! kill -0 "$VIEWER_PID" 2>/dev/null; }

# RSS in KiB, threads and open descriptors of the viewer, as "rss threads fds".
sample() {
  local rss threads fds
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$VIEWER_PID/status") || fail "the viewer has ended"
  threads=$(awk '/^Threads:/ {print $2}' "/proc/$VIEWER_PID/status")
  fds=$(find "/proc/$VIEWER_PID/fd" -mindepth 1 -maxdepth 1 | wc -l)
  echo "$rss $threads $fds"
}
report() {
  printf '%-22s %10s %8s %5s\n' "$1" "${2}" "$3" "$4"
}

wait_main_window 20
wait_until 30 camera_is "USB Cam" || fail "not on the USB camera"
focus_main
read -r rss0 thr0 fd0 < <(sample)
start=$SECONDS

for ((i = 1; i <= SWITCHES; i++)); do
  if ((i % 2)); then row=1 name="Laptop Camera"; else row=0 name="USB Cam"; fi
  if ((i % 4 < 2)); then choose_camera_by_mouse $row 3; else choose_camera_by_keys $row; fi
  wait_until 30 camera_is "$name" || fail "switch $i: $name did not open"
  ((i % 100 == 0)) && echo "switch $i: rss/threads/fds $(sample)"
done
read -r rss1 thr1 fd1 < <(sample)
echo "$SWITCHES switches in $((SECONDS - start)) s"

choose_camera_by_mouse 2 3
wait_until 30 camera_is "Soak Camera" || fail "the 1080p camera did not open"
frames() { [[ "$(main_title)" =~ fps:([0-9.]+) ]] && [ "${BASH_REMATCH[1]}" != "0.00" ]; }
wait_until 30 frames || fail "no frames from the 1080p camera: $(main_title)"
read -r rss2 thr2 fd2 < <(sample)
end=$((SECONDS + MINUTES * 60))
while [ "$SECONDS" -lt "$end" ]; do
  sleep 10
  session_abort && fail "the viewer ended during the 1080p run"
done
frames || fail "the 1080p picture stopped: $(main_title)"
read -r rss3 thr3 fd3 < <(sample)

report "" "RSS KiB" threads fds
report "start" "$rss0" "$thr0" "$fd0"
report "after $SWITCHES switches" "$rss1" "$thr1" "$fd1"
report "1080p start" "$rss2" "$thr2" "$fd2"
report "1080p after ${MINUTES} min" "$rss3" "$thr3" "$fd3"
report "growth, switches" "$((rss1 - rss0))" "$((thr1 - thr0))" "$((fd1 - fd0))"
report "growth, 1080p run" "$((rss3 - rss2))" "$((thr3 - thr2))" "$((fd3 - fd2))"
report "growth, whole run" "$((rss3 - rss0))" "$((thr3 - thr0))" "$((fd3 - fd0))"

focus_main
xdotool key Escape
ended() { ! kill -0 "$VIEWER_PID" 2>/dev/null; }
unset -f session_abort
wait_until 30 ended || fail "the viewer did not end after Escape"
status=0
wait "$VIEWER_PID" || status=$?
[ "$status" -eq 0 ] || fail "the viewer exited $status"
