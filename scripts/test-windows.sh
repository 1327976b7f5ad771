#!/usr/bin/env bash
# Build the Windows zip and installer (scripts/build-windows.sh), unpack the
# zip and run its quorvale.exe under Wine, worked with real X input by the test
# driver in tests/windows/ (GoogleTest): each run of the program is a test
# session of its own (a private Xvfb, openbox, a fresh Wine server), and the
# driver also reads the exe's resources and installs and uninstalls the installer. Installs missing
# packages first (as root or through sudo). Prints GoogleTest's report, a line
# per test and each failed check's detail; exits non-zero when any test fails.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

QUORVALE_WINDOWS_TEST_PACKAGES=(
  wine wine64 unzip icoutils binutils
  g++ cmake make libx11-dev libxtst-dev libxfixes-dev libgtest-dev zlib1g-dev
  xvfb libgl1-mesa-dri openbox
)
quorvale_install_missing "${QUORVALE_WINDOWS_TEST_PACKAGES[@]}"
started=$(date +%s)

bash "$QUORVALE_ROOT/scripts/build-windows.sh"
build="$QUORVALE_ROOT/build-windows"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/program/CMakeCache.txt")
name="quorvale-$version-win64"
rm -rf "$build/unpacked"
unzip -q "$QUORVALE_ROOT/dist/$name.zip" -d "$build/unpacked"

cmake -S "$QUORVALE_ROOT/tests/windows" -B "$build/tests" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/tests" -j2 >/dev/null
# A probe that asks Windows, as the program would, for its monitor's DPI, and
# for the client size of the program's window.
x86_64-w64-mingw32-gcc-posix -O2 -Wall -o "$build/tests/monitor_dpi.exe" \
  "$QUORVALE_ROOT/tests/windows/monitor_dpi.c" -lshcore

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko: the program needs neither, and Wine would ask to fetch them.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LIBGL_ALWAYS_SOFTWARE=1
# Nothing of Wine's left running for the prefix, should the driver be stopped.
trap 'timeout 30 wineserver -k >/dev/null 2>&1 || true' EXIT

# The prefix is made on the first run (10-20 s) and brought up to date after an
# upgrade of Wine; later runs reuse it. Making it needs no X server: the
# driver's sessions each start Wine afresh on a display of their own, which
# sets up the display there. Wine's helper processes go on for a few seconds,
# holding any pipe they inherit: their output goes to /dev/null, and the
# server is waited for until it has ended.
mkdir -p "$WINEPREFIX"
echo "Preparing the Wine prefix $WINEPREFIX"
# A server left behind by an interrupted run would hold on to the prefix.
timeout 30 wineserver -k >/dev/null 2>&1 || true
timeout 30 wineserver -w >/dev/null 2>&1 || true
(unset DISPLAY; timeout 300 wineboot --init) </dev/null >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
timeout 60 wineserver -w >/dev/null 2>&1 || { echo "Wine's server did not end after wineboot" >&2; exit 1; }

echo "Testing $name under Wine"
status=0
QUORVALE_WINDOWS_EXE="$build/unpacked/$name/quorvale.exe" \
  QUORVALE_WINDOWS_SETUP="$QUORVALE_ROOT/dist/quorvale-$version-setup.exe" \
  QUORVALE_MONITOR_DPI_PROBE="$build/tests/monitor_dpi.exe" \
  timeout 900 "$build/tests/quorvale_wine_test" || status=$?
echo "Windows tests took $(( $(date +%s) - started )) s (build included)"
exit "$status"
