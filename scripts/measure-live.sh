#!/usr/bin/env bash
# Measures the live viewer with test cameras under a private X server:
#   1. start-up to the first picture painted, median of 5 starts (1280x720 test camera);
#   2. for each size: the title's frame rate over a minute (lowest reading after the first 5 s)
#      and the whole process's CPU use (test source included) in percent of one core.
# With "ink" as the third argument, step 2 runs at 1920x1080 twice under openbox: once plain,
# once with pen, highlighter, rectangle and ellipse ink drawn on the picture first. With
# "compare", at 1920x1080 plain, with three kept pages beside the live picture, and with the
# spotlight and the curtain on. With "timelapse", only this: the viewer at 1920x1080 for the
# seconds given, once plain and once recording a time-lapse (--auto-record SECONDS
# --time-lapse 2), with the CPU use (percent of one core) and resident memory of each 10 s;
# then the movie's picture count and length.
# Usage: scripts/measure-live.sh [build/vistrela] [seconds per size, default 60]
#        [ink|compare|timelapse]
set -euo pipefail
bin="$(readlink -f "${1:-build/vistrela}")"
secs="${2:-60}"
ink="${3:-}"
tmp="$(mktemp -d)"
export HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" XDG_CONFIG_HOME="$tmp/home/.config"
mkdir -p "$HOME/Desktop" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$tmp"' EXIT
while [ ! -s "$tmp/display" ]; do sleep 0.05; done
export DISPLAY=":$(cat "$tmp/display")"
hz=$(getconf CLK_TCK)

# Samples process $1 every 10 s for $2 s: "t CPU% RSS" lines (CPU of each 10 s, RSS in MiB).
sample_process() {
  local pid=$1 end=$(($(date +%s) + $2)) u0 s0 u1 s1 t0 t1 rss
  read -r u0 s0 < <(awk '{print $14, $15}' /proc/$pid/stat)
  t0=$(date +%s%N)
  while [ "$(date +%s)" -lt "$end" ] && kill -0 "$pid" 2>/dev/null; do
    sleep 10
    read -r u1 s1 < <(awk '{print $14, $15}' /proc/$pid/stat 2>/dev/null) || break
    t1=$(date +%s%N)
    rss=$(awk '/VmRSS/ {printf "%.1f", $2 / 1024}' /proc/$pid/status)
    awk -v u=$((u1 - u0 + s1 - s0)) -v hz="$hz" -v ns=$((t1 - t0)) -v rss="$rss" -v t="$SECONDS" \
      'BEGIN { printf "  %4ds  CPU %5.1f%%  RSS %s MiB\n", t, 100 * (u / hz) / (ns / 1e9), rss }'
    u0=$u1 s0=$s1 t0=$t1
  done
}

if [ "$ink" = timelapse ]; then
  camera="USB Document Camera@1920x1080@30"
  echo "Plain viewer, $camera:"
  SECONDS=0
  VISTRELA_TEST_CAMERAS="$camera" VISTRELA_TEST_MICROPHONE=none "$bin" 2>/dev/null &
  pid=$!
  sample_process $pid "$secs"
  kill $pid; wait $pid 2>/dev/null || true
  echo "Time-lapse, one picture every 2 s for $secs s:"
  SECONDS=0
  VISTRELA_TEST_CAMERAS="$camera" VISTRELA_TEST_MICROPHONE=sine:440 "$bin" \
    --auto-record "$secs" "$tmp/lapse.avi" --time-lapse 2 2>/dev/null &
  pid=$!
  sample_process $pid $((secs + 60))
  wait $pid || echo "  the viewer ended with $?"
  ffprobe -v error -count_frames -show_entries stream=codec_type,r_frame_rate,nb_read_frames,duration \
    -of csv=p=0 "file:$tmp/lapse.avi" | sed 's/^/  movie: /'
  echo "  expected pictures: $(((secs + 1) / 2))"
  exit 0
fi

echo "Start-up to first picture (1280x720 test camera):"
times=()
for i in 1 2 3 4 5; do
  out=$(VISTRELA_TEST_CAMERAS="USB Document Camera@1280x720@30" \
        VISTRELA_LAUNCH_NS=$(date +%s%N) VISTRELA_EXIT_AFTER_FIRST_FRAME=1 \
        timeout 10 "$bin" 2>&1 >/dev/null | grep -o 'first picture after [0-9]* ms' || true)
  ms=$(echo "$out" | grep -o '[0-9]*' | head -1)
  echo "  run $i: ${ms:-?} ms"
  times+=("${ms:-99999}")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
echo "  median: $median ms"

runs="640x480 1920x1080 3840x2160"
if [ "$ink" = ink ] || [ "$ink" = compare ]; then
  runs="1920x1080 1920x1080+$ink"
  [ "$ink" = compare ] && runs="$runs 1920x1080+shades"
  openbox --sm-disable >/dev/null 2>&1 &
  sleep 2
fi
# Three kept pages: the live picture is kept three times, a second apart.
keep_pages() {
  xdotool windowactivate --sync "$1"
  for _ in 1 2 3; do xdotool key c; sleep 1; done
}
shades() {
  xdotool windowactivate --sync "$1"
  xdotool key s v
}
# Ink over the picture: a red pen stroke, a yellow highlighter band, a rectangle, an ellipse.
draw_ink() {
  local wid="$1" x y
  xdotool windowactivate --sync "$wid"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  x=$X y=$Y
  stroke() {
    xdotool key "$1" mousemove $((x + $2)) $((y + $3)) mousedown 1
    xdotool mousemove $((x + $4)) $((y + $5)) mousemove $((x + $6)) $((y + $7)) mouseup 1
  }
  stroke 3 200 200 600 400 1000 300
  stroke h 200 500 800 500 1200 520
  stroke q 300 600 500 700 700 800
  stroke o 900 200 1100 300 1300 450
  xdotool key p
}
for run in $runs; do
  size="${run%+*}"
  VISTRELA_TEST_CAMERAS="USB Document Camera@$size@30" "$bin" &
  pid=$!
  sleep 5
  case "$run" in
    *+ink) draw_ink "$(xdotool search --name "Vistrela Viewer" | head -1)" && sleep 2 ;;
    *+compare) keep_pages "$(xdotool search --name "Vistrela Viewer" | head -1)" && sleep 2 ;;
    *+shades) shades "$(xdotool search --name "Vistrela Viewer" | head -1)" && sleep 2 ;;
  esac
  read -r u0 s0 < <(awk '{print $14, $15}' /proc/$pid/stat)
  t0=$(date +%s%N)
  wid=$(xdotool search --name "Vistrela Viewer" | head -1)
  lowest=999
  for _ in $(seq "$secs"); do
    sleep 1
    rate=$(xdotool getwindowname "$wid" | grep -o 'fps:[0-9.]*' | cut -d: -f2)
    lowest=$(awk -v a="$lowest" -v b="${rate:-0}" 'BEGIN { print (b < a) ? b : a }')
  done
  read -r u1 s1 < <(awk '{print $14, $15}' /proc/$pid/stat)
  t1=$(date +%s%N)
  cpu=$(awk -v u=$((u1 - u0 + s1 - s0)) -v hz="$hz" -v ns=$((t1 - t0)) \
        'BEGIN { printf "%.1f", 100 * (u / hz) / (ns / 1e9) }')
  echo "$run@30: lowest title rate $lowest over ${secs}s, CPU $cpu% of one core"
  kill $pid; wait $pid 2>/dev/null || true
done
