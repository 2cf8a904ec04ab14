# Cross-building for 64-bit ARM Linux (Debian's arm64) on an amd64 Debian, with
# Debian's cross compiler (crossbuild-essential-arm64) and the arm64 Qt and
# fontconfig development packages installed beside the amd64 ones (multiarch).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(TINTARA_TRIPLE aarch64-linux-gnu)
find_program(CMAKE_CXX_COMPILER NAMES ${TINTARA_TRIPLE}-g++)
if(NOT CMAKE_CXX_COMPILER)
  message(FATAL_ERROR "No aarch64 cross compiler: apt-get install crossbuild-essential-arm64")
endif()
# Debian keeps the arm64 libraries and CMake packages under /usr/lib/aarch64-linux-gnu,
# in the same /usr as the build machine's: the search path is not re-rooted, which
# would lose Qt, only pointed at that folder.
set(CMAKE_LIBRARY_ARCHITECTURE ${TINTARA_TRIPLE})
# The libraries come from Debian's arm64 packages: a missing one is named so.
set(TINTARA_PACKAGE_ARCH :arm64)
# pkgconf's wrapper, which reads the arm64 .pc files.
find_program(PKG_CONFIG_EXECUTABLE NAMES ${TINTARA_TRIPLE}-pkg-config)
if(NOT PKG_CONFIG_EXECUTABLE)
  message(FATAL_ERROR "No arm64 pkg-config: apt-get install pkgconf:arm64")
endif()

# The build runs one of its own programs, the icon tool, through qemu's user
# emulation (qemu-user).
find_program(TINTARA_QEMU NAMES qemu-aarch64 qemu-aarch64-static)
if(NOT TINTARA_QEMU)
  message(FATAL_ERROR "No qemu for arm64 programs: apt-get install qemu-user")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${TINTARA_QEMU} -L /)
