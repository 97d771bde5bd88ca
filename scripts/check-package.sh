#!/usr/bin/env bash
# Checks the Debian package as a distribution would: lintian (pedantic, information tags
# shown) reports no error and no warning, and no missing hardening; the desktop entry passes
# desktop-file-validate without a word.
#
#   scripts/check-package.sh build/vistrela_2.0_amd64.deb
set -euo pipefail

DEB="$1"
SRC="$(cd "$(dirname "$0")/.." && pwd)"
[ -f "$DEB" ] || { echo "FAIL: no package $DEB" >&2; exit 1; }

report="$(lintian --pedantic -I --tag-display-limit 0 "$DEB" 2>&1 | grep -v '^running with root' || true)"
echo "$report"
if echo "$report" | grep -Eq '^[EW]: |hardening-no-'; then
  echo "FAIL: lintian found the lines above" >&2
  exit 1
fi
said="$(desktop-file-validate "$SRC/packaging/vistrela.desktop" 2>&1 || true)"
if [ -n "$said" ]; then
  echo "FAIL: desktop-file-validate: $said" >&2
  exit 1
fi
echo "package check passed"
