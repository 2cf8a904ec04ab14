# cmake -DLICENSE=LICENSE -DOUTPUT=copyright -DUPSTREAM_CONTACT=... -P Copyright.cmake
# Writes the package's copyright file in Debian's machine-readable format from the
# project's LICENSE: its first line is the copyright notice, the rest the licence.
# Debian calls the MIT licence "Expat", the name the format gives it.
file(READ ${LICENSE} text)
if(NOT text MATCHES "^Copyright \\(c\\) ([^\n]+)\n\n(.+[^\n])\n*$")
  message(FATAL_ERROR "${LICENSE} does not start with a line \"Copyright (c) ...\" and a blank line")
endif()
set(holders ${CMAKE_MATCH_1})
set(licence ${CMAKE_MATCH_2})
if(NOT licence MATCHES "^Permission is hereby granted, free of charge,")
  message(FATAL_ERROR "${LICENSE} does not hold the MIT licence")
endif()

# Each line of the licence indented by one space; a blank line is written " .".
string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REGEX REPLACE "\n" "\n " licence " ${licence}")

file(WRITE ${OUTPUT}.part "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Tintara
Upstream-Contact: ${UPSTREAM_CONTACT}

Files: *
Copyright: ${holders}
Comment: Expat is the name this format gives to the licence widely known as MIT.
License: Expat
${licence}
")
file(RENAME ${OUTPUT}.part ${OUTPUT})
