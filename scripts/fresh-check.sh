#!/usr/bin/env bash
# Proves the README's two commands and the Debian package on machines that have nothing but a
# minimal Debian 12 (or, with --suite trixie, Debian 13): a fresh root made with mmdebstrap
# gets a clone of the current HEAD, then,
# as root in a chroot, the test command (./test.sh) and the run command (./run.sh --simulate,
# which must print its screenshot's path) run there. The package stage then builds the
# package there (scripts/make-package.sh, lintian without error), installs it with apt-get into
# a second fresh root that has no build tools, runs the programs there as a normal user (not
# root), and purges it again: no file of the package may stay behind. Run it whenever
# scripts/install-deps.sh or the packaging changes.
#
# Only the bootstrap tarball is cached (in $TERN_FRESH_CACHE, default /tmp/tern-fresh-check,
# one per suite); every run unpacks it into new folders, so no run sees what an earlier one
# installed. The logs of a run go to the same folder, named after the suite.
# Needs root (or sudo), network access and about 4 GB in /tmp. Slow: it installs every
# package and builds the whole project from nothing, twice. Not part of the CI run.
#
# Usage: scripts/fresh-check.sh [--suite bookworm|trixie] [--package-only]
#   --suite          the Debian release of both roots: bookworm (12, the default) or trixie (13)
#   --package-only   skip the test and run commands (the package stage alone)
# Ends with one line; exit status 0 only when every stage passed.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  exec sudo -- "$0" "$@"
fi

usage() {
  echo "usage: $0 [--suite bookworm|trixie] [--package-only]" >&2
  exit 2
}
package_only=false
suite=bookworm
while [ $# -gt 0 ]; do
  case "$1" in
    --package-only) package_only=true ;;
    --suite)
      [ $# -ge 2 ] || usage
      suite=$2
      shift
      ;;
    *) usage ;;
  esac
  shift
done
case "$suite" in
  bookworm) release=12 ;;
  trixie) release=13 ;;
  *) usage ;;
esac

repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
head=$(git -C "$repo" rev-parse HEAD)
cache=${TERN_FRESH_CACHE:-/tmp/tern-fresh-check}
tarball="$cache/$suite-apt.tar"
logs="$cache/$suite"
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

mkdir -p "$cache" "$logs"
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
  sources="deb $mirror $suite main
deb $mirror $suite-updates main"
  [ -n "$security" ] && sources+="
deb $security $suite-security main"
  echo "fresh-check: making a minimal Debian $release root from $mirror (cached in $tarball)"
  echo "$sources" | mmdebstrap --variant=apt --format=tar --quiet "$suite" "$tarball.part" - ||
    fail "mmdebstrap could not make the root"
  mv "$tarball.part" "$tarball"
fi

