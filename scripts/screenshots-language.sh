#!/usr/bin/env bash
# Screenshots of the options dialog and the about box in Korean and in English, on a 1366x768
# screen (and, with SCALE=2, at Qt's scale factor 2), into docs/screenshots/ (or $OUT).
#   scripts/screenshots-language.sh build/vistrela
source "$(dirname "$0")/../tests/e2e/lib/env.sh"
source "$(dirname "$0")/lib/session.sh"
OUT="${OUT:-$(cd "$(dirname "$0")/.." && pwd)/docs/screenshots}"
SCALE="${SCALE:-1}"
suffix=""
[ "$SCALE" = 1 ] || suffix="-scale-$SCALE"
start_x 1366x768
start_wm
export VISTRELA_TEST_CAMERAS="Doc Cam@1280x720"
export QT_SCALE_FACTOR="$SCALE"

shoot() {  # $1 keys, $2 window title pattern, $3 file
  focus_main
  xdotool key "$1"
  wait_for_window "$2" 30 >/dev/null || fail "no window $2"
  sleep 1  # the window manager's frame and the first paint
  import -window root "$OUT/$3"
  xdotool key Escape
  SHOT_TITLE="$2"
  gone() { ! xdotool search --onlyvisible --name "$SHOT_TITLE" >/dev/null 2>&1; }
  wait_until 20 gone || fail "$2 stayed open"
}

for lang in ko en; do
  export LANGUAGE="$lang"
  "$VISTRELA_BIN" 2>>"$E2E_TMP/viewer.err" &
  pid=$!
  PIDS+=($pid)
  wait_main_window 30
  if [ "$lang" = ko ]; then
    shoot ctrl+comma '^Option$' "options-ko$suffix.png"
    shoot F1 '정보$' "about-ko$suffix.png"
  else
    shoot ctrl+comma '^Options$' "options-en$suffix.png"
    shoot F1 '^About ' "about-en$suffix.png"
  fi
  focus_main
  xdotool key Escape
  ended() { ! kill -0 "$pid" 2>/dev/null; }
  wait_until 20 ended || fail "the viewer did not close"
done
echo "screenshots in $OUT"
