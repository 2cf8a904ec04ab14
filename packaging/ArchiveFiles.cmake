# copy_for_archive(FOLDER FILE...): copies the files, named relative to the current
# folder, into FOLDER (made anew) as a package should hold them, whoever builds it
# and whenever: each readable by all and writable by its owner alone, executable by
# all where it was by its owner (go=u-w, as a umask of 022 makes them), and dated
# SOURCE_DATE_EPOCH where that is set. The copies keep the build's own files as they
# are, so that their times still tell make what is up to date.
function(copy_for_archive folder)
  file(REMOVE_RECURSE ${folder})
  file(MAKE_DIRECTORY ${folder})
  file(COPY ${ARGN} DESTINATION ${folder})
  execute_process(COMMAND chmod go=u-w ${ARGN} WORKING_DIRECTORY ${folder} COMMAND_ERROR_IS_FATAL ANY)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND touch --no-create --date=@$ENV{SOURCE_DATE_EPOCH} ${ARGN}
      WORKING_DIRECTORY ${folder} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endfunction()
