# The web front end, for browsers, built with Debian's Emscripten: the site, its
# zip and the browser test.
set(TINTARA_UNIT_TESTS OFF)
set(TINTARA_BENCHMARKS OFF)
include(${CMAKE_CURRENT_LIST_DIR}/HostTool.cmake)

# The web build is small and throws nothing: no exception can cross the
# suspension of a handler that waits on the page. The browser is its sandbox:
# no hardening flags.
add_compile_options(-Oz -fno-exceptions -fno-rtti -flto)
# Optimised whole at the link, where what the window never calls of the rules
# and the library goes.
add_link_options(-flto)
set(TINTARA_HARDENING)
set(TINTARA_HARDENING_LINK)
# emcc's JavaScript optimiser needs acorn, which Debian keeps in
# /usr/share/nodejs: Debian's own Node.js looks there by itself, others only
# when told.
if(EXISTS /usr/share/nodejs/acorn)
  set(CMAKE_CXX_LINKER_LAUNCHER "${CMAKE_COMMAND};-E;env;NODE_PATH=/usr/share/nodejs")
endif()

# Where the web build writes the whole site, and its package, the site in one zip.
set(TINTARA_SITE ${CMAKE_BINARY_DIR}/site)
set(TINTARA_WEB_ZIP ${CMAKE_BINARY_DIR}/tintara-${TINTARA_VERSION_TEXT}-web.zip)
# Debian's own Python, which has Debian's selenium for the tests, and zips the site.
find_program(TINTARA_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(TINTARA_PYTHON python3)
if(NOT TINTARA_PYTHON)
  message(FATAL_ERROR "No python3: apt-get install python3")
endif()
