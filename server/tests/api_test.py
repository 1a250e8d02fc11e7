#!/usr/bin/env python3
"""The leaderboard server's API, end to end, against a real puffwick-server.

  api_test.py SERVER GOLDEN_DIR REPLAY_DIR DATABASE PORT [--pg-ctl CMD]

GOLDEN_DIR holds easy/medium/hard.txt; REPLAY_DIR what leaderboard-test-replays
wrote. DATABASE is sqlite:PATH or a postgresql:// URL. With --pg-ctl, a command that
takes "stop" or "start": the test stops the database under the server and starts it again.
"""
import http.client
import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time

SERVER, GOLDEN, REPLAYS, DATABASE, PORT = sys.argv[1:6]
PORT = int(PORT)
SERVER, GOLDEN, REPLAYS = (os.path.abspath(p) for p in (SERVER, GOLDEN, REPLAYS))
PG_CTL = sys.argv[sys.argv.index("--pg-ctl") + 1] if "--pg-ctl" in sys.argv else None
WORK = tempfile.mkdtemp(prefix="leaderboard-test-")
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def request(method, path, body=None, timeout=60):
    c = http.client.HTTPConnection("127.0.0.1", PORT, timeout=timeout)
    c.request(method, path, body=body, headers={"Content-Type": "application/octet-stream"} if body is not None else {})
    r = c.getresponse()
    data = r.read()
    c.close()
    return r.status, data, dict(r.getheaders())


def submit(body):
    status, data, headers = request("POST", "/api/v1/replays", body)
    try:
        return status, json.loads(data), headers
    except ValueError:
        return status, {}, headers


class Server:
    def __init__(self, *extra):
        self.log = open(os.path.join(WORK, "server.log"), "ab")
        self.proc = subprocess.Popen([SERVER, "--listen", "127.0.0.1:%d" % PORT, "--database", DATABASE,
                                      "--web", os.path.join(WORK, "no-web")] + list(extra),
                                     cwd=WORK, stderr=self.log)
        for _ in range(200):
            try:
                request("GET", "/api/v1/scores?difficulty=0", timeout=1)
                return
            except OSError:
                time.sleep(0.05)
        raise SystemExit("the server did not start: see " + self.log.name)

    def stop(self, sig=signal.SIGTERM):
        self.proc.send_signal(sig)
        self.proc.wait(timeout=30)
        self.log.close()
        return self.proc.returncode


golden = {name: read(os.path.join(GOLDEN, name + ".txt")) for name in ("easy", "medium", "hard")}
script = read(os.path.join(REPLAYS, "script.txt"))
base = read(os.path.join(REPLAYS, "base.txt"))

server = Server("--submissions-per-minute", "25")

# The golden replays: accepted, each first of its difficulty; then a lower score
# on Easy ranks second.
ids = {}
for difficulty, name in enumerate(("easy", "medium", "hard")):
    status, body, _ = submit(golden[name])
    check(status == 201 and body.get("rank") == 1 and body.get("of") == 1, "golden %s: 201 rank 1 of 1 (%d %s)" % (name, status, body))
    ids[name] = body.get("id")
# Both boards read once more first: the reads further on show that a score stored
# clears what the server keeps of them.
request("GET", "/api/v1/scores?difficulty=0&limit=10")
request("GET", "/")
status, body, _ = submit(script)
check(status == 201 and body.get("of") == 2, "the <script> game: 201 of 2 (%d %s)" % (status, body))
script_id = body.get("id")
status, body, _ = submit(golden["easy"])
check((status, body.get("id"), body.get("rank")) == (200, ids["easy"], 1), "the same replay again: 200, same id (%d %s)" % (status, body))
# The same game with another "recorded" line is the same replay.
status, body, _ = submit(golden["easy"].replace(b"recorded 07 Dec 2010", b"recorded 08 Dec 2010"))
check((status, body.get("id")) == (200, ids["easy"]), "another recorded line: the same record (%d %s)" % (status, body))

# What is refused, and why.
tampered = golden["easy"].replace(b"end score 4090", b"end score 9090")
lines = golden["easy"].split(b"\n")
edited = b"\n".join(lines[:15] + [b"."] + lines[16:])  # frame 5's click taken out
status, body, _ = submit(tampered)
check(status == 422 and body.get("frame") == 790, "a tampered claim: 422 at its last frame (%d %s)" % (status, body))
status, body, _ = submit(edited)
check(status == 422 and body.get("frame") == 60, "an edited frame: 422 at frame 60 (%d %s)" % (status, body))
status, body, _ = submit(b"\x00\x01junk\n" * 100)
check(status == 400 and body.get("line") == 1 and body.get("error"), "junk: 400 with line and reason (%d %s)" % (status, body))
status, body, _ = submit(golden["easy"].replace(b"\nrules 1\n", b"\nrules 7\n"))
check(status == 409 and "update" in body.get("error", ""), "other rules: 409 saying to update (%d %s)" % (status, body))
status, body, headers = submit(b"puffwick-replay 1\n" + b"." * (8 << 20))
check(status == 413, "an oversized body: 413 (%d)" % status)

