# Writes the site's scripts and style sheet from the linker's tintara.js and
# tintara.wasm, start.js and the page's style sheet: tintara.js gets the
# digest and size of its own tintara.wasm, which start.js checks before
# running it; the scripts are minified with terser, the style sheet loses its
# comments and line breaks.
#   cmake -DPROGRAM=<linker's folder> -DSITE=<folder> -DSTYLE=<css> -DTERSER=<terser>
#         -DSTART=<start.js> -P Minify.cmake
file(SHA256 "${PROGRAM}/tintara.wasm" digest)
file(SIZE "${PROGRAM}/tintara.wasm" size)
file(READ "${PROGRAM}/tintara.js" script)
string(REPLACE "@TINTARA_WASM_SHA256@" "${digest}" script "${script}")
string(REPLACE "@TINTARA_WASM_SIZE@" "${size}" script "${script}")

# Emscripten's runtime keeps parts for other hosts than a page, which the page
# never reaches: a worker's synchronous download, the heap views neither the
# program nor the page reads, the tables of preloaded images and sounds. They go
# where the link wrote them as Emscripten 3.1.6 (Debian 12) does; another
# version's runtime, which this text does not match, is left whole. A name whose
# declaration goes becomes a constant for terser, which then drops the code that
# tests it; a view or a table goes only where nothing else names it.

# How many times `regex`, which matches `width` characters, matches the script.
function(count_matches regex width out)
  string(REGEX REPLACE "${regex}" "" rest "${script}")
  string(LENGTH "${script}" before)
  string(LENGTH "${rest}" after)
  math(EXPR count "(${before} - ${after}) / ${width}")
  set(${out} ${count} PARENT_SCOPE)
endfunction()
set(defines)
foreach(constant "ENVIRONMENT_IS_WEB=true" "ENVIRONMENT_IS_WORKER=false" "wasmBinary")
  string(REGEX REPLACE "=.*" "" name "${constant}")
  string(LENGTH "${name}" width)
  math(EXPR width "${width} + 3")
  count_matches("[^.A-Za-z0-9_$]${name}=[^=]" ${width} count)
  if(count EQUAL 1 OR (constant STREQUAL name AND count EQUAL 0))
    string(FIND "${script}" "var ${constant};" at)
    if(NOT at EQUAL -1)
      string(REPLACE "var ${constant};" "" script "${script}")
      if(constant STREQUAL name)
        set(constant "${name}=undefined")
      endif()
      list(APPEND defines --define "${constant}")
    endif()
  endif()
endforeach()
# Asyncify's runtime asks whether Emscripten's main loop (Browser) or fibers
# (Fibers) are there, which this program has neither of: where the script
# only ever asks so, or reads a member of one, and never declares it, it is
# none.
foreach(name Browser Fibers)
  string(LENGTH "${name}" width)
  math(EXPR any "${width} + 2")
  math(EXPR tests "${width} + 8")
  count_matches("[^.A-Za-z0-9_$]${name}[^A-Za-z0-9_$]" ${any} count)
  count_matches("typeof ${name}!" ${tests} tested)
  count_matches("[^.A-Za-z0-9_$]${name}\\." ${any} used)
  math(EXPR other "${count} - ${tested} - ${used}")
  if(tested GREATER 0 AND other EQUAL 0)
    list(APPEND defines --define "${name}=undefined")
  endif()
endforeach()
foreach(view HEAP8 HEAP16 HEAPU16 HEAPU32 HEAPF32 HEAP32 HEAPU8 HEAPF64)
  # Module's copy of each view, which nothing reads; the view itself too, where
  # nothing but its declaration and this assignment names it.
  string(LENGTH "${view}" width)
  math(EXPR width "${width} + 2")
  count_matches("[^A-Za-z0-9_$\"]${view}[^A-Za-z0-9_$\"]" ${width} count)
  count_matches("\"${view}\"" ${width} copies)
  if(copies EQUAL 1)
    string(REGEX REPLACE "Module\\[\"${view}\"\\]=${view}=" "${view}=" script "${script}")
    if(count EQUAL 2)
      string(REGEX REPLACE "${view}=new [A-Za-z0-9]+Array\\(buf\\);" "" script "${script}")
    endif()
  endif()
endforeach()
string(REPLACE [=[Module["preloadedImages"]={};Module["preloadedAudios"]={};]=] "" script "${script}")
file(WRITE "${PROGRAM}/tintara.site.js" "${script}")
file(COPY_FILE "${PROGRAM}/tintara.wasm" "${SITE}/tintara.wasm")

# The properties that only the program's own script uses, which terser may
# shorten too: the page's (window/web/Form1.js) and those of Emscripten's
# Asyncify object, which no name from outside reaches.
set(own_properties busy decoder pair deliver fit controls form
  State Normal Unwinding Rewinding Disabled StackSize currData handleSleepReturnValue
  exportCallStack callStackNameToId callStackIdToName callStackId asyncPromiseHandlers
  sleepCallbacks getCallStackId instrumentWasmExports maybeStopUnwind whenDone allocateData
  setDataHeader setDataRewindFunc getDataRewindFunc doRewind handleSleep handleAsync)
list(JOIN own_properties | own_properties)
foreach(pair "${PROGRAM}/tintara.site.js;${SITE}/tintara.js;--mangle-props;regex=/^(${own_properties})$/;${defines}"
             "${START};${SITE}/start.js")
  list(POP_FRONT pair source target)
  # Written for ECMAScript 2015, which every engine the site runs in has: arrow
  # functions where no `this` is used. Debian's terser finds its modules in
  # /usr/share/nodejs, where Debian's Node.js looks by itself and others only
  # when told.
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env NODE_PATH=/usr/share/nodejs "${TERSER}" "${source}"
                    --compress passes=3,pure_getters=true,ecma=2015,unsafe_arrows=true --ecma 2015 --mangle --toplevel ${pair}
                    --output "${target}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "terser could not minify ${source}")
  endif()
endforeach()

file(READ "${STYLE}" style)
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" style "${style}")
string(REGEX REPLACE "\n +" " " style "${style}")
string(REPLACE "\n" "" style "${style}")
string(REGEX REPLACE "([;,{]) " "\\1" style "${style}")
file(WRITE "${SITE}/tintara.css" "${style}\n")
