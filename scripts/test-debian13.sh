#!/usr/bin/env bash
# Runs `make test` on Debian 13 (trixie) from a clean clone of this tree's HEAD (what is not
# committed, and the build folders, stay behind), in a Debian 13 system that debootstrap makes once
# and every later run reuses. The chroot gets /proc, /sys and /dev bound while it runs; they are
# unbound again however the run ends, Ctrl-C included. Needs root.
#   scripts/test-debian13.sh [COMMAND...]
# COMMAND (default: make test) runs as root in the clone inside Debian 13; `bash` gives a shell there.
# Environment: DEBIAN13_DIR, the folder of the system (default /var/tmp/cellwright-debian13; the
# system is its root/), and DEBIAN13_MIRROR, the archive debootstrap fetches it from (default: the
# one the machine's own apt sources name).
set -uo pipefail

dir=${DEBIAN13_DIR:-/var/tmp/cellwright-debian13}
suite=trixie
tree=$(cd "$(dirname "$0")/.." && pwd)
clone=/root/cellwright
binds=(proc sys dev dev/pts dev/shm)
command=("$@")
[ ${#command[@]} -gt 0 ] || command=(make test)

say() { echo "test-debian13: $*" >&2; }

if [ "$(id -u)" -ne 0 ]; then
  say "debootstrap, chroot and mount need root: run 'sudo make test-debian13'."
  exit 1
fi
if ! command -v debootstrap >/dev/null; then
  say "installing debootstrap"
  { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null; } ||
    { say "could not install debootstrap"; exit 1; }
fi

mkdir -p "$dir" || exit 1
dir=$(realpath "$dir")
root=$dir/root
# One run at a time in a system: every process in it is then this run's own.
exec 9>"$dir/lock"
if ! flock -n 9; then
  say "another run is using $dir"
  exit 1
fi

mounted_below() { awk -v top="$1" '$2 == top || index($2, top "/") == 1 { print $2 }' /proc/self/mounts; }

# The processes whose root is the system: whatever the command left running (a test's X server, a
# desktop started in a session of its own) goes by its process id, so the binds can be undone.
stop_processes() {
  local signal pid tries
  for signal in TERM KILL; do
    for ((tries = 0; tries < 50; tries++)); do
      local left=()
      for pid in /proc/[0-9]*; do
        [ "$(readlink "$pid/root" 2>/dev/null)" = "$root" ] && left+=("${pid#/proc/}")
      done
      [ ${#left[@]} -eq 0 ] && return 0
      [ "$tries" -eq 0 ] && kill "-$signal" "${left[@]}" 2>/dev/null
      sleep 0.1
    done
  done
}

unbind() {
  local target
  # Deepest first; a mount that stays busy is detached, so nothing of the host stays reachable.
  for target in $(mounted_below "$root" | sort -r); do
    umount "$target" 2>/dev/null || umount -l "$target" || say "could not unmount $target"
  done
}

cleanup() {
  stop_processes
  unbind
}

trap cleanup EXIT
trap 'say "interrupted"; exit 130' INT
trap 'say "stopped"; exit 143' TERM

# A run killed outright leaves its binds behind; the lock says nobody else is using them.
stop_processes
unbind

# ---- the system, made once: debootstrap removes its own folder in the target when it has finished
if [ ! -x "$root/usr/bin/apt-get" ] || [ -e "$root/debootstrap" ] ||
  ! grep -qx "VERSION_CODENAME=$suite" "$root/etc/os-release" 2>/dev/null; then
  if [ -e "$root" ]; then
    say "$root is not a finished Debian 13 system; making it again"
    rm -rf --one-file-system "$root" || exit 1
  fi
  mirror=${DEBIAN13_MIRROR:-$({
    sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/*.sources 2>/dev/null | tr ' ' '\n'
    sed -nE 's/^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+).*/\2/p' \
      /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null
  } | grep -v -- '-security' | grep -m1 .)}
  mirror=${mirror:-http://deb.debian.org/debian}
  say "making a Debian 13 system in $root from $mirror (once)"
  debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$dir/debootstrap.log" 2>&1 ||
    { tail -n 20 "$dir/debootstrap.log" >&2; say "debootstrap failed (log: $dir/debootstrap.log)"; exit 1; }
fi

# ---- the tree: a clone of HEAD, in place of the last run's
commit=$(git -C "$tree" rev-parse HEAD) || exit 1
rm -rf --one-file-system "$root$clone" || exit 1
if ! git clone -q --no-hardlinks "$tree" "$root$clone" ||
  [ "$(git -C "$root$clone" rev-parse HEAD)" != "$commit" ]; then
  say "could not clone $commit of $tree"
  exit 1
fi

# ---- into the system
cp -L /etc/resolv.conf "$root/etc/resolv.conf" # the registry by the host's name servers
for target in "${binds[@]}"; do
  mkdir -p "$root/$target"
  # Private, so that nothing mounted inside reaches the host's own /dev.
  if ! mount --bind "/$target" "$root/$target" || ! mount --make-private "$root/$target"; then
    say "could not bind /$target"
    exit 1
  fi
done
in_system() {
  chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG="${LANG:-C.UTF-8}" TERM="${TERM:-dumb}" DEBIAN_FRONTEND=noninteractive "$@"
}
# The README's commands start from make, which a minimal system lacks.
if ! in_system sh -c 'command -v make' >/dev/null; then
  in_system sh -c 'apt-get update -qq && apt-get install -y -qq make >/dev/null' ||
    { say "could not install make"; exit 1; }
fi

say "running '${command[*]}' in $clone on Debian 13 ($(git -C "$tree" log -1 --format='%h %s' | cut -c1-60))"
start=$(date +%s)
in_system sh -c 'cd "$0" && exec "$@"' "$clone" "${command[@]}"
status=$?
took=$(($(date +%s) - start))
verdict=$([ "$status" -eq 0 ] && echo passed || echo failed)
say "'${command[*]}' $verdict on Debian 13 (exit $status) in $((took / 60)) min $((took % 60)) s; the tree stays in $root$clone"
exit "$status"
