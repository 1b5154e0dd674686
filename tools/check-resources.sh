#!/usr/bin/env bash
# Checks the program file's icon group and manifest as Windows reads them, extracted with icoutils' wrestool:
# every icon size in 256 colours and in 32 bits, the first version's 32 x 32 256-colour image byte for byte,
# and the manifest's themed controls and per-monitor DPI.
# Usage: tools/check-resources.sh BuscadorVIRK.exe
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "$program: $*"; status=1; }

# The 32 x 32 256-colour image (its header, palette, colours and mask) of the first version's icon.
first_32x32_sha256=bc3e1e750803c64ddaf52ce06087348dfa5dc4f1f0b865c1c50a23942ce522a3
wrestool -x -t 14 -n 1 -o "$work/group.ico" "$program"
expected=''
for depth in 8 32; do
  for size in 16 20 24 32 40 48; do
    expected+="${size}x${size}x${depth}"$'\n'
  done
done
listed=$(icotool -l "$work/group.ico" |
  sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\) --bit-depth=\([0-9]*\).*/\1x\2x\3/p' | sort -t x -k3n -k1n)
[ "$listed" = "${expected%$'\n'}" ] || fail "icon images $(echo $listed), not $(echo $expected)"
# ICONDIR, then 16-byte entries: width, height, colours, reserved, planes, bits per pixel, size, offset.
count=$(od -An -tu2 -j 4 -N 2 "$work/group.ico" | tr -d ' ')
found=''
for ((i = 0; i < count; i++)); do
  read -r -a b <<<"$(od -An -tu1 -v -j $((6 + 16 * i)) -N 16 "$work/group.ico" | tr '\n' ' ')"
  width=${b[0]} height=${b[1]} bits=$((b[6] + 256 * b[7]))
  size=$((b[8] + 256 * b[9] + 65536 * b[10])) offset=$((b[12] + 256 * b[13] + 65536 * b[14]))
  if [ "$width $height $bits" = "32 32 8" ]; then
    found=$(head -c $((offset + size)) "$work/group.ico" | tail -c "$size" | sha256sum | cut -d" " -f1)
  fi
done
[ "$found" = "$first_32x32_sha256" ] || fail "the 32 x 32 256-colour image differs from the first version's (${found:-none})"

# The manifest: Common Controls 6 for any processor, and Per-Monitor v2 DPI awareness with v1's as fallback.
wrestool -x --raw -t 24 -o "$work/manifest.xml" "$program"
manifest=$(tr -s ' \n\r\t' ' ' < "$work/manifest.xml")
for wanted in 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0" processorArchitecture="*" publicKeyToken="6595b64144ccf1df"' \
              '>true/pm</dpiAware>' '>PerMonitorV2, PerMonitor</dpiAwareness>'; do
  [[ "$manifest" == *"$wanted"* ]] || fail "manifest lacks $wanted"
done
[ $status -eq 0 ] && echo "$program: icon group and manifest as expected"
exit $status
