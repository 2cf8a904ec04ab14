// The first lines of tintara.js: the program is fetched, checked and started
// by the page's start.js. Without start.js the program loads as usual.
if (self.tintaraStart) {
  Module['instantiateWasm'] = function(imports, receive) {
    tintaraStart(imports, receive);
    return {};
  };
}
