// The first lines of tintara.js: the program is fetched, checked and started
// by the page's start.js, with the digest and size of this build's
// tintara.wasm, written in when the program is linked. Without start.js the
// program loads as usual.
if (self.tintaraStart) {
  Module['instantiateWasm'] = function(imports, receive) {
    tintaraStart(imports, receive, '@TINTARA_WASM_SHA256@', '@TINTARA_WASM_SIZE@');
    return {};
  };
}
