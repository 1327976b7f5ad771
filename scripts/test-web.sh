#!/usr/bin/env bash
# Build the page and run it in Debian's headless chromium, on a desktop and
# in phone emulation, driven by puppeteer-core (the browser tools' package.json is at the top, the test in
# tests/web/), against the desktop build's first frame taken on a private Xvfb
# with Mesa's llvmpipe. Installs what it lacks.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"
quorvale_install_missing "${QUORVALE_PACKAGES[@]}" chromium
# npm comes with some node builds and is Debian's own package with others.
command -v node >/dev/null || quorvale_install_missing nodejs
command -v npm >/dev/null || quorvale_install_missing npm

bash "$QUORVALE_ROOT/scripts/build-web.sh"

# The desktop's first frame, from the same tool that takes the README's picture.
quorvale_configure_and_build "$QUORVALE_ROOT/build-bench" \
  -DQUORVALE_BUILD_BENCH=ON -DQUORVALE_BUILD_TESTS=OFF
DESKTOP_FRAME=$QUORVALE_ROOT/build-web/desktop-first-frame.png
(
  quorvale_start_xvfb >/dev/null
  trap 'kill "$QUORVALE_XVFB_PID" 2>/dev/null' EXIT
  "$QUORVALE_ROOT/build-bench/bench/quorvale_first_frame" --png "$DESKTOP_FRAME" >/dev/null
)

# The browser tools (package.json at the top) resolve from the tests' folder too.
cd "$QUORVALE_ROOT"
[ -d node_modules/puppeteer-core ] || npm ci --no-audit --no-fund
node tests/web/page_e2e.mjs "$QUORVALE_ROOT/dist/quorvale.html" "$DESKTOP_FRAME"
# The page on a phone, upright and sideways, worked by touch; its pictures in build-web/test-artifacts/.
node tests/web/phone_e2e.mjs "$QUORVALE_ROOT/dist/quorvale.html" "$QUORVALE_ROOT/build-web/test-artifacts"
