#!/usr/bin/env bash
# Test the arm64 build on an x86-64 machine, under qemu-user:
#  1. the test executables whose tests run inside their own process, built for
#     arm64 in build-arm64/tests and run by ctest through the emulator that
#     cmake/aarch64-linux-gnu.cmake names (ctest -L emulated);
#  2. one end-to-end run of the arm64 program beside the native one, driven
#     from a native test executable (tests/scenarios/foreign_build_test.cpp,
#     built in build-arm64/native): its banner, its window, the same picture
#     outside the spinning torus, W driving the tank out of the torus ring,
#     and Escape ending it with status 0.
# Installs what it lacks first (scripts/deps.sh; as root or through sudo).
# Both run qemu by name, so neither needs the kernel to hand arm64
# executables to qemu; the script changes no system setting, and every X
# server and program it starts ends with it. The tests that start the program
# as a child process, or trace it, run natively on arm64 (scripts/test.sh).
# Prints the tests' results and the time taken; exits non-zero on a failure.
set -euo pipefail
QUORVALE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$QUORVALE_ROOT/scripts/deps.sh"

QUORVALE_ARM64_TEST_PACKAGES=(
  g++ cmake make pkg-config patch libglu1-mesa-dev libgl1-mesa-dri libx11-dev libxtst-dev
  libxfixes-dev libxi-dev libxrandr-dev libxxf86vm-dev libgtest-dev zlib1g-dev xvfb x11-utils
  debian-archive-keyring
)
started=$(date +%s)
quorvale_install_arm64_cross
quorvale_install_missing "${QUORVALE_ARM64_TEST_PACKAGES[@]}"
build=$QUORVALE_ROOT/build-arm64
toolchain=$QUORVALE_ROOT/cmake/aarch64-linux-gnu.cmake

if grep -qsx enabled /proc/sys/fs/binfmt_misc/qemu-aarch64; then
  echo "binfmt_misc hands arm64 executables to qemu: arm64 programs also run by name here"
else
  cat <<'ADVICE'
binfmt_misc does not hand arm64 executables to qemu here: these tests name qemu
themselves, but an arm64 program run by name fails. To have it run them:
  sudo update-binfmts --enable qemu-aarch64    (binfmt-support does it on install)
In a container, binfmt_misc is the host's: mount and enable it there.
ADVICE
fi

bash "$QUORVALE_ROOT/scripts/freeglut.sh" "$build/freeglut" "$toolchain"
cmake -S "$QUORVALE_ROOT" -B "$build/tests" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVALE_FREEGLUT_PREFIX="$build/freeglut/prefix" \
  -DQUORVALE_BUILD_TESTS=ON >/dev/null
cmake --build "$build/tests" -j2 --target quorvale quorvale_in_process_tests >/dev/null
freeglut=$(quorvale_patched_freeglut)
cmake -S "$QUORVALE_ROOT" -B "$build/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVALE_FREEGLUT_PREFIX="$freeglut" -DQUORVALE_BUILD_TESTS=ON \
  -DQUORVALE_TEST_AREAS=scenarios >/dev/null
cmake --build "$build/native" -j2 --target foreign_build_tests >/dev/null
echo "Built in $(( $(date +%s) - started )) s"

status=0
echo "In-process tests under qemu-aarch64:"
(cd "$build/tests" && ctest -j2 -L emulated --output-on-failure) || status=1
echo "The arm64 program end to end:"
QUORVALE_FOREIGN_PROGRAM=$build/tests/quorvale timeout 1800 "$build/native/tests/scenarios/foreign_build_tests" || status=1
echo "arm64 tests took $(( $(date +%s) - started )) s (build included)"
exit "$status"
