// The page side of the main window (Form1.cpp): everything the window does to
// the page goes through these functions, which it calls by name. They hold no
// layout, text or step of the game: the window gives each control its place,
// colours, font and text, and each event goes back to the window with the
// index of its control's record in the layout table. Each control's element
// has the control's name as its id.
mergeInto(LibraryManager.library, {
  $Page: {
    form: null,
    width: 0,
    height: 0,
    controls: [],
    // Whether a handler is running, or waiting on the page inside a message
    // box or a repaint. Meanwhile no other event enters the game: it is
    // dropped, as a window behind a modal box drops its clicks.
    busy: false,
    decoder: null,
    // The look that every control of a kind shares is the page's style sheet
    // (Form1.css), which a strict content policy allows where a <style>
    // element made here would be refused.

    text: function(pointer) {
      var end = pointer;
      while (HEAPU8[end]) ++end;
      Page.decoder = Page.decoder || new TextDecoder();
      return Page.decoder.decode(HEAPU8.subarray(pointer, end));
    },
    // The contrast of two CSS colours as the page resolves them, 1 to 21.
    ratio: function(one, other) {
      var probe = document.createElement('i');
      document.body.append(probe);
      var luminance = function(css) {
        probe.style.color = css;
        var rgb = getComputedStyle(probe).color.match(/[\d.]+/g).slice(0, 3).map(function(c) {
          c /= 255;
          return c <= 0.04045 ? c / 12.92 : Math.pow((c + 0.055) / 1.055, 2.4);
        });
        return 0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2] + 0.05;
      };
      var a = luminance(one);
      var b = luminance(other);
      probe.remove();
      return Math.max(a, b) / Math.min(a, b);
    },
    // The engine's button face and button text, where they read well
    // together (4.5:1 at least), as in every light scheme; where an engine's
    // dark scheme turns the text light on a face that stays light, the
    // page's own background and text in their place.
    pair: function() {
      var root = document.documentElement.style;
      root.removeProperty('--ButtonFace');
      root.removeProperty('--ButtonText');
      if (Page.ratio('ButtonFace', 'ButtonText') < 4.5) {
        root.setProperty('--ButtonFace', 'Canvas');
        root.setProperty('--ButtonText', 'CanvasText');
      }
      Page.controls.forEach(Page.legible);
    },
    // A label in a colour of its own, the counter's red or the instruction's
    // blue, on the button face: in a dark scheme, where it reads below 3:1
    // there (Chromium's dark face is mid grey, on which the red count reads
    // 1.3:1), the label takes the page's background where it reads better on
    // that. Light schemes keep the face.
    legible: function(label) {
      if (label.className != 'label') return;
      var style = label.style;
      style.backgroundColor = label.back;
      if (matchMedia('(prefers-color-scheme: dark)').matches &&
          Page.ratio(style.color, label.back) < 3 &&
          Page.ratio(style.color, 'Canvas') > Page.ratio(style.color, label.back)) {
        style.backgroundColor = 'Canvas';
      }
    },
    // A control of the window at its place, in CSS pixels at full size.
    add: function(index, name, element, left, top, width, height) {
      element.id = Page.text(name);
      element.style.cssText =
        'left:' + left + 'px;top:' + top + 'px;width:' + width + 'px;height:' + height + 'px';
      Page.controls[index] = element;
      Page.form.append(element);
    },
    deliver: function(index, event) {
      if (Page.busy || !Page.form) return;
      Page.busy = true;
      _tintara_event(index, event);
    },
    // At full size one CSS pixel is 15 twips; a narrower screen gets the
    // whole window, zoomed down, which the browser lays out and draws anew
    // at the smaller size, so that it stays sharp.
    fit: function() {
      if (!Page.form) return;
      var scale = Math.min(1, document.documentElement.clientWidth / Page.width,
                           innerHeight / Page.height);
      var style = Page.form.style;
      if ('zoom' in style) {
        style.zoom = scale < 1 ? scale : '';
      } else {
        style.transformOrigin = '0 0';
        style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
      }
    },
  },

  tintara_form__deps: ['$Page'],
  tintara_form: function(title, width, height, back) {
    document.title = Page.text(title);
    var form = document.createElement('main');
    form.id = 'Form1';
    form.setAttribute('aria-label', document.title);
    form.style.cssText = 'width:' + width + 'px;height:' + height + 'px';
    form.style.background = Page.text(back);
    var heading = document.createElement('h1');
    heading.textContent = document.title;
    form.append(heading);
    document.body.append(form);
    Page.pair();
    matchMedia('(prefers-color-scheme: dark)').addEventListener('change', Page.pair);
    Page.form = form;
    Page.width = width;
    Page.height = height;
    addEventListener('resize', Page.fit);
    Page.fit();
  },

  // The frame of the preview: an outline inside its rectangle, filled with
  // crossing diagonal lines, a tile of `hatchSize` pixels repeated from the
  // frame's corner.
  tintara_shape__deps: ['$Page'],
  tintara_shape: function(index, name, left, top, width, height, outline, fill, outlineWidth,
                          hatch, hatchSize) {
    var svg = 'http://www.w3.org/2000/svg';
    var shape = document.createElementNS(svg, 'svg');
    shape.setAttribute('aria-hidden', 'true');
    var make = function(tag, parent) {
      var element = document.createElementNS(svg, tag);
      parent.append(element);
      return element;
    };
    var pattern = make('pattern', make('defs', shape));
    pattern.id = 'hatch';
    pattern.setAttribute('patternUnits', 'userSpaceOnUse');
    pattern.setAttribute('width', hatchSize);
    pattern.setAttribute('height', hatchSize);
    var path = make('path', pattern);
    path.setAttribute('shape-rendering', 'crispEdges');
    path.setAttribute('d', Page.text(hatch));
    path.style.fill = Page.text(fill);
    var half = outlineWidth / 2;
    var rect = make('rect', shape);
    rect.setAttribute('fill', 'url(#hatch)');
    rect.setAttribute('x', half);
    rect.setAttribute('y', half);
    rect.setAttribute('width', width - outlineWidth);
    rect.setAttribute('height', height - outlineWidth);
    rect.setAttribute('stroke-width', outlineWidth);
    rect.style.stroke = Page.text(outline);
    Page.add(index, name, shape, left, top, width, height);
  },

  // A picture box: a board cell or a preview swatch. It keeps its colour word
  // as given, takes the focus, and tells the window of clicks and
  // double-clicks.
  tintara_box__deps: ['$Page'],
  tintara_box: function(index, name, left, top, width, height, click, doubleClick) {
    var box = document.createElement('div');
    box.className = 'box';
    box.setAttribute('role', 'img');
    box.tabIndex = 0;
    box.addEventListener('click', function() { Page.deliver(index, click); });
    box.addEventListener('dblclick', function() { Page.deliver(index, doubleClick); });
    Page.add(index, name, box, left, top, width, height);
  },

  // A push button with its caption, or with no caption and the name a screen
  // reader speaks. Enter and Space press it, as a button of the page.
  tintara_button__deps: ['$Page'],
  tintara_button: function(index, name, left, top, width, height, text, spoken, click) {
    var button = document.createElement('button');
    button.type = 'button';
    button.textContent = Page.text(text);
    spoken = Page.text(spoken);
    if (spoken) button.setAttribute('aria-label', spoken);
    button.addEventListener('click', function() { Page.deliver(index, click); });
    Page.add(index, name, button, left, top, width, height);
  },

  // The solid arrow of an arrow button: `count` points x, y in a box of 1 x 1
  // centred on the origin, drawn `size` pixels square.
  tintara_arrow__deps: ['$Page'],
  tintara_arrow: function(index, points, count, size) {
    var coordinates = [];
    for (var i = 0; i < 2 * count; i += 2) {
      coordinates.push(HEAPF64[(points >> 3) + i] + ',' + HEAPF64[(points >> 3) + i + 1]);
    }
    var svg = 'http://www.w3.org/2000/svg';
    var arrow = document.createElementNS(svg, 'svg');
    arrow.setAttribute('viewBox', '-0.5 -0.5 1 1');
    arrow.setAttribute('width', size);
    arrow.setAttribute('height', size);
    arrow.setAttribute('aria-hidden', 'true');
    var polygon = document.createElementNS(svg, 'polygon');
    polygon.setAttribute('points', coordinates.join(' '));
    arrow.append(polygon);
    Page.controls[index].append(arrow);
  },

  // A label: its text wrapped at word boundaries inside its box and cut off
  // at the box's edges.
  tintara_label__deps: ['$Page'],
  tintara_label: function(index, name, left, top, width, height, text, centred) {
    var label = document.createElement('div');
    label.className = 'label';
    label.textContent = Page.text(text);
    Page.add(index, name, label, left, top, width, height);
    if (centred) label.style.textAlign = 'center';
  },

  tintara_style__deps: ['$Page'],
  tintara_style: function(index, back, fore, font) {
    var control = Page.controls[index];
    var style = control.style;
    control.back = Page.text(back);
    style.backgroundColor = control.back;
    style.color = Page.text(fore);
    font = Page.text(font);
    if (font) style.font = font;
    Page.legible(control);
  },

  tintara_set_back__deps: ['$Page'],
  // A picture box's colour word, its colour and its spoken name; the empty
  // cell also carries the class `hole`, which marks it in forced colours
  // (Form1.css).
  tintara_set_back: function(index, color, css, name, hole) {
    var box = Page.controls[index];
    box.color = color >>> 0;
    box.classList.toggle('hole', hole != 0);
    box.style.backgroundColor = Page.text(css);
    box.setAttribute('aria-label', Page.text(name));
  },

  tintara_back__deps: ['$Page'],
  tintara_back: function(index) {
    return Page.controls[index].color;
  },

  tintara_set_text__deps: ['$Page'],
  tintara_set_text: function(index, text) {
    Page.controls[index].textContent = Page.text(text);
  },

  // The window is shown with the focus on its first control. Once the page
  // has loaded, the service worker keeps the site for playing offline.
  tintara_show__deps: ['$Page'],
  tintara_show: function(index) {
    Page.controls[index].focus();
    if (!('serviceWorker' in navigator)) return;
    var register = function() {
      // Under a policy that requires Trusted Types, the worker's address
      // goes through a policy of the page's own, which makes that one.
      var worker = self.trustedTypes ? trustedTypes.createPolicy('tintara', {
        createScriptURL: function() { return 'sw.js'; },
      }).createScriptURL('') : 'sw.js';
      navigator.serviceWorker.register(worker).catch(function() {});
    };
    // The worker starts a second after the page has loaded and the window
    // shows, not beside the first frame: its start and its downloads would
    // take the processor from the window's first paint.
    var later = function() { setTimeout(register, 1000); };
    if (document.readyState == 'complete') later();
    else addEventListener('load', later);
  },

  // A modal message box, role alertdialog: named by its title, described by
  // its text, with OK or Yes and No. The handler waits inside it for the
  // answer; 1 is Yes. Escape closes an OK box and does nothing to a question.
  tintara_message_box__deps: ['$Page', '$Asyncify'],
  tintara_message_box: function(text, title, yesNo) {
    text = Page.text(text);
    title = Page.text(title);
    return Asyncify.handleSleep(function(wakeUp) {
      var dialog = document.createElement('dialog');
      dialog.setAttribute('role', 'alertdialog');
      dialog.setAttribute('aria-modal', 'true');
      dialog.setAttribute('aria-labelledby', 'box-title');
      dialog.setAttribute('aria-describedby', 'box-text');
      var heading = document.createElement('div');
      heading.id = 'box-title';
      heading.textContent = title;
      var message = document.createElement('p');
      message.id = 'box-text';
      message.textContent = text;
      var buttons = document.createElement('div');
      dialog.append(heading, message, buttons);
      var answered = false;
      var answer = function(value) {
        if (answered) return;
        answered = true;
        dialog.close();
        dialog.remove();
        wakeUp(value);
      };
      (yesNo ? [['Yes', 1], ['No', 0]] : [['OK', 0]]).forEach(function(caption, place) {
        var button = document.createElement('button');
        button.type = 'button';
        button.textContent = caption[0];
        // The first is the default: it has the focus when the box opens.
        if (place == 0) button.autofocus = true;
        button.addEventListener('click', function() { answer(caption[1]); });
        buttons.append(button);
      });
      // As on Windows, Y and N answer a question, each its button's first
      // letter.
      var keys = function(event) {
        var key = event.type == 'cancel' ? 'escape' : event.key.toLowerCase();
        if (key == 'escape') {
          event.preventDefault();
          if (!yesNo) answer(0);
        } else if (yesNo && (key == 'y' || key == 'n')) {
          answer(key == 'y' ? 1 : 0);
        }
      };
      dialog.addEventListener('keydown', keys);
      dialog.addEventListener('cancel', keys);
      // A click beside the buttons, or on the window behind, leaves the focus
      // where it is.
      dialog.addEventListener('mousedown', function(event) {
        if (event.target == dialog) event.preventDefault();
      });
      // Where the browser closes the box itself all the same, a question
      // opens again: it can only be answered.
      dialog.addEventListener('close', function() {
        if (answered) return;
        if (yesNo) dialog.showModal();
        else answer(0);
      });
      document.body.append(dialog);
      dialog.showModal();
    });
  },

  // The whole window is drawn in the next frame; the handler goes on once
  // that frame is out. A hidden page draws nothing, and does not wait.
  tintara_repaint__deps: ['$Asyncify'],
  tintara_repaint: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      var resume = function() { setTimeout(wakeUp, 0); };
      if (document.hidden) resume();
      else requestAnimationFrame(resume);
    });
  },

  tintara_seconds_since_midnight: function() {
    var now = new Date();
    return (now.getHours() * 60 + now.getMinutes()) * 60 + now.getSeconds() +
           now.getMilliseconds() / 1000;
  },

  // The end of the game. An installed app's window closes; a browser tab is
  // never closed, whatever its history: the form leaves the page, and the
  // page's line for the end (index.html), under the page's heading, offers
  // to start again.
  tintara_end__deps: ['$Page'],
  tintara_end: function(text, again) {
    if (matchMedia('(display-mode: standalone), (display-mode: minimal-ui)').matches) {
      window.close();
    }
    if (window.closed) return;
    Page.form.remove();
    Page.form = null;
    Page.controls = [];
    removeEventListener('resize', Page.fit);
    var end = document.getElementById('end');
    var link = end.querySelector('a');
    end.querySelector('h1').textContent = document.title;
    end.querySelector('span').textContent = Page.text(text);
    link.textContent = Page.text(again);
    end.hidden = false;
    link.focus();
  },

  tintara_idle__deps: ['$Page'],
  tintara_idle: function() {
    Page.busy = false;
  },
});
