#!/usr/bin/env bash
# Makes the arm64 root that cross builds take their headers and libraries from, once: the
# library packages of scripts/install-deps.sh (those named *-dev, with what they depend on)
# for arm64, from this machine's Debian release, so they match the Qt code generators and the
# cross compiler installed here. mmdebstrap only extracts them (--variant=extract): nothing of
# arm64 runs while the root is made, so no emulator is needed for it.
#
# Beside the root, ROOT.shlibs/ holds, for each package that ships a shared library, its
# symbols and shlibs control files and links to its libraries, laid out as the package build
# trees dpkg-shlibdeps reads (scripts/make-package.sh --arch arm64 computes the arm64
# package's dependencies from them, as it does from the installed packages for amd64).
#
# The root lives in build/arm64-root (TERN_ARM64_ROOT elsewhere), never in the repository;
# it is made again when the package list or the Debian release changed. About 1.5 GB.
# Installs what it needs (mmdebstrap, the cross compiler, qemu-user), as root or through sudo.
#
# Usage: scripts/arm64-root.sh     (prints the root's path last)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh mmdebstrap g++-aarch64-linux-gnu binutils-aarch64-linux-gnu qemu-user \
  dpkg-dev >&2

root=${TERN_ARM64_ROOT:-$PWD/build/arm64-root}
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:?}")
mapfile -t libraries < <(scripts/install-deps.sh --list | grep -E -- '-dev$')
# The cross compiler brings its own C library and libstdc++ headers; the root's must be the
# same release, and dpkg-shlibdeps reads the C library's symbols from the root.
libraries+=(libc6-dev libstdc++6)
# scripts/arm64-check.sh runs the arm64 tern-cli at a fixed clock.
libraries+=(libfaketime)
stamp="$suite ${libraries[*]}"
if [ -f "$root.stamp" ] && [ "$(cat "$root.stamp")" = "$stamp" ] && [ -d "$root.shlibs" ]; then
  echo "$root"
  exit 0
fi

# The Debian mirror this machine's apt uses (deb822 or one-line sources).
mirror=$(grep -hE '^[[:space:]]*(URIs:|deb[[:space:]])' /etc/apt/sources.list \
  /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
  grep -oE 'https?://[^[:space:]]+' | grep -E '/debian/?$' | head -n1 || true)
mirror=${mirror%/}
mirror=${mirror:-http://deb.debian.org/debian}
security=${mirror%/debian}/debian-security

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" rm -rf "$root" "$root.shlibs" "$root.stamp"
mkdir -p "$(dirname "$root")"
echo "arm64-root: extracting ${#libraries[@]} packages and their dependencies for arm64" \
  "($suite, $mirror) into $root" >&2
include=$(
  IFS=,
  echo "${libraries[*]}"
)
# The downloaded packages stay in the root's apt cache for the control files below.
printf 'deb %s %s main\ndeb %s %s-updates main\ndeb %s %s-security main\n' \
  "$mirror" "$suite" "$mirror" "$suite" "$security" "$suite" |
  "${as_root[@]}" mmdebstrap --variant=extract --architectures=arm64 --include="$include" \
    --skip=cleanup/apt/cache --quiet "$suite" "$root" - >&2
"${as_root[@]}" chown -R "$(id -u):$(id -g)" "$root"
# The device nodes mmdebstrap put into the root would stand in for this machine's under
# qemu-user (-L), and its ptmx opens no pseudo-terminal there; without them the emulated
# programs see this machine's /dev.
"${as_root[@]}" rm -rf "$root/dev"

# Package build trees for dpkg-shlibdeps: DEBIAN/{symbols,shlibs} and the package's shared
# libraries as links into the root.
shlibs="$root.shlibs"
mkdir -p "$shlibs"
control=$(mktemp -d)
trap 'rm -rf "$control"' EXIT
for deb in "$root"/var/cache/apt/archives/*.deb; do
  rm -rf "${control:?}"/*
  dpkg-deb --control "$deb" "$control"
  [ -f "$control/symbols" ] || [ -f "$control/shlibs" ] || continue
  package=$(dpkg-deb --field "$deb" Package)
  tree="$shlibs/$package"
  mkdir -p "$tree/DEBIAN"
  for file in symbols shlibs; do
    [ -f "$control/$file" ] && cp "$control/$file" "$tree/DEBIAN/$file"
  done
  dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./||; /\.so\(\.[0-9.]*\)\?$/p' |
    while read -r path; do
      mkdir -p "$tree/$(dirname "$path")"
      ln -sfn "$root/$path" "$tree/$path"
    done
done
echo "$stamp" >"$root.stamp"
echo "arm64-root: $(find "$shlibs" -mindepth 1 -maxdepth 1 | wc -l) library packages," \
  "$(du -sh "$root" | cut -f1)" >&2
echo "$root"
