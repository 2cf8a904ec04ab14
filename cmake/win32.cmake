# The Win32 front end, for Windows, cross-built with MinGW-w64
# (cmake/mingw-w64-x86_64.cmake): the program linked statically, its tests run
# under Wine, an MSI and a zip.
set(TINTARA_UNIT_TESTS OFF)
set(TINTARA_BENCHMARKS OFF)
include(${CMAKE_CURRENT_LIST_DIR}/HostTool.cmake)

# A guarded stack (MinGW's stack guard lives in libssp, linked in statically with
# the rest), and Windows' own hardening: a relocatable image anywhere in the
# address space, and no code run from data pages. A release drops its symbols.
tintara_guarded_stack(TINTARA_HARDENING)
set(TINTARA_HARDENING_LINK -fstack-protector-strong $<$<CONFIG:Release>:-s> LINKER:--dynamicbase
  LINKER:--high-entropy-va LINKER:--nxcompat)
