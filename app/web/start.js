// The page's start: it fetches the program while tintara.js loads, and puts
// one sentence in the window's place, with a link that reloads, where the
// game cannot load or stops on an error, instead of leaving the page blank.
// The page names every other file it needs before this one, so that all of
// them come in one wave of requests (Chromium fetches nothing ahead of the
// parser on a page with a content policy of its own), and runs it before
// tintara.js, once its style sheet has loaded or failed.
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
    // The page's line for the end (index.html), announced as an alert, with
    // the focus on its link. No program starts after it.
    var show = function() {
      var end = document.getElementById('end');
      document.querySelectorAll('#Form1, dialog').forEach(function(element) { element.remove(); });
      end.querySelector('span').textContent = sentence;
      end.hidden = false;
      end.querySelector('a').focus();
    };
    if (document.readyState != 'loading') show();
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
  // A style sheet that failed before this ran: none, or none of its rules
  // (Chromium keeps an empty one).
  document.querySelectorAll('link[rel=stylesheet]').forEach(function(link) {
    if (!link.sheet || !link.sheet.cssRules.length) stop(Missing);
  });
  if (typeof WebAssembly != 'object') {
    stop(Blocked);
    return;
  }

  // The program, fetched once, in every engine: the page names it for its
  // first wave of requests, and this takes that answer. WebKit hands a
  // preloaded response only to a request of the same mode and credentials
  // as the page's link, which has no crossorigin: a same-origin no-cors
  // request, whose answer is as readable as any of its origin's.
  // Once its bytes are in, its digest (or, without a secure context, where
  // there is none to take, its size) and its compiled module are made at
  // once, while tintara.js may still be on its way; a compile error waits
  // for the digest, which tells a broken file from a blocked one.
  var program = fetch('tintara.wasm', {mode: 'no-cors', credentials: 'include'}).then(function(response) {
    if (!response.ok) throw Missing;
    return response.arrayBuffer();
  }, function() { throw Offline; }).then(function(bytes) {
    return Promise.all([
      self.crypto && crypto.subtle ? crypto.subtle.digest('SHA-256', bytes).then(function(hash) {
        return Array.from(new Uint8Array(hash), function(byte) {
          return (byte + 256).toString(16).slice(1);
        }).join('');
      }) : bytes.byteLength + '',
      WebAssembly.compile(bytes).catch(function() { return null; })]);
  });
  program.catch(function() {});

  // Called by tintara.js with its imports, where its instance goes, and the
  // digest and size of its own build's program: a program from another build
  // is never run.
  self.tintaraStart = function(imports, receive, digest, size) {
    program
      .then(function(made) {
        // Once the sentence shows, no program starts.
        if (stopped) throw Stopped;
        if (made[0] != (self.crypto && crypto.subtle ? digest : size)) throw Missing;
        if (!made[1]) throw Blocked;
        return WebAssembly.instantiate(made[1], imports).catch(function(error) {
          throw error instanceof WebAssembly.LinkError ? Missing : Blocked;
        });
      })
      .then(function(instance) { if (!stopped) receive(instance); },
            function(reason) { stop(typeof reason == 'string' ? reason : Stopped); });
  };
})();
