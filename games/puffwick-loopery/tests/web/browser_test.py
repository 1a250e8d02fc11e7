#!/usr/bin/python3
"""The web build in a real browser.

Serves build/web/ on 127.0.0.1, opens it in headless Chromium (software WebGL)
and drives the browser in real time through its DevTools protocol: the page must
load and show the title (the stripes and the start prompt, as on the desktop)
drawn by the game's own OpenGL renderer; a click on the start prompt must start
the sound and a game whose train moves between two captures; F11 must offer the
screenshot as a download; the Setup.ini that Tab writes must survive a reload
of the page; Escape and a click on the farewell must end the game with the
page's "Play again". All with no console error on the way. Prints the frame
rates the game itself measures on the title and in a game.

Usage: browser_test.py [--web DIR] [--timeout S] [--save PNG]
Exit codes: 0 pass, 1 fail.
"""
import argparse
import base64
import functools
import http.server
import io
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

import websocket
from PIL import Image

CHROMIUM_FLAGS = [
    "--headless=new", "--no-sandbox", "--use-gl=angle", "--use-angle=swiftshader",
    "--enable-unsafe-swiftshader", "--disable-gpu", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--window-size=1024,768", "--remote-debugging-port=0", "--remote-debugging-address=127.0.0.1",
]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    """A static server on a free loopback port, in a thread; returns (server, url)."""
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


class Browser:
    """Headless Chromium with a fresh profile and one page driven over DevTools."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="puffwick_chromium_")
        exe = shutil.which("chromium") or shutil.which("chromium-browser")
        if not exe:
            raise RuntimeError("chromium is not installed")
        self.proc = subprocess.Popen(
            [exe, *CHROMIUM_FLAGS, "--user-data-dir=" + self.profile, "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.time() + 30
        while not (os.path.exists(port_file) and open(port_file).read().strip()):
            if time.time() > deadline or self.proc.poll() is not None:
                raise RuntimeError("chromium did not open its DevTools port")
            time.sleep(0.1)
        port = int(open(port_file).read().split()[0])
        pages = []
        while not pages:
            with urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port) as r:
                pages = [t for t in json.load(r) if t.get("type") == "page"]
            if not pages:
                time.sleep(0.1)
        self.ws = websocket.create_connection(pages[0]["webSocketDebuggerUrl"], timeout=60,
                                              suppress_origin=True)
        self.next_id = 0
        self.errors = []  # console errors and uncaught exceptions, as text
        self.console = []  # every console line, for the failure report
        for domain in ("Runtime", "Log", "Page"):
            self.call(domain + ".enable")

    def close(self):
        try:
            self.ws.close()
        except Exception:
            pass
        self.proc.terminate()
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.profile, ignore_errors=True)

    def _event(self, message):
        method, params = message.get("method"), message.get("params", {})
        if method == "Runtime.consoleAPICalled":
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in params.get("args", []))
            self.console.append("%s: %s" % (params.get("type"), text))
            if params.get("type") in ("error", "assert"):
                self.errors.append(text)
        elif method == "Runtime.exceptionThrown":
            details = params.get("exceptionDetails", {})
            text = details.get("exception", {}).get("description") or details.get("text", "exception")
            self.errors.append(text)
        elif method == "Log.entryAdded":
            entry = params.get("entry", {})
            self.console.append("log %s: %s" % (entry.get("level"), entry.get("text")))
            if entry.get("level") == "error":
                self.errors.append("%s (%s)" % (entry.get("text"), entry.get("url", "")))

    def call(self, method, **params):
        self.next_id += 1
        my_id = self.next_id
        self.ws.send(json.dumps({"id": my_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.ws.recv())
            if message.get("id") == my_id:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self._event(message)

    def key(self, name, code):
        """Presses and lets go of a key, held for a few frames as a hand would."""
        for kind in ("rawKeyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=name, code=name, windowsVirtualKeyCode=code)
            time.sleep(0.2)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        return result.get("result", {}).get("value")

    def canvas_shot(self):
        """The canvas as the page shows it (composited), as a PIL image; None before it has a size."""
        rect = self.evaluate("(() => { const r = document.getElementById('canvas').getBoundingClientRect();"
                             " return [r.left, r.top, r.width, r.height]; })()")
        if not rect or rect[2] < 16 or rect[3] < 16:
            return None
        data = self.call("Page.captureScreenshot", format="png")["data"]
        page = Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB")
        left, top, width, height = (int(round(v)) for v in rect)
        return page.crop((left, top, left + width, top + height))


def share(shot, test):
    """Share of the canvas (every 4th pixel each way) whose (r, g, b) passes `test`."""
    w, h = shot.size
    px = shot.load()
    hits = total = 0
    for y in range(0, h, 4):
        for x in range(0, w, 4):
            total += 1
            hits += test(*px[x, y])
    return hits / max(total, 1)


def title_figures(shot):
    """Share of the canvas in stripe blue, and pink prompt pixels in the centre box."""
    w, h = shot.size
    px = shot.load()
    blue = share(shot, lambda r, g, b: r < 24 and g < 24 and b > 50)
    # The prompt's box: 400 by 80 of the game's 800 by 600 around the centre.
    sx, sy = w / 800.0, h / 600.0
    pink = 0
    for y in range(int(h / 2 - 40 * sy), int(h / 2 + 40 * sy)):
        for x in range(int(w / 2 - 200 * sx), int(w / 2 + 200 * sx)):
            r, g, b = px[x, y]
            pink += r > 200 and g > 100 and b > 100
    return blue, pink


def green_share(shot):
    """Share of the canvas in the game's green field."""
    return share(shot, lambda r, g, b: g > 16 and g > 2 * r and g > 2 * b)


