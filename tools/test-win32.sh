#!/usr/bin/env bash
# `make test`'s i686 part: every test of the win32 build, its Wine tests wherever 32-bit programs run
# (natively, else under QEMU user emulation: tools/wine32.sh), else the binary checks alone, saying why.
set -uo pipefail
cd "$(dirname "$0")/.."
way=$(tools/wine32.sh --mode)
status=$?
# A mistyped VIRK_WINE32 must not pass for a machine that runs no 32-bit programs.
if [ $status -eq 2 ]; then
  echo "win32: ${way#none: }" >&2
  exit 2
elif [ $status -ne 0 ]; then
  echo "win32: Wine tests not run: ${way#none: }; binary checks only"
  exec ctest --preset win32-tests --label-exclude wine
fi
timeout=300 jobs=2
if [ "$way" = emulated ]; then
  echo "win32: the i686 Wine tests run under QEMU user emulation in a private namespace (VIRK_WINE32 picks: native or emulated)"
  timeout=2400  # every Wine process starts in about a minute there
  # A part keeps about half a core busy there, one emulated start after another and waits between: three
  # side by side fill two cores.
  jobs=3
else
  echo "win32: the i686 Wine tests run natively (VIRK_WINE32 picks: native or emulated)"
fi
exec tools/wine32.sh ctest --preset win32-tests --timeout "$timeout" --parallel "$jobs"
