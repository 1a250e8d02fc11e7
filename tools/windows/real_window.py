#!/usr/bin/env python3
"""The Windows build in a real window under Wine, on an X server the caller
gives in DISPLAY (tools/windows/ci.sh starts a private Xvfb).

Full run (default): the game, from its unpacked zip or an installed folder, is
started with a Setup.ini that picks OpenAL and an alsoft.ini beside the .exe
that sends OpenAL Soft's mix to its wave writer. Then, each step checked in a
screen capture: the title is drawn; a click on "Click Here to Start" starts a
game; Escape brings the pause menu; Quit (Down, then Escape) leads through the
name entry back to the title; Escape there brings the farewell; Escape closes
it. The program must end with status 0, leave Setup.ini, scores.dat and a
closed Debug.txt under %APPDATA%\\puffwick-loopery\\Files\\, and the recorded
sound must not be silence.

--title-only: the title is drawn, then Escape twice ends the program with 0.

Keys: Wine acts on a key only once its window holds the X input focus (with no
window manager nothing gives it one, and a key sent to the window under the
pointer is dropped), so the window is focused with xdotool before each key,
which is then held down for a few frames through XTEST.

Usage: real_window.py (--zip ZIP | --exe EXE) [--title-only] [--shots DIR]
Needs WINEPREFIX and DISPLAY, with the prefix's wineserver running.
Exit codes: 0 pass, 1 fail.
"""
import argparse
import math
import os
import pwd
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "games", "puffwick-loopery", "tests", "real"))
import e2e_window as e2e  # noqa: E402  the Linux real-window test's capture, checks and input

WINE = "/usr/lib/wine/wine64"
PROGRAM = "puffwick-loopery"
TITLE = "Puffwick Loopery"
GAME_SIZE = (800, 600)


class Failed(Exception):
    pass


def save_folder():
    """The game's folder under the Wine user's %APPDATA%."""
    user = pwd.getpwuid(os.getuid()).pw_name
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", "users", user, "AppData", "Roaming", PROGRAM)


