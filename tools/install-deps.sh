#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those missing; safe to run again, silent when none is.
# Usage: tools/install-deps.sh [SET] [--fetch NEXT]
#   make   make alone, for ./test.sh on a machine without it
#   build  the x86_64 build, make with it: `make run` (./run.sh) installs it first, so it compiles while Wine and
#          Xvfb install
#   wine   wine64: `make run` installs it next, so Wine makes its prefix while Xvfb installs
#   demo   all that `make run` needs: the x86_64 build, wine64 and Xvfb
#   all    (the default) what `make test` needs besides: the native, i686 and fuzz builds and their tests
#   --fetch NEXT: while SET's packages unpack, those NEXT needs besides are downloaded into apt's cache
# As root, or with sudo.
set -euo pipefail

wine=(wine64)
build=(
  make cmake ninja-build                           # configure and build
  g++-mingw-w64-x86-64-win32                       # the x86_64 programs (win32 thread model)
)
demo=(
  "${build[@]}"
  "${wine[@]}" xvfb                                # running them, on a display of their own if none is there
)
# xdpyinfo, which tells whether the display named answers: asked only where one is named.
[ -z "${DISPLAY:-}" ] || demo+=(x11-utils)
tests=(
  g++ libgtest-dev                                 # native build and unit tests
  g++-mingw-w64-x86-64 g++-mingw-w64-i686          # the tests' posix thread model, the i686 build
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine32:i386 xauth                                # the i686 Wine tests
  qemu-user-static                                 # 32-bit Wine where the kernel runs no 32-bit programs
  zip libimage-exiftool-perl icoutils              # release zips, reading the version record and the icons
  clang libclang-rt-14-dev llvm-14                 # fuzzing: libFuzzer, the sanitizers' runtimes, symbolizer
)

usage() { echo "usage: tools/install-deps.sh [make|build|wine|demo|all] [--fetch make|build|wine|demo|all]" >&2; exit 2; }
set_of() {  # SET: its packages, into packages
  case "$1" in
    make) packages=(make) ;;
    wine) packages=("${wine[@]}") ;;
    build) packages=("${build[@]}") ;;
    demo) packages=("${demo[@]}") ;;
    all) packages=("${demo[@]}" "${tests[@]}") ;;
    *) usage ;;
  esac
}
set=${1:-all}
next=""
if [ $# -gt 1 ]; then
  [ $# -eq 3 ] && [ "$2" = --fetch ] || usage
  next=$3
  set_of "$next"
  next_packages=("${packages[@]}")
fi
set_of "$set"

# Those of PACKAGE... not installed, one a line.
not_installed() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || echo "$package"
  done
}
missing=() next_missing=()
while read -r package; do missing+=("$package"); done < <(not_installed "${packages[@]}")
[ -z "$next" ] || while read -r package; do next_missing+=("$package"); done < <(not_installed "${next_packages[@]}")
# Whether any of the packages named is among the missing.
missing_of() {
  local package
  for package in "$@"; do [[ " ${missing[*]} " == *" $package "* ]] && return 0; done
  return 1
}

# Disk space, in MB (README): the packages on the system's disk, installed and apt's downloaded copies, the
# demo's and then the rest `make test` needs, as apt sizes them for a minimal Debian 12 (December 2026); the
# build folder with its Wine prefixes in the project's, for `make run` and for all `make test` builds (the
# demo's included), with some room over what fresh clones took.
demo_packages_mb=1800 test_packages_mb=3000
run_build_mb=900 test_build_mb=2500
# Checked before anything is installed or built: a full disk would otherwise fail halfway, saying nothing of why.
check_space() {
  local packages_mb=0 build_mb=0 project build_now system_fs project_fs
  missing_of "${demo[@]}" && packages_mb=$demo_packages_mb
  case "${1:-all}" in
    wine | build | demo) build_mb=$run_build_mb ;;
    all)
      build_mb=$test_build_mb
      missing_of "${tests[@]}" && packages_mb=$((packages_mb + test_packages_mb)) ;;
    *) return 0 ;;
  esac
  project=$(cd "$(dirname "$0")/.." && pwd)
  build_now=$(du -sm "$project/build" 2>/dev/null | cut -f1 || true)  # none yet in a fresh clone
  build_mb=$((build_mb > ${build_now:-0} ? build_mb - ${build_now:-0} : 0))
  system_fs=$(stat -c %d /usr)
  project_fs=$(stat -c %d "$project")
  if [ "$system_fs" = "$project_fs" ]; then
    enough "$project" $((packages_mb + build_mb)) "$([ $packages_mb -gt 0 ] && echo "the packages and ")$project/build"
  else
    enough /usr "$packages_mb" "the packages" && enough "$project" "$build_mb" "$project/build"
  fi
}
enough() {  # PLACE MB WHAT
  local free
  free=$(df -Pm "$1" | awk 'NR == 2 { print $4 }')
  [ "$2" -le "$free" ] && return 0
  echo "install-deps.sh: too little disk space: $what_for needs $2 MB more on the file system of $1" \
    "(for $3), which has $free MB free" >&2
  exit 1
}
what_for=$([ "$set" = all ] && echo "make test" || echo "make run")
check_space "$set"
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps.sh: these Debian packages are missing: ${missing[*]}" >&2
    echo "install-deps.sh: run this as root, or install sudo, to install them" >&2
    exit 1
  fi
  sudo=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Lists updated less than an hour ago serve again: `make run` installs in two steps, one update.
