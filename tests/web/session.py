"""A local web server and the three browsers, Chromium, Firefox and WebKitGTK,
shared by the web build's test (tests/web/EndToEnd.py) and its benchmark
(bench/firstvisit.py)."""
import functools
import glob
import http.server
import json
import os
import shutil
import socket
import subprocess
import threading
import time

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

    def send_response(self, *args):
        time.sleep(self.delay)
        super().send_response(*args)

    def log_request(self, code='-', size='-'):
        self.server.requests.append((self.path, int(code)))

    def end_headers(self):
        if self.policy:
            self.send_header('Content-Security-Policy', self.policy)
        super().end_headers()


class Server(http.server.ThreadingHTTPServer):
    # A load that the browser cuts short is no error of the page's.
    def handle_error(self, *args):
        pass


class Site:
    """A folder served on 127.0.0.1, on a free port or the one given, `delay` s late."""

    def __init__(self, folder, port=0, policy=POLICY, delay=0):
        handler = type('Handler', (Quiet,), {'policy': policy, 'delay': delay})
        self.server = Server(('127.0.0.1', port), functools.partial(handler, directory=folder))
        self.server.requests = []  # (path, status) of each request answered
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


def webkit():
    """Debian's WebKitGTK through its WebDriver, WebKitWebDriver, driving its
    MiniBrowser, which needs an X display (the test starts Xvfb)."""
    from selenium.webdriver.webkitgtk.options import Options
    from selenium.webdriver.webkitgtk.service import Service as WebKitService
    options = Options()
    browsers = glob.glob('/usr/lib/*/webkit2gtk-4.*/MiniBrowser')
    options.binary_location = browsers[0]
    options.add_argument('--automation')
    driver = shutil.which('WebKitWebDriver')
    try:
        return webdriver.WebKitGTK(service=WebKitService(driver), options=options)
    except TypeError:  # selenium before 4.10 (Debian 12) takes the driver's path
        return webdriver.WebKitGTK(executable_path=driver, options=options)


def minibrowser():
    return bool(shutil.which('WebKitWebDriver') and glob.glob('/usr/lib/*/webkit2gtk-4.*/MiniBrowser'))


class Firefox:
    """Firefox ESR driven through WebDriver BiDi, its own protocol, over one
    WebSocket: a small client with the few commands the test uses, the same
    as the WebDriver sessions of the other engines offer (get, execute_script,
    clicks and keys as trusted input)."""

    def __init__(self, profile, dark=False):
        import asyncio
        import websockets
        os.makedirs(profile, exist_ok=True)
        with open(os.path.join(profile, 'user.js'), 'w') as prefs:
            # Nothing reaches for the network by itself.
            for pref in ('"browser.shell.checkDefaultBrowser", false',
                         '"browser.startup.homepage_override.mstone", "ignore"',
                         '"datareporting.policy.dataSubmissionEnabled", false',
                         '"toolkit.telemetry.reportingpolicy.firstRun", false',
                         '"app.update.disabledForTesting", true',
                         '"network.captive-portal-service.enabled", false',
                         '"network.connectivity-service.enabled", false',
                         '"browser.safebrowsing.update.enabled", false',
                         '"extensions.update.enabled", false'):
                prefs.write(f'user_pref({pref});\n')
            # The pages' scheme: 0 dark, 1 light.
            prefs.write('user_pref("layout.css.prefers-color-scheme.content-override", '
                        f'{0 if dark else 1});\n')
        with socket.socket() as probe:
            probe.bind(('127.0.0.1', 0))
            port = probe.getsockname()[1]
        self.process = subprocess.Popen(
            ['firefox-esr', '--headless', '--no-remote', '--profile', profile,
             f'--remote-debugging-port={port}', 'about:blank'],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.loop = asyncio.new_event_loop()
        asyncio.set_event_loop(self.loop)
        self.next = 0
        deadline = time.monotonic() + 60
        while True:
            try:
                self.socket = self.loop.run_until_complete(
                    websockets.connect(f'ws://127.0.0.1:{port}/session', max_size=None))
                break
            except Exception:  # not listening yet
                if time.monotonic() > deadline or self.process.poll() is not None:
                    self.process.kill()
                    raise RuntimeError('Firefox offers no WebDriver BiDi')
                time.sleep(0.2)
        try:
            self.send('session.new', capabilities={})
            self.context = self.send('browsingContext.getTree')['contexts'][0]['context']
        except Exception:
            self.process.kill()
            self.process.wait()
            raise

    def send(self, method, **params):
        import asyncio
        self.next += 1
        ident = self.next

        async def exchange():
            await self.socket.send(json.dumps({'id': ident, 'method': method, 'params': params}))
            while True:
                message = json.loads(await self.socket.recv())
                if message.get('id') == ident:
                    return message

        message = self.loop.run_until_complete(asyncio.wait_for(exchange(), 60))
        if message.get('type') == 'error':
            raise RuntimeError(f'{method}: {message.get("error")}: {message.get("message")}')
        return message['result']

    @staticmethod
    def value(remote):
        kind = remote.get('type')
        if kind in ('array', 'set'):
            return [Firefox.value(item) for item in remote.get('value', [])]
        if kind == 'object':
            return {key: Firefox.value(item) for key, item in remote.get('value', [])}
        return remote.get('value')

    def get(self, url):
        self.send('browsingContext.navigate', context=self.context, url=url, wait='complete')

    @property
    def switch_to(self):
        return self

    def new_window(self, kind):
        self.context = self.send('browsingContext.create', type=kind)['context']

    def execute_script(self, script, *arguments):
        result = self.send('script.callFunction', functionDeclaration=f'function() {{ {script} }}',
                           arguments=[self.local(argument) for argument in arguments],
                           target={'context': self.context}, awaitPromise=True)
        if result['type'] == 'exception':
            raise RuntimeError(result['exceptionDetails']['text'])
        return self.value(result['result'])

    @staticmethod
    def local(argument):
        if isinstance(argument, (int, float)):
            return {'type': 'number', 'value': argument}
        return {'type': 'string', 'value': str(argument)}

    def pointer(self, x, y, clicks=1):
        actions = [{'type': 'pointerMove', 'x': int(x), 'y': int(y)}]
        for _ in range(clicks):
            actions += [{'type': 'pointerDown', 'button': 0}, {'type': 'pointerUp', 'button': 0}]
        self.send('input.performActions', context=self.context, actions=[
            {'type': 'pointer', 'id': 'mouse', 'parameters': {'pointerType': 'mouse'},
             'actions': actions}])

    def keys(self, text):
        actions = []
        for key in text:
            actions += [{'type': 'keyDown', 'value': key}, {'type': 'keyUp', 'value': key}]
        self.send('input.performActions', context=self.context,
                  actions=[{'type': 'key', 'id': 'keyboard', 'actions': actions}])

    def quit(self):
        try:
            self.send('session.end')
            self.loop.run_until_complete(self.socket.close())
        except Exception:
            pass
        self.loop.close()
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class Xvfb:
    """A private X display for the engines that need one."""

    def __init__(self):
        read, write = os.pipe()
        self.process = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-screen', '0',
                                         '1024x768x24', '-nolisten', 'tcp'],
                                        pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as display:
            self.display = ':' + display.readline().strip()

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)
