#!/usr/bin/env bash
# Makes a Wine prefix if it is not there yet: quiet, without the Mono and Gecko installers.
# Usage: tools/wine-prefix.sh DIR   (then use it with WINEPREFIX=DIR)
set -euo pipefail
prefix=$(realpath -m "$1")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
# A prefix made before the 32-bit Wine came (or went) starts no program afterwards: made anew.
stamp="$prefix/.made-with"
made_with="wine32=$([ -x /usr/lib/wine/wine ] && echo yes || echo no)"
if [ -f "$prefix/system.reg" ] && [ "$(cat "$stamp" 2>/dev/null)" != "$made_with" ]; then
  rm -rf "$prefix"
fi
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  "$wine64" wineboot -i >/dev/null 2>&1
  "${wine64%/*}/wineserver" -w || true
  echo "$made_with" >"$stamp"
fi
