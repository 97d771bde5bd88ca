# Shared set-up for the end-to-end tests: a private X server and a throw-away home, so no test
# touches the user's real folders or display. Source it; it defines `start_x`, `fail`,
# `wait_for_window` and cleans up on exit.
set -euo pipefail

VISTRELA_BIN="$(readlink -f "$1")"
E2E_TMP="$(mktemp -d /tmp/vistrela-e2e.XXXXXX)"
export HOME="$E2E_TMP/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_CACHE_HOME="$HOME/.cache"
export XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -p "$HOME/Desktop" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
# The viewer speaks the desktop's language; the tests and scripts read its Korean texts. Through
# LANGUAGE, which no program's locale set-up reads, so the X tools keep their UTF-8 locale (the
# ko_KR locale need not exist). A script that checks another language sets it for that run.
export LANGUAGE=ko
XVFB_PID=""
PIDS=()

cleanup() {
  for p in "${PIDS[@]:-}"; do [ -n "$p" ] && kill "$p" 2>/dev/null || true; done
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$E2E_TMP"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -n "${E2E_KEEP:-}" ] && cp -r "$HOME/Desktop" "$E2E_KEEP" 2>/dev/null
  exit 1
}

# Starts a private X server ($1: screen size, default 1920x1080) on a display number no other
# server uses (neither its lock file nor its socket exists), and waits (up to 30 s on a busy
# machine) until that server, and not another one, takes clients.
start_x() {
  local n
  for n in $(shuf -i 100-899 -n 50); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  # -noreset: the server would otherwise reset whenever its last client leaves (the readiness
  # probe below is such a client), refusing connections for a moment.
  Xvfb ":$n" -screen 0 "${1:-1920x1080}x24" -nolisten tcp -noreset 2>/dev/null &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 300); do
    kill -0 "$XVFB_PID" 2>/dev/null || fail "the X server for $DISPLAY ended at start"
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  fail "the X server at $DISPLAY takes no clients"
}

# Waits up to $2 seconds (default 10) for a window whose name matches $1; prints its ids.
wait_for_window() {
  local pattern="$1" limit="${2:-10}" ids=""
  for _ in $(seq $((limit * 10))); do
    ids="$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null || true)"
    [ -n "$ids" ] && { echo "$ids"; return 0; }
    sleep 0.1
  done
  return 1
}
