# Writes the site's scripts and style sheet from the linker's tintara.js and
# tintara.wasm, start.js and the page's style sheet: the scripts are minified
# with terser, the style sheet loses its comments and line breaks.
#   cmake -DPROGRAM=<linker's folder> -DSITE=<folder> -DSTYLE=<css> -DTERSER=<terser>
#         -DSTART=<start.js> -P Minify.cmake
file(READ "${PROGRAM}/tintara.js" script)

# Emscripten's runtime keeps parts for other hosts than a page, which the page
# never reaches: a worker's synchronous download, the heap views neither the
# program nor the page reads, the tables of preloaded images and sounds. A name
# whose declaration goes becomes a constant for terser, which then drops the
# code that tests it; a view or a table goes only where nothing else names it.
# Each step is written for the runtimes of Emscripten 3.1.6 (Debian 12) and
# 3.1.69 (Debian 13). Where a runtime no longer has what a step takes out,
# the step has nothing to do; where it has it in another shape, the build
# stops, naming the step.
function(unmatched step)
  message(FATAL_ERROR "Minify.cmake: ${step} no longer matches this Emscripten's tintara.js")
endfunction()

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
  # Declared with this value, and assigned nowhere else.
  string(REGEX REPLACE "=.*" "" name "${constant}")
  string(LENGTH "${name}" width)
  math(EXPR width "${width} + 3")
  count_matches("[^.A-Za-z0-9_$]${name}=[^=]" ${width} count)
  if(constant STREQUAL name)
    math(EXPR count "${count} + 1")
  endif()
  string(FIND "${script}" "var ${constant};" at)
  if(at EQUAL -1 OR NOT count EQUAL 1)
    unmatched("the constant ${name}")
  endif()
  string(REPLACE "var ${constant};" "" script "${script}")
  if(constant STREQUAL name)
    set(constant "${name}=undefined")
  endif()
  list(APPEND defines --define "${constant}")
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
  if(count GREATER 0 AND (tested EQUAL 0 OR other GREATER 0))
    unmatched("the absent ${name}")
  elseif(count GREATER 0)
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
  math(EXPR copy "${width} * 2 + 8")
  count_matches("Module\\[\"${view}\"\\]=${view}=" ${copy} assigned)
  if(NOT copies EQUAL assigned OR copies GREATER 1)
    unmatched("Module's copy of ${view}")
  endif()
  string(REPLACE "Module[\"${view}\"]=${view}=" "${view}=" script "${script}")
  if(count EQUAL 2)
    string(REGEX REPLACE "${view}=new [A-Za-z0-9]+Array\\([A-Za-z_$][A-Za-z0-9_$]*\\);" "" script
      "${script}")
  endif()
endforeach()
set(tables [=[Module["preloadedImages"]={};Module["preloadedAudios"]={};]=])
string(FIND "${script}" "${tables}" at)
string(FIND "${script}" "preloaded" named)
if(at EQUAL -1 AND NOT named EQUAL -1)
  unmatched("the tables of preloaded images and sounds")
endif()
string(REPLACE "${tables}" "" script "${script}")
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
