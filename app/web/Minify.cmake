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
foreach(pair "${PROGRAM}/tintara.site.js;${SITE}/tintara.js;--mangle-props;regex=/^(${own_properties})$/"
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