def windows_path(path):
    """The Windows name Wine gives a Linux path (the Z: drive is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# ------------------------------------------------------------------ pictures
def samples(shot, win, n=20):
    x0, y0, w, h = win
    return [shot.pixel(x0 + w * i // n + 1, y0 + h * j // n + 1) for i in range(n) for j in range(n)]


def bright_in(shot, win, box):
    """How many pixels of a box (fractions of the window) are near white."""
    x0, y0, w, h = win
    left, top, right, bottom = box
    return sum(1 for x in range(x0 + int(w * left), x0 + int(w * right), 2)
               for y in range(y0 + int(h * top), y0 + int(h * bottom), 2) if min(shot.pixel(x, y)) > 200)


def check_title(shot, win):
    """The title: a dark blue backdrop and panels, the two title words and the
    start prompt drawn in white in the middle."""
    problems = []
    if win[2:] != GAME_SIZE:
        return ["the window is %dx%d, expected %dx%d" % (win[2:] + GAME_SIZE)]
    navy = [p for p in samples(shot, win) if p[0] <= 40 and p[1] <= 40 and p[2] >= 15 and p[2] > p[0] + 10]
    if len(navy) < 0.6 * 400:
        problems.append("only %d of 400 samples are the title's blue" % len(navy))
    if bright_in(shot, win, (0.38, 0.25, 0.62, 0.40)) < 200:
        problems.append("no title words drawn")
    if bright_in(shot, win, (0.42, 0.48, 0.58, 0.52)) < 40:
        problems.append("no start prompt drawn")
    return problems


def pause_check(item):
    """The pause menu with item 0 (Continue) or 1 (Quit) highlighted: yellow
    text in that item's part of the menu's box, none in the other's."""
    def check(shot, win):
        x0, y0, w, h = win
        rows = [(0.375, 0.485), (0.485, 0.625)]
        counts = [sum(1 for x in range(x0 + w // 10, x0 + w // 10 + w // 6)
                      for y in range(y0 + int(h * top), y0 + int(h * bottom))
                      for p in [shot.pixel(x, y)]
                      if p[0] > 90 and p[1] > 90 and p[2] < 30 and abs(p[0] - p[1]) < 40)
                  for top, bottom in rows]
        if counts[item] >= 30 and counts[1 - item] < 10:
            return []
        return ["item %d is not the highlighted one (yellow pixels by item: %s)" % (item, counts)]
    return check


def check_farewell(shot, win):
    if win[2:] != e2e.FAREWELL:
        return ["the window is %dx%d, expected the farewell's %dx%d" % (win[2:] + e2e.FAREWELL)]
    navy = [p for p in samples(shot, win) if p[0] <= 4 and p[1] <= 4 and 70 <= p[2] <= 90]
    problems = [] if len(navy) >= 0.5 * 400 else ["only %d of 400 samples are the farewell's blue" % len(navy)]
    if bright_in(shot, win, (0.0, 0.45, 0.7, 0.65)) < 300:
        problems.append("no farewell words drawn")
    return problems


# ------------------------------------------------------------------ the run
class Run:
    def __init__(self, exe, shots, scratch):
        self.exe, self.shots, self.display = exe, shots, os.environ["DISPLAY"]
        self.shot, self.count = None, 0
        log = open(os.path.join(scratch, "output.txt"), "w+")
        self.log = log
        self.game = subprocess.Popen([WINE, exe], cwd=os.path.dirname(exe), stdin=subprocess.DEVNULL,
                                     stdout=log, stderr=subprocess.STDOUT)

    def wait_for(self, what, check, seconds):
        """Captures until `check` finds nothing wrong; Failed with its last words."""
        deadline = time.time() + seconds
        problems = ["no window"]
        while time.time() < deadline:
            if self.game.poll() is not None:
                raise Failed("%s: the program ended early with code %d" % (what, self.game.returncode))
            self.shot = e2e.capture_or_none(self.display)
            win = self.shot and e2e.find_window(self.shot)
            if win:
                problems = check(self.shot, win)
                if not problems:
                    self.keep(what)
                    print("%s: OK" % what)
                    return win
            time.sleep(0.3)
        raise Failed("%s: %s" % (what, "; ".join(problems)))

    def keep(self, what):
        if self.shots:
            self.count += 1
            e2e.save_png(self.shot, os.path.join(self.shots, "%d-%s.png" % (self.count, what.replace(" ", "-"))))

    def press(self, key):
        """Focuses the game's window, then holds `key` for a few frames."""
        found = subprocess.run(["xdotool", "search", "--name", TITLE], capture_output=True, text=True,
                               env=dict(os.environ, DISPLAY=self.display))
        for window in found.stdout.split():
            subprocess.run(["xdotool", "windowfocus", "--sync", window], capture_output=True, timeout=10,
                           env=dict(os.environ, DISPLAY=self.display))
        time.sleep(0.5)  # Wine activates the window on its own time after the focus moves
        xt = e2e.XTest.open(self.display)
        if not xt:
            raise Failed("cannot send keys (libX11/libXtst missing)")
        xt.tap(key, 0.15)
        xt.close()

    def press_for(self, key, what, check):
        """Presses `key` until the screen passes `check`: a key can still be lost
        while Wine hands the focus over."""
        for attempt in range(3):
            self.press(key)
            try:
                return self.wait_for(what, check, 6)
            except Failed:
                if attempt == 2:
                    raise
                print("%s: pressing %s again" % (what, key))

    def click(self, x, y):
        xt = e2e.XTest.open(self.display)
        if not xt:
            raise Failed("cannot click (libX11/libXtst missing)")
        xt.click(x, y)
        xt.close()

    def title(self):
        if not e2e.wait_for_log_line(os.path.join(save_folder()), "Finished Loading", self.game, 90):
            raise Failed("the game never finished loading (no \"Finished Loading\" in Debug.txt)")
        return self.wait_for("title", check_title, 20)

    def leave(self):
        """From the title: Escape brings the farewell, Escape again ends the program."""
        self.press_for("Escape", "farewell", check_farewell)
        deadline = time.time() + 30
        while time.time() < deadline:
            self.press("Escape")
            code = e2e.wait_for_exit(self.game, 3)
            if code is not None:
                if code != 0:
                    raise Failed("the program ended with status %d" % code)
                print("ended with status 0")
                return
        raise Failed("the farewell did not close on Escape")

    def play_and_quit(self, win):
        x0, y0, w, h = win
        self.click(x0 + w // 2, y0 + 301)  # "Click Here to Start"
        self.wait_for("game", e2e.check_game, 15)
        time.sleep(2)  # a while of play, for the sound
        self.press_for("Escape", "pause menu", pause_check(0))
        self.press_for("Down", "Quit chosen", pause_check(1))
        self.press("Escape")  # on Quit: the game ends
        # "Game Over", then the name entry, which Return accepts, then the title.
        deadline = time.time() + 40
        while time.time() < deadline:
            time.sleep(1.5)
            shot = e2e.capture_or_none(self.display)
            back = shot and e2e.find_window(shot)
            if back and not check_title(shot, back):
                self.shot = shot
                print("back on the title: OK")
                return
            self.press("Return")
        raise Failed("the title did not come back after quitting the game")

    def stop(self):
        """Ends the program if it still runs; its output, once."""
        if self.game.poll() is None:
            self.game.kill()
            self.game.wait()
        if self.log.closed:
            return ""
        self.log.seek(0)
        output = self.log.read()
        self.log.close()
        return output


def wav_problems(path):
    """Reads a 16-bit PCM or 32-bit float WAV by its chunks (the header's sizes
    may not be final) and says whether its samples are silence."""
    if not os.path.exists(path):
        return ["the wave writer wrote no file"]
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        return ["%s is not a WAV file" % path]
    at, fmt, pcm = 12, None, b""
    while at + 8 <= len(data):
        name, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        body = data[at + 8:at + 8 + size]
        if name == b"fmt ":
            fmt = list(struct.unpack_from("<HHIIHH", body))
            if fmt[0] == 0xFFFE and len(body) >= 26:  # extensible: the kind leads the sub-format
                fmt[0] = struct.unpack_from("<H", body, 24)[0]
        elif name == b"data":
            pcm = data[at + 8:] if size in (0, 0xFFFFFFFF) else body
        at += 8 + size + (size & 1)
    if not fmt or not pcm:
        return ["the WAV file holds no format or no samples"]
    kind, channels, rate, _, _, bits = fmt
    if (kind, bits) == (1, 16):
        values = [v / 32768 for v in struct.unpack("<%dh" % (len(pcm) // 2), pcm[:len(pcm) // 2 * 2])]
    elif (kind, bits) == (3, 32):
        values = list(struct.unpack("<%df" % (len(pcm) // 4), pcm[:len(pcm) // 4 * 4]))
    else:
        return ["unexpected WAV format %d with %d bits" % (kind, bits)]
    seconds = len(values) / channels / rate
    # Sound is heard in 100 ms stretches: the title is quiet, a game is not.
    step = rate * channels // 10
    stretches = [math.sqrt(sum(v * v for v in values[i:i + step]) / step) for i in range(0, len(values) - step, step)]
    heard = sum(1 for r in stretches if r > 0.002) / 10
    peak = max((abs(v) for v in values), default=0)
    print("sound: %.1f s at %d Hz, %d channel(s), peak %.3f, heard for %.1f s" % (seconds, rate, channels, peak, heard))
    if seconds < 5:
        return ["only %.1f s of sound were recorded" % seconds]
    if peak < 0.02 or heard < 2:
        return ["the recorded sound is silence (peak %.3f, heard for %.1f s)" % (peak, heard)]
    return []


def unpack(zip_path, into):
    with zipfile.ZipFile(zip_path) as z:
        z.extractall(into)
    exes = [os.path.join(r, f) for r, _, fs in os.walk(into) for f in fs if f == PROGRAM + ".exe"]
    if len(exes) != 1:
        raise Failed("the zip holds %d %s.exe" % (len(exes), PROGRAM))
    return exes[0]


def main():
    ap = argparse.ArgumentParser()
    where = ap.add_mutually_exclusive_group(required=True)
    where.add_argument("--zip", help="the game's zip, unpacked into a scratch folder")
    where.add_argument("--exe", help="the game's installed .exe")
    ap.add_argument("--title-only", action="store_true")
    ap.add_argument("--shots", help="keep each checked capture here as PNG (needs PIL), and the sound")
    args = ap.parse_args()
    for name in ("WINEPREFIX", "DISPLAY"):
        if not os.environ.get(name):
            print("FAIL: %s is not set" % name)
            return 1
    if args.shots:
        os.makedirs(args.shots, exist_ok=True)

    scratch = tempfile.mkdtemp(prefix="puffwick-wine-")
    run, alsoft = None, ""
    try:
        exe = os.path.abspath(args.exe) if args.exe else unpack(args.zip, scratch)
        saves = save_folder()
        shutil.rmtree(saves, ignore_errors=True)
        wav = os.path.join(args.shots or scratch, "sound.wav")
        alsoft = os.path.join(os.path.dirname(exe), "alsoft.ini")
        if not args.title_only:
            os.makedirs(os.path.join(saves, "Files"))
            # OpenAL by name: the game then lets OpenAL Soft follow alsoft.ini.
            with open(os.path.join(saves, "Files", "Setup.ini"), "w", newline="\r\n") as f:
                f.write("[Audio]\nAudioDriver = OpenAL\n")
            with open(alsoft, "w", newline="\r\n") as f:
                f.write("[general]\ndrivers=wave\n\n[wave]\nfile=%s\n" % windows_path(wav))
        run = Run(exe, args.shots, scratch)
        win = run.title()
        if not args.title_only:
            run.play_and_quit(win)
        run.leave()
        problems = [] if args.title_only else e2e.saved_files_problems(saves)
        if not args.title_only:
            with open(os.path.join(saves, "Files", "Setup.ini"), "rb") as f:
                setup = f.read().decode("latin-1")
            if "[Graphics]" not in setup or "AudioDriver = OpenAL" not in setup:
                problems.append("Setup.ini was not rewritten with OpenAL kept:\n" + setup)
            problems += wav_problems(wav)
        if problems:
            raise Failed("; ".join(problems))
    except Failed as e:
        print("FAIL:", e)
        if run and run.shot is not None and args.shots:
            e2e.save_png(run.shot, os.path.join(args.shots, "failed.png"))
        if run:
            print("program output:\n" + run.stop())
        return 1
    finally:
        if run:
            run.stop()
        if args.exe and not args.title_only and os.path.exists(alsoft):
            os.remove(alsoft)  # an installed game is left as it was installed
        shutil.rmtree(scratch, ignore_errors=True)
    print("PASS: the %s under Wine" % ("title" if args.title_only else "real window"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
