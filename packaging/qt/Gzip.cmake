# cmake -DINPUT=file -DOUTPUT=file.gz -P Gzip.cmake
# Compresses as Debian wants its documentation: the best compression, and no name
# or time stamp in the header, so the same text always makes the same bytes.
find_program(GZIP gzip)
if(NOT GZIP)
  message(FATAL_ERROR "No gzip: apt-get install gzip")
endif()
execute_process(COMMAND ${GZIP} -9 -n -c ${INPUT}
  OUTPUT_FILE ${OUTPUT}.part
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "gzip could not compress ${INPUT}: ${status}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
