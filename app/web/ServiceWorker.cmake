# Writes the service worker from its template: the site's files to keep, each
# with the first half of its SHA-256, and the digest of them all, which names
# its cache with the version (the worker adds the folder the site is served
# from).
#   cmake -DTEMPLATE=sw.js.in -DSITE=<folder> -DVERSION=<text> -DFILES=<a,b,...>
#         -DTERSER=<terser> -P ServiceWorker.cmake
set(digests "")
set(entries "")
string(REPLACE "," ";" FILES "${FILES}")
foreach(file IN LISTS FILES)
  if(file STREQUAL "./")
    file(SHA256 "${SITE}/index.html" digest)
  else()
    file(SHA256 "${SITE}/${file}" digest)
  endif()
  string(APPEND digests "${file} ${digest}\n")
  string(SUBSTRING "${digest}" 0 32 digest)
  list(APPEND entries "  '${file}': '${digest}'")
endforeach()
string(SHA256 digest "${digests}")
string(SUBSTRING "${digest}" 0 12 SITE_DIGEST)
list(JOIN entries ",\n" SITE_FILES)
set(TINTARA_VERSION_TEXT "${VERSION}")
get_filename_component(work "${TEMPLATE}" NAME_WE)
set(work "${CMAKE_CURRENT_BINARY_DIR}/${work}.full.js")
configure_file("${TEMPLATE}" "${work}" @ONLY)
# Minified, as the page's scripts are (Minify.cmake).
execute_process(COMMAND "${CMAKE_COMMAND}" -E env NODE_PATH=/usr/share/nodejs "${TERSER}" "${work}"
                  --compress --mangle --toplevel --format wrap_func_args=false --output "${SITE}/sw.js"
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "terser could not minify the service worker")
endif()
