#!/usr/bin/env bash
# Fails on any include in src/ against the layers src/README.md's table gives: a folder includes its own
# headers and those of the folders (or single headers) its row names. Prints each offence as FILE:LINE.
# Usage: tools/check-layers.sh [SRC_DIR]
set -euo pipefail
src=${1:-$(dirname "$0")/../src}
# Rows "| `folder/` | job | allowed ... |" to "folder allowed ...".
rules=$(sed -n 's/^| `\([a-z0-9_]*\)\/` |.*| *\([^|]*\)|$/\1 \2/p' "$src/README.md")
[ -n "$rules" ] || { echo "check-layers: no layer table in $src/README.md"; exit 1; }
offences=0
while read -r folder allowed; do
  [ -d "$src/$folder" ] || continue
  while IFS=: read -r file line text; do
    target=$(sed 's/.*#include "\([^"]*\)".*/\1/' <<<"$text")
    [[ $target == */* ]] || continue  # the folder's own headers and generated ones
    ok=0
    for permitted in "$folder" $allowed; do
      [[ $target == "$permitted" || $target == "$permitted"/* ]] && ok=1
    done
    if [ $ok = 0 ]; then
      echo "${file#"$src"/}:$line: includes \"$target\", which $folder/ may not"
      offences=$((offences + 1))
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include "' -r "$src/$folder" --include='*.h' --include='*.cpp' \
             --include='*.rc' --include='*.rc2' /dev/null || true)
done <<<"$rules"
# A folder with sources but no row has no place in the order.
for dir in "$src"/*/; do
  name=$(basename "$dir")
  grep -q "^$name " <<<"$rules" || { echo "$name/: no row in src/README.md"; offences=$((offences + 1)); }
done
echo "check-layers: $offences include(s) against the layers"
[ $offences = 0 ]
