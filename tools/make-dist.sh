#!/usr/bin/env bash
# `make dist`: one zip per architecture under build/dist, with both programs and their readme, and their SHA256SUMS.
# The zips rebuild bit for bit: fixed entry times, order and permissions, no extra attributes.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/#define BUSCA_VERSION_TEXT "\(.*\)"/\1/p' build/win64/src/ui/version.h)

# Every entry carries the last commit's time (1980-01-01, the first time a zip can hold, outside
# a git checkout); zip writes local time, so the clock's zone must not change it.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}
export TZ=UTC LC_ALL=C

rm -rf build/dist
mkdir -p build/dist
for pair in win64:x86_64 win32:i686; do
  preset=${pair%%:*} arch=${pair##*:}
  name=BuscadorVIRK-$version-$arch
  stage=build/dist/$name
  mkdir -p "$stage"
  cp "build/$preset/src/ui/BuscadorVIRK.exe" "build/$preset/src/cli/ListaVIRK.exe" "$stage/"
  # Windows-1252, which every Notepad reads, older ones included.
  iconv -f UTF-8 -t WINDOWS-1252 tools/dist/LEEME.txt > "$stage/LEEME.txt"
  chmod 755 "$stage/BuscadorVIRK.exe" "$stage/ListaVIRK.exe"
  chmod 644 "$stage/LEEME.txt"
  touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*
  # -X: no owner ids or extra time fields; -D: files only, so no folder's own time or mode.
  (cd build/dist && find "$name" -type f | sort | zip -q -X -D "$name.zip" -@)
  rm -rf "$stage"
  echo "build/dist/$name.zip"
done
(cd build/dist && sha256sum BuscadorVIRK-*.zip > SHA256SUMS)
echo "build/dist/SHA256SUMS"
