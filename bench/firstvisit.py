#!/usr/bin/python3
"""The first visit of the web build, measured in Chromium, Firefox ESR and
WebKitGTK (where installed) against a static page with the same 43 boxes and
no WebAssembly: the bytes fetched and the time from navigation to the first
paint of the dealt board, on loopback and with every answer of the server
150 ms late (and in Chromium also under its emulation of a phone's network).

The static page is the game's own page as it stands once the board is dealt,
saved without its scripts, its manifest and its icon: the same elements,
style sheet and texts, drawn without running anything. Each load is a first
visit: every page is loaded from an origin of its own (a new port), which no
engine has a cache, storage or service worker for. The two pages are loaded
in turn, one uncounted round first. The time is the page's first contentful
paint, which for the game is the dealt board: the page shows nothing before
the program has made its window and dealt.

usage: firstvisit.py SITE [RUNS] > report.md
"""
import gzip
import os
import shutil
import statistics
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, os.path.join(os.path.dirname(os.path.realpath(__file__)), '..', 'tests', 'web'))
from session import Firefox, Site, Xvfb, chromium, minibrowser, webkit  # noqa: E402

ICONS = ('icon-192.png', 'icon-512.png', 'maskable.png')


DEALT = 'return document.querySelectorAll("[aria-label$=\\", empty\\"]").length == 1'
STATIC = 'return !!document.getElementById("Form1")'


def first_paint(driver, url, ready):
    """Loads the page; the first contentful paint in ms and the body bytes
    the page fetched itself, by file."""
    driver.get('about:blank')
    driver.get(url)
    deadline = time.monotonic() + 20
    while not driver.execute_script(ready) and time.monotonic() < deadline:
        time.sleep(0.02)
    paint = None
    while paint is None and time.monotonic() < deadline:
        paint = driver.execute_script(
            'var p = performance.getEntriesByName("first-contentful-paint")[0];'
            'return p ? p.startTime : null')
    fetched = driver.execute_script(
        'return performance.getEntriesByType("navigation").concat('
        'performance.getEntriesByType("resource")).map(function(e) {'
        ' return [e.name.split("?")[0].split("/").pop() || "index.html", e.decodedBodySize]; })')
    return paint, dict(fetched)


# The networks each engine meets: loopback, and every answer of the server
# 150 ms late, as over a phone's network; Chromium also under its own
# emulation of such a network (150 ms, 1.6 Mbit/s down, 0.75 up).
LATE = 0.150
EMULATED = {'offline': False, 'latency': 150, 'downloadThroughput': 1.6e6 / 8,
            'uploadThroughput': 0.75e6 / 8}


def networks(driver):
    """The networks of `driver`'s engine, each as (name, server's delay),
    set up in turn as they are walked."""
    yield 'loopback', 0
    yield '+150 ms', LATE
    if hasattr(driver, 'execute_cdp_cmd'):
        driver.execute_cdp_cmd('Network.enable', {})
        driver.execute_cdp_cmd('Network.emulateNetworkConditions', EMULATED)
        yield 'emulated phone', 0
        driver.execute_cdp_cmd('Network.disable', {})


def measure(driver, folder, runs, delay=0):
    """The engine's times, each page loaded RUNS times from an origin of its
    own after one uncounted round, and the files the game's page fetched."""
    times = {'game': [], 'static page': [], 'repeat': []}
    fetched = {}
    for round in range(runs + 1):
        for name, page, ready in (('game', '', DEALT), ('static page', 'static.html', STATIC)):
            site = Site(folder, policy=None, delay=delay)
            try:
                paint, files = first_paint(driver, site.url + page, ready)
                if round > 0 and paint is not None:
                    times[name].append(paint)
                if name != 'game':
                    continue
                fetched = files
                # The game again, once its service worker is active: everything
                # from the worker's cache.
                driver.execute_script(
                    'return Promise.race([navigator.serviceWorker.ready.then(function() {'
                    ' return true; }), new Promise(function(done) { setTimeout(done, 20000); })])')
                paint, _ = first_paint(driver, site.url, DEALT)
                if round > 0 and paint is not None:
                    times['repeat'].append(paint)
            finally:
                site.stop()
    return {name: statistics.median(values) if values else None
            for name, values in times.items()}, fetched


