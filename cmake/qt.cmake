# The Qt front end, for Linux: Qt 6 Widgets, the Qt tests, the benchmarks and the
# Debian package. Any native Linux build is this one, whatever the processor: a
# cross build for another one only adds its toolchain file (cmake/<triple>.cmake).

find_package(Qt6 QUIET COMPONENTS Widgets)
if(TINTARA_TESTS)
  find_package(Qt6 QUIET COMPONENTS Test)
endif()
if(NOT Qt6Widgets_FOUND OR (TINTARA_TESTS AND NOT Qt6Test_FOUND))
  message(FATAL_ERROR "No Qt 6 Widgets: apt-get install qt6-base-dev${TINTARA_PACKAGE_ARCH}")
endif()
find_package(Fontconfig QUIET)
if(NOT Fontconfig_FOUND)
  message(FATAL_ERROR "No fontconfig library: apt-get install libfontconfig-dev${TINTARA_PACKAGE_ARCH}")
endif()

# The rules' and the form's unit tests use Qt Test, and the benchmarks drive the
# Qt window; both are built here only.
set(TINTARA_UNIT_TESTS ON)
set(TINTARA_BENCHMARKS ON)

# The hardening Debian builds its packages with, for the program and the three
# libraries linked into it: checked string and memory functions (they need the
# optimiser, so not in a debug build, nor under the sanitizers, which check the
# same calls themselves), a guarded stack, a position-independent executable
# (app/qt) and relocations made read-only before the game starts.
set(TINTARA_HARDENING)
set(TINTARA_HARDENING_LINK)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  tintara_guarded_stack(TINTARA_HARDENING)
  # Level 3 where the compiler can (GCC 12, Clang 9), which the C library takes as 2
  # elsewhere. Undefined first, so that a compiler's own default is not redefined;
  # a level given in CMAKE_CXX_FLAGS is left as it is.
  if(NOT TINTARA_SANITIZE AND NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
    list(APPEND TINTARA_HARDENING $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE>
      $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=3>)
  endif()
  set(TINTARA_HARDENING_LINK LINKER:-z,relro LINKER:-z,now)
endif()
