#!/usr/bin/env bash
# One viewer per session: a second start brings the running window forward and exits 0 within
# 2 s, also after the title has started to show the frame rate; two starts at the same
# instant end with exactly one viewer.
source "$(dirname "$0")/lib/env.sh"
start_x
export VISTRELA_TEST_CAMERAS="Test Camera@320x240@15"

"$VISTRELA_BIN" &
PIDS+=($!)
first=$!
wid=$(wait_for_window "Vistrela Viewer" 10 | head -1) || fail "first viewer shows no window"
# Wait until the title carries a frame rate.
for _ in $(seq 300); do
  [[ "$(xdotool getwindowname "$wid")" =~ fps:([0-9]+\.[0-9]{2}) ]] &&
    [ "${BASH_REMATCH[1]}" != "0.00" ] && break
  sleep 0.1
done
[[ "$(xdotool getwindowname "$wid")" =~ fps:([0-9]+\.[0-9]{2}) ]] &&
  [ "${BASH_REMATCH[1]}" != "0.00" ] || fail "no frame rate in the title"

start=$(date +%s%N)
timeout 5 "$VISTRELA_BIN" || fail "second start exited $?"
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "second start stepped back after ${elapsed_ms} ms"
kill -0 "$first" || fail "first viewer ended"
count=$(xdotool search --onlyvisible --name "Vistrela Viewer" | wc -l)
[ "$count" -eq 1 ] || fail "$count viewer windows after the second start"

kill "$first"; wait "$first" 2>/dev/null || true

# Two starts at the same instant.
"$VISTRELA_BIN" & a=$!
"$VISTRELA_BIN" & b=$!
PIDS+=($a $b)
wait_for_window "Vistrela Viewer" 10 >/dev/null || fail "no viewer after a double start"
# One of the two steps back; wait (up to 30 s) until only one runs.
alive=2
for _ in $(seq 300); do
  alive=0
  for p in $a $b; do kill -0 "$p" 2>/dev/null && alive=$((alive + 1)); done
  [ "$alive" -le 1 ] && break
  sleep 0.1
done
[ "$alive" -eq 1 ] || fail "$alive viewer processes after a double start"
for p in $a $b; do
  if ! kill -0 "$p" 2>/dev/null; then
    wait "$p" || fail "the second of a double start exited $?"
  fi
done
count=$(xdotool search --onlyvisible --name "Vistrela Viewer" | wc -l)
[ "$count" -eq 1 ] || fail "$count viewer windows after a double start"
echo "2 passed, 0 failed"
