# Building for browsers with Debian's Emscripten (emscripten): its own toolchain
# file, once it is known to be there.
set(TINTARA_EMSCRIPTEN_TOOLCHAIN /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
if(NOT EXISTS ${TINTARA_EMSCRIPTEN_TOOLCHAIN})
  message(FATAL_ERROR "No Emscripten: apt-get install emscripten")
endif()
include(${TINTARA_EMSCRIPTEN_TOOLCHAIN})
