#!/usr/bin/env bash
# Build freeglut from Debian's source package, with the patches in
# third_party/freeglut/ applied in name order, as a static library: for this
# machine, or for another target when a CMake toolchain file is given.
#
#   bash scripts/freeglut.sh OUT_DIR [TOOLCHAIN_FILE]
#
# Leaves OUT_DIR/prefix (include/, lib/, lib/cmake/FreeGLUT/). The download and
# the build are kept in OUT_DIR and redone only when the patches or the
# toolchain change. The source comes through apt-get from Debian's own archive
# (signed index, checked hashes) with a private package list, so the system's
# apt configuration is left untouched.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
FREEGLUT_PACKAGE=freeglut
FREEGLUT_VERSION=3.4.0
FREEGLUT_SUITE=bookworm
PATCH_DIR="$QUORVALE_ROOT/third_party/freeglut"

out=${1:?usage: freeglut.sh OUT_DIR [TOOLCHAIN_FILE]}
toolchain=${2:-}
mkdir -p "$out"
out=$(cd "$out" && pwd)
[ -z "$toolchain" ] || toolchain=$(cd "$(dirname "$toolchain")" && pwd)/$(basename "$toolchain")

# What the build depends on: our patches and the target.
stamp=$( { cat "$PATCH_DIR"/*.patch 2>/dev/null; echo "$toolchain"; } | sha256sum | cut -d' ' -f1)
if [ -f "$out/prefix/.stamp" ] && [ "$(cat "$out/prefix/.stamp")" = "$stamp" ]; then
  exit 0
fi

fetch_source() {
  local apt_dir="$out/apt"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/sources" "$out/download"
  cat >"$apt_dir/sources/debian-src.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $FREEGLUT_SUITE
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  local options=(-o "Dir::Etc::SourceParts=$apt_dir/sources" -o Dir::Etc::SourceList=/dev/null
                 -o "Dir::State::Lists=$apt_dir/lists" -o Debug::NoLocking=1 -qq)
  apt-get "${options[@]}" update
  (cd "$out/download" && apt-get "${options[@]}" source --download-only "$FREEGLUT_PACKAGE=$FREEGLUT_VERSION-1") 2>&1 \
    | grep -v 'unsandboxed as root' || true
  [ -f "$out/download/${FREEGLUT_PACKAGE}_$FREEGLUT_VERSION.orig.tar.gz" ] \
    || { echo "freeglut: could not download the source package" >&2; return 1; }
}

[ -f "$out/download/${FREEGLUT_PACKAGE}_$FREEGLUT_VERSION.orig.tar.gz" ] || fetch_source

echo "Building freeglut $FREEGLUT_VERSION${toolchain:+ for $(basename "$toolchain" .cmake)}"
rm -rf "$out/src" "$out/build" "$out/prefix"
mkdir -p "$out/src"
tar -xzf "$out/download/${FREEGLUT_PACKAGE}_$FREEGLUT_VERSION.orig.tar.gz" -C "$out/src" --strip-components=1
for patch in "$PATCH_DIR"/*.patch; do
  [ -e "$patch" ] || continue
  patch -s -p1 -d "$out/src" <"$patch"
done

cmake_args=(-S "$out/src" -B "$out/build" -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_INSTALL_PREFIX="$out/prefix" -DCMAKE_POSITION_INDEPENDENT_CODE=ON
            -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON
            -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF)
[ -z "$toolchain" ] || cmake_args+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
cmake -Wno-dev "${cmake_args[@]}" >/dev/null
cmake --build "$out/build" -j"$(nproc)" >/dev/null
cmake --install "$out/build" >/dev/null
echo "$stamp" >"$out/prefix/.stamp"
