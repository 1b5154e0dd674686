#!/usr/bin/env bash
# Checks a Windows binary: it imports only Windows system DLLs and, when names are given, exports exactly those.
# Usage: tools/check-pe.sh OBJDUMP FILE [EXPORT ...]
set -euo pipefail
objdump=$1 file=$2
shift 2

dump=$("$objdump" -p "$file")
status=0

# What a lone .exe may rely on: the system's own DLLs and the C runtime every Windows has.
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|COMCTL32|SHELL32|msvcrt|ntdll|api-ms-win-[a-z0-9-]+)\.dll$'
while read -r dll; do
  if ! grep -qiE "$allowed" <<<"$dll"; then
    echo "$file imports $dll, which is not a Windows system DLL"
    status=1
  fi
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")

if [ $# -gt 0 ]; then
  expected=$(printf '%s\n' "$@" | sort)
  actual=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' | sort)
  if [ "$expected" != "$actual" ]; then
    echo "$file exports:"; echo "$actual"; echo "expected:"; echo "$expected"
    status=1
  fi
fi
[ $status -eq 0 ] && echo "$file: imports and exports as expected"
exit $status
