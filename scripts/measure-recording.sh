#!/usr/bin/env bash
# Measures an unattended recording under a private X server: a 1920x1080 test camera at 30 fps
# showing a printed page (what a lesson costs the encoder), the sine microphone, and a CPU-bound
# process beside it, `--auto-record SECONDS` to an .avi. Prints the lowest frame rate the
# title showed while recording, the process's CPU use (test source included) in percent of one
# core, the growth of its resident memory, the movie's frame count and stream lengths, and how
# long the program took to end after the recording stopped.
# Usage: scripts/measure-recording.sh [build/vistrela] [seconds, default 60] [size, default 1920x1080]
#        [camera properties, default pattern=page]
set -euo pipefail
bin="$(readlink -f "${1:-build/vistrela}")"
secs="${2:-60}"
size="${3:-1920x1080}"
props="${4:-pattern=page}"
tmp="$(mktemp -d)"
export HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" XDG_CONFIG_HOME="$tmp/home/.config"
export XDG_CACHE_HOME="$tmp/home/.cache"
mkdir -p "$HOME/Desktop" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb=$!
# The machine is not idle during a lesson: one core's worth of other work beside the viewer.
bash -c 'while :; do :; done' &
busy=$!
trap 'kill $xvfb $busy 2>/dev/null; rm -rf "$tmp"' EXIT
while [ ! -s "$tmp/display" ]; do sleep 0.05; done
export DISPLAY=":$(cat "$tmp/display")"
hz=$(getconf CLK_TCK)
movie="$tmp/movie.avi"

VISTRELA_TEST_CAMERAS="USB Document Camera@$size@30@$props" VISTRELA_TEST_MICROPHONE=sine:440 \
  "$bin" --auto-record "$secs" "$movie" 2>"$tmp/stderr" &
pid=$!
wid=""
until [[ "$(xdotool getwindowname "$wid" 2>/dev/null)" == *녹화중* ]]; do
  sleep 0.1
  wid=$(xdotool search --name "Vistrela Viewer" 2>/dev/null | head -1 || true)
  kill -0 $pid 2>/dev/null || { cat "$tmp/stderr"; exit 1; }
done
# The title's rate settles once its measurement window restarts, 4 to 5 s after the camera
# opened; the recording starts with the first picture.
sleep 5
read -r u0 s0 < <(awk '{print $14, $15}' /proc/$pid/stat)
rss0=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)
t0=$(date +%s%N)
lowest=999
peak=$rss0
while title=$(xdotool getwindowname "$wid" 2>/dev/null) && [[ "$title" == *녹화중* ]]; do
  rate=$(grep -o 'fps:[0-9.]*' <<<"$title" | cut -d: -f2)
  lowest=$(awk -v a="$lowest" -v b="${rate:-0}" 'BEGIN { print (b < a) ? b : a }')
  rss=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)
  [ "$rss" -gt "$peak" ] && peak=$rss
  read -r u1 s1 < <(awk '{print $14, $15}' /proc/$pid/stat)
  t1=$(date +%s%N)
  sleep 0.5
done
stopped=$(date +%s%N)
status=0
wait $pid || status=$?
ended=$(date +%s%N)
cpu=$(awk -v u=$((u1 - u0 + s1 - s0)) -v hz="$hz" -v ns=$((t1 - t0)) \
      'BEGIN { printf "%.1f", 100 * (u / hz) / (ns / 1e9) }')
echo "exit status: $status"
echo "lowest title rate while recording: $lowest"
echo "CPU while recording: $cpu% of one core"
echo "resident memory: $((rss0 / 1024)) MB at the start, peak $((peak / 1024)) MB (+$(((peak - rss0) / 1024)) MB)"
echo "program ended $(((ended - stopped) / 1000000)) ms after the recording stopped"
frames=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets \
         -of csv=p=0 "$movie")
echo "movie: $frames pictures written, $(ffprobe -v error -select_streams v:0 \
  -show_entries stream=duration -of csv=p=0 "$movie" | awk '{ printf "%d", $1 * 30 + 0.5 }') frames \
on its clock (expected $((secs * 30)))"
ffprobe -v error -show_entries stream=codec_type,codec_name,duration -of csv=p=0 "$movie" |
  sed 's/^/  stream: /'
ls -l "$movie" | awk '{printf "  size: %.1f MB\n", $5 / 1048576}'
