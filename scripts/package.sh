#!/usr/bin/env bash
# Build the Debian package dist/quorvale_<version>_<architecture>.deb with
# CPack, check it (files, validators, runtime dependencies) and run lintian on
# it. Installs what is missing first (as root, or through sudo). Where the
# Windows build exists, its zip lands in dist/ as well.
#   bash scripts/package.sh           for this machine's architecture, in build-package/
#   bash scripts/package.sh ARCH      cross-built for dpkg's ARCH (e.g. arm64) with
#                                     cmake/<GNU triplet>.cmake, in build-ARCH/package/
#                                     (scripts/build-arm64.sh installs what arm64 needs)
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

PACKAGING_PACKAGES=(
  g++ cmake make pkg-config freeglut3-dev libglu1-mesa-dev libx11-dev
  dpkg-dev file binutils gzip lintian desktop-file-utils appstream groff-base
  patch libxi-dev libxrandr-dev libxxf86vm-dev debian-archive-keyring
)
DIST=$QUORVALE_ROOT/dist
native=$(dpkg --print-architecture)
arch=${1:-$native}

quorvale_install_missing "${PACKAGING_PACKAGES[@]}"
# Debian's own compiler and linker flags for packages (hardening included),
# for the target's architecture.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_HOST_ARCH=$arch
cross=()
if [ "$arch" = "$native" ]; then
  BUILD=$QUORVALE_ROOT/build-package
  freeglut=$(quorvale_patched_freeglut)
else
  toolchain=$QUORVALE_ROOT/cmake/$(dpkg-architecture -a "$arch" -qDEB_HOST_MULTIARCH 2>/dev/null).cmake
  [ -f "$toolchain" ] || { echo "package.sh: no CMake toolchain file for $arch ($toolchain)" >&2; exit 2; }
  BUILD=$QUORVALE_ROOT/build-$arch/package
  bash "$QUORVALE_ROOT/scripts/freeglut.sh" "$QUORVALE_ROOT/build-$arch/freeglut" "$toolchain"
  freeglut=$QUORVALE_ROOT/build-$arch/freeglut/prefix
  cross=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
fi
quorvale_configure_and_build "$BUILD" "${cross[@]}" -DQUORVALE_BUILD_TESTS=OFF -DQUORVALE_BUILD_BENCH=OFF \
  -DQUORVALE_FREEGLUT_PREFIX="$freeglut" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"

rm -rf "$BUILD/cpack"
(cd "$BUILD" && cpack -G DEB -B "$BUILD/cpack" >/dev/null)
debs=("$BUILD"/cpack/quorvale_*_"$arch".deb)
[ -f "${debs[0]}" ] || { echo "package.sh: CPack made no $arch package in $BUILD/cpack" >&2; exit 1; }
mkdir -p "$DIST"
rm -f "$DIST"/quorvale_*_"$arch".deb
cp "${debs[0]}" "$DIST/"
deb=$DIST/$(basename "${debs[0]}")

bash "$QUORVALE_ROOT/scripts/check-package.sh" "$deb"
echo "lintian:"
lintian --fail-on error "$deb"
echo "Wrote $deb"

# The other builds of the same version beside a native package: the Windows
# zip and installer, and the page for browsers (dist/quorvale.html).
if [ "$arch" = "$native" ]; then
  [ -f "$QUORVALE_ROOT/scripts/build-windows.sh" ] && bash "$QUORVALE_ROOT/scripts/build-windows.sh"
  bash "$QUORVALE_ROOT/scripts/build-web.sh"
fi
