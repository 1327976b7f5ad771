#!/usr/bin/env bash
# Build Quorvale with its tests and run the whole suite on real OpenGL (Mesa).
# Installs missing system packages first; starts a private Xvfb when no display
# is usable. Screenshots the tests keep land in build/test-artifacts/.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

quorvale_install_missing "${QUORVALE_PACKAGES[@]}"
freeglut=$(quorvale_patched_freeglut)
quorvale_configure_and_build "$QUORVALE_ROOT/build" -DQUORVALE_BUILD_TESTS=ON -DQUORVALE_FREEGLUT_PREFIX="$freeglut"

if ! quorvale_display_usable; then
  quorvale_start_xvfb
  trap 'kill "$QUORVALE_XVFB_PID" 2>/dev/null' EXIT
fi
cd "$QUORVALE_ROOT/build"
ctest -j2 --output-on-failure --timeout 600 "$@"
