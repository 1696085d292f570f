#!/usr/bin/env bash
# Proves the README's two commands on a machine that has nothing but a minimal Debian 12:
# a fresh root made with mmdebstrap gets a clone of the current HEAD, then, as root in a
# chroot, the test command (./test.sh) and the run command (./run.sh --simulate, which must
# print its screenshot's path) run there. Run it whenever scripts/install-deps.sh changes.
#
# Only the bootstrap tarball is cached (in $TERN_FRESH_CACHE, default /tmp/tern-fresh-check);
# every run unpacks it into a new folder, so no run sees what an earlier one installed.
# Needs root (or sudo), network access and about 3 GB in /tmp. Slow: it installs every
# package and builds the whole project from nothing. Not part of the CI run.
#
# Usage: scripts/fresh-check.sh        (exit status 0 only when both commands passed)
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  exec sudo -- "$0" "$@"
fi

repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
head=$(git -C "$repo" rev-parse HEAD)
cache=${TERN_FRESH_CACHE:-/tmp/tern-fresh-check}
tarball="$cache/bookworm-apt.tar"
started=$SECONDS

elapsed() {
  local s=$((SECONDS - started))
  printf '%dm%02ds' $((s / 60)) $((s % 60))
}

fail() {
  echo "fresh-check: FAILED: $* (after $(elapsed))" >&2
  exit 1
}

# The Debian mirror this host's apt uses, so the fresh root fetches from the same place.
host_mirror() {
  local suffix=$1 uri
  uri=$(grep -hE '^[[:space:]]*(URIs:|deb[[:space:]])' /etc/apt/sources.list \
    /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
    grep -oE 'https?://[^[:space:]]+' | grep -E "/debian${suffix}/?\$" | head -n1 || true)
  echo "${uri%/}"
}

mkdir -p "$cache"
if [ ! -f "$tarball" ] || [ ! -s "$tarball" ]; then
  if ! command -v mmdebstrap >/dev/null 2>&1; then
    echo "fresh-check: installing mmdebstrap"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq --no-install-recommends mmdebstrap ||
      { apt-get update -qq && apt-get install -y -qq --no-install-recommends mmdebstrap; } ||
      fail "mmdebstrap could not be installed"
  fi
  mirror=$(host_mirror "")
  security=$(host_mirror "-security")
  mirror=${mirror:-http://deb.debian.org/debian}
  sources="deb $mirror bookworm main
deb $mirror bookworm-updates main"
  [ -n "$security" ] && sources+="
deb $security bookworm-security main"
  echo "fresh-check: making a minimal Debian 12 root from $mirror (cached in $tarball)"
  echo "$sources" | mmdebstrap --variant=apt --format=tar --quiet bookworm "$tarball.part" - ||
    fail "mmdebstrap could not make the root"
  mv "$tarball.part" "$tarball"
fi

root=$(mktemp -d "$cache/root.XXXXXX")
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -R "${mounted[i]}" 2>/dev/null || umount -lR "${mounted[i]}" 2>/dev/null || true
  done
  # Remove the root only when nothing is mounted in it any more, never through a mount.
  if ! grep -q " $root/" /proc/mounts; then
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

tar -xf "$tarball" -C "$root" || fail "the cached root could not be unpacked"
cp /etc/resolv.conf "$root/etc/resolv.conf"

echo "fresh-check: cloning $head into the fresh root"
git clone --quiet --no-checkout "$repo" "$root/root/tern" || fail "clone failed"
git -C "$root/root/tern" checkout --quiet --detach "$head" || fail "checkout of $head failed"

mount -t proc proc "$root/proc" && mounted+=("$root/proc") || fail "mounting /proc failed"
mount --rbind /dev "$root/dev" && mounted+=("$root/dev") || fail "mounting /dev failed"
mount --make-rslave "$root/dev"
mount -t tmpfs -o mode=1777 tmpfs "$root/tmp" && mounted+=("$root/tmp") ||
  fail "mounting a private /tmp failed"

in_root() {
  env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    chroot "$root" /bin/bash -c "cd /root/tern && $1"
}

echo "fresh-check: test command (./test.sh)"
test_log="$cache/test.log"
in_root ./test.sh 2>&1 | tee "$test_log" || fail "the test command failed (log: $test_log)"
summary=$(grep -E 'tests passed' "$test_log" | tail -n1)

echo "fresh-check: run command (./run.sh --simulate)"
run_log="$cache/run.log"
in_root './run.sh --simulate' 2>&1 | tee "$run_log" || fail "the run command failed (log: $run_log)"
# Everything was installed by the test command; a package that still counts as missing is
# one that dpkg never reports as installed (a virtual name), and would make every run ask for
# root.
if grep -q '^Installing missing packages' "$run_log"; then
  fail "the run command still wanted packages after the test command installed them: $(
    grep '^Installing missing packages' "$run_log" | head -n1)"
fi
shot=$(grep -oE 'Screenshot of the main window: [^[:space:]]+' "$run_log" | tail -n1)
shot=${shot#Screenshot of the main window: }
[ -n "$shot" ] || fail "the run command did not print its screenshot's path"
[ -s "$root$shot" ] || fail "the printed screenshot $shot does not exist"

echo "fresh-check: PASSED on a fresh Debian 12 root at ${head:0:12}: test command ($summary)," \
  "run command --simulate (screenshot $shot) in $(elapsed)"
