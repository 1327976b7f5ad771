#!/usr/bin/env bash
# Build freeglut from Debian's source package, with the patches in
# third_party/freeglut/ applied in name order, as a static library: for this
# machine, or for another target when a CMake toolchain file is given.
#
#   bash scripts/freeglut.sh OUT_DIR [TOOLCHAIN_FILE]
#
# Leaves OUT_DIR/prefix (include/, lib/, lib/cmake/FreeGLUT/). The download and
# the build are kept in OUT_DIR and redone only when the patches or the
# toolchain change. The source comes through apt-get (signed index, checked
# hashes) from the archives the system's own apt configuration names, read as
# deb-src entries into a private folder with a private package list, so the
# system's apt state is left untouched. A cached download needs no network.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
FREEGLUT_PACKAGE=freeglut
FREEGLUT_VERSION=3.4.0
ORIG_TARBALL=${FREEGLUT_PACKAGE}_$FREEGLUT_VERSION.orig.tar.gz
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

# The system's own archives, read from its apt configuration, as source
# entries in the private folder $1: one-line "deb ..." entries become
# "deb-src ...", and deb822 stanzas whose Types name deb become Types: deb-src.
write_source_entries() {
  local dir=$1 file
  rm -rf "$dir"
  mkdir -p "$dir"
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$file"
  done >"$dir/system.list"
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
         { types = ""; enabled = 1
           for (i = 1; i <= NF; i++) {
             if (tolower($i) ~ /^types:/) types = " " substr($i, 7) " "
             if (tolower($i) ~ /^enabled:[ \t]*no/) enabled = 0
           }
           if (!enabled || types !~ /[ \t]deb[ \t]/) next
           for (i = 1; i <= NF; i++) print (tolower($i) ~ /^types:/ ? "Types: deb-src" : $i)
           print "" }' "$file" >"$dir/$(basename "$file")"
  done
}

fetch_source() {
  local apt_dir="$out/apt"
  mkdir -p "$apt_dir/lists/partial" "$out/download"
  write_source_entries "$apt_dir/sources"
  local options=(-o "Dir::Etc::SourceParts=$apt_dir/sources" -o Dir::Etc::SourceList=/dev/null
                 -o "Dir::State::Lists=$apt_dir/lists" -o Debug::NoLocking=1 -q)
  # An archive without source indexes (a third party's) fails its part of the
  # update; what counts is whether one of them offers the package.
  { apt-get "${options[@]}" update || true
    (cd "$out/download" && apt-get "${options[@]}" source --download-only "$FREEGLUT_PACKAGE=$FREEGLUT_VERSION-1")
  } >"$apt_dir/log" 2>&1 || true
  [ -f "$out/download/$ORIG_TARBALL" ] && return 0
  cat >&2 <<MESSAGE
freeglut: no source package $FREEGLUT_PACKAGE $FREEGLUT_VERSION-1, and none cached in $out/download.
  It is fetched with apt-get from the archives in this system's apt configuration
  (/etc/apt/sources.list, /etc/apt/sources.list.d/), read as deb-src; none of them
  could be reached or offered it (apt's report: $apt_dir/log). Either let this
  machine reach a Debian archive that holds it, or copy $ORIG_TARBALL
  (from a Debian archive's pool/main/f/freeglut/) into $out/download/,
  then run this again.
MESSAGE
  return 1
}

[ -f "$out/download/$ORIG_TARBALL" ] || fetch_source

echo "Building freeglut $FREEGLUT_VERSION${toolchain:+ for $(basename "$toolchain" .cmake)}"
rm -rf "$out/src" "$out/build" "$out/prefix"
mkdir -p "$out/src"
tar -xzf "$out/download/$ORIG_TARBALL" -C "$out/src" --strip-components=1
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
