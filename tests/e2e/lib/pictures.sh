# The viewer with one 640x480 test camera, its saved pictures and what is in them, for the e2e
# scripts. Source it after scripts/lib/session.sh and start_wm.

# Starts the viewer, waits for its window and focuses it; wx and wy: the window's top-left
# corner on the screen.
start_document_camera() {
  export VISTRELA_TEST_CAMERAS="USB Document Camera@640x480@30"
  "$VISTRELA_BIN" 2>"$E2E_TMP/viewer.err" &
  VIEWER_PID=$!
  PIDS+=($VIEWER_PID)
  session_abort() { ! kill -0 "$VIEWER_PID" 2>/dev/null; }
  wait_main_window 20
  focus_main
  read -r wx wy _ _ < <(window_box "$MAIN_WID")
}

picture_count() { find "$HOME/Desktop" -maxdepth 1 -name '*.jpg' | wc -l; }
count_is() { [ "$(picture_count)" -eq "$1" ]; }
readable() { identify -format '%w' "$1" >/dev/null 2>&1; }
save() {
  local before shot
  before=$(picture_count)
  focus_main
  xdotool key ctrl+s
  wait_until 20 count_is $((before + 1)) || fail "no picture saved"
  shot="$(ls -t "$HOME"/Desktop/*.jpg | head -1)"
  wait_until 20 readable "$shot" || fail "the picture $shot stays incomplete"
  echo "$shot"
}
# Pixels of colour class $2 in region $3 (WxH+X+Y) of image $1.
count_colour() {
  convert "$1" -crop "$3" +repage -depth 8 txt:- |
    sed -n 's/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
    awk -v want="$2" '
      want == "red" && $1 > 170 && $2 < 90 && $3 < 90 { n++ }
      want == "yellow" && $1 > 200 && $2 > 180 && $3 < 100 { n++ }
      want == "dark" && $1 < 60 && $2 < 60 && $3 < 60 { n++ }
      want == "marker" && $1 > 60 && $1 < 130 && $2 > 160 && $2 < 225 && $3 > 50 && $3 < 115 { n++ }
      want == "orange" && $1 > 200 && $2 > 100 && $2 < 190 && $3 < 90 { n++ }
      want == "green" && $1 < 90 && $2 > 200 && $3 < 110 { n++ }
      want == "bright" && ($1 > 100 || $2 > 100 || $3 > 100) { n++ }
      want == "curtain" && $1 > 20 && $1 < 55 && $2 > 20 && $2 < 55 && $3 > 28 && $3 < 62 { n++ }
      END { print n + 0 }'
}
# A left-button drag through the picture points "x,y ..." ($@), keys held as given in $HOLD.
drag() {
  local first="$1" p
  shift
  [ -n "${HOLD:-}" ] && xdotool keydown "$HOLD"
  xdotool mousemove $((wx + ${first%,*})) $((wy + ${first#*,})) mousedown 1
  for p in "$@"; do xdotool mousemove $((wx + ${p%,*})) $((wy + ${p#*,})); done
  xdotool mouseup 1
  [ -n "${HOLD:-}" ] && xdotool keyup "$HOLD"
  return 0
}
key() { focus_main; xdotool key "$@"; }
