// The page's start: it fetches the program while tintara.js loads, and puts
// one sentence in the window's place, with a link that reloads, where the
// game cannot load or stops on an error, instead of leaving the page blank.
// The page names every other file it needs before this one, so that all of
// them come in one wave of requests (Chromium fetches nothing ahead of the
// parser on a page with a content policy of its own), and runs it before
// tintara.js, once its style sheet has loaded or failed.
//
// A page is one build: the page names each file with its integrity, which the
// browser checks (a file of another build fails to load), and this script
// with the build's name, which it checks itself. A page that finds a file of
// another build, as when a new build takes over while it loads, or a file
// missing, loads again once, past the browser's cache, before it says so.
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

  // The first time in this tab that the page misses a file of its build, it
  // fetches each of its files again from the server and reloads; the second
  // time running, it says so. A game that starts forgets it.
  var tried = 'tintara ' + location.pathname;
  var again = function() {
    if (stopped) return;
    try {
      if (!sessionStorage.getItem(tried)) {
        sessionStorage.setItem(tried, 1);
        stopped = true;
        Promise.all(Array.from(document.querySelectorAll('[integrity], script[src]'), function(file) {
          return fetch(file.src || file.href, {cache: 'reload'}).catch(function() {});
        })).then(function() { location.reload(); });
        return;
      }
    } catch (error) {
      // No storage for the tab: the sentence at once, never a loop of loads.
    }
    stop(Missing);
  };

  // A script or the style sheet that does not load or is of another build,
  // or an error the game does not catch, while loading or at any time after.
  addEventListener('error', function(event) {
    var target = event.target;
    if (target instanceof HTMLScriptElement || target instanceof HTMLLinkElement) {
      if (target.rel != 'icon' && target.rel != 'manifest') again();
    } else {
      stop(event.error instanceof SyntaxError ? Missing : Stopped);
    }
  }, true);
  addEventListener('unhandledrejection', function() { stop(Stopped); });
  // This script of another build than the page, which names it with its own.
  if (document.currentScript.src.split('?')[1] != '@TINTARA_BUILD@') again();
  // A style sheet that failed before this ran: none, or none of its rules
  // (Chromium keeps an empty one).
  document.querySelectorAll('link[rel=stylesheet]').forEach(function(link) {
    if (!link.sheet || !link.sheet.cssRules.length) again();
  });
  if (typeof WebAssembly != 'object') {
    stop(Blocked);
    return;
  }

  // The program, fetched once, in every engine: the page names it, with its
  // integrity, for its first wave of requests, and this takes that answer.
  // WebKit hands a preloaded response only to a request of the same mode and
  // credentials as the page's link, which has no crossorigin: a same-origin
  // no-cors request, whose answer is as readable as any of its origin's. It
  // is compiled as soon as its bytes are in, while tintara.js may still be on
  // its way. A fetch that fails is asked again without the integrity, which
  // tells a program of another build from a server that did not answer.
  var link = document.querySelector('link[as=fetch]');
  var program = fetch(link.href, {mode: 'no-cors', credentials: 'include', integrity: link.integrity})
    .then(function(response) {
      if (!response.ok) throw Missing;
      return response.arrayBuffer();
    }, function() {
      return fetch(link.href, {cache: 'no-store'}).then(function() { throw Missing; },
                                                        function() { throw Offline; });
    }).then(function(bytes) {
      return WebAssembly.compile(bytes).catch(function() { throw Blocked; });
    });
  program.catch(function() {});

  // Called by tintara.js with its imports and where its instance goes: its
  // program is the one the page names.
  self.tintaraStart = function(imports, receive) {
    program
      .then(function(module) {
        // Once the sentence shows, or the page loads again, no program starts.
        if (stopped) throw Stopped;
        return WebAssembly.instantiate(module, imports).catch(function(error) {
          throw error instanceof WebAssembly.LinkError ? Missing : Blocked;
        });
      })
      .then(function(instance) {
        if (stopped) return;
        try {
          sessionStorage.removeItem(tried);
        } catch (error) {
        }
        receive(instance);
      }, function(reason) {
        if (reason == Missing) again();
        else stop(typeof reason == 'string' ? reason : Stopped);
      });
  };
})();
