#!/usr/bin/python3
"""The web build played in real headless Chromium, as a player would: trusted
clicks, taps and keys through WebDriver and the DevTools protocol, the board
and the message boxes read from the accessibility tree, the pixels from
screenshots. The site is unpacked from the web package and served on
127.0.0.1 by a server that the test stops to play offline.

usage: EndToEnd.py PACKAGE SOLVER AXE SITE VERSION TERSER
  PACKAGE the web package, the site in a zip (build/web/tintara-0.00-web.zip)
  SOLVER  reads the cells' accessible names and prints the arrow clicks that
          solve the board
  AXE     a folder for axe-core, which npm fetches there once (build/web/axe)
  SITE VERSION TERSER  app/web/Site.py, the version and terser, to make new builds
Exits 77 (skipped) where Chromium, ChromeDriver, selenium or ImageMagick's
convert is missing. Without npm or the registry the axe-core checks fail in CI
(CI set) and are skipped elsewhere.
"""
import base64
import itertools
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request
import zipfile

sys.dont_write_bytecode = True  # nothing written beside the sources
try:
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys

    from session import POLICY, Firefox, Site, Xvfb, chromium, minibrowser, webkit
except ImportError:
    chromium = None

failures = []

SITE = []  # [Site.py, version, terser]
BUILDS = {}  # each build's name by the one its page gives start.js ('' the package's)
# The accessibility checker the pages are run through, at this version only.
AXE_VERSION = '4.14.1'
axe = None


def fetch_axe(folder):
    """axe-core's script, fetched by npm into the folder at its first use;
    None where it cannot be had (it fails in CI)."""
    package = os.path.join(folder, 'node_modules', 'axe-core')

    def version():
        try:
            with open(os.path.join(package, 'package.json')) as source:
                return json.load(source).get('version')
        except (OSError, ValueError):
            return None

    if version() != AXE_VERSION and shutil.which('npm'):
        os.makedirs(folder, exist_ok=True)
        try:
            subprocess.run(['npm', 'install', '--no-save', '--no-audit', '--no-fund',
                            '--prefix', folder, '--cache', os.path.join(folder, 'cache'),
                            f'axe-core@{AXE_VERSION}'], stdout=subprocess.DEVNULL, timeout=180,
                           check=False)
        except subprocess.TimeoutExpired:
            pass
    try:
        if version() != AXE_VERSION:
            raise OSError
        with open(os.path.join(package, 'axe.min.js')) as source:
            return source.read()
    except OSError:
        why = f'axe-core {AXE_VERSION} from npm: apt-get install npm, and reach the npm registry'
        if os.environ.get('CI', '') not in ('', '0', 'false'):
            check('the accessibility checks have ' + why, False, True)
        else:
            print('SKIP: the accessibility checks: they need ' + why)
        return None


def check(what, actual, expected):
    if actual == expected:
        print(f'ok: {what}')
    else:
        print(f'FAIL: {what}: {actual!r}, expected {expected!r}')
        failures.append(what)


def rgb(css):
    return tuple(int(part) for part in re.findall(r'\d+', css)[:3])


def soon(read, done, seconds=10):
    """Reads until the reading is done, for at most `seconds`: the page
    answers clicks and keys in its own time."""
    deadline = time.monotonic() + seconds
    value = read()
    while not done(value) and time.monotonic() < deadline:
        time.sleep(0.05)
        value = read()
    return value


