#!/usr/bin/env bash
# The Wine tests' prefixes share Wine's files with their template, yet stay apart: Wine writing into one
# prefix made from it (its registry's two hives, its Windows folder: a new file, a settings file rewritten in
# place, its temp folder) leaves every byte of the template as it was made and of another prefix as it was.
# Run after the parts, it also shows that their tests changed no byte of the template.
# Usage: tools/check-prefix-isolation.sh TEMPLATE DIR   (DIR: the two prefixes made here)
set -euo pipefail
tools=$(dirname "$(realpath "$0")")
template=$(realpath -m "$1")
dir=$(realpath -m "$2")
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
failed=0
fail() { echo "prefix isolation: $*" >&2; failed=1; }

rm -rf "$dir"
"$tools/wine-prefix.sh" "$dir/written" "$template"
"$tools/wine-prefix.sh" "$dir/other" "$template"
# The checksums of the other prefix's own files, checked later with md5sum -c; its files linked to the
# template's are the template's, checked against its own checksums.
(cd "$dir/other" && find . -type f -links 1 -print0 | xargs -0 md5sum) >"$dir/other.sums"

export WINEPREFIX=$dir/written WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
for hive in HKLM HKCU; do "$wine64" reg add "$hive\\Software\\BuscadorVIRK\\Isolation" /v Written /d yes /f >/dev/null; done
"$wine64" cmd /c 'echo written> C:\windows\isolation.txt & echo [Isolation]>> C:\windows\win.ini & echo written> C:\windows\temp\isolation.txt' >/dev/null
"${wine64%/*}/wineserver" -w

# The writes took, or nothing was shown.
for file in system.reg user.reg drive_c/windows/{win.ini,isolation.txt,temp/isolation.txt}; do
  grep -qsE 'Isolation|written' "$dir/written/$file" || fail "the write into $file did not take"
done
# The checksums tools/wine-prefix.sh took when it made the template.
(cd "$template" && md5sum -c --quiet "$template.sums") || fail "the template changed since it was made"
(cd "$dir/other" && md5sum -c --quiet "$dir/other.sums") || fail "another prefix made from the template changed"
exit "$failed"
