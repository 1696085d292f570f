# Cross builds for arm64, the 64-bit Raspberry Pi OS and Debian on a boat computer: Debian's
# aarch64 cross compiler, the headers and libraries of an arm64 root that
# scripts/arm64-root.sh made with mmdebstrap (build/arm64-root, or TERN_ARM64_ROOT), and
# Qt's code generators (moc, uic, rcc) of this machine, which is the same Debian release.
# Programs of the build (tests, test discovery) run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

if(DEFINED ENV{TERN_ARM64_ROOT})
  set(TERN_ARM64_ROOT "$ENV{TERN_ARM64_ROOT}")
else()
  get_filename_component(TERN_ARM64_ROOT "${CMAKE_CURRENT_LIST_DIR}/../build/arm64-root" ABSOLUTE)
endif()
if(NOT EXISTS "${TERN_ARM64_ROOT}/usr/lib/aarch64-linux-gnu")
  message(FATAL_ERROR "No arm64 root at ${TERN_ARM64_ROOT}: run scripts/arm64-root.sh first")
endif()

set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_SYSROOT "${TERN_ARM64_ROOT}")
# Libraries, headers and CMake packages from the root only; programs from this machine.
set(CMAKE_FIND_ROOT_PATH "${TERN_ARM64_ROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${TERN_ARM64_ROOT}")
set(ENV{PKG_CONFIG_LIBDIR}
    "${TERN_ARM64_ROOT}/usr/lib/aarch64-linux-gnu/pkgconfig:${TERN_ARM64_ROOT}/usr/share/pkgconfig")

set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L "${TERN_ARM64_ROOT}")
# Test programs list their tests when ctest runs, not at every link under the emulator.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