def changed_pixels(a, b):
    """How many sampled pixels differ between two captures of the same size."""
    if a.size != b.size:
        return a.size[0] * a.size[1]
    pa, pb = a.load(), b.load()
    return sum(1 for y in range(0, a.size[1], 2) for x in range(0, a.size[0], 2)
               if max(abs(c - d) for c, d in zip(pa[x, y], pb[x, y])) > 24)


def click(browser, fx, fy):
    """A left click at a point of the canvas given in the game's 800 by 600."""
    rect = browser.evaluate("(() => { const r = document.getElementById('canvas').getBoundingClientRect();"
                            " return [r.left, r.top, r.width, r.height]; })()")
    x, y = rect[0] + rect[2] * fx / 800.0, rect[1] + rect[3] * fy / 600.0
    # As a hand would: the pointer rests on the spot, then the button is held for
    # a few frames (the title reads the held button, and software WebGL is slow).
    browser.call("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)
    time.sleep(0.3)
    for kind in ("mousePressed", "mouseReleased"):
        browser.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)
        time.sleep(0.5)


def wait_for(browser, test, timeout):
    """Captures the canvas every second until test(capture) holds; the last capture."""
    start, shot = time.time(), None
    while time.time() - start < timeout:
        time.sleep(1)
        shot = browser.canvas_shot()
        if shot is not None and test(shot):
            break
    return shot


TIMEOUT = 180  # seconds for the title to show; --timeout
LOG = "/save/Files/Debug.txt"
SETUP = "/save/Files/Setup.ini"


def read_file(browser, path):
    return browser.evaluate("(() => { try { return FS.readFile('%s', {encoding: 'utf8'}); }"
                            " catch (e) { return null; } })()" % path)


def measured_fps(browser, seconds):
    """The frame rates the game measured, sampled twice a second."""
    figures = []
    for _ in range(int(seconds * 2)):
        time.sleep(0.5)
        figures.append(browser.evaluate("Module._puffwick_measured_fps()"))
    return figures


def wait_for_title(browser, timeout):
    shot = wait_for(browser, lambda s: title_figures(s)[0] > 0.3 and title_figures(s)[1] > 50, timeout)
    figures = title_figures(shot) if shot else (0, 0)
    return shot, figures, figures[0] > 0.3 and figures[1] > 50


def project_version():
    """The version in the project() line of the top CMakeLists.txt."""
    root = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", ".."))
    with open(os.path.join(root, "CMakeLists.txt")) as f:
        match = re.search(r"^project\(PuffwickLoopery VERSION ([0-9.]+)", f.read(), re.M)
    return match.group(1) if match else "?"


