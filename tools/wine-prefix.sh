#!/usr/bin/env bash
# Makes a Wine prefix if it is not there yet: quiet, without the Mono and Gecko installers.
# Usage: tools/wine-prefix.sh DIR   (then use it with WINEPREFIX=DIR)
set -euo pipefail
prefix=$(realpath -m "$1")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  "$wine64" wineboot -i >/dev/null 2>&1
  "${wine64%/*}/wineserver" -w || true
fi
