#!/usr/bin/env python3
"""The game in its real window sends its replay to a leaderboard server.

Under a private Xvfb, with a server on SQLite in a scratch folder:
  1. a game played through XTEST ends on the server, and the rank message
     flashes at the bottom of the window (the 201 in the game's log);
  2. with the server stopped, the "not reached" message flashes, the game logs it
     and lists the replay in replays/unsent.txt;
  3. with the server back, the next start sends it (and the list is gone).

Usage: leaderboard_e2e.py GAME SERVER --copy FILES_FOLDER [--port N]
Exit codes: 0 pass, 1 fail, 77 skipped (Xvfb or the X test libraries are missing).
"""
import argparse
import glob
import json
import os
import shutil
import subprocess
import sys
import time
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_window import capture, stop_processes  # noqa: E402
from replay_e2e import leave, play_game, prepare, wait_for_window  # noqa: E402


def yellow(p):  # a message's flash: yellow under the text
    return p[0] > 150 and p[1] > 150 and p[2] < 100


def message_width(display, win, seconds):
    """The widest flash seen at the window's bottom left within `seconds`, in pixels."""
    wx, wy, ww, wh = win
    widest = 0
    deadline = time.time() + seconds
    while time.time() < deadline:
        shot = capture(display)
        for y in range(wy + wh - 1, wy + wh - 60, -3):
            if yellow(shot.pixel(wx + 2, y)):
                w = 0
                while w < ww - 2 and yellow(shot.pixel(wx + 2 + w, y)):
                    w += 1
                widest = max(widest, w)
        if widest:
            return widest
        time.sleep(0.1)
    return widest


def game_log(files):
    """The last run's Debug.txt (wherever the game keeps it)."""
    return "".join(open(p, encoding="latin-1").read() for p in glob.glob(os.path.join(files, "**", "Debug.txt"),
                                                                         recursive=True))


def posts(workdir):
    """Replays the server has taken (201, or 200 for one it had), from its log."""
    with open(os.path.join(workdir, "server.log")) as f:
        return sum(1 for line in f if line.startswith(("POST /api/v1/replays 201 ", "POST /api/v1/replays 200 ")))


class Server:
    def __init__(self, exe, workdir, port):
        self.log = open(os.path.join(workdir, "server.log"), "ab")
        self.proc = subprocess.Popen([exe, "--listen", "127.0.0.1:%d" % port, "--database",
                                      "sqlite:" + os.path.join(workdir, "leaderboard.db"), "--web", workdir],
                                     cwd=workdir, stdout=subprocess.DEVNULL, stderr=self.log)
        self.port = port
        for _ in range(100):
            if self.boards() is not None:
                return
            time.sleep(0.1)
        raise RuntimeError("the server did not start")

    def boards(self):
        """The number of scores on each board, or None when the server does not answer."""
        try:
            return [json.load(urllib.request.urlopen(
                "http://127.0.0.1:%d/api/v1/scores?difficulty=%d&offset=100" % (self.port, d), timeout=2))["of"]
                for d in range(3)]
        except OSError:
            return None

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=30)
        self.log.close()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("game")
    ap.add_argument("server")
    ap.add_argument("--copy", required=True)
    ap.add_argument("--port", type=int, default=int(os.environ.get("LEADERBOARD_E2E_PORT", "18190")))
    args = ap.parse_args()
    exe = os.path.abspath(args.game)
    started = time.time()
    failed, xvfb, display, env, x, workdir = prepare(args.copy, "puffwick-leaderboard-e2e-")
    if failed is not None:
        return failed
    files = os.path.join(workdir, "Files")
    unsent = os.path.join(files, "257", "replays", "unsent.txt")
    command = [exe, "--leaderboard", "http://127.0.0.1:%d" % args.port]
    server = Server(os.path.abspath(args.server), workdir, args.port)
    game = None
    failures = []

    def check(ok, what):
        print("ok  " if ok else "FAIL", what)
        if not ok:
            failures.append(what)

    try:
        def one_game():
            nonlocal game
            game = subprocess.Popen(command, cwd=workdir, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            win, error = play_game(x, display, game, enter=False)
            if win is None:
                raise RuntimeError(error)
            # The flash lasts about a second from the answer, which can come at once:
            # the screen is watched from the moment Return is let go.
            x.xt.tap("Return", 0.2)
            width = message_width(display, win, 20)
            time.sleep(1)
            if not leave(x, game):
                raise RuntimeError("the program did not end")
            return width

        # 1. Sent and ranked.
        rank_width = one_game()
        boards = server.boards()
        check(boards is not None and sum(boards) == 1, "the game's score is on the server (%s)" % boards)
        check(rank_width > 0, "a message flashed after name entry (%d px wide)" % rank_width)
        log = game_log(files)
        check("Leaderboard answered 201" in log, "the game logged the server's 201")

        # 2. The server stopped: kept, and listed to send again.
        server.stop()
        kept_width = one_game()
        check(kept_width > 0, "the kept message flashed after name entry (%d px wide)" % kept_width)
        log = game_log(files)
        check("Leaderboard answered 0" in log, "the game logged that the server was not reached")
        listed = open(unsent).read().split() if os.path.exists(unsent) else []
        check(len(listed) == 1, "replays/unsent.txt lists the game (%s)" % listed)

        # 3. The server back: the next start sends it.
        server = Server(os.path.abspath(args.server), workdir, args.port)
        game = subprocess.Popen(command, cwd=workdir, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        win = wait_for_window(display, game, 60)
        deadline = time.time() + 30
        while time.time() < deadline and posts(workdir) < 2:
            time.sleep(0.5)
        check(posts(workdir) == 2, "the next start sent the kept game (%d replays taken)" % posts(workdir))
        check(not os.path.exists(unsent), "the list of unsent replays is gone")
        check(win is not None and leave(x, game), "the program ends")
    except RuntimeError as e:
        check(False, str(e))
    finally:
        stop_processes(game, xvfb)
        if server.proc.poll() is None:
            server.stop()
    print("%.0f s" % (time.time() - started))
    if failures:
        print("working folder kept:", workdir)
        return 1
    shutil.rmtree(workdir, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