def play(browser, failures, downloads):
    """The first visit: title, sound, a game, a screenshot, the settings saved."""
    start = time.time()
    shot, figures, shown = wait_for_title(browser, TIMEOUT)
    print("title after %.1f s: blue share %.2f, prompt pixels %d" % (time.time() - start, *figures))
    if not shown:
        failures.append("the title was not drawn")
        return shot
    # Drawn by our own GL renderer, not by the fall-back after it failed.
    log = read_file(browser, LOG) or ""
    if "Using OpenGL Driver" not in log or "Renderer failed to start" in log:
        failures.append("the OpenGL renderer did not start; the log says:\n" + log)
    if "Reading Setup File" in log:
        failures.append("a fresh browser profile already had a Setup.ini")
    version = browser.evaluate("Module.UTF8ToString(Module._puffwick_version())")
    if version != "puffwick-loopery " + project_version():
        failures.append("the page's version is %r, not the project's %s" % (version, project_version()))
    print("title: the page is %s" % version)
    # Only the leaderboard server's own page posts games; a plain file server's never.
    if browser.evaluate("Module.leaderboardOrigin") != "":
        failures.append("a page from a plain file server found a leaderboard (%r)"
                        % browser.evaluate("Module.leaderboardOrigin"))
    print("title: the game measures %s frames a second" % measured_fps(browser, 3))
    sound = "(() => { try { return AL.currentCtx.audioCtx.state; } catch (e) { return 'none'; } })()"
    before = browser.evaluate(sound)
    # The prompt "Click Here to Start" sits just under the middle.
    click(browser, 400, 302)
    after = browser.evaluate(sound)
    print("sound before the first click: %s, after: %s" % (before, after))
    if after != "running":
        failures.append("the first click did not start the sound (%s)" % after)
    shot = wait_for(browser, lambda s: green_share(s) > 0.5, 60)
    share = green_share(shot) if shot else 0
    print("game field share %.2f" % share)
    if share <= 0.5:
        failures.append("a click on the start prompt did not start a game")
        return shot
    time.sleep(1)
    first = browser.canvas_shot()
    time.sleep(1.5)
    second = browser.canvas_shot()
    moved = changed_pixels(first, second)
    print("pixels changed between two game captures: %d" % moved)
    if moved < 50:
        failures.append("the train did not move")
    print("game: the game measures %s frames a second" % measured_fps(browser, 3))
    browser.key("F11", 122)
    deadline = time.time() + 30
    while time.time() < deadline and not [f for f in os.listdir(downloads) if f.endswith(".png")]:
        time.sleep(0.5)
    got = [f for f in os.listdir(downloads) if f.endswith(".png")]
    print("downloads after F11: %s" % got)
    if not got:
        failures.append("F11 did not offer the screenshot as a download")
    browser.key("Tab", 9)
    setup = read_file(browser, SETUP)
    if not setup:
        failures.append("Tab did not write Setup.ini")
    deadline = time.time() + 10
    while time.time() < deadline and browser.evaluate("Module.saveFolderBusy()"):
        time.sleep(0.2)
    return second


def come_back(browser, failures):
    """The second visit, after a reload: the settings are there; the farewell ends it."""
    browser.call("Page.reload")
    shot, figures, shown = wait_for_title(browser, TIMEOUT)
    if not shown:
        failures.append("the title was not drawn after a reload")
        return shot
    log = read_file(browser, LOG) or ""
    if "Reading Setup File" not in log or not read_file(browser, SETUP):
        failures.append("Setup.ini did not survive the reload; the log says:\n" + log)
    else:
        print("Setup.ini survived the reload")
    browser.key("Escape", 27)
    time.sleep(3)
    click(browser, 400, 300)
    deadline = time.time() + 30
    while time.time() < deadline and not browser.evaluate(
            "getComputedStyle(document.getElementById('again')).display !== 'none'"):
        time.sleep(0.5)
    if browser.evaluate("getComputedStyle(document.getElementById('again')).display") == "none":
        failures.append("the farewell did not end with the page's Play again")
    else:
        print("the farewell ended with Play again")
    log = read_file(browser, LOG) or ""
    if not log.rstrip().endswith("Play again, soon!!"):
        failures.append("the log does not end with the closing lines:\n" + log[-300:])
    return browser.canvas_shot()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--web", default=os.path.join(here, "..", "..", "..", "..", "build", "web"))
    parser.add_argument("--timeout", type=float, default=180)
    parser.add_argument("--save", help="write the last canvas capture here")
    args = parser.parse_args()
    global TIMEOUT
    TIMEOUT = args.timeout
    if not os.path.exists(os.path.join(args.web, "index.html")):
        print("FAIL: no web build in %s (run ./web.sh --build)" % args.web)
        return 1

    server, url = serve(args.web)
    browser = Browser()
    downloads = tempfile.mkdtemp(prefix="puffwick_downloads_")
    failures = []
    try:
        browser.call("Browser.setDownloadBehavior", behavior="allow", downloadPath=downloads)
        browser.call("Page.navigate", url=url)
        shot = play(browser, failures, downloads)
        if not failures:
            shot = come_back(browser, failures)
        # Errors of the running game count too.
        time.sleep(1)
        browser.evaluate("1")
        if args.save and shot is not None:
            shot.save(args.save)
        if browser.errors:
            failures.append("console errors:\n  " + "\n  ".join(browser.errors))
    finally:
        browser.close()
        server.shutdown()
        shutil.rmtree(downloads, ignore_errors=True)
    if failures:
        print("console:\n  " + "\n  ".join(browser.console[-40:]))
        for f in failures:
            print("FAIL: " + f)
        print("0 passed, 1 failed")
        return 1
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
