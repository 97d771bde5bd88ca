#!/usr/bin/env bash
# Sound and picture in step, measured with a clapper: the test camera's picture is white for
# the frame that holds each whole second of the steady clock, and the test microphone clicks at
# the same instants. In the movie each flash and its click are at most one frame (33 ms) apart,
# in .avi (MP3, whose encoder delay AVI cannot state) and .mp4 (AAC).
source "$(dirname "$0")/lib/env.sh"
source "$(dirname "$0")/lib/movie.sh"
start_x 1280x1024
export VISTRELA_TEST_MICROPHONE=clicks
for movie in "$HOME/sync.avi" "$HOME/sync.mp4"; do
  VISTRELA_TEST_CAMERAS="Clap@320x240@30@pattern=clapper" timeout 90 "$VISTRELA_BIN" \
    --auto-record 4 "$movie" || fail "--auto-record exited $?"
  plays_cleanly "$movie" || fail "$movie does not play cleanly"
  # Flashes of the first second may come before the microphone has started.
  mapfile -t offsets < <(sync_offsets "$movie" | tail -n +2)
  echo "$movie: flash-to-click offsets ${offsets[*]}"
  [ "${#offsets[@]}" -ge 2 ] || fail "only ${#offsets[@]} flashes in $movie"
  for o in "${offsets[@]}"; do
    [ "$o" != none ] || fail "a flash without its click in $movie"
    between "$o" -0.0334 0.0334 || fail "sound and picture $o s apart in $movie"
  done
done
echo "1 passed, 0 failed"
