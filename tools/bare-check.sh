#!/usr/bin/env bash
# `make bare-check`: the README's two commands as a newcomer meets them, in a new minimal Debian 12
# root (debootstrap minbase, from this machine's own Debian mirror) with a clone of this commit:
# ./run.sh, then ./test.sh, as root. Prints the time of each, the build folder's size after it and the
# packages each installed with their download size. The root is unmounted and removed however the check ends.
# Usage: tools/bare-check.sh [COMMIT [RUN TEST]]   (as root; needs the package registry; about 8 GB free
#   under /var/tmp: the packages and the build folder). COMMIT (HEAD) is checked instead; RUN and TEST
#   (./run.sh, ./test.sh) are the commands, for comparing with an older commit. BARE_CHECK_MINBASE=DIR
#   copies the minimal root from DIR, one debootstrap made and nothing ran in, instead of making it.
# Logs: build/bare-check/run.log and test.log; with each line's second, run.stamped.log and test.stamped.log;
#   where the time went, run.times and test.times (also printed at the end).
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
groups=()
mounted() { awk -v root="$root" '$2 == root || index($2, root "/") == 1 { print $2 }' /proc/self/mounts; }
cleanup() {
  local status=$? pid mount group
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
  for group in "${groups[@]}"; do rmdir "$group" 2>/dev/null || true; done
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

root=$(realpath "$(mktemp -d "${BARE_CHECK_TMPDIR:-/var/tmp}/bare-check.XXXXXX")")
chmod 755 "$root"
started=$SECONDS
if [ -n "${BARE_CHECK_MINBASE:-}" ]; then
  # A minimal root debootstrap made before and nothing ran in, copied: checking again, its minute is saved.
  [ -x "$BARE_CHECK_MINBASE/usr/bin/apt-get" ] && [ ! -e "$BARE_CHECK_MINBASE/usr/bin/make" ] ||
    die "BARE_CHECK_MINBASE=$BARE_CHECK_MINBASE is no untouched debootstrap minbase root"
  echo "bare-check: a copy of the minimal root $BARE_CHECK_MINBASE"
  cp -a "$BARE_CHECK_MINBASE/." "$root/"
else
  echo "bare-check: debootstrap --variant=minbase bookworm from $mirror"
  # In the background, as the commands below: an interruption is handled at once.
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$logs/debootstrap.log" 2>&1 & job=$!
  wait "$job" || die "debootstrap failed; its log: $logs/debootstrap.log"
  job=""
fi
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
  awk 'function mb(size, unit) {
         if (unit == "B") return size / 1e6; if (unit == "kB") return size / 1e3; if (unit == "GB") return size * 1e3
         return size
       }
       / newly installed,/ { call_packages = $3 }
       # "Need to get 0 B/125 MB": all or part of it downloaded before; the whole is what the install needed.
       /^Need to get / { if ($5 ~ /\//) { split($5, part, "/"); call_mb = mb(part[2], $6) } else call_mb = mb($4, $5) }
       /^Download complete and in download only mode/ { call_packages = 0; call_mb = 0 }
       /^(Setting up|Processing triggers) / { packages += call_packages; megabytes += call_mb; call_packages = 0; call_mb = 0 }
       /^Installing: / { installs++ }
       END { printf "%d packages, %.0f MB to download (apt-get installs: %d)", packages, megabytes, installs }' "$1"
}

# Seconds since START (microseconds since the epoch), to a tenth.
since() {
  local now=${EPOCHREALTIME//[.,]/}
  printf '%d.%d' $(((now - $1) / 1000000)) $(((now - $1) / 100000 % 10))
}
# Each line read, after the seconds since START at which it was read.
stamp() {
  local line
  while IFS= read -r line || [ -n "$line" ]; do printf '%6s %s\n' "$(since "$1")" "$line"; done
}
# Every half second until killed: the seconds since START and the names of the processes running in the root.
sample() {
  local pids
  while :; do
    pids=$(find /proc -mindepth 2 -maxdepth 2 -name root -lname "$root" -printf '%h\n' 2>/dev/null | tr -dc '0-9\n' | paste -sd,)
    [ -z "$pids" ] || echo "$(since "$1") $(ps -o comm= -p "$pids" | tr '\n' ' ')"
    sleep 0.5
  done
}
load() { cut -d' ' -f1 /proc/loadavg; }
# The CPU time the whole machine has been busy, in seconds (less what the command took: the work of others), and
# the time a virtual machine's host gave its cores to others ("steal"), both since boot.
busy_seconds() { awk -v hz="$(getconf CLK_TCK)" '$1 == "cpu" { printf "%.1f %.1f", ($2 + $3 + $4 + $7 + $8) / hz, $9 / hz }' /proc/stat; }
# A control group of the command's own, where the kernel has one (version 2, else version 1's cpuacct): the CPU
# time it and all it starts take, which other work on a shared machine changes far less than its wall time.
cpu_group() {  # NAME: makes it, prints its folder
  local base
  for base in /sys/fs/cgroup /sys/fs/cgroup/unified /sys/fs/cgroup/cpuacct; do
    [ -f "$base/cgroup.procs" ] && { [ -f "$base/cpu.stat" ] || [ -f "$base/cpuacct.usage" ]; } || continue
    mkdir "$base/bare-check.$$.$1" 2>/dev/null && echo "$base/bare-check.$$.$1" && return
  done
}
cpu_seconds() {  # FOLDER
  if [ -f "$1/cpu.stat" ]; then awk '$1 == "usage_usec" { printf "%.1f", $2 / 1e6 }' "$1/cpu.stat"
  else awk '{ printf "%.1f", $1 / 1e9 }' "$1/cpuacct.usage"; fi
}

# Where a command's time went, from its stamped log (apt-get's own lines), its process samples and ninja's log
# of the x86_64 build, in seconds from the command's start.
where_time_went() {  # STAMPED_LOG SAMPLES NINJA_LOG
  echo "  apt-get installs (s from the start; download: apt-get's own, not one made before; dpkg: unpacking, then"
  echo "  setting up):"
  awk '$2 == "Installing:" { n++; what[n] = $0; sub(/^ *[0-9.]+ Installing: /, "", what[n]); asked[n] = $1 }
       $2 == "Need" && $3 == "to" && $4 == "get" { get[n] = $1 }
       $2 == "Fetched" && get[n] != "" { fetched[n] += $1 - get[n]; get[n] = "" }
       $2 == "Selecting" && $3 == "previously" && dpkg[n] == "" { dpkg[n] = $1 }
       $2 == "Unpacking" { unpacked[n] = $1 }
       ($2 == "Setting" && $3 == "up") || ($2 == "Processing" && $3 == "triggers") { done_[n] = $1 }
       END {
         for (i = 1; i <= n; i++) {
           if (length(what[i]) > 50) what[i] = substr(what[i], 1, 47) "..."
           printf "    %5.1f %-50s download %4.1f, dpkg from %5.1f: %4.1f + %3.1f, done at %5.1f\n", asked[i], what[i],
             fetched[i], dpkg[i], unpacked[i] - dpkg[i], done_[i] - unpacked[i], done_[i]
         }
       }' "$1"
  echo "  processes in the root, sampled every 0.5 s (from-to, s from the start):"
  awk 'function seen(class, t) {
         if (class in last && t - last[class] <= 1.1) { last[class] = t; return }
         if (class in last) spans[class] = spans[class] sprintf(" %.1f-%.1f", first[class], last[class])
         if (!(class in first)) order[++classes] = class
         first[class] = t; last[class] = t
       }
       {
         ninja = 0; for (i = 2; i <= NF; i++) if ($i == "ninja") ninja = 1
         delete now
         for (i = 2; i <= NF; i++) {
           c = $i
           if (c == "http") now["apt downloads (http)"] = 1
           else if (c == "dpkg") now["dpkg"] = 1
           else if (c == "cmake" && !ninja) now["cmake configure"] = 1
           else if (c == "ninja") now["ninja"] = 1
           else if (c ~ /^wineboot/) now["wineboot (the prefix)"] = 1
           else if (c ~ /^(regedit|reg)\.exe$/) now["regedit, reg (the demo registry)"] = 1
           else if (c == "wineserver") now["wineserver"] = 1
           else if (c ~ /^ListaVIRK/) now["ListaVIRK.exe"] = 1
           else if (c == "Xvfb") now["Xvfb"] = 1
           else if (c ~ /^BuscadorVIRK/) now["BuscadorVIRK.exe"] = 1
           else if (c ~ /^window_text/) now["window_text.exe"] = 1
           else if (c == "import" || c == "convert") now["import, convert (the screenshot)"] = 1
         }
         for (c in now) seen(c, $1)
       }
       END {
         for (i = 1; i <= classes; i++) {
           c = order[i]
           printf "    %-34s%s %.1f-%.1f\n", c, spans[c], first[c], last[c]
         }
       }' "$2"
  [ -f "$3" ] || return 0
  # ninja's log: each step's start and end in ms from the build's start.
  awk '!/^#/ { steps++; cpu += ($2 - $1) / 1000; if ($2 > end) end = $2
               d = ($2 - $1) / 1000; if (d > top) { top = d; topname = $4 } }
       END { if (steps) printf "  x86_64 build: %d steps in %.1f s (their sum %.1f s; the longest %.1f s, %s)\n",
               steps, end / 1000, cpu, top, topname }' "$3"
}

