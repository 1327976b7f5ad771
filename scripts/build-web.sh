#!/usr/bin/env bash
# Build the page dist/quorvale.html: the program compiled with emscripten for
# WebGL, one self-contained file (the wasm inside) that opens from disk with
# no web server. Installs emscripten when missing; works offline afterwards.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"
quorvale_install_missing emscripten cmake make python3

BUILD=$QUORVALE_ROOT/build-web
DIST=$QUORVALE_ROOT/dist
# Debian's emscripten runs its JavaScript tools with node and finds their
# modules only where Debian keeps them.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

emcmake cmake -S "$QUORVALE_ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DQUORVALE_BUILD_TESTS=OFF -DQUORVALE_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j2

# The page around the program's script, written here: a closing script tag
# inside the script would end it early.
mkdir -p "$DIST"
python3 - "$QUORVALE_ROOT/platform/web/page.html" "$BUILD/quorvale.js" "$DIST/quorvale.html" <<'PY'
import sys
page, script, out = (open(sys.argv[1]).read(), open(sys.argv[2]).read(), sys.argv[3])
if '</script' in script.lower():
    sys.exit('build-web.sh: the program script holds a closing script tag')
open(out, 'w').write(page.replace('@QUORVALE_JS@', script))
PY
echo "Built $DIST/quorvale.html ($(stat -c %s "$DIST/quorvale.html") bytes)"
