#!/usr/bin/env bash
# Cross-build Quorvale for 64-bit Windows with MinGW-w64 and pack it as
# dist/quorvale-<version>-win64.zip: a folder with quorvale.exe (statically
# linked, it needs only the DLLs that come with Windows; its icon, version and
# manifest compiled in by windres) and README.txt; and the same two files as
# the per-user installer dist/quorvale-<version>-setup.exe (NSIS).
# Installs missing packages first (as root or through sudo). Build folders are
# build-windows/freeglut (the toolkit, built from Debian's source package)
# and build-windows/program.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

QUORVALE_WINDOWS_BUILD_PACKAGES=(
  cmake make patch zip nsis
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  debian-archive-keyring
)
quorvale_install_missing "${QUORVALE_WINDOWS_BUILD_PACKAGES[@]}"

build="$QUORVALE_ROOT/build-windows"
toolchain="$QUORVALE_ROOT/cmake/mingw-w64-x86_64.cmake"
bash "$QUORVALE_ROOT/scripts/freeglut.sh" "$build/freeglut" "$toolchain"

cmake -S "$QUORVALE_ROOT" -B "$build/program" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DQUORVALE_FREEGLUT_PREFIX="$build/freeglut/prefix" \
  -DQUORVALE_BUILD_TESTS=OFF -DQUORVALE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build/program" -j2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/program/CMakeCache.txt")
name="quorvale-$version-win64"
stage="$build/zip/$name"
rm -rf "$build/zip"
mkdir -p "$stage" "$QUORVALE_ROOT/dist"
x86_64-w64-mingw32-strip -o "$stage/quorvale.exe" "$build/program/quorvale.exe"
# Windows line ends, so that every editor there shows the lines.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$QUORVALE_ROOT/scripts/windows-readme.txt" >"$stage/README.txt"

zip_file="$QUORVALE_ROOT/dist/$name.zip"
rm -f "$zip_file"
(cd "$build/zip" && zip -q -r -X "$zip_file" "$name")
echo "Wrote dist/$name.zip ($(du -k "$zip_file" | cut -f1) KiB)"

setup="quorvale-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$QUORVALE_ROOT/packaging/icons/quorvale.ico" \
  -DOUTFILE="$QUORVALE_ROOT/dist/$setup" "$QUORVALE_ROOT/packaging/windows/quorvale.nsi"
echo "Wrote dist/$setup ($(du -k "$QUORVALE_ROOT/dist/$setup" | cut -f1) KiB)"
