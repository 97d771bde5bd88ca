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
  exit 1
}

# Starts a private X server; $1 is the screen size (default 1920x1080).
start_x() {
  local fd_file="$E2E_TMP/display"
  Xvfb -displayfd 3 -screen 0 "${1:-1920x1080}x24" -nolisten tcp 3>"$fd_file" 2>/dev/null &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$fd_file" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(cat "$fd_file")"
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
