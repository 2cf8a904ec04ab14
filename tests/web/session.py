"""A local web server and headless Chromium, shared by the web build's test
(tests/web/EndToEnd.py) and its benchmark (bench/firstvisit.py)."""
import functools
import http.server
import os
import shutil
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


# The content policy a careful host sends with the site, which the game
# plays under unchanged.
POLICY = ("default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; "
          "img-src 'self' data:; object-src 'none'; base-uri 'none'; frame-ancestors 'none'; "
          "require-trusted-types-for 'script'")


class Quiet(http.server.SimpleHTTPRequestHandler):
    policy = POLICY

    def log_message(self, *args):
        pass

    def end_headers(self):
        if self.policy:
            self.send_header('Content-Security-Policy', self.policy)
        super().end_headers()


class Server(http.server.ThreadingHTTPServer):
    # A load that the browser cuts short is no error of the page's.
    def handle_error(self, *args):
        pass


class Site:
    """A folder served on 127.0.0.1, on a free port or the one given."""

    def __init__(self, folder, port=0, policy=POLICY):
        handler = type('Handler', (Quiet,), {'policy': policy})
        self.server = Server(('127.0.0.1', port), functools.partial(handler, directory=folder))
        self.port = self.server.server_address[1]
        self.url = f'http://127.0.0.1:{self.port}/'
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


def chromium(profile):
    """Debian's Chromium, headless, through ChromeDriver, with a profile of its
    own: nothing reaches for the network by itself, and as root there is no
    sandbox."""
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which('chromium')
    for flag in ('--headless', '--disable-gpu', '--disable-background-networking',
                 '--disable-component-update', '--no-first-run', '--disable-sync',
                 '--disable-features=BackForwardCache',
                 '--window-size=800,600', f'--user-data-dir={profile}'):
        options.add_argument(flag)
    if os.geteuid() == 0:
        options.add_argument('--no-sandbox')
    return webdriver.Chrome(service=Service(shutil.which('chromedriver')), options=options)