mounted=()
roots=()
cleanup() {
  local i r
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -R "${mounted[i]}" 2>/dev/null || umount -lR "${mounted[i]}" 2>/dev/null || true
  done
  # Remove a root only when nothing is mounted in it any more, never through a mount.
  for r in "${roots[@]}"; do
    if ! grep -q " $r/" /proc/mounts; then
      rm -rf --one-file-system "$r"
    fi
  done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A new root from the cached tarball, with /proc, /dev and a private /tmp; prints its path.
new_root() {
  local r
  r=$(mktemp -d "$cache/root.XXXXXX")
  roots+=("$r")
  tar -xf "$tarball" -C "$r" || fail "the cached root could not be unpacked"
  cp /etc/resolv.conf "$r/etc/resolv.conf"
  mount -t proc proc "$r/proc" && mounted+=("$r/proc") || fail "mounting /proc failed"
  mount --rbind /dev "$r/dev" && mounted+=("$r/dev") || fail "mounting /dev failed"
  mount --make-rslave "$r/dev"
  mount -t tmpfs -o mode=1777 tmpfs "$r/tmp" && mounted+=("$r/tmp") ||
    fail "mounting a private /tmp failed"
  made_root=$r
}

# chroot_in ROOT USERSPEC DIR COMMAND: a clean environment, as root or as the given user.
chroot_in() {
  local r=$1 user=$2 dir=$3 home=/root
  [ "$user" = root ] || home=/home/sailor
  env -i HOME=$home TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    chroot --userspec="$user" "$r" /bin/bash -c "cd $dir && $4"
}

new_root
root=$made_root
echo "fresh-check: cloning $head into the fresh root"
git clone --quiet --no-checkout "$repo" "$root/root/tern" || fail "clone failed"
git -C "$root/root/tern" checkout --quiet --detach "$head" || fail "checkout of $head failed"

in_root() {
  chroot_in "$root" root /root/tern "$1"
}

stages=()
if ! $package_only; then
  echo "fresh-check: test command (./test.sh)"
  test_log="$logs/test.log"
  in_root ./test.sh 2>&1 | tee "$test_log" || fail "the test command failed (log: $test_log)"
  summary=$(grep -E 'tests passed' "$test_log" | tail -n1)

  echo "fresh-check: run command (./run.sh --simulate)"
  run_log="$logs/run.log"
  in_root './run.sh --simulate' 2>&1 | tee "$run_log" ||
    fail "the run command failed (log: $run_log)"
  # Everything was installed by the test command; a package that still counts as missing is
  # one that dpkg never reports as installed (a virtual name), and would make every run ask
  # for root.
  if grep -q '^Installing missing packages' "$run_log"; then
    fail "the run command still wanted packages after the test command installed them: $(
      grep '^Installing missing packages' "$run_log" | head -n1)"
  fi
  shot=$(grep -oE 'Bildschirmfoto des Hauptfensters: [^[:space:]]+' "$run_log" | tail -n1)
  shot=${shot#Bildschirmfoto des Hauptfensters: }
  [ -n "$shot" ] || fail "the run command did not print its screenshot's path"
  [ -s "$root$shot" ] || fail "the printed screenshot $shot does not exist"
  stages+=("test command ($summary)" "run command --simulate (screenshot $shot)")
fi

echo "fresh-check: package stage: building the package (scripts/make-package.sh)"
package_log="$logs/package.log"
in_root scripts/make-package.sh 2>&1 | tee "$package_log" ||
  fail "building the package failed (log: $package_log)"
deb=$(sed -n 's/^Package: //p' "$package_log" | tail -n1)
lintian_summary=$(grep -E '^lintian: ' "$package_log" | tail -n1)
[ -n "$deb" ] && [ -s "$root$deb" ] || fail "make-package.sh named no package"
deb_name=$(basename "$deb")
version=$(dpkg-deb -f "$root$deb" Version)
version=${version%-*}

echo "fresh-check: package stage: installing $deb_name into a second fresh root"
new_root
target=$made_root
cp "$root$deb" "$target/tmp/$deb_name"
chmod 644 "$target/tmp/$deb_name"
as_root() { chroot_in "$target" root / "$1"; }
as_user() { chroot_in "$target" 1000:1000 /home/sailor "$1"; }
install_log="$logs/package-install.log"
as_root "export DEBIAN_FRONTEND=noninteractive; apt-get update -qq &&
  apt-get install -y -qq --no-install-recommends xvfb xauth" >"$install_log" 2>&1 ||
  fail "xvfb could not be installed into the second root (log: $install_log)"
as_root "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/$deb_name" \
  >>"$install_log" 2>&1 || fail "apt-get install ./$deb_name failed (log: $install_log)"
for tool in g++ c++ cmake make ninja; do
  as_root "command -v $tool" >/dev/null && fail "the second root has the build tool $tool"
done
echo 'sailor:x:1000:1000:Sailor:/home/sailor:/bin/bash' >>"$target/etc/passwd"
echo 'sailor:x:1000:' >>"$target/etc/group"
install -d -o 1000 -g 1000 -m 755 "$target/home/sailor"

echo "fresh-check: package stage: the programs as a normal user"
user_log="$logs/package-user.log"
: >"$user_log"
expect_line() { # COMMAND EXPECTED
  local got
  got=$(as_user "$1" 2>>"$user_log") || fail "'$1' failed as a user (log: $user_log)"
  [ "$got" = "$2" ] || fail "'$1' printed '$got', not '$2'"
}
expect_line "tern --version" "TERN $version"
expect_line "tern-cli --version" "tern-cli $version"
as_user "tern-cli readout --simulate --data-folder ~/simulation" >>"$user_log" 2>&1 ||
  fail "tern-cli readout --simulate failed as a user (log: $user_log)"
# GDAL and PROJ come with the map module, loaded only now: a chart placed and written.
as_user "printf 'projection=mercator\npoint=100,100,60,-40\npoint=1500,2000,20,10\n' \
  >~/chart.txt && tern-cli fax ~/simulation/fax_dwd_data.bin ~/chart --geo ~/chart.txt && \
  test -s ~/chart.tif && test -s ~/chart.mbtiles" >>"$user_log" 2>&1 ||
  fail "tern-cli fax --geo failed as a user (log: $user_log)"
# The HTTP library comes with the web module, loaded only when the page is offered: the
# service on the simulator answers a request through it.
as_user 'export XDG_RUNTIME_DIR=$(mktemp -d); log=$XDG_RUNTIME_DIR/watch.log; \
  timeout 20 tern-cli watch --simulate --http 127.0.0.1:0 --data-folder ~/web >"$log" 2>&1 & \
  watch=$!; for i in $(seq 100); do grep -q "Web-Seite: http" "$log" && break; sleep 0.1; done; \
  port=$(grep -o "127.0.0.1:[0-9]*" "$log" | head -1 | cut -d: -f2); \
  exec 3<>"/dev/tcp/127.0.0.1/$port" && printf "GET /api/navtex HTTP/1.0\r\n\r\n" >&3 && \
  head -1 <&3 | tee -a "$log" | grep -q "200 OK"; ok=$?; kill $watch; wait $watch; \
  cat "$log"; exit $ok' >>"$user_log" 2>&1 ||
  fail "tern-cli watch --http served no page as a user (log: $user_log)"
# No receiver is attached to this root, so doctor must end with status 1 and name, on its last
# line, plugging the receiver in as the first thing to fix. On the way it loads the USB module
# (libftdi1 and libusb), which nothing else here would: the package must bring its libraries.
set +e
doctor_out=$(as_user "tern-cli doctor" 2>>"$user_log")
status=$?
set -e
echo "$doctor_out" >>"$user_log"
doctor_last=$(tail -n1 <<<"$doctor_out")
grep -qx "USB-Anbindung: /usr/lib/tern/tern-usb.so" <<<"$doctor_out" ||
  fail "tern-cli doctor did not load the USB module (log: $user_log)"
[ $status -eq 1 ] || fail "tern-cli doctor ended with status $status, not 1 (log: $user_log)"
case "$doctor_last" in
  "Zuerst beheben: Den Empfänger per USB anschließen"*) ;;
  *) fail "tern-cli doctor ended with '$doctor_last' (log: $user_log)" ;;
