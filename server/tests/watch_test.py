#!/usr/bin/python3
"""The leaderboard page and Watch in headless Chromium.

Starts puffwick-server with the web build at /play/ and a fresh SQLite database,
submits the golden replays, and checks in the browser that the page lists their
names and scores, and that a Watch link plays the replay in the canvas until the
page reports the replay's final score.

Usage: watch_test.py SERVER GOLDEN_DIR WEB_DIR PORT
"""
import json
import os
import subprocess
import sys
import tempfile
import time
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../games/puffwick-loopery/tests/web"))
from browser_test import Browser  # noqa: E402

server_bin, golden, web, port = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
work = tempfile.mkdtemp(prefix="leaderboard-watch-")
base = "http://127.0.0.1:%d" % port
log = open(os.path.join(work, "server.log"), "wb")
server = subprocess.Popen([os.path.abspath(server_bin), "--listen", "127.0.0.1:%d" % port, "--database",
                           "sqlite:" + os.path.join(work, "lb.db"), "--web", os.path.abspath(web)], cwd=work, stderr=log)
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


try:
    for _ in range(100):
        try:
            urllib.request.urlopen(base + "/api/v1/scores?difficulty=0", timeout=1).read()
            break
        except OSError:
            time.sleep(0.1)
    ids = {}
    for name in ("easy", "medium", "hard"):
        with open(os.path.join(golden, name + ".txt"), "rb") as f:
            req = urllib.request.Request(base + "/api/v1/replays", data=f.read(), method="POST",
                                         headers={"Content-Type": "application/octet-stream"})
        ids[name] = json.load(urllib.request.urlopen(req, timeout=60))["id"]
    browser = Browser()
    try:
        browser.call("Page.navigate", url=base + "/")
        time.sleep(1)
        text = browser.evaluate("document.body.innerText") or ""
        check(all(s in text for s in ("PlayerEASY", "4090", "PlayerMEDIUM", "3195", "PlayerHARD", "4570")),
              "the page shows the golden replays' names and scores")
        href = browser.evaluate("document.querySelector('#Easy a').href")
        check(href == base + "/play/?replay=%d" % ids["easy"], "Watch links to /play/?replay=ID (%s)" % href)
        browser.evaluate("document.querySelector('#Easy a').click()")
        result, deadline = None, time.time() + 240
        while result is None and time.time() < deadline:
            time.sleep(1)
            result = browser.evaluate("window.replayResult || null")
        shown = browser.evaluate("document.getElementById('help').textContent")
        check(result == "score 4090 frames 790" and "final score 4090" in (shown or ""),
              "Watch plays the replay in the canvas to its final score (%s / %s)" % (result, shown))
        check(not browser.errors, "no console error (%s)" % browser.errors[:3])
        if failures:
            print("\n".join(browser.console[-30:]))
    finally:
        browser.close()
finally:
    server.terminate()
    server.wait(30)
print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
