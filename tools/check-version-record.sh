#!/usr/bin/env bash
# Checks the program file's version record as Windows Explorer shows it, read back with exiftool.
# Usage: tools/check-version-record.sh BuscadorVIRK.exe
set -euo pipefail
expected='CharacterSet: Unicode
Comments: Buscador de VIRK.
CompanyName: Talvenor.
FileDescription: Buscador VIRK.
FileVersion: 1.00
FileVersionNumber: 1.0.0.0
InternalName: BuscadorVIRK
LanguageCode: Spanish (Modern)
ProductName: VIRK.
ProductVersion: 1.00
ProductVersionNumber: 1.0.0.0'
actual=$(exiftool -s -CharacterSet -Comments -CompanyName -FileDescription -FileVersion -FileVersionNumber \
  -InternalName -LanguageCode -ProductName -ProductVersion -ProductVersionNumber "$1" | sed 's/ *: /: /' | sort)
if [ "$actual" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "$1: version record as expected"
