// The page's start: it fetches the program while tintara.js loads, and puts
// one sentence in the window's place, with a link that reloads, where the
// game cannot load or stops on an error, instead of leaving the page blank.
'use strict';
(function() {
  var Missing = 'The game could not load: the site on the server is incomplete or being updated.' +
                ' Try again in a moment.';
  var Offline = 'The game could not load: the server did not answer. Try again once you are' +
                ' online.';
  var Blocked = 'The game could not start: this browser, or the site\'s content policy, blocks' +
                ' the WebAssembly it needs.';
  var Stopped = 'The game stopped on an error.';
  var stopped = false;

  var stop = function(sentence) {
    if (stopped) return;
    stopped = true;
    var show = function() {
      var heading = document.querySelector('h1') || document.createElement('h1');
      heading.textContent = 'Tintara';
      document.querySelectorAll('main, dialog').forEach(function(element) { element.remove(); });
      var main = document.createElement('main');
      var line = document.createElement('p');
      var link = document.createElement('a');
      link.href = location.href.split('#')[0];
      link.textContent = 'Reload';
      line.append(sentence + ' ', link);
      main.append(heading, line);
      document.body.append(main);
    };
    if (document.body) show();
    else addEventListener('DOMContentLoaded', show);
  };

  // A script or the style sheet that does not load, or an error the game
  // does not catch, while loading or at any time after.
  addEventListener('error', function(event) {
    var target = event.target;
    if (target instanceof HTMLScriptElement || target instanceof HTMLLinkElement) {
      if (target.rel != 'icon' && target.rel != 'manifest') stop(Missing);
    } else {
      stop(event.error instanceof SyntaxError ? Missing : Stopped);
    }
  }, true);
  addEventListener('unhandledrejection', function() { stop(Stopped); });
  if (typeof WebAssembly != 'object') {
    stop(Blocked);
    return;
  }

  // The program, fetched once, in every engine.
  var program = fetch('tintara.wasm', {credentials: 'same-origin'}).then(function(response) {
    if (!response.ok) throw Missing;
    return response.arrayBuffer();
  }, function() { throw Offline; });
  program.catch(function() {});

  // Called by tintara.js with its imports, where its instance goes, and the
  // digest and size of its own build's program: a program from another build
  // is never run.
  self.tintaraStart = function(imports, receive, digest, size) {
    program
      .then(function(bytes) {
        // Without a secure context there is no digest to take: the size then.
        if (!self.crypto || !crypto.subtle) {
          if (bytes.byteLength != +size) throw Missing;
          return bytes;
        }
        return crypto.subtle.digest('SHA-256', bytes).then(function(hash) {
          var hex = Array.from(new Uint8Array(hash), function(byte) {
            return (byte + 256).toString(16).slice(1);
          }).join('');
          if (hex != digest) throw Missing;
          return bytes;
        });
      })
      .then(function(bytes) {
        return WebAssembly.instantiate(bytes, imports).catch(function(error) {
          throw error instanceof WebAssembly.LinkError ? Missing : Blocked;
        });
      })
      .then(function(result) { receive(result.instance); },
            function(reason) { stop(typeof reason == 'string' ? reason : Stopped); });
  };
})();
