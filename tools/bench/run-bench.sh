#!/usr/bin/env bash
# `make bench`: one table of figures under wine64: the scan against its floor (the same calls made
# directly), start time against a minimal window, and the program's size per architecture.
# Targets are printed beside the figures for information; nothing here fails on a figure.
set -euo pipefail
cd "$(dirname "$0")/../.."
build64=build/win64
build32=build/win32
bench=$build64/tools/bench
prefix=$PWD/$build64/bench-prefix

tools/wine-prefix.sh "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=${wine64%/*}/wineserver
winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }

rows=$(mktemp "${TMPDIR:-/tmp}/bench-rows.XXXXXX")
trap 'rm -f "$rows" "$rows.start"' EXIT
status=0

# Without a display: Wine's desktop process would otherwise keep this one for the window runs.
env -u DISPLAY "$wine64" "$bench/bench_scan.exe" | tr -d '\r' >>"$rows" || status=1
"$wineserver" -w

# Rows straight to the file, whatever with-xvfb.sh does with output; the prefix's Wine
# processes end before Xvfb does, so none is left holding a dead display.
start_rows=$rows.start
tools/with-xvfb.sh bash -c '"$1" "$2" "$3" "$4" >"$6"; status=$?; "$5" -w; exit $status' _ "$wine64" \
  "$(winpath "$bench/start_time.exe")" "$(winpath "$build64/src/ui/BuscadorVIRK.exe")" \
  "$(winpath "$bench/minimal_window.exe")" "$wineserver" "$start_rows" || status=1
tr -d '\r' <"$start_rows" >>"$rows" || true
if ! grep -q $'^row\tstart' "$rows"; then
  echo "run-bench.sh: no start-time figures" >&2
  status=1
fi

kib() { awk -v bytes="$(stat -c %s "$1")" 'BEGIN { printf "%.1f", bytes / 1024 }'; }
size64=$(kib "$build64/src/ui/BuscadorVIRK.exe")
size32=$(kib "$build32/src/ui/BuscadorVIRK.exe")
met=$(awk -v a="$size64" -v b="$size32" 'BEGIN { print (a <= 512 && b <= 512) ? "yes" : "no" }')
printf 'size\texe size, KiB\t%s\t%s\t-\t<= 512 KiB each\t%s\n' "$size64" "$size32" "$met" >>"$rows"

awk -F'\t' '
  function line(a, b, c, d, e, f) { printf "%-34s %10s %10s %7s   %-28s %s\n", a, b, c, d, e, f }
  BEGIN { line("scenario", "scan ms", "floor ms", "ratio", "target", "met") }
  $1 == "row" && $2 ~ /^start/ { line("", "program ms", "minimal ms", "", "", "") }
  $1 == "size" { line("", "x86_64", "i686", "", "", "") }
  $1 == "row" || $1 == "size" { line($2, $3, $4, $5, $6, $7) }
  $1 == "note" { notes[++n] = $2 }
  END {
    print ""
    print "  ratio: median over rounds of each round'"'"'s own scan/floor (program/minimal), so load elsewhere cancels out"
    for (i = 1; i <= n; ++i) print "  " notes[i]
  }' "$rows"
exit "$status"
