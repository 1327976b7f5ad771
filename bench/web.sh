#!/usr/bin/env bash
# The page's speed in headless chromium against the tick rule and against the
# desktop's frame on Mesa's llvmpipe, on this machine, in one run.
# Usage: bash bench/web.sh [SECONDS]   (default 10 s of free running)
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"
SECONDS_RUN=${1:-10}
DESKTOP_FRAMES=200

bash "$QUORVALE_ROOT/scripts/build-web.sh" >/dev/null
quorvale_configure_and_build "$QUORVALE_ROOT/build-bench" \
  -DQUORVALE_BUILD_BENCH=ON -DQUORVALE_BUILD_TESTS=OFF >/dev/null
(cd "$QUORVALE_ROOT" && { [ -d node_modules/puppeteer-core ] || npm ci --no-audit --no-fund; })

echo "== desktop, llvmpipe ($DESKTOP_FRAMES frames)"
(
  quorvale_start_xvfb >/dev/null
  trap 'kill "$QUORVALE_XVFB_PID" 2>/dev/null' EXIT
  LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe \
    "$QUORVALE_ROOT/build-bench/bench/quorvale_bench" frames "$DESKTOP_FRAMES" | grep -E 'renderer|frame_wall_median'
)
for set_up in swiftshader default phone; do
  echo "== page, headless chromium, $set_up ($SECONDS_RUN s)"
  node "$QUORVALE_ROOT/bench/web_speed.mjs" "$QUORVALE_ROOT/dist/quorvale.html" "$SECONDS_RUN" "$set_up"
done
echo "The tick rule: at most one tick per 10 ms of the page's clock (ticks ahead of the clock: 0)."
