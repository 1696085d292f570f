#!/usr/bin/env bash
# Builds the Debian package build/package/tern_<version>-<revision>_<arch>.deb and checks it
# with lintian (no error allowed). The version is the project's (CMakeLists.txt), the Debian
# revision TERN_DEBIAN_REVISION (default 1); the newest entry of assets/debian/changelog must
# name both. The library dependencies are computed by dpkg-shlibdeps. Installs what it needs
# (build dependencies, dpkg-dev, lintian), as root or through sudo.
#
# The build is a preset of its own (build/package: prefix /usr, no tests) compiled with
# Debian's hardening flags, so it never disturbs build/release.
#
# --arch arm64 (on an amd64 machine) cross-builds the package for arm64 instead: preset
# package-arm64 (build/package-arm64), the aarch64 cross compiler and binutils, the arm64
# root of scripts/arm64-root.sh for the libraries and for the dependencies, the flags
# dpkg-buildflags gives for arm64. The package lands beside the amd64 one.
#
# Usage: scripts/make-package.sh [--arch ARCH]
#   prints the package's path last; exit status 0 only when the package was built and
#   lintian found no error
set -euo pipefail
cd "$(dirname "$0")/.."

native=$(dpkg --print-architecture)
arch=$native
case "${1:-}" in
  --arch) arch=${2:?usage: $0 [--arch ARCH]} ;;
  "") ;;
  *) echo "usage: $0 [--arch ARCH]" >&2; exit 2 ;;
esac

scripts/install-deps.sh
scripts/install-deps.sh dpkg-dev lintian

preset=package
cross_root=
if [ "$arch" != "$native" ]; then
  if [ "$native/$arch" != amd64/arm64 ]; then
    echo "make-package.sh builds for $native, or for arm64 on amd64; not for $arch" >&2
    exit 2
  fi
  cross_root=$(scripts/arm64-root.sh | tail -n1)
  preset=package-arm64
fi
# What dpkg-buildflags, dpkg-shlibdeps and objdump take for the target: DEB_HOST_ARCH and
# its GNU type.
# (It warns that no C compiler for the target is set: the project is C++ only.)
eval "$(dpkg-architecture --host-arch "$arch" --print-set 2>/dev/null)"
strip=strip
[ "$arch" = "$native" ] || strip=$DEB_HOST_GNU_TYPE-strip

# Debian's hardening flags (fortify, stack protector, relro, bindnow); CMake reads CXXFLAGS
# and LDFLAGS but not CPPFLAGS. Without -g: the binaries are stripped anyway.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
CXXFLAGS=${CXXFLAGS//-g /}
export CXXFLAGS
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export LDFLAGS
build=build/$preset
# Flags count only at the first configure; a stale cache would keep old ones.
rm -f "$build/CMakeCache.txt"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
revision=${TERN_DEBIAN_REVISION:-1}
full="$version-$revision"
changelog_top=$(head -n1 assets/debian/changelog)
case "$changelog_top" in
  "tern ($full) "*) ;;
  *) echo "assets/debian/changelog starts with '$changelog_top', not version $full" >&2; exit 1 ;;
esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
DESTDIR="$root" cmake --install "$build" --strip >/dev/null
# The programs and the modules (shared objects, so not executable): stripped alike, and
# dpkg-shlibdeps reads GDAL, the HTTP library and libftdi1 from the modules alone.
mapfile -t elves < <(find "$root" -type f -exec sh -c \
  'head -c4 "$1" | grep -q "ELF" && echo "$1"' _ {} \;)
# As Debian's own packaging strips: the compiler's notes are of no use in the package.
"$strip" --remove-section=.comment --remove-section=.note "${elves[@]}"

# What Debian wants beyond the install: documentation, compressed manual pages.
doc="$root/usr/share/doc/tern"
install -d -m 755 "$doc"
install -m 644 assets/debian/copyright "$doc/copyright"
gzip -9n <assets/debian/changelog >"$doc/changelog.Debian.gz"
find "$root/usr/share/man" -type f -name '*.[0-9]' -exec gzip -9n {} +
install -d -m 755 "$root/usr/share/lintian/overrides"
install -m 644 assets/debian/lintian-overrides "$root/usr/share/lintian/overrides/tern"

# The same permissions whatever the umask of the build was.
find "$root" -type d -exec chmod 755 {} +
find "$root" -type f -exec chmod go-w {} +

# dpkg-shlibdeps reads debian/control of the folder it runs in, so it gets a minimal one.
mkdir -p "$work/src/debian"
printf 'Source: tern\n\nPackage: tern\nArchitecture: any\n' >"$work/src/debian/control"
# Cross: the arm64 libraries are not installed here, so they come as the package build trees
# dpkg-shlibdeps reads beside its own (debian/*/DEBIAN/symbols), one per library package.
if [ -n "$cross_root" ]; then
  for tree in "$cross_root.shlibs"/*; do
    ln -s "$tree" "$work/src/debian/$(basename "$tree")"
  done
fi
depends=$(cd "$work/src" && dpkg-shlibdeps -O "${elves[@]/#/-e}" 2>"$work/shlibdeps.log" |
  sed -n 's/^shlibs:Depends=//p') || { cat "$work/shlibdeps.log" >&2; exit 1; }
[ -n "$depends" ] || { echo "dpkg-shlibdeps found no library dependencies" >&2; exit 1; }

size=$(du -sk --apparent-size "$root" | cut -f1)
install -d -m 755 "$root/DEBIAN"
sed -e "s/@VERSION@/$full/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" \
  -e "s/@DEPENDS@/$depends/" assets/debian/control.in >"$root/DEBIAN/control"
(cd "$root" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | sort -z |
  xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

# The same package from the same sources: file times no later than the newest changelog entry.
stamp=$(sed -n 's/^ -- .*>  //p' assets/debian/changelog | head -n1)
SOURCE_DATE_EPOCH=$(date -d "$stamp" +%s)
export SOURCE_DATE_EPOCH
mkdir -p build/package
deb="$PWD/build/package/tern_${full}_${arch}.deb"
rm -f build/package/tern_*_"$arch".deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null

# lintian: errors fail; what it leaves (warnings, notes, overrides with their reasons) shows.
lintian_log="build/package/lintian-$arch.log"
set +e
lintian --display-info --show-overrides --tag-display-limit 0 "$deb" >"$lintian_log" 2>&1
set -e
cat "$lintian_log"
count() { grep -c "^$1: " "$lintian_log" || true; }
echo "lintian: $(count E) errors, $(count W) warnings, $(count I) notes, $(count O) overridden"
if [ "$(count E)" -ne 0 ]; then
  echo "lintian found errors in $deb" >&2
  exit 1
fi
echo "Package: $deb"
