#!/usr/bin/env bash
# The one-shot run: `vistrela --auto-capture 2 FILE` with a test camera writes FILE as a JPEG of
# the camera's picture and exits 0 within 10 s.
source "$(dirname "$0")/lib/env.sh"
start_x
export VISTRELA_TEST_CAMERAS="USB Document Camera@640x480@30"
shot="$E2E_TMP/shot.jpg"

start=$(date +%s)
timeout 10 "$VISTRELA_BIN" --auto-capture 2 "$shot" || fail "one-shot run exited $?"
elapsed=$(( $(date +%s) - start ))
[ -s "$shot" ] || fail "no picture written"
identify -format '%m %w %h' "$shot" | grep -q '^JPEG 640 480$' || fail "not a 640x480 JPEG: $(identify "$shot")"
echo "one-shot run took ${elapsed}s"

# A file that cannot be written ends the run with a failure status, not a false success.
if timeout 10 "$VISTRELA_BIN" --auto-capture 1 /nonexistent-dir/shot.jpg; then
  fail "an unwritable one-shot file reported success"
fi
echo "2 passed, 0 failed"
