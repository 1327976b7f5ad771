#!/usr/bin/env bash
# Build the Windows zip and installer (scripts/build-windows.sh), unpack the
# zip and run its quorvale.exe under Wine on a private Xvfb, worked with real X
# input by the test driver in tests/windows/ (GoogleTest), which also reads the
# exe's resources and installs and uninstalls the installer. Installs missing
# packages first (as root or through sudo). Prints GoogleTest's report, a line
# per test and each failed check's detail; exits non-zero when any test fails.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

QUORVALE_WINDOWS_TEST_PACKAGES=(
  wine wine64 unzip icoutils binutils
  g++ cmake make libx11-dev libxtst-dev libxfixes-dev libgtest-dev
  xvfb x11-utils libgl1-mesa-dri openbox
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

# Always a private X server: the tests send real input. Its screen holds the
# window at 200 % (2560x1440 and its frame): Windows keeps windows within it.
# A window manager runs on it as on any desktop: Wine 10 hides a window only
# once a window manager has confirmed it (WM_STATE), so without one a menu
# closed by a click stays on the screen.
quorvale_start_xvfb 2880x1800 >/dev/null
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko: the program needs neither, and Wine would ask to fetch them.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LIBGL_ALWAYS_SOFTWARE=1
openbox_pid=
stop_all() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  [ -z "$openbox_pid" ] || kill "$openbox_pid" 2>/dev/null || true
  kill "$QUORVALE_XVFB_PID" 2>/dev/null || true
}
trap stop_all EXIT
openbox --sm-disable --config-file /etc/xdg/openbox/rc.xml >/dev/null 2>&1 &
openbox_pid=$!
for ((waited = 0; ; waited++)); do  # up to 30 s in steps of 0.1 s
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  if ! kill -0 "$openbox_pid" 2>/dev/null || [ "$waited" -ge 300 ]; then
    echo "openbox did not start" >&2
    exit 1
  fi
  sleep 0.1
done

# One persistent Wine server for the whole run, and Wine's helper processes
# started here with their output sent to /dev/null: they live on and would
# otherwise hold the driver's pipes to the program open. A new prefix is set
# up on the first run (10-20 s); later runs reuse it.
mkdir -p "$WINEPREFIX"
echo "Starting Wine (prefix $WINEPREFIX)"
# A server left behind by an interrupted run would refuse a second one.
timeout 30 wineserver -k >/dev/null 2>&1 || true
timeout 30 wineserver -w >/dev/null 2>&1 || true
timeout 60 wineserver -p >/dev/null 2>&1 || { echo "wineserver did not start" >&2; exit 1; }
timeout 300 wineboot --init >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
# The desktop at 100 % (96 DPI), whatever an interrupted run left.
timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /f /d 96 >/dev/null 2>&1 \
  || { echo "wine reg failed" >&2; exit 1; }

echo "Testing $name under Wine on $DISPLAY"
status=0
QUORVALE_WINDOWS_EXE="$build/unpacked/$name/quorvale.exe" \
  QUORVALE_WINDOWS_SETUP="$QUORVALE_ROOT/dist/quorvale-$version-setup.exe" \
  QUORVALE_MONITOR_DPI_PROBE="$build/tests/monitor_dpi.exe" \
  timeout 900 "$build/tests/quorvale_wine_test" || status=$?
echo "Windows tests took $(( $(date +%s) - started )) s (build included)"
exit "$status"
