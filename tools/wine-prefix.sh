#!/usr/bin/env bash
# Makes a Wine prefix if it is not there yet: quiet, without the Mono and Gecko installers.
# With TEMPLATE, from that prefix (made first if need be, with Wine's 32-bit side wherever 32-bit programs run,
# under emulation too): the prefix gets its own registry, stamps and writable folders, and shares Wine's own
# files (the Windows and Program Files folders, 0.7 to 1.2 GB) with the template by reflink where the file
# system has them, else by hard link. A new prefix costs Wine seconds natively and minutes under emulation;
# a linked one, a second.
# Usage: tools/wine-prefix.sh DIR [TEMPLATE]   (then use it with WINEPREFIX=DIR; nothing may run in TEMPLATE,
#   whose checksums go to TEMPLATE.sums)
set -euo pipefail
tools=$(dirname "$(realpath "$0")")
prefix=$(realpath -m "$1")
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
wine32=/usr/lib/wine/wine
stamp=.made-with
# The files a prefix has its own copy of, as paths from its top: all but Wine's own, and of Wine's those it
# writes (the Windows folder's settings files, setupapi's compiled .pnf beside the .inf files of the devices
# it installs at a prefix's first start, the temp folder), where a write through a hard link would change the
# template and every other prefix. The registry files are the prefix's own: wineserver writes a registry
# file in place once it has more than one link.
own_files() {
  (cd "$1" && find . -regextype posix-extended -type f \( ! -regex '\./drive_c/(windows|Program Files[^/]*)/.*' \
    -o -regex '\./drive_c/windows/([^/]*\.ini|inf/.*|temp/.*)' \) -print0)
}

# What a prefix is made with: Wine's version and whether its 32-bit side was set up. A new Wine updates a
# prefix's DLLs in place at its first start there, writing through every link, and a prefix made without the
# 32-bit side starts no 32-bit program: either way the prefix is made anew, never updated.
made_with() { echo "wine=$("$wine64" --version) unmanaged wine32=$1"; }
current() { [ -f "$1/system.reg" ] && [ "$(cat "$1/$stamp" 2>/dev/null)" = "$2" ]; }

# Makes DIR with Wine itself; WITH32 yes: through tools/wine32.sh, under emulation only where 32-bit programs
# run no other way (the prefix is the same either way: VIRK_WINE32 picks the way for the tests alone).
make_prefix() {
  local dir=$1 with32=$2 new="$1.new" run=()
  [ "$with32" = yes ] && [ -z "${VIRK_WINE32_WAY:-}" ] && run=(env -u VIRK_WINE32 "$tools/wine32.sh")
  rm -rf "$dir" "$new"
  mkdir -p "$new"
  # In one command, so that under emulation wineboot and its wineserver end in the same namespace. Once wineboot
  # is done its session is ended at once, the registry saved: left to end by itself, it lingers some 5 s. Nor is
  # winemenubuilder started, which only writes menu entries for the desktop, and would be cut short. Wine draws
  # its windows' frames itself: Xvfb has no window manager, and a window left to one waits two seconds for it when
  # destroyed, which would slow every close of the demo, the tests and the bench.
  WINEPREFIX=$new WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d" "${run[@]}" bash -c \
    '"$1" wineboot -i >/dev/null 2>&1; "$1" reg add "HKCU\Software\Wine\X11 Driver" /v Managed /d N /f >/dev/null
     "${1%/*}/wineserver" -k 2>/dev/null; "${1%/*}/wineserver" -w || true' _ "$wine64"
  made_with "$with32" >"$new/$stamp"
  mv "$new" "$dir"
}

# Makes DIR from TEMPLATE: reflinks, else Wine's files linked and the prefix's own copied.
share_prefix() {
  local dir=$1 template=$2 new="$1.new"
  rm -rf "$dir" "$new"
  mkdir -p "${new%/*}"
  local way=copy probe="$new.probe"  # another file system: a whole copy
  if cp --reflink=always "$template/$stamp" "$probe" 2>/dev/null; then
    way=reflink
  elif rm -f "$probe" && ln "$template/$stamp" "$probe" 2>/dev/null; then
    way=link
  fi
  rm -f "$probe"
  case $way in
    reflink) cp -a --reflink=always "$template" "$new" ;;
    link)
      cp -a -l "$template" "$new"
      own_files "$template" | (cd "$template" && xargs -0 cp -a --remove-destination --parents -t "$new") ;;
    copy) cp -a "$template" "$new" ;;
  esac
  mv "$new" "$dir"
}

if [ $# -lt 2 ]; then
  # As the demo's: Wine's 32-bit side where 32-bit programs run without help.
  made=$(made_with "$("$wine32" --version >/dev/null 2>&1 && echo yes || echo no)")
  current "$prefix" "$made" || make_prefix "$prefix" "${made##*wine32=}"
  exit 0
fi

template=$(realpath -m "$2")
mkdir -p "${template%/*}"
# One maker of the template at a time: the parts' prefixes are made side by side.
exec {lock}<"${template%/*}"
flock "$lock"
made=$(made_with "$(env -u VIRK_WINE32 "$tools/wine32.sh" --mode >/dev/null 2>&1 && echo yes || echo no)")
if ! current "$template" "$made"; then
  make_prefix "$template" "${made##*wine32=}"
  # Its checksums, for the test that shows no prefix made from it writes into it.
  (cd "$template" && find . -type f -print0 | xargs -0 md5sum) >"$template.sums"
fi
flock -u "$lock"
# A prefix older than its template holds links to a template since made anew.
current "$prefix" "$made" && ! [ "$template/$stamp" -nt "$prefix/$stamp" ] && exit 0
share_prefix "$prefix" "$template"
