#!/usr/bin/python3
"""The first visit of the web build, measured in headless Chromium against a
static page with the same 43 boxes and no WebAssembly: the bytes fetched and
the time from navigation to the first paint of the dealt board.

The static page is the game's own page as it stands once the board is dealt,
saved without its scripts, its manifest and its icon: the same elements,
style sheet and texts, drawn without running anything. Each load is a
first visit: the origin's storage, service worker and caches and the browser's
HTTP cache are cleared before it. The two pages are loaded in turn, one
uncounted round first. The time is the page's first contentful paint, which
for the game is the dealt board: the page shows nothing before the program
has made its window and dealt.

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
from session import Site, chromium  # noqa: E402

ICONS = ('icon-192.png', 'icon-512.png', 'maskable.png')


def first_paint(driver, url, ready, first=True):
    """Loads the page, as a first visit unless told otherwise; the first
    contentful paint in ms and the body bytes the page fetched itself, by
    file."""
    if first:
        origin = url.split('/', 3)[:3]
        driver.execute_cdp_cmd('Storage.clearDataForOrigin',
                               {'origin': '/'.join(origin), 'storageTypes': 'all'})
        driver.execute_cdp_cmd('Network.clearBrowserCache', {})
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
        ' return [e.name.split("/").pop() || "index.html", e.decodedBodySize]; })')
    return paint, dict(fetched)


def main():
    site = os.path.realpath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    work = tempfile.mkdtemp(prefix='tintara-bench-web-')
    folder = os.path.join(work, 'site')
    shutil.copytree(site, folder)
    # No content policy: the static page keeps its places in style attributes.
    server = Site(folder, policy=None)
    base = server.url
    driver = chromium(os.path.join(work, 'profile'))
    load = os.getloadavg()
    dealt = 'return document.querySelectorAll("[aria-label$=\\", empty\\"]").length == 1'
    try:
        driver.get(base)
        deadline = time.monotonic() + 20
        while not driver.execute_script(dealt) and time.monotonic() < deadline:
            time.sleep(0.05)
        static = driver.execute_script(
            'var page = document.documentElement.cloneNode(true);'
            'page.querySelectorAll("script, link:not([rel=stylesheet]), noscript, meta[http-equiv]")'
            '.forEach(function(e) { e.remove(); });'
            'return "<!doctype html>\\n" + page.outerHTML')
        with open(os.path.join(folder, 'static.html'), 'w') as out:
            out.write(static)

        pages = {'game': (base, dealt), 'static page': (base + 'static.html',
                                                         'return !!document.getElementById("Form1")')}
        times = {name: [] for name in list(pages) + ['repeat']}
        fetched = {}
        for round in range(runs + 1):
            for name, (url, ready) in pages.items():
                paint, files = first_paint(driver, url, ready)
                if round > 0 and paint is not None:
                    times[name].append(paint)
                fetched[name] = files
                if name != 'game':
                    continue
                # The game again, once its service worker has taken the page:
                # everything from the worker's cache.
                deadline = time.monotonic() + 20
                while (not driver.execute_script('return !!navigator.serviceWorker.controller')
                       and time.monotonic() < deadline):
                    time.sleep(0.02)
                paint, _ = first_paint(driver, base, dealt, first=False)
                if round > 0 and paint is not None:
                    times['repeat'].append(paint)
    finally:
        driver.quit()
        server.stop()

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

    game = statistics.median(times['game'])
    still = statistics.median(times['static page'])
    print(f'## First visit: {time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime())}')
    print()
    print(f'Headless Chromium, {runs} counted loads of each page (medians), the pages in turn;')
    print(f'load average {load[0]:.2f} {load[1]:.2f} {load[2]:.2f} at the start, '
          f'{" ".join(f"{x:.2f}" for x in os.getloadavg())} at the end.')
    print()
    print('| file | bytes | gzip -9 | fetched by |')
    print('|---|---:|---:|---|')
    for name in files:
        page = 'the page' if name in fetched['game'] else 'the service worker\'s registration'
        print(f'| {name} | {sizes[name][0]:,} | {sizes[name][1]:,} | {page} |')
    total = [sum(size[i] for size in sizes.values()) for i in (0, 1)]
    print(f'| **the game, in all** | **{total[0]:,}** | **{total[1]:,}** | |')
    print(f'| the static page | {static_size[0]:,} | {static_size[1]:,} | |')
    print()
    print('| page | navigation to first paint of the dealt board |')
    print('|---|---:|')
    print(f'| the game | {game:.1f} ms |')
    print(f'| the static page | {still:.1f} ms |')
    print(f'| **game / static page** | **{game / still:.2f}** |')
    print(f'| the game again, from its service worker\'s cache | '
          f'{statistics.median(times["repeat"]):.1f} ms |')
    shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()
