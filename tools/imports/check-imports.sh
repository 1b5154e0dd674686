#!/usr/bin/env bash
# Checks that shipped programs import only functions that the oldest Windows of their architecture exports
# (allowed.txt beside this file), and ask for no newer subsystem: i686 Windows 98 SE and 2000, subsystem
# 4.0; x86_64 64-bit XP (NT 5.2). Names every import that fails.
# Usage: tools/imports/check-imports.sh OBJDUMP ARCH FILE...   (ARCH: i686 or x86_64)
set -euo pipefail
objdump=$1 arch=$2
shift 2
list=$(dirname "$0")/allowed.txt
case "$arch" in
  i686) newest_nt=5.0 subsystem="4 0" ;;
  x86_64) newest_nt=5.2 subsystem="5 2" ;;
  *) echo "check-imports.sh: unknown architecture $arch" >&2; exit 2 ;;
esac

status=0
for file in "$@"; do
  dump=$("$objdump" -p "$file")
  # "DLL function" per import, from the import tables' "DLL Name:" headers and their hint/name rows.
  imports=$(sed -n '/^The Import Tables/,/^The /p' <<<"$dump" |
    awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }')
  [ -n "$imports" ] || { echo "$file: no imports read"; status=1; continue; }
  failures=$(awk -v arch="$arch" -v newest_nt="$newest_nt" '
    NR == FNR { if ($0 !~ /^#/ && NF >= 5) { key = tolower($1) " " $2; nine[key] = $3; nt[key] = $4 } next }
    {
      key = tolower($1) " " $2
      if (!(key in nine)) { print $1 " " $2 ": not on the list of allowed imports"; next }
      if (nt[key] + 0 > newest_nt + 0) print $1 " " $2 ": first exported by NT " nt[key]
      if (arch == "i686" && nine[key] !~ /^(95|98|stub)$/) print $1 " " $2 ": not exported by Windows 98"
    }' "$list" - <<<"$imports")
  version=$(awk '/^MajorSubsystemVersion/ { major = $2 } /^MinorSubsystemVersion/ { minor = $2 } END { print major, minor }' <<<"$dump")
  [ "$version" = "$subsystem" ] || failures+=$'\n'"subsystem version ${version/ /.}, not ${subsystem/ /.}"
  if [ -n "$failures" ]; then
    echo "$file imports what its oldest Windows lacks:"
    sed '/^$/d; s/^/  /' <<<"$failures"
    status=1
  else
    echo "$file: $(wc -l <<<"$imports") imports, each exported by the oldest Windows for $arch"
  fi
done
exit $status
