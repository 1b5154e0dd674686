#!/usr/bin/env bash
# Makes a Wine prefix if it is not there yet: quiet, without the Mono and Gecko installers; with TEMPLATE,
# as a copy of that prefix (made first if need be), since a new prefix costs Wine seconds natively and
# minutes where its 32-bit programs run under emulation.
# Usage: tools/wine-prefix.sh DIR [TEMPLATE]   (then use it with WINEPREFIX=DIR)
set -euo pipefail
prefix=$(realpath -m "$1")
# A prefix made before the 32-bit Wine came (or went) starts no program afterwards: made anew.
stamp=.made-with
made_with="wine32=$([ -x /usr/lib/wine/wine ] && echo yes || echo no)"
current() { [ -f "$1/system.reg" ] && [ "$(cat "$1/$stamp" 2>/dev/null)" = "$made_with" ]; }
current "$prefix" && exit 0
rm -rf "$prefix"

if [ $# -ge 2 ]; then
  template=$(realpath -m "$2")
  "$0" "$template"
  cp -a "$template" "$prefix"
  exit 0
fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
mkdir -p "$prefix"
"$wine64" wineboot -i >/dev/null 2>&1
"${wine64%/*}/wineserver" -w || true
echo "$made_with" >"$prefix/$stamp"
