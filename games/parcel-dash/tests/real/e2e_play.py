#!/usr/bin/env python3
"""Parcel Dash in a real window under a private Xvfb: the built program, run in a
scratch folder holding a copy of Files/, reaches its title (the window shows the
title's blue), starts a game with a click, loses its three lives with the cart
standing still, answers name entry with Enter and writes its own
Files/258/scores.dat; then Escape on the title and on the farewell ends it.

Usage: e2e_play.py EXECUTABLE FILES_DIR
Exit codes: 0 pass, 1 fail, 77 skipped (Xvfb or xwd is not installed).
"""
import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "puffwick-loopery", "tests", "real"))
import e2e_window as w  # noqa: E402  (private Xvfb, captures and XTEST input)


def main():
    program, files = os.path.abspath(sys.argv[1]), sys.argv[2]
    if not shutil.which("xwd"):
        print("SKIP: xwd is not installed")
        return w.SKIP
    xvfb, display = w.start_xvfb()
    if xvfb is None:
        print("SKIP: Xvfb is not installed")
        return w.SKIP
    work = tempfile.mkdtemp(prefix="parcel-dash-e2e-")
    shutil.copytree(files, os.path.join(work, "Files"))
    env = dict(os.environ, DISPLAY=display)
    env.pop("SDL_VIDEODRIVER", None)
    game = None
    problems = []
    try:
        import subprocess
        game = subprocess.Popen([program], cwd=work, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not w.wait_for_title(work, game):
            problems.append("the title never came")
            return 1
        shot = w.capture(display)
        win = w.find_window(shot)
        if win is None:
            problems.append("no window")
            return 1
        # The title's backdrop is blue stripes: a blue pixel in the window's middle band.
        x0, y0, ww, wh = win
        blues = sum(1 for k in range(20) if (lambda p: p[2] > 60 and p[2] > p[0] + 30)(
            shot.pixel(x0 + ww * (k + 1) // 22, y0 + wh // 8)))
        if blues < 10:
            problems.append("the title's blue is not in the window (%d of 20 points)" % blues)
        xt = w.XTest.open(display)
        if not xt:
            problems.append("cannot send input")
            return 1
        # Start; the cart stands still at the side, so every person is missed.
        xt.click(x0 + ww // 2, y0 + wh // 2)
        time.sleep(0.3)
        xt.move(x0 + 2, y0 + wh - 2)
        scores = os.path.join(work, "Files", "258", "scores.dat")
        deadline = time.time() + 90
        while time.time() < deadline and not os.path.exists(scores) and game.poll() is None:
            time.sleep(2)
            xt.tap("Return", 0.05)  # "Game Over" and name entry, once they come
        if not os.path.exists(scores):
            problems.append("no Files/258/scores.dat after a game")
        if os.path.exists(os.path.join(work, "Files", "257", "scores.dat")):
            problems.append("the first game's score file was written")
        for _ in range(30):
            if w.wait_for_exit(game, 1) is not None:
                break
            xt.tap("Escape", 0.05)
        xt.close()
        code = w.wait_for_exit(game, 5)
        if code != 0:
            problems.append("the program ended with %s" % code)
    finally:
        w.stop_processes(game, xvfb)
        shutil.rmtree(work, ignore_errors=True)
        if problems:
            print("FAIL:", *problems, sep="\n  ")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
