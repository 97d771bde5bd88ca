#!/usr/bin/env bash
# `cmake --install` of the build folder into a throw-away DESTDIR: every file a desktop needs is
# where the freedesktop specifications look for it, the desktop entry and the AppStream data
# pass their validators and agree with each other and with the installed files, the scalable
# icon looks like the generated one, and the installed program runs.
set -euo pipefail

BIN="$(readlink -f "$1")"
BUILD="$(dirname "$BIN")"
SRC="$(cd "$(dirname "$0")/../.." && pwd)"
TMP="$(mktemp -d /tmp/vistrela-install.XXXXXX)"
trap 'rm -rf "$TMP"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ -f "$BUILD/cmake_install.cmake" ] || fail "$BUILD is not a build folder"
DESTDIR="$TMP/root" cmake --install "$BUILD" --prefix /usr >"$TMP/install.log" ||
  fail "cmake --install: $(cat "$TMP/install.log")"
ROOT="$TMP/root/usr"

desktop="$ROOT/share/applications/vistrela.desktop"
metainfo="$(ls "$ROOT"/share/metainfo/*.metainfo.xml 2>/dev/null || true)"
[ -x "$ROOT/bin/vistrela" ] || fail "no executable bin/vistrela"
[ -f "$desktop" ] || fail "no share/applications/vistrela.desktop"
[ "$(echo "$metainfo" | wc -w)" -eq 1 ] || fail "expected one metainfo file, found: $metainfo"
for f in share/doc/vistrela/README.md share/doc/vistrela/capture.ini \
  share/doc/vistrela/copyright share/doc/vistrela/changelog.gz share/man/man1/vistrela.1.gz \
  share/icons/hicolor/scalable/apps/vistrela.svg; do
  [ -s "$ROOT/$f" ] || fail "missing or empty: $f"
done
# The README's pictures stay where its links point.
for link in $(grep -o 'docs/screenshots/[^)]*\.png' "$ROOT/share/doc/vistrela/README.md"); do
  [ -f "$ROOT/share/doc/vistrela/$link" ] || fail "README shows $link, not installed"
done
for size in 48 256; do
  png="$ROOT/share/icons/hicolor/${size}x${size}/apps/vistrela.png"
  [ -f "$png" ] || fail "no ${size}x${size} icon"
  got="$(identify -format '%wx%h' "$png")"
  [ "$got" = "${size}x${size}" ] || fail "${size}x${size} icon is $got"
done

said="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate: $said"
[ -z "$said" ] || fail "desktop-file-validate: $said"
# The manual page reads without a warning from man (as lintian reads it).
said="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
  "$ROOT/share/man/man1/vistrela.1.gz" 2>&1 >/dev/null)"
[ -z "$said" ] || fail "man vistrela.1: $said"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"

# The entry starts the installed program with the installed icon, in both languages.
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Exec)" = vistrela ] || fail "Exec=$(key Exec)"
[ "$(key Icon)" = vistrela ] || fail "Icon=$(key Icon)"
for k in 'Name\[ko\]' 'Comment\[ko\]' Name Comment; do
  [ -n "$(key "$k")" ] || fail "desktop entry lacks $k"
done
# AppStream names the entry that is installed, and its screenshots are the repository's.
launchable="$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")"
[ "$launchable" = vistrela.desktop ] || fail "launchable '$launchable'"
shots="$(grep -o 'https://[^<]*\.png' "$metainfo")"
[ -n "$shots" ] || fail "no screenshot images"
for url in $shots; do
  [ -f "$SRC/docs/screenshots/$(basename "$url")" ] || fail "screenshot $url not in docs/screenshots"
done

# The hand-drawn scalable icon matches the generated 256 px one (RMSE under 2 %).
rsvg-convert -w 256 -h 256 "$ROOT/share/icons/hicolor/scalable/apps/vistrela.svg" -o "$TMP/svg.png" ||
  fail "the SVG icon does not render"
rmse="$(compare -metric RMSE "$TMP/svg.png" "$ROOT/share/icons/hicolor/256x256/apps/vistrela.png" \
  null: 2>&1 | sed -n 's/.*(\(.*\))/\1/p' || true)"
awk -v e="$rmse" 'BEGIN { exit !(e != "" && e < 0.02) }' || fail "SVG icon differs from the PNG: RMSE $rmse"

version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD/CPackConfig.cmake")"
[ -n "$version" ] || fail "no package version in $BUILD/CPackConfig.cmake"
out="$(env -u DISPLAY "$ROOT/bin/vistrela" --version)" || fail "installed --version exited $?"
[[ "$out" == *"Vistrela Viewer"*"$version"* ]] || fail "installed --version printed: $out"
echo "1 passed, 0 failed"
