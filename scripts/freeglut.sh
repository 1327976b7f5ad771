#!/usr/bin/env bash
# Build freeglut from Debian's source package, with the patches in
# third_party/freeglut/ applied in name order, as a static library: for this
# machine, or for another target when a CMake toolchain file is given.
#
#   bash scripts/freeglut.sh OUT_DIR [TOOLCHAIN_FILE]
#
# Leaves OUT_DIR/prefix (include/, lib/, lib/cmake/FreeGLUT/). The download and
# the build are kept in OUT_DIR and redone only when the version, the tarball's
# checksum, the patches or the CMake arguments (the toolchain among them)
# change; builds into the same OUT_DIR take turns (flock). The source comes
# through apt-get (signed index, checked hashes) from the archives the system's
# own apt configuration names, read as deb-src entries into a private folder
# with a private package list and cache, so the system's apt state is left
# untouched. A cached download needs no network.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
FREEGLUT_PACKAGE=freeglut
FREEGLUT_VERSION=3.4.0
ORIG_TARBALL=${FREEGLUT_PACKAGE}_$FREEGLUT_VERSION.orig.tar.gz
# The upstream tarball, the same in every Debian revision of this version.
ORIG_SHA256=3c0bcb915d9b180a97edaebd011b7a1de54583a838644dcd42bb0ea0c6f3eaec
PATCH_DIR="$QUORVALE_ROOT/third_party/freeglut"

out=${1:?usage: freeglut.sh OUT_DIR [TOOLCHAIN_FILE]}
toolchain=${2:-}
mkdir -p "$out"
out=$(cd "$out" && pwd)
[ -z "$toolchain" ] || toolchain=$(cd "$(dirname "$toolchain")" && pwd)/$(basename "$toolchain")
# Another build into the same folder (a second script run at once) goes first;
# the lock goes with this process.
exec {lock}>"$out/.lock"
flock "$lock"

cmake_args=(-S "$out/src" -B "$out/build" -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_INSTALL_PREFIX="$out/prefix" -DCMAKE_POSITION_INDEPENDENT_CODE=ON
            -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON
            -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF)
[ -z "$toolchain" ] || cmake_args+=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")

# What the build depends on: the upstream source, our patches, the CMake
# arguments and the toolchain file's content.
stamp=$( { echo "$FREEGLUT_VERSION $ORIG_SHA256"; cat "$PATCH_DIR"/*.patch 2>/dev/null
           printf '%s\n' "${cmake_args[@]}"; [ -z "$toolchain" ] || cat "$toolchain"; } \
         | sha256sum | cut -d' ' -f1)
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

# Says why the source could not be had, and what to do about it.
fetch_failed() {
  cat >&2 <<MESSAGE
freeglut: $1
  Either let this machine reach a Debian archive that holds freeglut $FREEGLUT_VERSION,
  or copy $ORIG_TARBALL (from a Debian archive's pool/main/f/freeglut/, any
  $FREEGLUT_VERSION-N revision) into $out/download/, then run this again.
MESSAGE
  return 1
}

# Downloads the source package of whichever Debian revision of freeglut
# $FREEGLUT_VERSION the system's archives offer (every revision ships the same
# upstream tarball, which is all it takes).
fetch_source() {
  local apt_dir="$out/apt" revision
  rm -rf "$apt_dir/lists" "$apt_dir/cache"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$out/download"
  write_source_entries "$apt_dir/sources"
  # Lists and caches (apt's package caches, which it writes as root) stay in
  # the private folder.
  local options=(-o "Dir::Etc::SourceParts=$apt_dir/sources" -o Dir::Etc::SourceList=/dev/null
                 -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
                 -o Debug::NoLocking=1 -q)
  # An archive without source indexes (a third party's) fails its part of the
  # update; what counts is whether one of them offers the package.
  apt-get "${options[@]}" update >"$apt_dir/log" 2>&1 || true
  if ! compgen -G "$apt_dir/lists/*_Sources*" >/dev/null; then
    fetch_failed "no archive in this system's apt configuration (/etc/apt/sources.list,
  /etc/apt/sources.list.d/) could be reached for its source index (apt's report: $apt_dir/log)."
    return 1
  fi
  revision=$(apt-cache "${options[@]}" showsrc "$FREEGLUT_PACKAGE" 2>>"$apt_dir/log" \
    | sed -n "s/^Version: \($FREEGLUT_VERSION-[^[:space:]]*\)$/\1/p" | sort -V | tail -n 1)
  if [ -z "$revision" ]; then
    local offered
    offered=$(apt-cache "${options[@]}" showsrc "$FREEGLUT_PACKAGE" 2>/dev/null \
      | sed -n 's/^Version: //p' | sort -uV | paste -sd ' ')
    fetch_failed "the reachable archives offer freeglut ${offered:-in no version}, not $FREEGLUT_VERSION,
  which the patches in third_party/freeglut/ are made for."
    return 1
  fi
  if ! (cd "$out/download" && apt-get "${options[@]}" source --download-only --tar-only \
          "$FREEGLUT_PACKAGE=$revision") >>"$apt_dir/log" 2>&1 \
     || [ ! -f "$out/download/$ORIG_TARBALL" ]; then
    fetch_failed "the archives offer freeglut $revision, but its download failed (apt's report: $apt_dir/log)."
    return 1
  fi
}

# The upstream tarball must be the one the patches were made against.
check_tarball() {
  local actual
  actual=$(sha256sum "$out/download/$ORIG_TARBALL" | cut -d' ' -f1)
  [ "$actual" = "$ORIG_SHA256" ] && return 0
  echo "freeglut: $out/download/$ORIG_TARBALL has SHA-256 $actual," >&2
  echo "  not $ORIG_SHA256 as freeglut $FREEGLUT_VERSION's tarball has. Remove it and run this again." >&2
  return 1
}

[ -f "$out/download/$ORIG_TARBALL" ] || fetch_source
check_tarball

echo "Building freeglut $FREEGLUT_VERSION${toolchain:+ for $(basename "$toolchain" .cmake)}"
rm -rf "$out/src" "$out/build" "$out/prefix"
mkdir -p "$out/src"
tar -xzf "$out/download/$ORIG_TARBALL" -C "$out/src" --strip-components=1
for patch in "$PATCH_DIR"/*.patch; do
  [ -e "$patch" ] || continue
  patch -s -p1 -d "$out/src" <"$patch"
done

cmake -Wno-dev "${cmake_args[@]}" >/dev/null
cmake --build "$out/build" -j"$(nproc)" >/dev/null
cmake --install "$out/build" >/dev/null
echo "$stamp" >"$out/prefix/.stamp"
