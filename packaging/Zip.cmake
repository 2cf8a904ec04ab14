# cmake -DOUTPUT=archive.zip -DFILES="a;b;c" -P Zip.cmake     (in the folder of the files)
# Makes a zip of the files, in the order given, that is the same bytes wherever and
# whenever it is made from the same files: modes and times as copy_for_archive sets
# them, no owner and no extra time fields (zip -X), and the DOS time, which a zip
# keeps in local time, written in UTC.
include(${CMAKE_CURRENT_LIST_DIR}/ArchiveFiles.cmake)
find_program(ZIP zip REQUIRED)
set(files ${OUTPUT}.files)
copy_for_archive(${files} ${FILES})
file(REMOVE ${OUTPUT}.part)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP} -X -9 -q ${OUTPUT}.part ${FILES}
  WORKING_DIRECTORY ${files} COMMAND_ERROR_IS_FATAL ANY)
file(RENAME ${OUTPUT}.part ${OUTPUT})
file(REMOVE_RECURSE ${files})
