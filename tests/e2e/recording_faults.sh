#!/usr/bin/env bash
# A recording never loses a lesson, and an unattended run says when it made less than asked:
#   1. the camera's line is replaced in the @FILE list mid-recording (an unplug, another camera
#      plugged in): the movie keeps its length and sound, and ends with the new camera fitted in;
#   2. SIGTERM mid-recording: the movie of what was recorded is made first, the exit is non-zero;
#   3. kill -9 mid-recording: the next start makes the movie under its chosen name;
#   4. a full temporary disk: the recording stops with a message, the exit is non-zero, and what
#      was recorded is a movie that plays cleanly;
#   5. a camera that never delivers: the run gives up with a message and a non-zero exit;
#   6. an existing movie is kept (" (2)") unless --overwrite is given.
source "$(dirname "$0")/lib/env.sh"
source "$(dirname "$0")/lib/movie.sh"
start_x 1280x1024
export VISTRELA_TEST_MICROPHONE=sine:1000
record() { timeout 120 "$VISTRELA_BIN" --auto-record "$@" 2>"$E2E_TMP/stderr"; }

# 1. Another camera takes the unplugged one's place.
list="$E2E_TMP/cameras"
echo "Document Camera@1280x720@30" >"$list"
movie="$HOME/swap.avi"
VISTRELA_TEST_CAMERAS="@$list" "$VISTRELA_BIN" --auto-record 10 "$movie" 2>"$E2E_TMP/stderr" &
viewer=$!
PIDS+=("$viewer")
sleep 4
echo "Small Camera@640x480@30" >"$list"
wait "$viewer" || fail "the swap recording exited $?: $(cat "$E2E_TMP/stderr")"
plays_cleanly "$movie" || fail "the swap movie does not play cleanly"
between "$(stream_seconds "$movie" v)" 9.5 10.5 || fail "the picture lasts $(stream_seconds "$movie" v) s"
quiet="$(loudness_per_tenth "$movie" | awk 'NR > 2 && NR < 99 && $1 < 8000' | wc -l)"
[ "$quiet" -eq 0 ] || fail "the sound has $quiet gaps of 100 ms"
ffmpeg -nostdin -v error -sseof -0.2 -i "$movie" -frames:v 1 -y "$E2E_TMP/last.png"
pixel() { convert "$E2E_TMP/last.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
[ "$(pixel 20 20)" = "0,0,0" ] || fail "the last frame has no black bar: $(pixel 20 20)"
[ "$(pixel 200 40)" != "0,0,0" ] || fail "the last frame does not show the new camera fitted in"

# 2. SIGTERM: the movie first, then a non-zero exit.
movie="$HOME/term.mp4"
VISTRELA_TEST_CAMERAS="Cam@640x480@30" "$VISTRELA_BIN" --auto-record 30 "$movie" 2>"$E2E_TMP/stderr" &
viewer=$!
PIDS+=("$viewer")
sleep 5
kill -TERM "$viewer"
status=0
wait "$viewer" || status=$?
[ "$status" -ne 0 ] || fail "a recording cut short by SIGTERM exited 0"
plays_cleanly "$movie" || fail "no playable movie after SIGTERM: $(cat "$E2E_TMP/stderr")"
between "$(stream_seconds "$movie" v)" 3 7 || fail "the SIGTERM movie lasts $(stream_seconds "$movie" v) s"

# 3. kill -9: the next start finishes the movie under its own name.
movie="$HOME/crash.avi"
VISTRELA_TEST_CAMERAS="Cam@1280x720@30" "$VISTRELA_BIN" --auto-record 30 "$movie" 2>/dev/null &
viewer=$!
PIDS+=("$viewer")
sleep 5
kill -KILL "$viewer"
wait "$viewer" 2>/dev/null || true
[ ! -e "$movie" ] || fail "a movie before the crash"
VISTRELA_TEST_CAMERAS="Cam@320x240@30" record 1 "$HOME/next.avi" || fail "the start after the crash exited $?"
plays_cleanly "$movie" || fail "the crashed recording was not made into a clean movie"
between "$(stream_seconds "$movie" v)" 2.5 6 || fail "the recovered movie lasts $(stream_seconds "$movie" v) s"
[ -z "$(ls "$XDG_CACHE_HOME/vistrela" | grep -v '^broken$')" ] || fail "leftovers: $(ls "$XDG_CACHE_HOME/vistrela")"

# 4. The temporary folder's disk fills up (a 1 MB file system in a mount namespace of its own).
movie="$HOME/full.avi"
if unshare -m true 2>/dev/null; then
  status=0
  VISTRELA_TEST_CAMERAS="Page@1280x720@30@pattern=page" unshare -m bash -c \
    'mount -t tmpfs -o size=1m tmpfs "$XDG_CACHE_HOME" && exec "$@"' _ \
    timeout 120 "$VISTRELA_BIN" --auto-record 30 "$movie" 2>"$E2E_TMP/stderr" || status=$?
  [ "$status" -ne 0 ] || fail "a full disk exited 0: $(cat "$E2E_TMP/stderr")"
  grep -q "디스크가 가득" "$E2E_TMP/stderr" || fail "no message about the full disk: $(cat "$E2E_TMP/stderr")"
  echo "full disk: $(grep -c . "$E2E_TMP/stderr") lines on stderr, movie of $(stream_seconds "$movie" v) s"
  plays_cleanly "$movie" || fail "what was recorded before the disk filled does not play cleanly"
  between "$(stream_seconds "$movie" v)" 0.3 20 || fail "the movie lasts $(stream_seconds "$movie" v) s"
else
  echo "part 4 skipped: no mount namespace here"
fi

# 5. A camera that never delivers a picture.
status=0
VISTRELA_TEST_CAMERAS="Dead!nostart@640x480@30" record 5 "$HOME/none.avi" || status=$?
[ "$status" -ne 0 ] || fail "no picture, but exit 0"
grep -q "녹화하지 않았습니다" "$E2E_TMP/stderr" || fail "no message: $(cat "$E2E_TMP/stderr")"

# 6. An existing movie is kept, unless --overwrite.
echo "the last lesson" >"$HOME/keep.avi"
VISTRELA_TEST_CAMERAS="Cam@320x240@30" record 1 "$HOME/keep.avi" || fail "exited $?"
[ "$(cat "$HOME/keep.avi")" = "the last lesson" ] || fail "the existing movie was replaced"
plays_cleanly "$HOME/keep (2).avi" || fail "no \"keep (2).avi\""
VISTRELA_TEST_CAMERAS="Cam@320x240@30" timeout 120 "$VISTRELA_BIN" --overwrite --auto-record 1 \
  "$HOME/keep.avi" || fail "--overwrite exited $?"
plays_cleanly "$HOME/keep.avi" || fail "--overwrite did not replace the file"
echo "1 passed, 0 failed"
