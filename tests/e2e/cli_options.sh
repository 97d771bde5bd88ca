#!/usr/bin/env bash
# --help and --version answer without a display and exit 0; an unknown option is an error.
# --help speaks the desktop's language: English under LANG=C.UTF-8, Korean under LANG=ko_KR.UTF-8
# (the locale need not be installed).
source "$(dirname "$0")/lib/env.sh"
unset DISPLAY

out="$("$VISTRELA_BIN" --version)" || fail "--version exited $?"
[[ "$out" == *"Vistrela Viewer"*"2.0"* ]] || fail "--version printed: $out"

out="$("$VISTRELA_BIN" --help)" || fail "--help exited $?"
[[ "$out" == *"--auto-capture"* ]] || fail "--help printed: $out"

out="$(LANGUAGE= LC_ALL= LANG=C.UTF-8 "$VISTRELA_BIN" --help)" || fail "--help (C.UTF-8) exited $?"
[[ "$out" == "Usage: vistrela"* ]] || fail "--help in English printed: $out"
if LC_ALL=C.UTF-8 grep -qP '[\x{AC00}-\x{D7A3}]' <<<"$out"; then fail "Hangul in English --help"; fi
out="$(LANGUAGE= LC_ALL= LANG=ko_KR.UTF-8 "$VISTRELA_BIN" --help)" || fail "--help (ko_KR) exited $?"
[[ "$out" == "사용법: vistrela"* ]] || fail "--help in Korean printed: $out"
err="$(LANGUAGE= LC_ALL= LANG=en_US.UTF-8 "$VISTRELA_BIN" --auto-capture 2>&1 >/dev/null)" && fail "missing seconds accepted"
[[ "$err" == *"--auto-capture needs a time in seconds"* ]] || fail "English error printed: $err"

if "$VISTRELA_BIN" --no-such-option >/dev/null 2>&1; then fail "unknown option accepted"; fi
echo "1 passed, 0 failed"