stamp=/var/lib/apt/periodic/update-success-stamp
update=false
[ -n "$(find "$stamp" -mmin -60 2>/dev/null)" ] || update=true
# The i686 program and its tests run under Debian's 32-bit Wine.
if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
  update=true
fi
update_lists() {
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" mkdir -p "${stamp%/*}"
  "${sudo[@]}" touch "$stamp"
}
# dpkg's sync after every file costs some 20 s of a first install; a crash during one means
# installing these packages again.
apt_install=(apt-get install -y -q --no-install-recommends -o Dpkg::Options::=--force-unsafe-io)
# The packages, as NAME=VERSION, that apt would install for PACKAGE..., one a line, sorted; simulated, no lock taken.
planned() {
  apt-get install -s -q --no-install-recommends "$@" 2>/dev/null |
    awk '$1 == "Inst" { version = $3 ~ /^\[/ ? $4 : $3; sub(/^\(/, "", version); print $2 "=" version }' | sort
}
# Into FOLDER, the packages NEXT needs but those named (the ones apt installs now). Not needed, only sooner: what
# fails to download here the next install downloads itself. A plan made as dpkg writes its status may miss a
# package or name one too many: the next install sees to it.
fetch() {  # FOLDER NAME...
  local folder=$1
  shift
  planned "${next_missing[@]}" | awk -v skip=" $* " 'index(skip, " " substr($0, 1, index($0, "=") - 1) " ") == 0' |
    (cd "$folder" && xargs -r "${sudo[@]}" apt-get download -q >/dev/null 2>&1) || true
}
install() {
  if [ ${#next_missing[@]} -eq 0 ]; then
    "${sudo[@]}" "${apt_install[@]}" "${missing[@]}"
    return
  fi
  # With --fetch: once apt has downloaded these packages, as dpkg unpacks them, those NEXT needs besides are
  # downloaded into a folder of their own (a download alone takes none of the locks apt holds), and moved into
  # apt's cache for its next install once dpkg is done, so no file dpkg reads is written.
  local fetched status=0
  fetched=$("${sudo[@]}" mktemp -d /var/cache/apt/fetched.XXXXXX)
  "${sudo[@]}" "${apt_install[@]}" "${missing[@]}" | {
    local fetcher="" installing=() listing=false
    while IFS= read -r line; do
      printf '%s\n' "$line"
      # apt's own list of what it installs, so no second plan need be made for it.
      if [ "$line" = "The following NEW packages will be installed:" ]; then listing=true
      elif $listing && [[ $line == " "* ]]; then read -ra names <<<"$line"; installing+=("${names[@]}")
      else listing=false; fi
      if [ -z "$fetcher" ] && [[ $line =~ ^(Fetched\ |Selecting\ |Preparing\ to\ unpack|\(Reading\ database) ]]; then
        fetch "$fetched" "${installing[@]}" & fetcher=$!
      fi
    done
    [ -z "$fetcher" ] || wait "$fetcher"
  } || status=$?
  "${sudo[@]}" find "$fetched" -name '*.deb' -exec mv -n -t /var/cache/apt/archives {} +
  "${sudo[@]}" rm -rf "$fetched"
  return "$status"
}
if $update; then
  update_lists
  install
else
  install || { update_lists && install; }
fi
