#!/usr/bin/env bash
# The microphone path every user's recording takes: no test microphone, the default input of a
# real sound server (a PulseAudio server of the test's own whose default input is a 1000 Hz
# sine). Each whole second of the movie's sound holds the tone at its own pitch (no repeated
# pieces, no dropped ones), in .mp4 and .avi.
source "$(dirname "$0")/lib/env.sh"
source "$(dirname "$0")/lib/movie.sh"
start_x 1280x1024
start_sound_server
unset VISTRELA_TEST_MICROPHONE
for movie in "$HOME/tone.mp4" "$HOME/tone.avi"; do
  VISTRELA_TEST_CAMERAS="Cam@320x240@30" timeout 90 "$VISTRELA_BIN" --auto-record 6 "$movie" ||
    fail "--auto-record exited $?"
  plays_cleanly "$movie" || fail "$movie does not play cleanly"
  mapfile -t pitch < <(pitch_per_second "$movie")
  echo "$movie: ${pitch[*]}"
  [ "${#pitch[@]}" -ge 5 ] || fail "only ${#pitch[@]} s of sound"
  # The first second starts when the server's first sound arrives.
  for s in $(seq 1 $((${#pitch[@]} - 1))); do
    between "${pitch[$s]}" 990 1010 || fail "second $s of $movie holds ${pitch[$s]} Hz, not 1000"
  done
done
echo "1 passed, 0 failed"