esac
as_user 'export XDG_RUNTIME_DIR=$(mktemp -d) && xvfb-run -a -s "-screen 0 1280x800x24" \
  tern --simulate --screenshot ~/tern.png' >>"$user_log" 2>&1 ||
  fail "tern --simulate --screenshot failed as a user (log: $user_log)"
[ "$(head -c4 "$target/home/sailor/tern.png" 2>/dev/null | tail -c3)" = PNG ] ||
  fail "tern --simulate --screenshot wrote no picture (log: $user_log)"
package_shot="$logs/package-screenshot.png"
cp "$target/home/sailor/tern.png" "$package_shot"

echo "fresh-check: package stage: apt-get purge"
as_root "dpkg -L tern" >"$logs/package-files.txt" || fail "dpkg -L tern failed"
as_root "DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tern" >>"$install_log" 2>&1 ||
  fail "apt-get purge tern failed (log: $install_log)"
left=()
while read -r path; do
  [ -n "$path" ] && [ "$path" != /. ] || continue
  if [ -d "$target$path" ] && [ ! -L "$target$path" ]; then
    # A folder may stay when another package owns it too.
    as_root "dpkg -S '$path'" >/dev/null 2>&1 || left+=("$path")
  elif [ -e "$target$path" ] || [ -L "$target$path" ]; then
    left+=("$path")
  fi
done <"$logs/package-files.txt"
[ ${#left[@]} -eq 0 ] || fail "apt-get purge left ${left[*]}"
stages+=("package $deb_name ($lintian_summary; apt-get install without build tools; as a \
user: --version $version, readout --simulate, fax --geo, watch --http, doctor exit 1 '$doctor_last' with the USB \
module loaded, screenshot \
$package_shot; purged clean)")

joined=$(printf '%s, ' "${stages[@]}")
echo "fresh-check: PASSED on fresh Debian $release ($suite) roots at ${head:0:12}: ${joined%, } in \
$(elapsed)"