def main():
    site = os.path.realpath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    work = tempfile.mkdtemp(prefix='tintara-bench-web-')
    folder = os.path.join(work, 'site')
    shutil.copytree(site, folder)
    load = os.getloadavg()
    results = {}
    fetched = {}
    display = None
    try:
        driver = chromium(os.path.join(work, 'profile'))
        try:
            # The static page, saved from the game's dealt page. No content
            # policy: it keeps the places in style attributes.
            server = Site(folder, policy=None)
            driver.get(server.url)
            deadline = time.monotonic() + 20
            while not driver.execute_script(DEALT) and time.monotonic() < deadline:
                time.sleep(0.05)
            static = driver.execute_script(
                'var page = document.documentElement.cloneNode(true);'
                'page.querySelectorAll("script, link:not([rel=stylesheet]), noscript, meta[http-equiv]")'
                '.forEach(function(e) { e.remove(); });'
                'return "<!doctype html>\\n" + page.outerHTML')
            server.stop()
            with open(os.path.join(folder, 'static.html'), 'w') as out:
                out.write(static)
            for network, delay in networks(driver):
                results['Chromium', network], files = measure(driver, folder, runs, delay)
                fetched = fetched or files
        finally:
            driver.quit()
        if shutil.which('firefox-esr'):
            driver = Firefox(os.path.join(work, 'firefox'))
            try:
                for network, delay in networks(driver):
                    results['Firefox ESR', network], _ = measure(driver, folder, runs, delay)
            finally:
                driver.quit()
        if minibrowser() and shutil.which('Xvfb'):
            display = Xvfb()
            os.environ['DISPLAY'] = display.display
            driver = webkit()
            try:
                for network, delay in networks(driver):
                    results['WebKitGTK', network], _ = measure(driver, folder, runs, delay)
            finally:
                driver.quit()
    finally:
        if display:
            display.stop()

    # Everything a first visit fetches, icons aside: the page's own fetches
    # and, once it has loaded, the service worker's, which keeps every file
    # of the site.
    files = sorted(name for name in os.listdir(site) if name not in ICONS)
    sizes = {}
    for name in files:
        with open(os.path.join(site, name), 'rb') as source:
            data = source.read()
        sizes[name] = (len(data), len(gzip.compress(data, 9, mtime=0)))
    with open(os.path.join(folder, 'static.html'), 'rb') as source:
        data = source.read()
    static_size = (len(data), len(gzip.compress(data, 9, mtime=0)))

    def ms(value):
        return f'{value:.1f} ms' if value is not None else 'no paint entry'

    print(f'## First visit: {time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime())}')
    print()
    print(f'{runs} counted loads of each page in each engine (medians), the pages in turn;')
    print(f'load average {load[0]:.2f} {load[1]:.2f} {load[2]:.2f} at the start, '
          f'{" ".join(f"{x:.2f}" for x in os.getloadavg())} at the end.')
    print()
    print('| file | bytes | gzip -9 | fetched by |')
    print('|---|---:|---:|---|')
    for name in files:
        page = 'the page' if name in fetched else 'the service worker\'s registration'
        print(f'| {name} | {sizes[name][0]:,} | {sizes[name][1]:,} | {page} |')
    total = [sum(size[i] for size in sizes.values()) for i in (0, 1)]
    print(f'| **the game, in all** | **{total[0]:,}** | **{total[1]:,}** | |')
    print(f'| the static page | {static_size[0]:,} | {static_size[1]:,} | |')
    print()
    print('Navigation to the first paint of the dealt board:')
    print()
    print('| engine | network | the game | the static page | **game / static page** '
          '| the game again, from its worker\'s cache |')
    print('|---|---|---:|---:|---:|---:|')
    for (engine, network), times in results.items():
        game, still = times['game'], times['static page']
        ratio = f'**{game / still:.2f}**' if game and still else '–'
        print(f'| {engine} | {network} | {ms(game)} | {ms(still)} | {ratio} '
              f'| {ms(times["repeat"])} |')
    shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()
