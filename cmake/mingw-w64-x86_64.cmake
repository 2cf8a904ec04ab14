# Cross-building for 64-bit Windows on Debian with MinGW-w64
# (g++-mingw-w64-x86-64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TINTARA_MINGW_TRIPLE x86_64-w64-mingw32)
# Debian's win32-thread flavour where it is installed apart: the game has one
# thread and needs no pthreads library.
find_program(CMAKE_CXX_COMPILER NAMES ${TINTARA_MINGW_TRIPLE}-g++-win32 ${TINTARA_MINGW_TRIPLE}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${TINTARA_MINGW_TRIPLE}-windres)
if(NOT CMAKE_CXX_COMPILER OR NOT CMAKE_RC_COMPILER)
  message(FATAL_ERROR "No MinGW-w64 compiler: apt-get install g++-mingw-w64-x86-64")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${TINTARA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Linked statically: the program imports Windows' own DLLs alone, with no
# libstdc++, libgcc or pthread DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
