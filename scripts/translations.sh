#!/usr/bin/env bash
# The English translation of the viewer's texts (i18n/vistrela_en.ts; the sources hold Korean).
#   translations.sh update [LUPDATE]  reads every text of the sources into the .ts: new texts come
#                                     in unfinished (fill in their English with linguist or an
#                                     editor), texts no longer in the sources are dropped.
#   translations.sh check  [LUPDATE]  fails when a text of the sources has no finished English or
#                                     the .ts holds a text the sources no longer have.
set -euo pipefail

mode=${1:?update or check}
lupdate=${2:-}
if [ -z "$lupdate" ]; then
  lupdate=$(command -v lupdate6 || true)
  [ -n "$lupdate" ] || lupdate=/usr/lib/qt6/bin/lupdate
fi
root=$(cd "$(dirname "$0")/.." && pwd)
ts="$root/i18n/vistrela_en.ts"
sources=(app capture viewer annotation stills recording settings controls common)
options=(-silent -I "$root" -locations none -extensions cpp,h -source-language ko_KR -target-language en)

case "$mode" in
  update)
    cd "$root"
    "$lupdate" "${options[@]}" -no-obsolete "${sources[@]}" -ts "$ts"
    left=$(grep -c 'type="unfinished"' "$ts" || true)
    echo "i18n/vistrela_en.ts: $left text(s) without English"
    ;;
  check)
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$ts" "$work/vistrela_en.ts"
    cd "$root"
    "$lupdate" "${options[@]}" "${sources[@]}" -ts "$work/vistrela_en.ts"
    if grep -n -B3 -E 'type="(unfinished|vanished|obsolete)"' "$work/vistrela_en.ts"; then
      echo "i18n/vistrela_en.ts is behind the sources: run 'make translations' and give every" \
           "text marked unfinished its English" >&2
      exit 1
    fi
    ;;
  *) echo "usage: $0 update|check [lupdate]" >&2; exit 2 ;;
esac
