#!/usr/bin/env bash
# `make run`: BuscadorVIRK.exe with the stand-in library, three demo adapters and their COM ports in a demo registry.
# With a display the window opens there; without one it runs under Xvfb, prints the report and saves a screenshot.
# Either way it first prints what ListaVIRK.exe lists for the same adapters.
# Usage: tools/run-demo.sh [--build]   (--build, as `make run` does: the demo's packages, then only what it needs built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/win64
prefix=$PWD/build/demo-prefix
screenshot=$PWD/build/screenshot.png
started=$SECONDS
build_first=false
[ "${1:-}" != --build ] || build_first=true

# Whatever fails, what runs in the background is waited for before the demo ends.
background=()
fail() {
  local job
  for job in "${background[@]}"; do wait "$job" || true; done
  exit 1
}

if $build_first; then
  # The compiler first, with the rest of the demo's packages downloaded while it unpacks: it builds while
  # wine64 and Xvfb install, and dpkg, unpacking one package after another, leaves it a core.
  tools/install-deps.sh build --fetch demo
  # The programs, the stand-in library and the window reader; `make test` builds the rest.
  { cmake --preset win64 >/dev/null &&
    cmake --build --preset win64 --target BuscadorVIRK ListaVIRK BuscaVIRK window_text; } & build_job=$!
  background+=("$build_job")
  tools/install-deps.sh wine || fail
fi

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
# A new prefix takes Wine some seconds, mostly waiting: it is made while Xvfb installs and the compiler works.
tools/wine-prefix.sh "$prefix" & prefix_job=$!
background+=("$prefix_job")

if $build_first; then
  tools/install-deps.sh demo || fail
  wait "$build_job" || fail
fi
wait "$prefix_job" || fail

export BUSCAVIRK_DEVICES=$PWD/tools/demo/devices.txt
program=$build/src/ui/BuscadorVIRK.exe
registry="Z:$(realpath tools/demo/registry.reg | tr / '\\')"
# In the Wine session that then shows the window: the demo registry, then ListaVIRK's listing, plain and as JSON.
session='
  "$1" regedit /S "$2" || exit
  echo "ListaVIRK lists:"
  "$1" "$3" | tr -d "\r" || exit
  echo "ListaVIRK --json:"
  "$1" "$3" --json | tr -d "\r" || exit
'

if [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null && xdpyinfo >/dev/null 2>&1; then
  bash -o pipefail -c "$session" _ "$wine64" "$registry" "$build/src/cli/ListaVIRK.exe"
  if $build_first; then echo "make run: $((SECONDS - started)) s to the window"; fi
  exec "$wine64" "$program"
fi

# One Xvfb and one Wine session for all of it. The report and the screenshot are read out of the window by
# window_text.exe; one not made fails the demo, after the window is closed.
tools/with-xvfb.sh bash -o pipefail -c "$session"'
  "$1" "$4" & program=$!
  "$1" "$5" "BUSCADOR VIRK 1.0 - Talvenor" 1003 --png "$6" --close > "$7.txt"; report=$?
  wait $program && [ $report -eq 0 ]
' _ "$wine64" "$registry" "$build/src/cli/ListaVIRK.exe" "$program" "$build/tools/window_text/window_text.exe" \
  "Z:$(tr / '\\' <<<"$screenshot")" "$screenshot"
echo "Report in txtData:"
tr -d '\r' < "$screenshot.txt"
echo "Screenshot: $screenshot"
if $build_first; then echo "make run: $((SECONDS - started)) s"; fi
