#!/usr/bin/env bash
# `make dist`: one zip per architecture under build/dist, with the program and its readme.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/#define BUSCA_VERSION_TEXT "\(.*\)"/\1/p' build/win64/src/ui/version.h)
mkdir -p build/dist
for pair in win64:x86_64 win32:i686; do
  preset=${pair%%:*} arch=${pair##*:}
  stage=build/dist/BuscadorVIRK-$version-$arch
  rm -rf "$stage" "$stage.zip"
  mkdir -p "$stage"
  cp "build/$preset/src/ui/BuscadorVIRK.exe" "$stage/"
  # Windows-1252, which every Notepad reads, older ones included.
  iconv -f UTF-8 -t WINDOWS-1252 tools/dist/LEEME.txt > "$stage/LEEME.txt"
  (cd build/dist && zip -q -X -r "$(basename "$stage").zip" "$(basename "$stage")")
  rm -rf "$stage"
  echo "build/dist/$(basename "$stage").zip"
done
