#!/usr/bin/env bash
# Build Quorvale and start it. Installs missing system packages first (as root,
# or through sudo). Builds in build-run/ (the tests build in build/). Without a
# usable display the program runs on a private Xvfb.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

quorvale_install_missing "${QUORVALE_PACKAGES[@]}"
quorvale_configure_and_build "$QUORVALE_ROOT/build-run" -DQUORVALE_BUILD_TESTS=OFF

if quorvale_display_usable; then
  exec "$QUORVALE_ROOT/build-run/quorvale" "$@"
fi
quorvale_start_xvfb
trap 'kill "$QUORVALE_XVFB_PID" 2>/dev/null' EXIT
echo "The window is on the virtual display $DISPLAY; stop with Ctrl+C."
"$QUORVALE_ROOT/build-run/quorvale" "$@"
