#!/usr/bin/env python3
"""A whole game in the real window leaves a replay that plays back to its score.

Under a private Xvfb the game starts in a scratch folder holding a copy of Files/;
through XTEST the player clicks "Click Here to Start", lays a piece, quits from the
pause menu, types a name, and leaves from the title and the farewell screen. Then
the one file in Files/257/replays/ is played headless and must print the score
that scores.dat holds for that name.

Usage: replay_e2e.py EXECUTABLE --copy FILES_FOLDER
Exit codes: 0 pass, 1 fail, 77 skipped (Xvfb or the X test libraries are missing).
"""
import argparse
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_window import SKIP, XTest, capture, find_window, save_png, start_xvfb, stop_processes  # noqa: E402

NAME = "e2e"


class Xtest:
    """Held presses with pauses between them, on e2e_window's XTEST access."""

    def __init__(self, display):
        self.xt = XTest.open(display)
        if not self.xt:
            raise OSError("cannot open the display, or libX11/libXtst are missing")

    def move(self, x, y):
        self.xt.move(x, y)
        time.sleep(0.2)

    def click(self, x, y, button=1, hold=0.3):
        self.move(x, y)
        self.xt.button(button, True)
        time.sleep(hold)
        self.xt.button(button, False)
        time.sleep(0.3)

    def key(self, name, hold=0.5):
        self.xt.tap(name, hold)
        time.sleep(0.3)


def wait_for_window(display, game, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        time.sleep(0.3)
        if game.poll() is not None:
            return None
        win = find_window(capture(display))
        if win is not None:
            return win
    return None


def stored_score(path, timestamp):
    """The score of the record with this timestamp in scores.dat (the replay is
    named by it), or of the only record there."""
    records = []
    with open(path, "rb") as f:
        for line in f.read().decode("latin-1").split("\r\n"):
            fields = line.split("|")
            if len(fields) >= 4:
                records.append((fields[3], int(fields[0])))
    for stamp, score in records:
        if stamp == timestamp:
            return score
    return records[0][1] if len(records) == 1 else None


def play_game(x, display, game, enter=True):
    """Starts a game in the program's window, lays a piece, quits from the pause
    menu and types NAME, then Return unless `enter` is false. Returns the window's
    rectangle, or None and what failed."""
    win = wait_for_window(display, game, 60)
    if win is None:
        return None, "the window never appeared"
    wx, wy, ww, wh = win
    cx, cy = wx + ww // 2, wy + wh // 2
    x.move(cx, cy)

    def centre():
        return capture(display).pixel(cx, cy)

    def wait_until(test, seconds, retry=None):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if test(capture(display)):
                return True
            if retry:
                retry()
            time.sleep(0.5)
        return False

    def in_game(shot):  # the game's field of green bands
        p = shot.pixel(cx, cy)
        return p[1] > 20 and p[0] < 30 and p[2] < 30

    def in_name_entry(shot):
        # Purple to blue bands, looked for below the middle: a name remembered from
        # an earlier game covers the middle, and another Escape would end the entry.
        p = shot.pixel(cx, cy + wh // 4)
        return p[1] < 10 and p[2] > 10

    time.sleep(4)  # loading lasts at least 2.5 s
    # "Click Here to Start", once the title has slid in.
    if not wait_until(in_game, 60, retry=lambda: x.click(cx, cy)):
        return None, "no game started"
    time.sleep(1)
    x.click(cx + ww // 5, cy - wh // 5)  # a straight on the board
    x.click(cx + ww // 4, cy - wh // 5)
    time.sleep(1)
    # Quit from the pause menu: Escape opens it, Down picks Quit, Escape takes it.
    # A slow frame rate may miss a short press: keys are held half a second, and
    # when the first Escape was missed the next round's Escape opens the menu.
    x.key("Escape")
    time.sleep(1)
    for _ in range(4):
        x.key("Down")
        time.sleep(0.5)
        x.key("Escape")
        if wait_until(in_name_entry, 5):
            break
    else:
        if os.environ.get("PUFFWICK_E2E_SHOT"):
            save_png(capture(display), os.environ["PUFFWICK_E2E_SHOT"])
        return None, "name entry never showed; centre pixel %s" % (centre(),)
    time.sleep(0.5)
    for ch in NAME:
        x.key(ch)
    if enter:
        x.key("Return")
    return win, None


def leave(x, game):
    """Leaves from the title screen and the farewell screen; whether the program ended."""
    x.key("Escape")  # leaves the title screen
    deadline = time.time() + 60
    while game.poll() is None and time.time() < deadline:
        time.sleep(1)
        x.key("Escape")  # the farewell screen waits for a key
    return game.poll() is not None


def prepare(files, prefix):
    """A private Xvfb with input through XTEST, and a scratch folder holding a copy
    of `files` as Files/ with no replays. Returns (None, xvfb, display, env, xtest,
    folder), or an exit code first; env runs a program on that display."""
    if not shutil.which("xwd"):
        print("FAIL: xwd (x11-apps) is not installed")
        return 1, None, None, None, None, None
    xvfb, display = start_xvfb()
    if xvfb is None:
        print("SKIP: Xvfb is not installed")
        return SKIP, None, None, None, None, None
    try:
        x = Xtest(display)
    except OSError as e:
        print("SKIP: cannot send input:", e)
        stop_processes(None, xvfb)
        return SKIP, None, None, None, None, None
    workdir = tempfile.mkdtemp(prefix=prefix)
    shutil.copytree(files, os.path.join(workdir, "Files"))
    for old in glob.glob(os.path.join(workdir, "Files", "257", "replays", "*")):
        os.remove(old)
    env = dict(os.environ, DISPLAY=display)
    env.pop("SDL_VIDEODRIVER", None)
    return None, xvfb, display, env, x, workdir


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("executable")
    ap.add_argument("--copy", required=True)
    args = ap.parse_args()
    exe = os.path.abspath(args.executable)

    failed, xvfb, display, env, x, workdir = prepare(args.copy, "puffwick-replay-e2e-")
    if failed is not None:
        return failed
    score_file = os.path.join(workdir, "Files", "257", "scores.dat")
    if os.path.exists(score_file):
        os.remove(score_file)
    game = subprocess.Popen([exe], cwd=workdir, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    status = 1
    try:
        win, error = play_game(x, display, game)
        if win is None:
            print("FAIL:", error)
            return 1
        time.sleep(1.5)
        if not leave(x, game):
            print("FAIL: the program did not end")
            return 1
        replays = sorted(glob.glob(os.path.join(workdir, "Files", "257", "replays", "*.txt")))
        if len(replays) != 1:
            print("FAIL: expected one replay, found", replays)
            return 1
        stamp = os.path.splitext(os.path.basename(replays[0]))[0]
        score = stored_score(score_file, stamp) if os.path.exists(score_file) else None
        if score is None:
            print("FAIL: scores.dat holds no record of the game")
            return 1
        run = subprocess.run([exe, "--replay", replays[0], "--headless"], capture_output=True, text=True,
                             timeout=120)
        print("scores.dat: %d; replay: %s" % (score, run.stdout.strip()))
        if run.returncode == 0 and run.stdout.startswith("score %d frames " % score):
            status = 0
        else:
            print("FAIL: exit %d, stderr %s" % (run.returncode, run.stderr.strip()))
        return status
    finally:
        stop_processes(game, xvfb)
        if status == 0:
            shutil.rmtree(workdir, ignore_errors=True)
        else:
            print("working folder kept:", workdir)


if __name__ == "__main__":
    sys.exit(main())
