#!/usr/bin/env bash
# Tells whether this machine can run 32-bit Windows programs; if not, prints why in one line and exits 1.
wine32=/usr/lib/wine/wine
if [ ! -x "$wine32" ]; then
  echo "Debian's 32-bit Wine (wine32:i386) is not installed"
  exit 1
fi
if ! error=$("$wine32" --version 2>&1); then
  # A kernel booted without 32-bit emulation refuses every 32-bit program, Wine's loader included.
  case "$error" in
    *"Exec format error"*) echo "this kernel runs no 32-bit programs (its 32-bit emulation is off)" ;;
    *) echo "Debian's 32-bit Wine does not start: ${error//$'\n'/ }" ;;
  esac
  exit 1
fi
