#!/usr/bin/env bash
# Measures how far sound and picture are apart in a long recording: the clapper test camera
# (a white frame at every whole second of the monotonic clock) and the clicking test microphone
# (a click at the same instants), `--auto-record SECONDS` to an .avi and an .mp4, one after the
# other. Prints, for each movie, the flash-to-click offsets (seconds; positive: the click comes
# after the flash) over the first 10 s and the last 10 s, and their largest size.
# Usage: scripts/measure-sync.sh [build/vistrela] [seconds, default 600]
set -euo pipefail
bin="$(readlink -f "${1:-build/vistrela}")"
secs="${2:-600}"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../tests/e2e/lib/env.sh" "$bin"
source "$here/../tests/e2e/lib/movie.sh"
start_x 1280x1024
export VISTRELA_TEST_MICROPHONE=clicks
for movie in "$HOME/sync.avi" "$HOME/sync.mp4"; do
  VISTRELA_TEST_CAMERAS="Clap@1280x720@30@pattern=clapper" "$bin" --auto-record "$secs" \
    "$movie" 2>/dev/null || fail "--auto-record exited $?"
  mapfile -t offsets < <(sync_offsets "$movie")
  n=${#offsets[@]}
  echo "$(basename "$movie"): $n flashes; $(stream_seconds "$movie" v) s of picture"
  echo "  first 10: ${offsets[*]:0:10}"
  echo "  last 10:  ${offsets[*]:$((n > 10 ? n - 10 : 0))}"
  printf '%s\n' "${offsets[@]}" | awk '$1 != "none" { a = $1 < 0 ? -$1 : $1; if (a > m) m = a }
    $1 == "none" { missing++ } END { printf "  largest offset: %.1f ms; flashes without a click: %d\n", 1000 * m, missing }'
done
