#!/usr/bin/env bash
# Build Quorvale, start it on a private Xvfb, wait for its first full frame
# and save the window as docs/screenshot.png (the picture the README shows).
# Installs missing packages first (as root or through sudo).
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

quorvale_install_missing "${QUORVALE_PACKAGES[@]}"
# The program and the tool that starts it and reads its window back.
quorvale_configure_and_build "$QUORVALE_ROOT/build-bench" \
  -DQUORVALE_BUILD_BENCH=ON -DQUORVALE_BUILD_TESTS=OFF

# Always a private server, so that the picture is the same on every machine.
quorvale_start_xvfb >/dev/null
trap 'kill "$QUORVALE_XVFB_PID" 2>/dev/null' EXIT

mkdir -p "$QUORVALE_ROOT/docs"
"$QUORVALE_ROOT/build-bench/bench/quorvale_first_frame" --png "$QUORVALE_ROOT/docs/screenshot.png" >/dev/null
echo "Wrote $QUORVALE_ROOT/docs/screenshot.png"
