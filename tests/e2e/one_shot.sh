#!/usr/bin/env bash
# The one-shot run: `vistrela --auto-capture 2 FILE` with a test camera writes FILE as a JPEG of
# the camera's picture and exits 0 within 10 s; a relative FILE lands in the folder the run was
# started in; without a camera, with an unwritable FILE or with a delay of more than a day it
# fails instead of waiting or lying; beside a running viewer that viewer takes the picture.
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
# A relative name is taken in the folder the run starts in, not the program's.
mkdir -p "$E2E_TMP/shots"
(cd "$E2E_TMP/shots" && timeout 10 "$VISTRELA_BIN" --auto-capture 1 relative.jpg) ||
  fail "relative one-shot run exited $?"
[ -s "$E2E_TMP/shots/relative.jpg" ] || fail "relative name not written in the start folder"

# No camera: an unattended run ends by itself, non-zero, with a message, and writes nothing.
set +e
VISTRELA_TEST_CAMERAS="" timeout 15 "$VISTRELA_BIN" --auto-capture 1 "$E2E_TMP/none.jpg" \
  2>"$E2E_TMP/none.err"
status=$?
set -e
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "run without a camera exited $status"
grep -q "카메라가 없습니다" "$E2E_TMP/none.err" || fail "no message without a camera: $(cat "$E2E_TMP/none.err")"
[ ! -e "$E2E_TMP/none.jpg" ] || fail "a picture without a camera"

# More than a day is refused at once, before any window.
set +e
timeout 5 "$VISTRELA_BIN" --auto-capture 4294968 "$E2E_TMP/late.jpg" 2>/dev/null
status=$?
set -e
[ "$status" -eq 2 ] || fail "--auto-capture 4294968 exited $status, not 2"

# Beside a running viewer: the viewer takes the picture and the run succeeds only once the
# file is there; the viewer keeps running.
"$VISTRELA_BIN" &
viewer=$!
PIDS+=($viewer)
wait_for_window "Vistrela Viewer" 10 >/dev/null || fail "viewer shows no window"
(cd "$E2E_TMP/shots" && timeout 60 "$VISTRELA_BIN" --auto-capture 1 beside.jpg) ||
  fail "one-shot run beside a viewer exited $?"
identify -format '%m %w %h' "$E2E_TMP/shots/beside.jpg" | grep -q '^JPEG 640 480$' ||
  fail "beside a viewer: not a 640x480 JPEG"
if timeout 60 "$VISTRELA_BIN" /nonexistent-dir/beside.jpg --auto-capture 1 2>/dev/null; then
  fail "an unwritable file beside a viewer reported success"
fi
kill -0 "$viewer" || fail "the running viewer ended"
echo "7 passed, 0 failed"
