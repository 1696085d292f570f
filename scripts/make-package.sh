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
# Usage: scripts/make-package.sh      (prints the package's path last; exit status 0 only
#                                      when the package was built and lintian found no error)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/install-deps.sh dpkg-dev lintian

# Debian's hardening flags (fortify, stack protector, relro, bindnow); CMake reads CXXFLAGS
# and LDFLAGS but not CPPFLAGS. Without -g: the binaries are stripped anyway.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
CXXFLAGS=${CXXFLAGS//-g /}
export CXXFLAGS
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export LDFLAGS
build=build/package
# Flags count only at the first configure; a stale cache would keep old ones.
rm -f "$build/CMakeCache.txt"
cmake --preset package >/dev/null
cmake --build --preset package

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
revision=${TERN_DEBIAN_REVISION:-1}
full="$version-$revision"
arch=$(dpkg --print-architecture)
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
strip --remove-section=.comment --remove-section=.note "${elves[@]}"

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
deb="$PWD/$build/tern_${full}_${arch}.deb"
rm -f "$build"/tern_*.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null

# lintian: errors fail; what it leaves (warnings, notes, overrides with their reasons) shows.
lintian_log="$build/lintian.log"
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
