#!/usr/bin/env bash
# Runs a command where 32-bit Windows programs can run: natively where the kernel runs 32-bit programs,
# else under QEMU user emulation registered in a private namespace, so nothing outside it changes.
# Usage: tools/wine32.sh --mode       prints "native", "emulated", or "none: REASON" (then exits 1; 2 when
#                                     VIRK_WINE32 names no way)
#        tools/wine32.sh COMMAND ...  runs COMMAND that way, with VIRK_WINE32_WAY set to the way it runs
# VIRK_WINE32=native or VIRK_WINE32=emulated forces a way; either fails plainly where it cannot run.
set -uo pipefail
wine32=/usr/lib/wine/wine
qemu=/usr/bin/qemu-i386-static
binfmt=/proc/sys/fs/binfmt_misc

# Inside the namespace: a binfmt_misc of its own (Linux 6.7 and later) sends every i386 ELF program
# to QEMU. Flag F opens QEMU now, so it is found whatever the programs' mounts; the handler comes
# before the kernel's own ELF loaders, so it also serves where they would run the program natively.
if [ "${1:-}" = --inside-namespace ]; then
  shift
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  mount -t binfmt_misc binfmt_misc "$binfmt" || exit 125
  echo ":virk-i386:M::$magic:$mask:$qemu:F" >"$binfmt/register" || exit 125
  exec "$@"
fi

emulated() { unshare --user --map-root-user --mount --fork -- "$0" --inside-namespace "$@"; }

# Prints the way 32-bit programs run here, or "none: why"; exits 1 for none.
mode() {
  [ -x "$wine32" ] || { echo "none: Debian's 32-bit Wine (wine32:i386) is not installed"; return 1; }
  local native_error emulated_error
  case "${VIRK_WINE32:-}" in
    native) echo native; return 0 ;;
    emulated) echo emulated; return 0 ;;
    "") ;;
    *) echo "none: VIRK_WINE32 is \"$VIRK_WINE32\"; use native or emulated"; return 2 ;;
  esac
  if native_error=$("$wine32" --version 2>&1); then echo native; return 0; fi
  if [ ! -x "$qemu" ]; then
    echo "none: this kernel runs no 32-bit programs and QEMU user emulation (qemu-user-static) is not installed"
    return 1
  fi
  if emulated_error=$(emulated "$wine32" --version 2>&1); then echo emulated; return 0; fi
  case "$native_error" in
    *"Exec format error"*) native_error="this kernel runs no 32-bit programs (its 32-bit emulation is off)" ;;
  esac
  echo "none: ${native_error//$'\n'/ }; under QEMU in a private namespace (Linux 6.7 or later) neither: ${emulated_error//$'\n'/ }"
  return 1
}

if [ "${1:-}" = --mode ]; then mode; exit; fi
way=$(mode) || { echo "wine32.sh: 32-bit Windows programs cannot run here: ${way#none: }" >&2; exit 125; }
export VIRK_WINE32_WAY=$way
if [ "$way" = emulated ]; then emulated "$@"; else exec "$@"; fi
