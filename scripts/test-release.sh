#!/usr/bin/env bash
# Run the README's commands as a new user would, on a fresh minimal root of a
# Debian release: a clean clone of this checkout, then test.sh, package.sh, an
# apt-get install of the package it made and `quorvale --version`; with
# --soak, the full soak (test.sh --soak) too, and with --windows,
# test-windows.sh. Prints one line per command with its result and time;
# exits non-zero when any failed. As root.
#   bash scripts/test-release.sh RELEASE [--soak] [--windows]     (RELEASE: bookworm, trixie)
# The pristine root (debootstrap --variant=minbase, from the Debian archive the
# system's own apt configuration names) is kept as a tarball in
# $QUORVALE_RELEASE_CACHE (/var/cache/quorvale-release); each run unpacks a
# fresh copy into /var/tmp/quorvale-release/RELEASE-root, outside the checkout
# so that nothing walking the checkout meets the root's mounts, and leaves its
# logs in build-release/RELEASE-logs/.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

usage="usage: test-release.sh RELEASE [--soak] [--windows]"
release=${1:?$usage}
shift
soak=0 windows=0
for option in "$@"; do
  case $option in
    --soak) soak=1 ;;
    --windows) windows=1 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
[ "$(id -u)" -eq 0 ] || { echo "test-release.sh: run it as root (it makes a chroot)" >&2; exit 2; }
cache=${QUORVALE_RELEASE_CACHE:-/var/cache/quorvale-release}
# Resolved: the kernel names a process's root and a mount by the real path.
root=$(realpath -m "/var/tmp/quorvale-release/$release-root")
staging=
logs=$QUORVALE_ROOT/build-release/$release-logs
quorvale_install_missing debootstrap debian-archive-keyring git

# The plain release suites (not -security, -updates or -backports) that the
# system's apt configuration enables, as "URI SUITE" lines in its order.
enabled_suites() {
  sed -n 's/^[[:space:]]*deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\)[[:space:]]\+\([a-z]\+\)[[:space:]].*/\2 \3/p' \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null
  awk 'BEGIN { RS = ""; FS = "\n" }
       { uri = ""; suites = ""; enabled = 1
         for (i = 1; i <= NF; i++) {
           if (tolower($i) ~ /^uris:/) { uri = $i; sub(/^[^:]*:[ \t]*/, "", uri); sub(/[ \t].*/, "", uri) }
           if (tolower($i) ~ /^suites:/) { suites = $i; sub(/^[^:]*:[ \t]*/, "", suites) }
           if (tolower($i) ~ /^enabled:[ \t]*no/) enabled = 0
         }
         if (!enabled || uri == "") next
         n = split(suites, s, /[ \t]+/)
         for (j = 1; j <= n; j++) if (s[j] ~ /^[a-z]+$/) print uri, s[j] }' \
    /etc/apt/sources.list.d/*.sources 2>/dev/null
}

# Whether apt's downloaded release file of URI's SUITE says Debian made it
# (a proxy or mirror of Debian's archive says so too; a third party's does not).
from_debian() {
  local list
  list=${1#*://}
  list=${list%/}_dists_$2
  list=/var/lib/apt/lists/${list//\//_}
  grep -qsx 'Origin: Debian' "${list}_InRelease" "${list}_Release"
}

# The Debian archive of the system's apt configuration: the first enabled
# release suite that Debian's own release file vouches for, else the first.
debian_mirror() {
  local uri suite first=""
  while read -r uri suite; do
    [ -n "$first" ] || first=$uri
    if from_debian "$uri" "$suite"; then echo "$uri"; return 0; fi
  done < <(enabled_suites)
  echo "$first"
}

# Processes whose root directory is the folder $1.
processes_in() {
  local link pid
  for link in /proc/[0-9]*/root; do
    pid=${link#/proc/}; pid=${pid%/root}
    [ "$(readlink "$link" 2>/dev/null)" = "$1" ] && echo "$pid"
  done
  return 0
}

# Ends every process in the folder $1 (a root) and undoes its mounts,
# innermost first.
release_root() {
  local dir=$1 pids mount attempt
  for attempt in 1 2 3; do
    pids=$(processes_in "$dir")
    [ -n "$pids" ] || break
    # shellcheck disable=SC2086
    kill -TERM $pids 2>/dev/null || true
    sleep 1
    pids=$(processes_in "$dir")
    # shellcheck disable=SC2086
    [ -z "$pids" ] || kill -KILL $pids 2>/dev/null || true
  done
  for mount in $(awk -v r="$dir" '$2 == r || index($2, r "/") == 1 { print $2 }' /proc/mounts | sort -r); do
    umount "$mount" 2>/dev/null || umount -l "$mount"
  done
}

# Leaves no process, mount or half-made root behind, whenever the script ends.
clean_up() {
  if [ -n "$staging" ]; then
    release_root "$staging"
    rm -rf --one-file-system "$staging"
  fi
  release_root "$root"
}

make_pristine_root() {
  local tarball=$cache/$release.tar.gz mirror
  [ -f "$tarball" ] && return 0
  mirror=$(debian_mirror)
  [ -n "$mirror" ] || { echo "test-release.sh: no Debian archive in this system's apt configuration" >&2; return 1; }
  mkdir -p "$cache"
  cache=$(realpath "$cache")
  # Named before it exists, so that the trap finds it (debootstrap mounts
  # inside it) however the script ends.
  staging=$cache/$release.staging-$$
  rm -rf --one-file-system "$staging"
  mkdir "$staging"
  echo "Making a minimal $release root from $mirror (kept in $tarball)"
  if ! debootstrap --variant=minbase "$release" "$staging" "$mirror" >"$cache/$release-debootstrap.log" 2>&1; then
    echo "debootstrap failed: $cache/$release-debootstrap.log" >&2
    return 1
  fi
  release_root "$staging"
  tar -C "$staging" -czf "$tarball.part" . && mv "$tarball.part" "$tarball"
  rm -rf --one-file-system "$staging"
  staging=
}

trap clean_up EXIT
make_pristine_root
clean_up
rm -rf --one-file-system "$root" "$logs"
mkdir -p "$root" "$logs"
tar -C "$root" -xzf "$cache/$release.tar.gz"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
mount -t tmpfs tmpfs "$root/dev/shm"
# Root cloning a checkout that a user owns: git refuses to read another
# user's repository unless told it is safe, here for this one clone only (the
# reading side, upload-pack, does not see the -c options of the clone).
git -c safe.directory='*' clone -q --upload-pack="git -c safe.directory='*' upload-pack" \
  "$QUORVALE_ROOT" "$root/root/quorvale"

failed=0
# Runs one command in the root's clone as root would, with a clean environment
# and no display; prints its result and time.
step() {
  local name=$1 command=$2 started status result
  started=$(date +%s)
  status=0
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb /bin/bash -c "cd /root/quorvale && $command" \
    >"$logs/$name.log" 2>&1 </dev/null || status=$?
  result=passed
  [ "$status" -eq 0 ] || { result="FAILED (exit $status, log: $logs/$name.log)"; failed=1; }
  printf '%-8s %-46s %s in %d s\n' "$release" "$command" "$result" "$(( $(date +%s) - started ))"
}

step test "bash scripts/test.sh"
step package "bash scripts/package.sh"
step install 'apt-get install -y -q ./dist/quorvale_*_$(dpkg --print-architecture).deb'
step version "quorvale --version"
[ "$soak" -eq 0 ] || step soak "bash scripts/test.sh --soak"
[ "$windows" -eq 0 ] || step windows "bash scripts/test-windows.sh"
exit "$failed"
