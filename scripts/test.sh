#!/usr/bin/env bash
# Build Quorvale with its tests and run the whole suite on real OpenGL (Mesa's
# software renderer). Installs missing system packages first. Every test starts
# X servers of its own, so the suite never touches $DISPLAY. Screenshots the
# tests keep land in build/test-artifacts/.
#   bash scripts/test.sh           the suite, with a short sanitized soak
#   bash scripts/test.sh --soak    the full 100,000-tick sanitized soak
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

labels=(-LE soak)
if [ "${1:-}" = "--soak" ]; then
  labels=(-L soak)
  shift
fi
quorvale_install_missing "${QUORVALE_PACKAGES[@]}"
freeglut=$(quorvale_patched_freeglut)
quorvale_configure_and_build "$QUORVALE_ROOT/build" -DQUORVALE_BUILD_TESTS=ON -DQUORVALE_FREEGLUT_PREFIX="$freeglut"

cd "$QUORVALE_ROOT/build"
ctest -j2 --output-on-failure "${labels[@]}" "$@"
