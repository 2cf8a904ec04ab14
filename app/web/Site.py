#!/usr/bin/python3
"""The site's last step, once its other files are written: the page, which
names each file it loads with its integrity (the SHA-256 the browser checks)
and start.js with the build's name, which start.js carries too; then the
service worker, with each file it keeps and its integrity, and its cache
named with the version and the digest of them all. Run again on a site
whose files changed, it makes that site a build of its own.

usage: Site.py SITE VERSION TERSER
  SITE     the site's folder, with start.js, tintara.js, tintara.wasm,
           tintara.css, the manifest and the icons
  VERSION  the game's version, in the cache's name
  TERSER   the minifier
The page's template (index.html) and the worker's (sw.js.in) are beside
this script.
"""
import base64
import hashlib
import os
import re
import subprocess
import sys

# The files the worker keeps, the page ('./') first, and those the page loads.
FILES = ('./', 'start.js', 'tintara.js', 'tintara.wasm', 'tintara.css', 'manifest.webmanifest',
         'icon-192.png', 'icon-512.png', 'maskable.png')
PAGE = FILES[:5]
BUILD = '@TINTARA_BUILD@'


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    site, version, terser = sys.argv[1:]
    here = os.path.dirname(os.path.abspath(__file__))

    def read(name, folder=site):
        with open(os.path.join(folder, name), 'rb') as source:
            return source.read()

    def write(name, data):
        with open(os.path.join(site, name), 'wb') as target:
            target.write(data)

    def integrity(data):
        return 'sha256-' + base64.b64encode(hashlib.sha256(data).digest()).decode()

    # start.js as minified, without the name of the build it was last given.
    start = read('start.js')
    if BUILD.encode() not in start:
        named = re.search(rb'start\.js\?([0-9a-f]{16})"', read('index.html'))
        start = start.replace(named.group(1), BUILD.encode())
    page = read('index.html', here)
    stamps = {name: integrity(read(name)) for name in ('tintara.wasm', 'tintara.css', 'tintara.js')}
    build = hashlib.sha256(page + start + ' '.join(stamps.values()).encode()).hexdigest()[:16]
    write('start.js', start.replace(BUILD.encode(), build.encode()))
    for name, stamp in stamps.items():
        page = page.replace(f'@{name}@'.encode(), stamp.encode())
    write('index.html', page.replace(BUILD.encode(), build.encode()))

    # The page's files with their integrity; the manifest and the icons, which
    # no page's build depends on, as the server gives them.
    every = {file: integrity(read('index.html' if file == './' else file)) for file in FILES}
    digest = hashlib.sha256(''.join(f'{file} {stamp}\n' for file, stamp in every.items())
                            .encode()).hexdigest()[:12]
    kept = {(f'{file}?{build}' if file == 'start.js' else file): stamp if file in PAGE else ''
            for file, stamp in every.items()}
    with open(os.path.join(here, 'sw.js.in')) as source:
        worker = source.read()
    worker = (worker.replace('@TINTARA_VERSION_TEXT@', version).replace('@SITE_DIGEST@', digest)
              .replace('@SITE_FILES@', ',\n'.join(f"  '{file}': '{stamp}'"
                                                  for file, stamp in kept.items())))
    # Minified, as the page's scripts are (Minify.cmake).
    subprocess.run([terser, '--compress', '--mangle', '--toplevel', '--format',
                    'wrap_func_args=false', '--output', os.path.join(site, 'sw.js')],
                   input=worker.encode(), check=True,
                   env=dict(os.environ, NODE_PATH='/usr/share/nodejs'))


if __name__ == '__main__':
    main()
