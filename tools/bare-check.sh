#!/usr/bin/env bash
# `make bare-check`: the README's two commands as a newcomer meets them, in a new minimal Debian 12
# root (debootstrap minbase, from this machine's own Debian mirror) with a clone of this commit:
# ./run.sh, then ./test.sh, as root. Prints the time of each, the build folder's size after it and the
# packages each installed with their download size. The root is unmounted and removed however the check ends.
# Usage: tools/bare-check.sh [COMMIT [RUN TEST]]   (as root; needs the package registry; about 8 GB free
#   under /var/tmp: the packages and the build folder). COMMIT (HEAD) is checked instead; RUN and TEST
#   (./run.sh, ./test.sh) are the commands, for comparing with an older commit.
# Logs: build/bare-check/run.log and test.log.
set -euo pipefail
cd "$(dirname "$0")/.."

die() { echo "bare-check: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || die "needs root, for debootstrap, mounts and chroot: run it as root (or with sudo)"

# The first URI that serves SUITE among this machine's apt sources, one-line or deb822.
source_uri() {
  local suite=$1 file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    awk -v suite="$suite" '$1 == "deb" {
      i = 2
      if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
      if ($(i + 1) == suite) print $i
    }' "$file"
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk -v suite="$suite" 'BEGIN { RS = "" } {
      uris = ""; suites = ""; types = ""; enabled = "yes"
      n = split($0, lines, "\n")
      for (i = 1; i <= n; i++) {
        line = lines[i]
        if (line ~ /^#/) continue
        if (sub(/^URIs:[ \t]*/, "", line)) uris = line
        else if (sub(/^Suites:[ \t]*/, "", line)) suites = line
        else if (sub(/^Types:[ \t]*/, "", line)) types = line
        else if (sub(/^Enabled:[ \t]*/, "", line)) enabled = line
      }
      if (enabled != "no" && (" " types " ") ~ / deb / && (" " suites " ") ~ (" " suite " ")) {
        split(uris, uri, /[ \t]+/)
        print uri[1]
      }
    }' "$file"
  done
}
mirror=$(source_uri bookworm | head -n 1)
updates=$(source_uri bookworm-updates | head -n 1)
security=$(source_uri bookworm-security | head -n 1)
[ -n "$mirror" ] || die "this machine's apt sources name no Debian 12 (bookworm) mirror"
mirror=${mirror%/}

probe=$(mktemp -d)
chmod 755 "$probe"  # apt's download user writes there
if ! /usr/lib/apt/apt-helper download-file "$mirror/dists/bookworm/InRelease" "$probe/InRelease" >/dev/null 2>&1; then
  rm -rf "$probe"
  die "cannot reach the package registry at $mirror"
fi
rm -rf "$probe"
# The check's own tools come from the registry too.
for tool in debootstrap git; do
  command -v "$tool" >/dev/null && continue
  echo "bare-check: installing $tool"
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -q --no-install-recommends "$tool" >/dev/null 2>&1 ||
    { apt-get update -q >/dev/null && apt-get install -y -q --no-install-recommends "$tool" >/dev/null; } ||
    die "could not install $tool from the package registry"
done

