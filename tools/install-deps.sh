#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing; safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ make libgtest-dev          # native build and unit tests
  g++-mingw-w64-x86-64 g++-mingw-w64-i686          # the two Windows builds
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 wine32:i386 xvfb xauth x11-utils imagemagick  # running both Windows builds, screenshots
  qemu-user-static                                 # 32-bit Wine where the kernel runs no 32-bit programs
  zip libimage-exiftool-perl                       # release zips, reading the version record
  clang libclang-rt-14-dev llvm-14                 # fuzzing: libFuzzer, the sanitizers' runtimes, symbolizer
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The i686 program and its tests run under Debian's 32-bit Wine.
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
