# Cross-build for 64-bit ARM Linux (arm64: Raspberry Pi OS, ARM laptops and
# servers) with Debian's cross compilers and its :arm64 multiarch packages.
#
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake ...
#
# Executables built for the target (the test executables, code generators) run
# through qemu-user, so ctest runs the in-process tests on an x86-64 machine.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(QUORVALE_TARGET_TRIPLET aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${QUORVALE_TARGET_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${QUORVALE_TARGET_TRIPLET}-g++)
# The multiarch folders (/usr/lib/aarch64-linux-gnu) hold the :arm64 libraries;
# pkg-config asks the target's .pc files, not the build machine's.
set(CMAKE_LIBRARY_ARCHITECTURE ${QUORVALE_TARGET_TRIPLET})
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${QUORVALE_TARGET_TRIPLET}/pkgconfig:/usr/share/pkgconfig)

# Multiarch keeps both architectures under /, told apart by their library
# folders; programs run on the build machine.
set(CMAKE_FIND_ROOT_PATH /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(QUORVALE_QEMU_AARCH64 qemu-aarch64-static)
if(QUORVALE_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVALE_QEMU_AARCH64})
endif()

# dpkg's name for the target, for the Debian package.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
