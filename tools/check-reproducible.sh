#!/usr/bin/env bash
# `make reproducible`: builds the release files twice, in two fresh clones of this commit, and compares them byte for byte.
# The clones sit at paths of different lengths and build with different umasks and time zones,
# so a build path, a file mode or a clock that leaks into a file shows up as a difference.
set -euo pipefail
cd "$(dirname "$0")/.."
commit=$(git rev-parse HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "check-reproducible: uncommitted changes are not checked, only commit ${commit:0:12}"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
first=$work/a
second=$work/second-clone-elsewhere

files=(
  build/win64/src/ui/BuscadorVIRK.exe build/win64/src/cli/ListaVIRK.exe build/win64/simulator/BuscaVIRK.dll
  build/win32/src/ui/BuscadorVIRK.exe build/win32/src/cli/ListaVIRK.exe build/win32/simulator/BuscaVIRK.dll
  build/dist/SHA256SUMS
)

build() {  # DIR UMASK TZ
  git clone -q "$PWD" "$1"
  git -C "$1" checkout -q --detach "$commit"
  echo "Building in $1"
  (umask "$2" && cd "$1" && TZ=$3 make --no-print-directory dist >"$1.log" 2>&1) || {
    echo "check-reproducible: the build in $1 failed:"; tail -n 30 "$1.log"; exit 1
  }
}
build "$first" 022 UTC
build "$second" 077 America/Argentina/Buenos_Aires

status=0
for zip in "$first"/build/dist/*.zip; do files+=("build/dist/${zip##*/}"); done
for file in "${files[@]}"; do
  if cmp -s "$first/$file" "$second/$file"; then
    echo "same       $file"
  else
    echo "DIFFERENT  $file"
    status=1
  fi
done
echo
cat "$first/build/dist/SHA256SUMS"
if [ $status -eq 0 ]; then
  echo "Reproducible: both builds of ${commit:0:12} are identical."
else
  echo "Not reproducible: the files marked DIFFERENT differ between the two builds."
fi
exit $status
