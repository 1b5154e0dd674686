#!/usr/bin/env bash
# `make bench`: one table of figures per architecture under Wine: the scan, and a click on "Buscar", each
# against its floor (the same calls made directly; for the click also the same report put into a visible
# box like txtData), start time against a minimal window, ListaVIRK --json from start to exit against a
# console program making the same calls and writing the same bytes, and the program's size per architecture.
# x86_64 runs under wine64; i686 under Debian's 32-bit Wine where this machine runs 32-bit programs
# natively, else one line says why not (under emulation the timings would be the emulator's). Targets
# are printed beside the figures for information; nothing here fails on a figure, only on a broken setup.
set -euo pipefail
cd "$(dirname "$0")/../.."
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }

rows=$(mktemp "${TMPDIR:-/tmp}/bench-rows.XXXXXX")
trap 'rm -f "$rows" "$rows".*' EXIT
status=0

# measure ARCH BUILD LOADER: that build's bench programs, program and stand-in library under LOADER,
# in a prefix of the build's own; rows and notes go to $rows tagged with ARCH.
measure() {
  local arch=$1 build=$2 loader=$3
  local bench=$build/tools/bench wineserver=${3%/*}/wineserver out=$rows.$1
  export WINEPREFIX=$PWD/$build/bench-prefix
  tools/wine-prefix.sh "$WINEPREFIX"

  # Without a display: Wine's desktop process would otherwise keep this one for the window runs.
  env -u DISPLAY "$loader" "$bench/bench_scan.exe" >"$out" || status=1
  env -u DISPLAY "$loader" "$bench/list_time.exe" "$(winpath "$build/src/cli/ListaVIRK.exe")" \
    "$(winpath "$bench/list_floor.exe")" >>"$out" || status=1
  "$wineserver" -w

  # Rows straight to a file, whatever with-xvfb.sh does with output; the prefix's Wine processes
  # end before Xvfb does, so none is left holding a dead display.
  tools/with-xvfb.sh bash -c '"$1" "$2" "$4" >>"$6"; click=$?; "$1" "$3" "$4" "$5" >>"$6"; start=$?
      "$7" -w; [ $click -eq 0 ] && [ $start -eq 0 ]' _ "$loader" "$(winpath "$bench/click_time.exe")" \
    "$(winpath "$bench/start_time.exe")" "$(winpath "$build/src/ui/BuscadorVIRK.exe")" \
    "$(winpath "$bench/minimal_window.exe")" "$out" "$wineserver" || status=1
  for kind in ListaVIRK click start; do
    if ! grep -q $'^row\t'"$kind" "$out"; then
      echo "run-bench.sh: $arch: no $kind figures" >&2
      status=1
    fi
  done
  tr -d '\r' <"$out" | awk -F'\t' -v OFS='\t' -v arch="$arch" \
    '$1 == "row" { $1 = "row" OFS arch } $1 == "note" { $2 = arch ": " $2 } { print }' >>"$rows"
}

measure x86_64 build/win64 /usr/lib/wine/wine64
way=$(tools/wine32.sh --mode) || true  # "none: why" exits non-zero
case "$way" in
  native) measure i686 build/win32 /usr/lib/wine/wine ;;
  emulated) printf 'skip\ti686: not measured: 32-bit programs run here only under QEMU user emulation, whose timings these would be\n' >>"$rows" ;;
  *) printf 'skip\ti686: not measured: %s\n' "${way#none: }" >>"$rows" ;;
esac

kib() { awk -v bytes="$(stat -c %s "$1")" 'BEGIN { printf "%.1f", bytes / 1024 }'; }
size64=$(kib build/win64/src/ui/BuscadorVIRK.exe)
size32=$(kib build/win32/src/ui/BuscadorVIRK.exe)
met=$(awk -v a="$size64" -v b="$size32" 'BEGIN { print (a <= 512 && b <= 512) ? "yes" : "no" }')
printf 'size\texe size, KiB\t%s\t%s\t-\t<= 512 KiB each\t%s\n' "$size64" "$size32" "$met" >>"$rows"

awk -F'\t' '
  function line(a, b, c, d, e, f, g) { printf "%-7s %-36s %10s %10s %7s   %-28s %s\n", a, b, c, d, e, f, g }
  function kind(label) { return label ~ /^click/ ? "click" : label ~ /^(start|ListaVIRK)/ ? "start" : "scan" }
  BEGIN { line("arch", "scenario", "scan ms", "floor ms", "ratio", "target", "met"); shown = "scan" }
  $1 == "row" && kind($3) != shown {
    shown = kind($3)
    if (shown == "click") line("", "", "click ms", "floor ms", "", "", "")
    else if (shown == "start") line("", "", "program ms", "minimal ms", "", "", "")
    else line("", "", "scan ms", "floor ms", "", "", "")
  }
  $1 == "row" { line($2, $3, $4, $5, $6, $7, $8) }
  $1 == "skip" { print $2 }
  $1 == "size" { line("", "", "x86_64", "i686", "", "", ""); line("", $2, $3, $4, $5, $6, $7) }
  $1 == "note" { notes[++n] = $2 }
  END {
    print ""
    print "  ratio: median over rounds of each round'"'"'s own scan/floor (click/floor, program/minimal or floor), so load elsewhere cancels out"
    for (i = 1; i <= n; ++i) print "  " notes[i]
  }' "$rows"
exit "$status"
