#!/usr/bin/env bash
# --help and --version answer without a display and exit 0; an unknown option is an error.
source "$(dirname "$0")/lib/env.sh"
unset DISPLAY

out="$("$VISTRELA_BIN" --version)" || fail "--version exited $?"
[[ "$out" == *"Vistrela Viewer"*"2.0"* ]] || fail "--version printed: $out"

out="$("$VISTRELA_BIN" --help)" || fail "--help exited $?"
[[ "$out" == *"--auto-capture"* ]] || fail "--help printed: $out"

if "$VISTRELA_BIN" --no-such-option >/dev/null 2>&1; then fail "unknown option accepted"; fi
echo "1 passed, 0 failed"