summary=()
# Runs COMMAND in the project's clone in the root, as root, with a newcomer's plain environment; its log's lines
# are stamped with the seconds since its start, and the root's processes sampled, to tell where the time went.
check() {
  local name=$1 log=$logs/$2.log started=${EPOCHREALTIME//[.,]/} status=0 load_before sampler group busy_before
  load_before=$(load)
  busy_before=$(busy_seconds)
  echo "bare-check: $name (log: $log; load $load_before)"
  : >"$log"
  group=$(cpu_group "$2")
  [ -z "$group" ] || groups+=("$group")
  sample "$started" >"$logs/$2.samples" & sampler=$!
  # shellcheck disable=SC2016
  bash -c '[ -z "$1" ] || echo "$BASHPID" >"$1/cgroup.procs"; shift; exec "$@"' _ "$group" chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${http_proxy:+http_proxy=$http_proxy} ${https_proxy:+https_proxy=$https_proxy} \
    bash -c "cd $project && $name" >"$log" 2>&1 </dev/null &
  job=$!
  tail -n +1 -s 0.1 -f --pid="$job" "$log" | stamp "$started" | tee "$logs/$2.stamped.log" &
  wait "$job" || status=$?
  job=""
  local took
  took=$(since "$started")
  kill "$sampler" 2>/dev/null
  wait  # the tail prints what is left, then ends
  # What the build folder takes on disk after it, hard links counted once.
  local cpu="" others=""
  if [ -n "$group" ]; then
    cpu=$(cpu_seconds "$group")
    others=$(awk -v now="$(busy_seconds)" -v before="$busy_before" -v own="$cpu" -v took="$took" 'BEGIN {
      split(now, n, " "); split(before, b, " ")
      printf ", other work %.0f s of CPU (%.1f cores), steal %.0f s", n[1] - b[1] - own, (n[1] - b[1] - own) / took, n[2] - b[2]
    }')
  fi
  local line="$name: $took s${cpu:+ (CPU $cpu s)}, load $load_before to $(load)$others, build/ $(du -sh "$root$project/build" 2>/dev/null | cut -f1), $(installed "$log")"
  if [ $status -ne 0 ]; then line+=", FAILED (exit $status)"; fi
  summary+=("$line")
  # ninja appends to its log: only the first command's build is its own.
  where_time_went "$logs/$2.stamped.log" "$logs/$2.samples" \
    "$([ "$2" = run ] && echo "$root$project/build/win64/.ninja_log")" >"$logs/$2.times"
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
echo "bare-check, commit ${commit:0:12}, $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC'):"
printf '  %s\n' "${summary[@]}"
for what in run test; do
  [ -s "$logs/$what.times" ] || continue
  echo "Where the time of $([ $what = run ] && echo "$run" || echo "$test") went:"
  cat "$logs/$what.times"
done
exit "$status"
