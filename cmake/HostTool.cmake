# The cross builds cannot run their own programs, so they make their icons (and
# the web test its solver) with small tools built for this machine.
set(TINTARA_HOST_CXX c++ CACHE STRING "C++ compiler for tools run during a cross build")
find_program(TINTARA_HOST_CXX_PATH ${TINTARA_HOST_CXX} NO_CACHE)
if(NOT TINTARA_HOST_CXX_PATH)
  message(FATAL_ERROR "No C++ compiler for this machine: apt-get install g++")
endif()

# tintara_host_tool(TOOL SOURCE... [INCLUDE DIR...] [HEADERS HEADER...]): builds
# TOOL for this machine from the sources and the shared form's drawing rules
# (Look.cpp), with the headers of the rules, the form and the entries in reach,
# and the INCLUDE folders too; again when one of the sources, the headers these
# tools include, or HEADERS changes.
function(tintara_host_tool tool)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "INCLUDE;HEADERS")
  set(sources ${arg_UNPARSED_ARGUMENTS} ${PROJECT_SOURCE_DIR}/window/Look.cpp)
  list(TRANSFORM arg_INCLUDE PREPEND -I OUTPUT_VARIABLE includes)
  add_custom_command(OUTPUT ${tool}
    COMMAND ${TINTARA_HOST_CXX} -std=c++20 -O2 -I${PROJECT_SOURCE_DIR}/rules
      -I${PROJECT_SOURCE_DIR}/window -I${PROJECT_SOURCE_DIR}/app ${includes} ${sources} -o ${tool}
    DEPENDS ${sources} ${PROJECT_SOURCE_DIR}/rules/Tintara.h ${PROJECT_SOURCE_DIR}/window/Layout.h
      ${PROJECT_SOURCE_DIR}/window/Look.h ${PROJECT_SOURCE_DIR}/app/IconPng.h ${arg_HEADERS}
    COMMENT "Building ${tool} for this machine"
    VERBATIM)
endfunction()
