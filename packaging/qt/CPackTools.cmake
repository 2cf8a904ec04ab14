# Read by cpack before it makes the Debian package: the tools CPack's Debian
# generator runs for the library dependencies, each named by its Debian package
# where it is missing.
cmake_policy(SET CMP0109 NEW)
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(tintara_shlibdeps dpkg-shlibdeps)
  find_program(tintara_file file)
  if(NOT tintara_shlibdeps)
    message(FATAL_ERROR "No dpkg-shlibdeps: apt-get install dpkg-dev")
  elseif(NOT tintara_file)
    message(FATAL_ERROR "No file: apt-get install file")
  endif()
endif()