commit=$(git rev-parse --verify "${1:-HEAD}^{commit}")
run=${2:-./run.sh}
test=${3:-./test.sh}
if [ $# -eq 0 ] && [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "bare-check: checks commit ${commit:0:12}; the uncommitted changes are not in it"
fi
logs=$PWD/build/bare-check
mkdir -p "$logs"

root=""
job=""
mounted() { awk -v root="$root" '$2 == root || index($2, root "/") == 1 { print $2 }' /proc/self/mounts; }
cleanup() {
  local status=$? pid mount
  trap - EXIT INT TERM
  [ -n "$job" ] && kill "$job" 2>/dev/null
  if [ -n "$root" ] && [ -d "$root" ]; then
    # Whatever still runs in the root (a Wine server, Xvfb) would keep its mounts busy; twice, for
    # what a dying process started.
    for _ in 1 2; do
      for pid in /proc/[0-9]*; do
        [ "$(readlink "$pid/root" 2>/dev/null)" = "$root" ] && kill -KILL "${pid#/proc/}" 2>/dev/null
      done
      sleep 0.2
    done
    mounted | sort -r | while read -r mount; do umount -l "$mount" || true; done
    if [ -n "$(mounted)" ]; then
      echo "bare-check: still mounted, so not removed: $root" >&2
    else
      rm -rf --one-file-system "$root"
    fi
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

root=$(realpath "$(mktemp -d "${BARE_CHECK_TMPDIR:-/var/tmp}/bare-check.XXXXXX")")
chmod 755 "$root"
echo "bare-check: debootstrap --variant=minbase bookworm from $mirror"
started=$SECONDS
# In the background, as the commands below: an interruption is handled at once.
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$logs/debootstrap.log" 2>&1 & job=$!
wait "$job" || die "debootstrap failed; its log: $logs/debootstrap.log"
job=""
echo "bare-check: minimal root made in $((SECONDS - started)) s"

# A newcomer's Debian 12 has its updates and security suites too, and reaches the registry as this machine does.
rm -f "$root/etc/apt/sources.list"
{
  printf 'Types: deb\nURIs: %s\nSuites: bookworm%s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$mirror" "${updates:+ bookworm-updates}"
  [ -z "$security" ] ||
    printf '\nTypes: deb\nURIs: %s\nSuites: bookworm-security\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' "$security"
} >"$root/etc/apt/sources.list.d/debian.sources"
for conf in /etc/apt/apt.conf /etc/apt/apt.conf.d/*; do
  [ -f "$conf" ] && grep -qi proxy "$conf" && cp "$conf" "$root/etc/apt/apt.conf.d/"
done
cp /etc/resolv.conf "$root/etc/resolv.conf"

# What Wine and Xvfb need of the running system; Xvfb makes its socket in the root's own /tmp.
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
if mountpoint -q /dev/shm; then mount --bind /dev/shm "$root/dev/shm"; fi

project=/root/BuscadorVIRK
git clone -q "$PWD" "$root$project"
git -C "$root$project" reset -q --hard "$commit"

# What the installs of a log came to: packages and the download size in MB, from apt's own lines.
installed() {
  awk '/ newly installed,/ { packages += $3 }
       /^Need to get / {
         size = $4; unit = $5
         if (unit == "B") size /= 1e6; else if (unit == "kB") size /= 1e3; else if (unit == "GB") size *= 1e3
         mb += size
       }
       /^Installing: / { installs++ }
       END { printf "%d packages, %.0f MB to download (apt-get installs: %d)", packages, mb, installs }' "$1"
}

summary=()
# Runs COMMAND in the project's clone in the root, as root, with a newcomer's plain environment.
check() {
  local name=$1 log=$logs/$2.log started=$SECONDS status=0
  echo "bare-check: $name (log: $log)"
  : >"$log"
  chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${http_proxy:+http_proxy=$http_proxy} ${https_proxy:+https_proxy=$https_proxy} \
    bash -c "cd $project && $name" >"$log" 2>&1 </dev/null &
  job=$!
  tail -n +1 -s 0.2 -f --pid="$job" "$log" &
  wait "$job" || status=$?
  job=""
  wait  # the tail prints what is left, then ends
  # What the build folder takes on disk after it, hard links counted once.
  local line="$name: $((SECONDS - started)) s, build/ $(du -sh "$root$project/build" 2>/dev/null | cut -f1), $(installed "$log")"
  if [ $status -ne 0 ]; then line+=", FAILED (exit $status)"; fi
  summary+=("$line")
  return "$status"
}

status=0
if check "$run" run; then
  if [ ! -s "$root$project/build/screenshot.png" ]; then
    summary+=("$run: no screenshot")
    status=1
  fi
  check "$test" test || status=1
else
  status=1
fi
echo
echo "bare-check, commit ${commit:0:12}, $(nproc) cores:"
printf '  %s\n' "${summary[@]}"
exit "$status"
