#!/usr/bin/env bash
# Time-lapse recording unattended: `--auto-record 20 FILE --time-lapse 1` with a microphone at
# hand makes a 30 fps movie of 20 pictures (one a second) without any sound stream, which
# players read to its end; a crash loses none of the pictures taken; a bad interval is refused
# like any bad option.
source "$(dirname "$0")/lib/env.sh"
source "$(dirname "$0")/lib/movie.sh"
source "$(dirname "$0")/../../scripts/lib/session.sh"
start_x 1366x768
export VISTRELA_TEST_MICROPHONE=sine:440

movie="$HOME/실험/plant.avi"
VISTRELA_TEST_CAMERAS="USB Document Camera@1280x720@30" timeout 120 "$VISTRELA_BIN" \
  --auto-record 20 "$movie" --time-lapse 1 2>"$E2E_TMP/err" ||
  fail "--auto-record --time-lapse exited $?: $(cat "$E2E_TMP/err")"
[ -s "$movie" ] || fail "no movie at $movie"
info="$(ffprobe -v error -count_frames -show_entries \
  stream=codec_type,width,height,r_frame_rate,nb_read_frames -of csv=p=0 "file:$movie")"
echo "$info"
[ "$(wc -l <<<"$info")" = 1 ] || fail "streams other than the picture: $info"
IFS=, read -r type w h rate frames <<<"$info"
[ "$type $w $h $rate" = "video 1280 720 30/1" ] || fail "not a 1280x720 30 fps picture: $info"
between "$frames" 19 21 || fail "$frames pictures, not 20"
plays_cleanly "$movie" || fail "the movie does not play cleanly"

# A crash loses no picture already taken (each reaches the disk at once): the next start makes
# the movie of them.
VISTRELA_TEST_CAMERAS="USB Document Camera@640x480@30" "$VISTRELA_BIN" \
  --auto-record 600 "$HOME/crash.avi" --time-lapse 1 2>/dev/null &
crashed=$!
PIDS+=($crashed)
MAIN_WID="$(wait_for_window '^Vistrela Viewer v' 20 | head -1)" || fail "no main window"
counted() { [[ "$(main_title)" =~ 1초마다:\ ([0-9]+)장 ]] && ((BASH_REMATCH[1] >= 8)); }
wait_until 60 counted || fail "the title counts no pictures: $(main_title)"
kill -KILL "$crashed"
wait "$crashed" 2>/dev/null || true
VISTRELA_TEST_CAMERAS="USB Document Camera@640x480@30" timeout 120 "$VISTRELA_BIN" \
  --auto-record 2 "$HOME/next.avi" 2>/dev/null || fail "the start after the crash exited $?"
kept="$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames -of csv=p=0 \
  "file:$HOME/crash.avi")" || fail "the crashed recording was not recovered: $(ls "$HOME")"
((kept >= 7)) || fail "the crash lost pictures: $kept kept of at least 7"
plays_cleanly "$HOME/crash.avi" || fail "the recovered movie does not play cleanly"

for bad in 0 61 x; do
  status=0
  "$VISTRELA_BIN" --auto-record 5 "$HOME/bad.avi" --time-lapse "$bad" 2>"$E2E_TMP/err" || status=$?
  [ "$status" = 2 ] || fail "--time-lapse $bad exited $status"
  grep -q -- "--time-lapse" "$E2E_TMP/err" || fail "no message for --time-lapse $bad"
done
[ ! -e "$HOME/bad.avi" ] || fail "a refused run made a movie"
echo "1 passed, 0 failed"
