# Reading movies back as a player does, for the recording tests. Source it after env.sh.

# True when ffmpeg decodes every stream of $1 without an error line and mpv plays it to its end.
plays_cleanly() {
  local errors
  errors="$(ffmpeg -nostdin -v error -i "file:$1" -f null - 2>&1)"
  [ -z "$errors" ] || { echo "ffmpeg: $errors" >&2; return 1; }
  mpv --no-config --vo=null --ao=null --really-quiet "$1" </dev/null >/dev/null 2>&1 ||
    { echo "mpv did not play $1 to its end" >&2; return 1; }
}

# Seconds of stream $2 (v or a) of movie $1, from its packets.
stream_seconds() {
  ffprobe -v error -select_streams "$2:0" -show_entries stream=duration -of csv=p=0 "file:$1" |
    head -1
}

# The sound of $1 as 16-bit mono samples at 22050 a second, one number a line.
samples() {
  ffmpeg -nostdin -v error -i "file:$1" -map 0:a:0 -ac 1 -ar 22050 -f s16le - |
    od -An -v -td2 -w2
}

# The pitch of each whole second of the sound of $1 (half the sign changes), one a line.
pitch_per_second() {
  samples "$1" | awk '{ s = $1 + 0; n++; if ((s < 0) != (p < 0)) c++; p = s
                        if (n % 22050 == 0) { print c / 2; c = 0 } }'
}

# The loudest sample of each 100 ms of the sound of $1, one a line.
loudness_per_tenth() {
  samples "$1" | awk '{ s = $1 + 0; if (s < 0) s = -s; if (s > m) m = s; n++
                        if (n % 2205 == 0) { print m; m = 0 } }'
}

# $1 lies between $2 and $3.
between() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }

# Starts a PulseAudio server of the test's own (in $XDG_RUNTIME_DIR) whose default input is a
# 1000 Hz sine source and whose output goes nowhere.
start_sound_server() {
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --log-target=stderr \
    --load=module-native-protocol-unix --load="module-null-sink sink_name=null" \
    --load="module-sine-source source_name=sine frequency=1000" 2>"$E2E_TMP/pulse.log" &
  PIDS+=($!)
  local i
  for i in $(seq 100); do
    pactl set-default-source sine >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "the sound server did not start: $(tail -3 "$E2E_TMP/pulse.log")"
}

# The times (seconds) of the clapper's flashes in movie $1: the first frame of each run of
# bright frames.
flash_times() {
  ffprobe -v error -f lavfi -i "movie=$1,signalstats" \
    -show_entries frame=pts_time:frame_tags=lavfi.signalstats.YAVG -of csv=p=0 |
    awk -F, '{ bright = $2 > 128; if (bright && !was) print $1; was = bright }'
}

# The times (seconds) of the clicks in the sound of $1: the first loud sample after 0.3 s
# without one (an encoder's faint ringing before a click stays below the threshold).
click_times() {
  samples "$1" | awk '{ s = $1 + 0; if (s < 0) s = -s
                        if (s > 8000) { if (n - last > 6615) printf "%.5f\n", n / 22050; last = n }
                        n++ }' last=-100000
}

# Prints, for each flash of movie $1, the offset (seconds) of the nearest click after it minus
# the flash; "none" for a flash without a click within half a second.
sync_offsets() {
  awk 'NR == FNR { click[++n] = $1; next }
       { best = "none"
         for (i = 1; i <= n; i++) { d = click[i] - $1; if (d > -0.5 && d < 0.5 &&
           (best == "none" || (d < 0 ? -d : d) < (best < 0 ? -best : best))) best = d }
         print best }' <(click_times "$1") <(flash_times "$1")
}