class Page:
    def __init__(self, driver):
        self.driver = driver

    def cdp(self, command, **arguments):
        return self.driver.execute_cdp_cmd(command, arguments)

    def js(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def accessible(self):
        """The accessibility tree as (role, name, description) of each node."""
        nodes = self.cdp('Accessibility.getFullAXTree')['nodes']
        return [(n['role']['value'], n.get('name', {}).get('value', ''),
                 n.get('description', {}).get('value', ''))
                for n in nodes if not n.get('ignored')]

    def cells(self):
        """The board cells' names, B1 to B16, as a screen reader hears them."""
        names = [name for role, name, _ in self.accessible()
                 if role == 'image' and re.match(r'B\d+, ', name)]
        return sorted(names, key=lambda name: int(name[1:name.index(',')]))

    def dealt(self):
        cells = soon(self.cells, lambda cells: len(cells) == 16, 20)
        return len(cells) == 16 and sum(name.endswith(', empty') for name in cells) == 1

    def box(self):
        """The open message box: its name, its description and its buttons."""
        tree = self.accessible()
        for i, (role, name, description) in enumerate(tree):
            if role == 'alertdialog':
                buttons = [n for r, n, _ in tree[i + 1:] if r == 'button']
                return name, description, buttons
        return None

    def counter(self):
        return self.js('return document.getElementById("lblNum").textContent')

    def control(self, name):
        """A control by the name a screen reader speaks for it."""
        return self.driver.find_element(By.CSS_SELECTOR, f'[aria-label="{name}"]')

    def named(self, name):
        """A control by its name in the window: its element's id."""
        return self.driver.find_element(By.ID, name)

    def answer(self, caption):
        self.driver.find_element(
            By.XPATH, f'//dialog[@open]//button[normalize-space()="{caption}"]').click()

    def keys(self, *keys):
        ActionChains(self.driver).send_keys(*keys).perform()

    def back_tab(self, times=1):
        for _ in range(times):
            ActionChains(self.driver).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(
                Keys.SHIFT).perform()

    def focused(self):
        return self.js('var e = document.activeElement;'
                       'return e.getAttribute("aria-label") || e.textContent')

    def hole(self):
        return [name.endswith(', empty') for name in self.cells()].index(True)

    def pixels(self):
        """A screenshot as rows of (r, g, b), in device pixels."""
        png = base64.b64decode(self.cdp('Page.captureScreenshot', format='png')['data'])
        width = int.from_bytes(png[16:20], 'big')
        raw = subprocess.run(['convert', 'png:-', '-depth', '8', 'rgb:-'], input=png,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout
        pixels = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
        return [pixels[row:row + width] for row in range(0, len(pixels), width)]

    def rect(self, element):
        """Where an element is, in CSS pixels: left, top, width, height."""
        return self.js('var r = arguments[0].getBoundingClientRect();'
                       'return [r.x, r.y, r.width, r.height]', element)

    def centre(self, element):
        left, top, width, height = self.rect(element)
        return left + width / 2, top + height / 2

    def color(self, element, prop='backgroundColor'):
        return rgb(self.js(f'return getComputedStyle(arguments[0]).{prop}', element))


# The arrows by the solver's letters: Up slides the tile below the empty cell
# up, so the empty cell goes down.
ARROW = {'U': 'Up', 'D': 'Down', 'L': 'Left', 'R': 'Right'}


def long_move(hole):
    """An arrow that moves a tile at least twice in a row from this board."""
    row, column = divmod(hole, 4)
    return max(('U', 3 - row), ('D', row), ('L', 3 - column), ('R', column),
               key=lambda move: move[1])[0]


def play(page, solver):
    board = page.cells()
    moves = subprocess.run([solver], input='\n'.join(board) + '\n', text=True,
                           stdout=subprocess.PIPE, check=True, timeout=120).stdout.strip()
    check('the solver finds a way', bool(moves) and '?' not in moves, True)
    arrows = {letter: page.control(name) for letter, name in ARROW.items()}
    for move in moves[:-1]:
        arrows[move].click()
    check('the counter before the last move', page.counter(), str(len(moves) - 1))
    arrows[moves[-1]].click()
    check('the win message', soon(page.box, bool),
          ('Winner!', f'You win the game! And you have spent {len(moves)} course(courses)',
           ['OK']))
    page.answer('OK')
    check('the play-again question', soon(page.box, bool),
          ('Attention!', 'Will you play once again?', ['Yes', 'No']))
    page.answer('Yes')
    check('Yes deals a new game', soon(page.counter, lambda text: text == '0'), '0')
    check('the new board is dealt', page.dealt() and page.cells() != board, True)


def keyboard(page):
    """Tab walks the layout's order from cmdUp; Space, Enter and Escape act as
    on Windows."""
    check('the focus starts on cmdUp', page.focused(), 'Up')
    walk = []
    for _ in range(8):
        page.keys(Keys.TAB)
        walk.append(page.focused().split(',')[0])
    check('the tab order', walk, ['Left', 'Down', 'Right', 'About', 'Exit', 'B1', 'B2', 'B3'])
    page.back_tab(3)
    check('Shift+Tab walks back to Exit', page.focused(), 'Exit')
    # An arrow that would move a tile, and where it is.
    centre = page.centre(page.control(ARROW[long_move(page.hole())]))
    count = page.counter()
    page.keys(Keys.SPACE)
    check('Space presses Exit', soon(page.box, bool),
          ('Attention!', 'Maybe will you play once again?(NO - Exit)', ['Yes', 'No']))
    check('Yes is the default button', page.focused(), 'Yes')
    page.keys(Keys.ESCAPE)
    time.sleep(0.2)
    page.keys(Keys.ESCAPE)
    time.sleep(0.2)
    check('Escape does nothing to the Exit question', page.box() is not None, True)
    # A click on the window behind the box reaches nothing.
    for kind in ('mousePressed', 'mouseReleased'):
        page.cdp('Input.dispatchMouseEvent', type=kind, x=centre[0], y=centre[1],
                 button='left', clickCount=1)
    check('no move while the box is open', page.counter(), count)
    page.keys(Keys.ENTER)
    check('Enter presses Yes: a new game', soon(page.box, lambda box: box is None), None)
    check('the count is reset', page.counter(), '0')
    check('the focus is back on Exit', page.focused(), 'Exit')
    page.back_tab()
    page.keys(Keys.ENTER)
    check('Enter presses About', soon(page.box, bool),
          ('About the game', 'Tintara has made by Orlandek', ['OK']))
    page.keys(Keys.ESCAPE)
    check('Escape closes the About message', soon(page.box, lambda box: box is None), None)
    check('About changes nothing', page.counter(), '0')


def shortcut(page):
    board = page.cells()
    ActionChains(page.driver).double_click(page.named('Picture10')).perform()
    check('a double-click on Picture10 announces a win', soon(page.box, bool),
          ('Winner!', 'You win the game! And you have spent 0 course(courses)', ['OK']))
    page.answer('OK')
    soon(page.box, lambda box: box and box[0] == 'Attention!')
    page.answer('Yes')
    soon(page.box, lambda box: box is None)
    check('its Yes only repaints', (page.cells(), page.counter()), (board, '0'))


def sharp(page):
    """At devicePixelRatio 2 a cell's edges are whole device pixels: two of each
    edge colour, then the cell's own colour exactly."""
    page.cdp('Emulation.setDeviceMetricsOverride', width=600, height=400, deviceScaleFactor=2,
             mobile=False)
    cell = page.control(page.cells()[0])
    left, top, width, height = page.rect(cell)
    pixels = page.pixels()
    row = pixels[int(2 * (top + height / 2))][int(2 * left):int(2 * (left + width))]
    runs = [(pixel, len(list(same))) for pixel, same in itertools.groupby(row)]
    check('B1 at twice the density: 2 + 2 edge pixels each side',
          [count for _, count in runs], [2, 2, int(2 * width) - 8, 2, 2])
    check('B1 at twice the density: its own colour', runs[2][0], page.color(cell))
    # The frame's crossing diagonals, in the strip left of the swatches, inside
    # its outline: the tile of eight pixels twice the size.
    left, top, _, _ = page.rect(page.named('Shape1'))
    ink = (0xC0, 0xC0, 0xFF)
    wrong = sum(((x // 2 % 8 == y // 2 % 8) or (x // 2 % 8 + y // 2 % 8 == 7)) !=
                (pixels[int(2 * top) + y][int(2 * left) + x] == ink)
                for x in range(4, 16) for y in range(4, 200))
    check('the frame\'s diagonals at twice the density: pixels off the tile', wrong, 0)
    page.cdp('Emulation.clearDeviceMetricsOverride')


def dark(page):
    hole = page.control(page.cells()[page.hole()])
    label = page.named('Label2')
    light = page.color(hole), page.color(label, 'color')
    page.cdp('Emulation.setEmulatedMedia', features=[{'name': 'prefers-color-scheme',
                                                       'value': 'dark'}])
    probe = page.js('var p = document.createElement("i"); document.body.append(p);'
                    'p.style.color = "ButtonFace"; var face = getComputedStyle(p).color;'
                    'p.style.color = "ButtonText"; var text = getComputedStyle(p).color;'
                    'p.remove(); return [face, text]')
    probe = tuple(rgb(css) for css in probe)
    now = page.color(hole), page.color(label, 'color')
    check('the dark scheme: the empty cell and the label text follow it',
          (now, now != light), (probe, True))
    x, y = page.centre(hole)
    check('the dark scheme: the empty cell is painted so', page.pixels()[int(y)][int(x)],
          probe[0])
    worst = contrast(Engine('Chromium', page.driver))
    check('Chromium, dark: every button and label reads at 4.5:1 at least, the count at 3:1',
          (worst[0] >= 4.5, worst[2] >= 3), (True, True))
    # Forced colours: a tenth of the empty cell, inside its edge, at 3:1 to each tile.
    lum = lambda rgb: .05 + sum(w * (c / 3294.6 if c < 11 else ((c + 14.025) / 269.025) ** 2.4)
                                for w, c in zip((.2126, .7152, .0722), rgb))
    tiles = [lum(page.color(page.control(name))) for name in page.cells() if ', empty' not in name]
    x, y, w, h = (int(v) for v in page.rect(hole))
    forced = {'name': 'forced-colors', 'value': 'active'}
    for scheme in ('light', 'dark'):
        page.cdp('Emulation.setEmulatedMedia',
                 features=[forced, {'name': 'prefers-color-scheme', 'value': scheme}])
        cell = [lum(p) for row in page.pixels()[y + 2:y + h - 2] for p in row[x + 2:x + w - 2]]
        check(f'forced colours, {scheme}: a tenth of the empty cell at 3:1 to each tile',
              min(sum(max(p, t) >= 3 * min(p, t) for p in cell) for t in tiles) * 10 >= len(cell),
              True)
    page.cdp('Emulation.setEmulatedMedia', features=[])


def phone(page, url):
    """A phone's 360 x 640 screen: the window fits it, and quick taps on an
    arrow are each a move, never a zoom."""
    page.cdp('Emulation.setDeviceMetricsOverride', width=360, height=640, deviceScaleFactor=3,
             mobile=True)
    page.cdp('Emulation.setTouchEmulationEnabled', enabled=True, maxTouchPoints=5)
    page.driver.get(url)
    check('the phone deals', page.dealt(), True)
    fit = page.js('var r = document.getElementById("Form1").getBoundingClientRect();'
                  'return [r.right <= 360, r.width > 340,'
                  ' document.documentElement.scrollWidth <= 360]')
    check('the window fits the phone', fit, [True, True, True])
    move = long_move(page.hole())
    x, y = page.centre(page.control(ARROW[move]))
    for _ in range(2):
        for kind, points in (('touchStart', [{'x': x, 'y': y}]), ('touchEnd', [])):
            page.cdp('Input.dispatchTouchEvent', type=kind, touchPoints=points)
        time.sleep(0.08)
    check('two quick taps are two moves', soon(page.counter, lambda text: text == '2'), '2')
    check('and no zoom', page.js('return visualViewport.scale'), 1)
    page.cdp('Emulation.setTouchEmulationEnabled', enabled=False)
    page.cdp('Emulation.clearDeviceMetricsOverride')


def offline(page, site, folder, url):
    """After one visit the game loads and plays with the server gone. The
    worker answers only for the site's own files and page; a new build's
    worker keeps only files that match its digests, and takes over when no
    game of the old build is open."""
    page.driver.get(url)
    registration = ('return navigator.serviceWorker.getRegistration().then(function(r) {'
                    ' return r ? [!!r.active, !!r.waiting] : []; })')
    soon(lambda: page.js(registration), lambda state: state == [True, False], 20)
    page.driver.get(url)
    controlled = soon(lambda: page.js('return !!navigator.serviceWorker.controller'), bool, 20)
    check('the service worker controls the page', controlled, True)
    caches = 'var done = arguments[0]; caches.keys().then(done)'
    old = page.driver.execute_async_script(caches)
    check('one cache, named with the folder', [name.endswith(f' {url}') for name in old], [True])

    # Other pages beside the game, and addresses that are none of its files.
    with open(os.path.join(folder, 'other.html'), 'w') as other:
        other.write('<!doctype html><title>Other</title><p>Another page')
    os.mkdir(os.path.join(folder, 'blog'))
    with open(os.path.join(folder, 'blog', 'index.html'), 'w') as other:
        other.write('<!doctype html><title>Blog</title><p>A blog')
    reach = []
    for address, expected in (('other.html', 'Another page'), ('blog/', 'A blog'),
                              ('no-such-page', 'Error response'), ('sw.js', '"use strict";')):
        page.driver.get(url + address)
        body = page.js('return document.body ? document.body.innerText : ""')
        # Chromium sends them there without starting the worker.
        reach.append((address, expected in body and not page.js(
            'return !!document.getElementById("Form1")'), page.js(
            'return performance.getEntriesByType("navigation")[0].workerMatchedSourceType')))
    check('the worker leaves other addresses to the server, unstarted', reach,
          [(address, True, 'network') for address, *_ in reach])

    site.stop()
    page.driver.get(url)
    check('offline: the game loads', page.dealt(), True)
    move = long_move(page.hole())
    page.control(ARROW[move]).click()
    check('offline: it plays', soon(page.counter, lambda text: text == '1'), '1')

    # A new build's worker during its upload: its tintara.wasm is still the
    # old one on the server.
    wasm = pathlib.Path(folder, 'tintara.wasm')
    program = wasm.read_bytes()
    rebuild(folder, 'next', program + b'\x00\x05\x04next')
    uploaded = wasm.read_bytes()
    wasm.write_bytes(program)
    site = Site(folder, site.port)
    for _ in range(2):
        site.server.requests.clear()
        page.driver.get(url)
        # The browser checks for a new worker some time after the load.
        soon(lambda: ('/sw.js', 200) in site.server.requests, bool, 15)
        time.sleep(1)
    check('a file of another build: the new cache is not used, and the next load fetches'
          ' nothing again but the worker', [page.js(REGISTRATION), old[0] in page.driver.
                                            execute_async_script(caches),
                                            {path for path, _ in site.server.requests}],
          [[True, False, False], True, {'/sw.js'}])
    check('and the game still plays', page.dealt(), True)
    wasm.write_bytes(uploaded)
    takeover(Engine('Chromium', page.driver), folder, url)
    return site


def rebuild(folder, name, program=None):
    """`folder` made a new build, `name`, which its style sheet and scripts say."""
    for file, line in (('tintara.css', f':root{{--build:{name}}}'),
                       ('tintara.js', f';self.build="{name}"'), ('start.js', f';self.start="{name}"')):
        with open(os.path.join(folder, file), 'a') as target:
            target.write(line + '\n')
    if program:
        pathlib.Path(folder, 'tintara.wasm').write_bytes(program)
    subprocess.run([sys.executable, SITE[0], folder] + SITE[1:], check=True)
    BUILDS[named(folder)] = name


def named(folder):
    return re.search(r'start\.js\?(\w+)', pathlib.Path(folder, 'index.html').read_text())[1]


def takeover(engine, folder, url):
    """Each load is one build, the new one's by the second load, reloaded in a
    row or after another site, another page of the site open all along."""
    def load(address=url, settle=False):
        engine.driver.get(address)
        state = soon(lambda: engine.js(
            'var s = document.querySelector("script[src^=start]"); return [getComputedStyle('
            'document.documentElement).getPropertyValue("--build").trim(), self.build || "",'
            ' self.start || "", s.src.split("?")[1], !!document.getElementById("lblNum")]'),
            lambda state: state[4], 20)
        # Until the page has asked for its worker: after loads cut short at
        # once, Chromium 156 can keep a new build, and the next load, waiting.
        soon(lambda: engine.js('return document.readyState'), lambda s: s == 'complete', 20)
        time.sleep(1.5)
        if settle:  # the browser's look for a new build, which the page asks for, waited for
            engine.js('return navigator.serviceWorker.getRegistration().then(function(r) {'
                      ' return r.update(); }).then(function() {}, function() {})')
            soon(lambda: engine.js('return navigator.serviceWorker.getRegistration().then('
                                   'function(r) { return r.active.state == "activated" &&'
                                   ' !r.waiting && !r.installing; })'), bool, 20)
        return [BUILDS.get(state[3], '?')] + state

    rebuild(folder, 'one')
    engine.driver.get(url + 'other.html')
    tabs = getattr(engine.driver, 'window_handles', [])
    engine.driver.switch_to.new_window('tab')
    loads = [load() for _ in range(5)] + [load(settle=True), load()]
    check(f'{engine.name}: reloaded in a row as a new build takes over, each load is one build'
          ' that deals; then the new build', [[page[:4] == [page[0]] * 4 and page[5] for page in loads],
                                             loads[-1][0]], [[True] * 7, 'one'])
    rebuild(folder, 'two')
    loads = [load(settle=True)]
    # Another site: the same server by another name.
    engine.driver.get(url.replace('127.0.0.1', 'localhost') + 'other.html')
    loads += [load(), load()]
    check(f'{engine.name}: after leaving for another site, the new build by the second load',
          [page[0] for page in loads[1:]], ['two', 'two'])
    if tabs:  # WebDriver's tabs as they were
        engine.driver.close()
        engine.driver.switch_to.window(tabs[0])


def stopped(page, folder, url):
    """The sentence, with its link, that takes the window's place where the
    game cannot load or stops."""
    def broken(change, policy=POLICY, read=said):
        work = folder + '-broken'
        shutil.rmtree(work, ignore_errors=True)
        shutil.copytree(folder, work)
        change(work)
        site = Site(work, policy=policy)
        try:
            page.driver.get(site.url)
            return read(page)
        finally:
            site.stop()

    def remove(name):
        return lambda work: os.remove(os.path.join(work, name))

    def rewrite(name, edit):
        def change(work):
            with open(os.path.join(work, name), 'rb') as source:
                data = source.read()
            with open(os.path.join(work, name), 'wb') as target:
                target.write(edit(data))
        return change

    missing = 'The game could not load: the site on the server is incomplete'
    blocked = 'The game could not start: this browser, or the site\'s content policy, blocks'
    # Another build's program: a valid one that differs by a custom section.
    other = rewrite('tintara.wasm', lambda data: data + b'\x00\x06\x05build')
    cases = [('tintara.wasm missing', remove('tintara.wasm'), POLICY, missing),
             ('tintara.wasm cut short', rewrite('tintara.wasm', lambda data: data[:1000]), POLICY,
              missing),
             ('tintara.js missing', remove('tintara.js'), POLICY, missing),
             ('tintara.wasm of another build', other, POLICY, missing),
             ('no wasm-unsafe-eval in the server\'s policy', lambda work: None,
              POLICY.replace(" 'wasm-unsafe-eval'", ''), blocked)]
    seen = [(what, broken(change, policy)[0].startswith(sentence))
            for what, change, policy, sentence in cases]
    check('a load that fails says so', seen, [(what, True) for what, *_ in cases])
    check('without start.js the game deals', broken(remove('start.js'), read=Page.dealt), True)
    # A fault at run time: the page refuses the window's next change.
    page.driver.get(url)
    page.dealt()
    page.js('Element.prototype.setAttribute = function() { throw new Error("refused"); }')
    page.control(ARROW[long_move(page.hole())]).click()
    check('an error at run time says so', soon(lambda: said(page), lambda line: line[0])[0],
          'The game stopped on an error.')


def said(page):
    """The sentence in the window's place and its link, or ''."""
    return soon(lambda: page.js(
        'var p = document.querySelector("main > p"), a = p && p.querySelector("a");'
        'return p && p.getClientRects().length && !document.getElementById("Form1") && a &&'
        ' a.textContent == "Reload" && a.href == location.href ?'
        ' [p.firstChild.textContent.trim(), true] : ["", false]'),
        lambda line: line[1], 10)


def manifest(page, url):
    """The web app's manifest as Chromium reads it, and its maskable icon: a
    PNG of its stated size, opaque, with nothing but its background outside
    the central circle that a launcher's shape keeps (two fifths of the side
    in radius)."""
    page.driver.get(url)
    # Chromium reads the manifest in its own time once the page names it.
    read = soon(lambda: page.cdp('Page.getAppManifest'), lambda r: r.get('data') or r.get('errors'))
    data = json.loads(read.get('data') or '{}')
    check('the manifest reads without errors, with its colours',
          (read.get('errors'), 'theme_color' in data, 'background_color' in data),
          ([], True, True))
    icons = [icon for icon in data.get('icons', []) if icon.get('purpose') == 'maskable']
    check('the manifest has a maskable icon', len(icons), 1)
    if not icons:
        return
    with urllib.request.urlopen(url + icons[0]['src'], timeout=10) as response:
        png = response.read()
    width, height = int.from_bytes(png[16:20], 'big'), int.from_bytes(png[20:24], 'big')
    check('the maskable icon is a PNG of its stated size',
          (png[:8], f'{width}x{height}'), (b'\x89PNG\r\n\x1a\n', icons[0]['sizes']))
    raw = subprocess.run(['convert', 'png:-', '-depth', '8', 'rgba:-'], input=png,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout
    pixels = [raw[i:i + 4] for i in range(0, len(raw), 4)]
    outside = {pixels[y * width + x] for y in range(height) for x in range(width)
               if (x + 0.5 - width / 2) ** 2 + (y + 0.5 - height / 2) ** 2 > (0.4 * width) ** 2}
    check('the maskable icon: opaque, one colour outside its central circle',
          (all(pixel[3] == 255 for pixel in pixels), len(outside)), (True, 1))


def end(page, url):
    """No ends the game. A tab opened for the game alone is not closed: the
    line in the window's place offers to play again."""
    before = set(page.driver.window_handles)
    page.cdp('Target.createTarget', url=url)
    page.driver.switch_to.window((set(page.driver.window_handles) - before).pop())
    check('the game alone in its tab', page.dealt() and page.js('return history.length'), 1)
    page.named('cmdExit').click()
    soon(page.box, bool)
    page.keys('n')
    check('N answers No: the form leaves the page',
          soon(lambda: page.js('return document.querySelectorAll("#Form1, dialog").length'),
               lambda count: count == 0), 0)
    line = page.js('return document.querySelector("main p").innerText').strip()
    check('one line says the game has ended', line, 'The game has ended. Play again')
    check('the tab stays open', len(page.driver.window_handles), 2)
    page.driver.find_element(By.LINK_TEXT, 'Play again').click()
    check('its link starts the game again', page.dealt(), True)


class Engine:
    """One scenario's view of a browser, the same in every engine: loads,
    scripts, and trusted clicks and keys, through WebDriver (Chromium,
    WebKitGTK) or WebDriver BiDi (Firefox)."""

    def __init__(self, name, driver):
        self.name = name
        self.driver = driver

    def js(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def click(self, selector, clicks=1):
        if isinstance(self.driver, Firefox):
            x, y = self.js('var r = document.querySelector(arguments[0]).getBoundingClientRect();'
                           'return [r.x + r.width / 2, r.y + r.height / 2]', selector)
            self.driver.pointer(x, y, clicks)
        else:
            element = self.driver.find_element(By.CSS_SELECTOR, selector)
            chain = ActionChains(self.driver)
            (chain.double_click(element) if clicks == 2 else chain.click(element)).perform()

    def box(self):
        """The open message box's title, text and buttons, or None."""
        return self.js('var d = document.querySelector("dialog[open]");'
                       'return d ? [d.firstChild.textContent, d.children[1].textContent,'
                       ' Array.from(d.querySelectorAll("button"), function(b) {'
                       '  return b.textContent; })] : null')

    def answer(self, caption):
        place = {'OK': 1, 'Yes': 1, 'No': 2}[caption]
        self.click(f'dialog[open] button:nth-child({place})')


def contrast(engine):
    """The lowest ratio of text to its own background among the buttons and
    the labels whose colours follow the system's, with its control, and the count's."""
    return engine.js("""
        var luminance = function(css) {
          var rgb = css.match(/[\\d.]+/g).slice(0, 3).map(function(c) {
            c /= 255;
            return c <= 0.04045 ? c / 12.92 : Math.pow((c + 0.055) / 1.055, 2.4);
          });
          return 0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2] + 0.05;
        };
        var worst = [99, ''];
        document.querySelectorAll('#Form1 > button, #Form1 > .label').forEach(function(e) {
          if (e.id == 'Label1' || e.id == 'lblNum') return;
          var style = getComputedStyle(e);
          var a = luminance(style.color), b = luminance(style.backgroundColor);
          var ratio = Math.max(a, b) / Math.min(a, b);
          if (ratio < worst[0]) worst = [Math.round(ratio * 100) / 100, e.id];
        });
        var count = getComputedStyle(document.getElementById('lblNum'));
        var a = luminance(count.color), b = luminance(count.backgroundColor);
        return worst.concat([Math.max(a, b) / Math.min(a, b)]);""")


def audit(engine, what):
    """axe-core on the page as it stands: nothing of moderate impact or above."""
    if axe is None:
        return
    if engine.js('return !window.axe'):
        engine.js(axe)
    found = engine.js('return axe.run(document, {resultTypes: ["violations"]}).then(function(r) {'
                      ' return r.violations.filter(function(v) { return v.impact != "minor"; })'
                      '  .map(function(v) { return v.id + " (" + v.impact + "): " +'
                      '   v.nodes.map(function(n) { return n.target.join(" "); }).join(", "); });'
                      '})')
    check(f'{engine.name}: axe-core, moderate and above, on {what}', found, [])


REGISTRATION = ('return navigator.serviceWorker.getRegistration().then(function(r) {'
                ' return r ? [!!r.active, !!r.waiting, !!r.installing] : []; })')


def everywhere(engine, folder):
    """What every engine must do alike, on a first visit of its own."""
    site = Site(folder)
    try:
        engine.driver.get(site.url)
        cells = soon(lambda: engine.js(
            'return Array.from(document.querySelectorAll("#Form1 > [role=img]"),'
            ' function(e) { return e.getAttribute("aria-label"); })'), lambda c: len(c) == 32, 20)
        board = [name for name in cells if re.match(r'B\d+, ', name)]
        check(f'{engine.name}: the page deals a board',
              (len(board), sum(name.endswith(', empty') for name in board)), (16, 1))
        # What the server sent, the worker's install included (twice in
        # WebKitGTK, where no fetch reaches an HTTP cache: docs/web.md).
        soon(lambda: engine.js(REGISTRATION), lambda state: state[:1] == [True], 20)
        paths = [path for path, _ in site.server.requests]
        check(f'{engine.name}: requests per file, the worker\'s install included',
              max(map(paths.count, paths)), 2 if engine.name == 'WebKitGTK' else 1)
        worst = contrast(engine)
        check(f'{engine.name}: every button and label reads at 4.5:1 at least', worst[0] >= 4.5,
              True)
        if worst[0] < 4.5:
            print(f'   the lowest: {worst}')
        audit(engine, 'the page as dealt')
        engine.click('#cmdAbout')
        check(f'{engine.name}: About opens its box', soon(engine.box, bool),
              ['About the game', 'Tintara has made by Orlandek', ['OK']])
        audit(engine, 'a message box')
        engine.answer('OK')
        check(f'{engine.name}: OK closes it', soon(engine.box, lambda box: box is None), None)
        hole = [name.endswith(', empty') for name in board].index(True)
        move = {'U': 'cmdUp', 'D': 'cmdDown', 'L': 'cmdLeft', 'R': 'cmdRight'}[long_move(hole)]
        engine.click('#' + move)
        counter = 'return document.getElementById("lblNum").textContent'
        check(f'{engine.name}: an arrow moves a tile',
              soon(lambda: engine.js(counter), lambda text: text == '1'), '1')
        engine.click('#Picture10', 2)
        check(f'{engine.name}: a double-click on Picture10 announces a win',
              soon(engine.box, bool),
              ['Winner!', 'You win the game! And you have spent 1 course(courses)', ['OK']])
        engine.answer('OK')
        check(f'{engine.name}: then asks to play again',
              soon(engine.box, lambda box: box and box[0] == 'Attention!'),
              ['Attention!', 'Will you play once again?', ['Yes', 'No']])
        engine.answer('Yes')
        soon(engine.box, lambda box: box is None)
        # Until the handler behind the box has repainted, the page drops
        # clicks: Exit again until its box opens.
        for _ in range(5):
            engine.click('#cmdExit')
            if soon(engine.box, bool, 2):
                break
        engine.answer('No')
        check(f'{engine.name}: No leaves the line in the tab, which stays open',
              soon(lambda: engine.js('var p = document.querySelector("main:not([hidden]) > p");'
                                     'return p && !window.closed ? p.innerText.trim() : ""'),
                   bool), 'The game has ended. Play again')
        audit(engine, 'the ended page')
    finally:
        site.stop()
    # Without the program or the style sheet: the sentence, and no game after it.
    for name in ('tintara.wasm', 'tintara.css'):
        incomplete = f'{folder}-without-{name}'
        if not os.path.isdir(incomplete):
            shutil.copytree(folder, incomplete, ignore=shutil.ignore_patterns(name))
        site = Site(incomplete)
        try:
            engine.driver.get(site.url)
            line = said(engine)[0][:23]
            time.sleep(1)
            check(f'{engine.name}: without {name}, the sentence alone, an alert, its link focused',
                  [line, said(engine)[1]] + engine.js(
                      'var p = document.querySelector("#end > p");'
                      'return [p.getAttribute("role"), document.activeElement == p.lastChild]'),
                  ['The game could not load', True, 'alert', True])
            audit(engine, f'the page without {name}')
        finally:
            site.stop()
    # Two builds in two folders of one server: each keeps its cache through
    # the other's visit, and both play with the server gone.
    both = folder + '-both'
    shutil.rmtree(both, ignore_errors=True)
    # Each copy a build of its own.
    for copy in ('a', 'b'):
        shutil.copytree(folder, os.path.join(both, copy))
        rebuild(os.path.join(both, copy), copy)
    site = Site(both)
    a, b = site.url + 'a/', site.url + 'b/'
    try:
        for address in (a, b):
            engine.driver.get(address)
            soon(lambda: engine.js(REGISTRATION), lambda state: state[:1] == [True], 20)
        state = [sorted(name.split(' ')[-1] for name in engine.js('return caches.keys()'))]
        site.stop()
        for address in (a, b):
            engine.driver.get(address)
            state.append(soon(lambda: engine.js('return !!document.getElementById("lblNum")'),
                              bool))
        check(f'{engine.name}: two builds in two folders, each with its cache, both offline',
              state, [[a, b], True, True])
        site = Site(both, site.port)
        pathlib.Path(both, 'a', 'other.html').write_text('<!doctype html><title>Other</title>')
        takeover(engine, os.path.join(both, 'a'), a)
    finally:
        site.stop()


def in_dark(engine, folder):
    """The page in the engine's dark scheme: its buttons and labels still
    read well."""
    site = Site(folder)
    try:
        engine.driver.get(site.url)
        soon(lambda: engine.js('return !!document.getElementById("lblNum")'), bool, 20)
        check(f'{engine.name}, dark: the page is in the dark scheme',
              engine.js('return matchMedia("(prefers-color-scheme: dark)").matches'), True)
        worst = contrast(engine)
        check(f'{engine.name}, dark: every button and label reads at 4.5:1 at least, the count '
              'at 3:1', (worst[0] >= 4.5, worst[2] >= 3), (True, True))
        if worst[0] < 4.5:
            print(f'   the lowest: {worst}')
    finally:
        site.stop()


def engines(folder, work):
    """The shared scenario in Firefox ESR and WebKitGTK, where installed,
    each then started again in its dark scheme."""
    if shutil.which('firefox-esr'):
        for dark in (False, True):
            try:
                firefox = Firefox(os.path.join(work, f'firefox-{dark}'), dark)
            except RuntimeError as error:
                check('Firefox starts with WebDriver BiDi', str(error), '')
                break
            try:
                (in_dark if dark else everywhere)(Engine('Firefox', firefox), folder)
            finally:
                firefox.quit()
    else:
        print('skipped: Firefox, firefox-esr is not installed')
    if minibrowser() and shutil.which('Xvfb'):
        display = Xvfb()
        os.environ['DISPLAY'] = display.display
        try:
            for dark in (False, True):
                # MiniBrowser takes its scheme from the GTK theme.
                if dark:
                    os.environ['GTK_THEME'] = 'Adwaita:dark'
                driver = webkit()
                try:
                    (in_dark if dark else everywhere)(Engine('WebKitGTK', driver), folder)
                finally:
                    driver.quit()
        finally:
            os.environ.pop('GTK_THEME', None)
            display.stop()
    else:
        print('skipped: WebKitGTK, webkit2gtk-driver or xvfb is not installed')


def main():
    global axe
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    package, solver, axe_folder = sys.argv[1:4]
    SITE[:] = sys.argv[4:]
    needed = ('chromium', 'chromedriver', 'convert')
    if chromium is None or not all(shutil.which(program) for program in needed):
        print('skipped: needs chromium, chromium-driver, python3-selenium and imagemagick')
        return 77

    axe = fetch_axe(axe_folder)
    work = tempfile.mkdtemp(prefix='tintara-web-')
    folder = os.path.join(work, 'site')
    with zipfile.ZipFile(package) as archive:
        archive.extractall(folder)
    BUILDS[named(folder)] = ''
    site = Site(folder)
    url = site.url
    driver = chromium(os.path.join(work, 'profile'))
    try:
        driver.set_page_load_timeout(30)
        driver.set_script_timeout(30)
        page = Page(driver)
        everywhere(Engine('Chromium', driver), folder)
        driver.get(url)
        check('the page deals a board', page.dealt(), True)
        check('the counter shows 0', page.counter(), '0')
        names = [name for role, name, _ in page.accessible() if role == 'button']
        check('the buttons by name', names, ['Up', 'Left', 'Down', 'Right', 'About', 'Exit'])
        keyboard(page)
        play(page, solver)
        shortcut(page)
        sharp(page)
        dark(page)
        phone(page, url)
        manifest(page, url)
        site = offline(page, site, folder, url)
        end(page, url)
        stopped(page, folder, site.url)
        driver.quit()
        driver = None
        engines(folder, work)
    finally:
        if driver:
            driver.quit()
        site.stop()
        shutil.rmtree(work, ignore_errors=True)
    print(f'{len(failures)} failed' if failures else 'all passed')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
