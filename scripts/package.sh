#!/usr/bin/env bash
# Build the Debian package dist/quorvale_<version>_amd64.deb with CPack in
# build-package/, check it (files, validators, runtime dependencies) and run
# lintian on it. Installs what is missing first (as root, or through sudo).
# Where the Windows build exists, its zip lands in dist/ as well.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

PACKAGING_PACKAGES=(
  g++ cmake make pkg-config freeglut3-dev libglu1-mesa-dev libx11-dev
  dpkg-dev file binutils gzip lintian desktop-file-utils appstream groff-base
  patch libxi-dev libxrandr-dev libxxf86vm-dev debian-archive-keyring
)
BUILD=$QUORVALE_ROOT/build-package
DIST=$QUORVALE_ROOT/dist

quorvale_install_missing "${PACKAGING_PACKAGES[@]}"
# Debian's own compiler and linker flags for packages (hardening included).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
freeglut=$(quorvale_patched_freeglut)
quorvale_configure_and_build "$BUILD" -DQUORVALE_BUILD_TESTS=OFF -DQUORVALE_BUILD_BENCH=OFF \
  -DQUORVALE_FREEGLUT_PREFIX="$freeglut" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"

rm -rf "$BUILD/cpack"
(cd "$BUILD" && cpack -G DEB -B "$BUILD/cpack" >/dev/null)
debs=("$BUILD"/cpack/quorvale_*_amd64.deb)
mkdir -p "$DIST"
rm -f "$DIST"/quorvale_*_amd64.deb
cp "${debs[0]}" "$DIST/"
deb=$DIST/$(basename "${debs[0]}")

bash "$QUORVALE_ROOT/scripts/check-package.sh" "$deb"
echo "lintian:"
lintian --fail-on error "$deb"
echo "Wrote $deb"

if [ -f "$QUORVALE_ROOT/scripts/build-windows.sh" ]; then
  bash "$QUORVALE_ROOT/scripts/build-windows.sh"
fi

# The page for browsers, dist/quorvale.html, beside the package.
bash "$QUORVALE_ROOT/scripts/build-web.sh"
