#!/usr/bin/env bash
# Build Quorvale's Debian package for arm64 (64-bit ARM: Raspberry Pi OS, ARM
# laptops and servers) and leave dist/quorvale_<version>_arm64.deb, checked
# like every package (check-package.sh, lintian). On another architecture it
# cross-builds with cmake/aarch64-linux-gnu.cmake, after installing what it
# lacks (as root or through sudo): arm64 as a foreign architecture of dpkg, the
# cross compiler, the :arm64 libraries and qemu-user. On arm64 itself it is
# package.sh. scripts/test-arm64.sh tests the cross-build under qemu.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

[ "$(dpkg --print-architecture)" = arm64 ] || quorvale_install_arm64_cross
bash "$QUORVALE_ROOT/scripts/package.sh" arm64