# Reads: best first, names as entered, the replay file as stored.
status, data, _ = request("GET", "/api/v1/scores?difficulty=0&limit=10")
board = json.loads(data)
check(status == 200 and [s["id"] for s in board["scores"]] == [ids["easy"], script_id] and board["of"] == 2,
      "scores: best first (%s)" % board)
check(board["scores"][1]["name"] == "<script>alert(1)</script>" and "\\u003cscript" in data.decode(),
      "JSON: the name as entered, escaped")
for bad in ("difficulty=3", "difficulty=0&limit=0", "difficulty=0&limit=101", "difficulty=x", "", "difficulty=0&offset=-1"):
    check(request("GET", "/api/v1/scores?" + bad)[0] == 400, "scores?%s: 400" % bad)
status, data, headers = request("GET", "/api/v1/replays/%d" % ids["hard"])
check(status == 200 and data == golden["hard"] and "attachment" in headers.get("Content-Disposition", ""),
      "a stored replay: the file as sent, as a download")
check(request("GET", "/api/v1/replays/999999")[0] == 404, "no such replay: 404")
status, data, headers = request("GET", "/")
page = data.decode()
check(status == 200 and "&lt;script&gt;alert(1)&lt;/script&gt;" in page and "<script>alert" not in page
      and "script-src" not in headers.get("Content-Security-Policy", "x") and "default-src 'none'" in headers.get("Content-Security-Policy", ""),
      "the page: the name shows as text, and no script may run")
check(all(t in page for t in ("PlayerEASY", "PlayerMEDIUM", "PlayerHARD", "4090", "3195", "4570",
                              '/play/?replay=%d"' % ids["medium"])), "the page: the golden names, scores and Watch links")

# A flood from one address: refused once over the limit, with when to come back.
codes = [submit(b"junk\n")[0] for _ in range(25)]
status, _, headers = submit(b"junk\n")
check(429 in codes + [status] and int(headers.get("Retry-After", "0")) > 0, "a flood: 429 with Retry-After (%s)" % codes)
check(server.stop() == 0, "SIGTERM: the server ends cleanly")
log = open(os.path.join(WORK, "server.log")).read()
check(re.search(r"^POST /api/v1/replays 201 [0-9.]+ms$", log, re.M) and re.search(r"^GET / 200 [0-9.]+ms$", log, re.M),
      "one log line per request: method, path, status, time")

# kill -9 during 200 submissions: every answered score is there after a restart.
server = Server("--submissions-per-minute", "100000")
answered, lock = {}, threading.Lock()
bodies = [base.replace(b"\nplayer \n", b"\nplayer K%03d\n" % i) for i in range(200)]
queue = list(range(200))


def client():
    while True:
        with lock:
            if not queue:
                return
            i = queue.pop()
        try:
            status, body, _ = submit(bodies[i])
        except OSError:
            continue
        if status in (200, 201):
            with lock:
                answered[i] = body["id"]


threads = [threading.Thread(target=client) for _ in range(4)]
for t in threads:
    t.start()
while len(answered) < 40:
    time.sleep(0.01)
server.stop(signal.SIGKILL)
for t in threads:
    t.join()
server = Server("--submissions-per-minute", "100000")
status, data, _ = request("GET", "/api/v1/scores?difficulty=0&limit=100&offset=0")
stored = {s["id"]: s["name"] for s in json.loads(data)["scores"]}
for offset in range(100, 400, 100):
    stored.update({s["id"]: s["name"] for s in json.loads(request("GET", "/api/v1/scores?difficulty=0&limit=100&offset=%d" % offset)[1])["scores"]})
missing = [i for i, id_ in answered.items() if stored.get(id_) != "K%03d" % i]
check(len(answered) >= 40 and not missing, "kill -9: all %d answered scores kept (missing %s)" % (len(answered), missing))
again = [submit(bodies[i])[1].get("id") == id_ for i, id_ in list(answered.items())[:5]]
check(all(again), "after the restart, an answered replay is known again")

# The database goes away under the server and comes back.
if PG_CTL:
    subprocess.run(PG_CTL + " stop", shell=True, check=True, stdout=subprocess.DEVNULL)
    # Rows past the first ones, which are never answered from memory.
    status, _, headers = request("GET", "/api/v1/scores?difficulty=0&offset=150")
    status2, _, _ = submit(bodies[199 - len(answered) // 2])
    check(status == 503 and status2 == 503 and headers.get("Retry-After"), "the database stopped: 503 (%d, %d)" % (status, status2))
    subprocess.run(PG_CTL + " start", shell=True, check=True, stdout=subprocess.DEVNULL)
    status, _, _ = request("GET", "/api/v1/scores?difficulty=0")
    check(status == 200 and server.proc.poll() is None, "the database back: 200, the same server process")
check(server.stop() == 0, "SIGTERM after the restart: clean end")

print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
