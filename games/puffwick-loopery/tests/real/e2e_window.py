#!/usr/bin/env python3
"""End-to-end check of the real window.

Starts a private Xvfb, runs the game executable in a fresh working folder (with
copies of --copy paths in it), captures the screen with xwd until the expected
picture shows in the program's window, then ends the program one way and checks
how it ended:

  escape        presses Escape through XTEST (the farewell screen follows; Escape
                and a click are sent every second until the program ends); code 0.
  signal        starts a game with a click, then sends SIGTERM: the program must end
                within 2 s with code 0, no farewell window, Setup.ini and scores.dat
                written and the log closed.
  tap           a 12 ms Escape tap on the title must bring the farewell window; while
                it waits, the program must use under 5 % of a core (the figure is
                printed); a second tap closes it with code 0.
  display-lost  kills the X server during a game (--where game) or on the farewell
                screen (--where farewell): the program must end within 5 s with a
                non-zero code, both files written and "Display connection lost" logged.

Usage: e2e_window.py EXECUTABLE [--expect test-picture|splash]
                     [--close escape|signal|tap|display-lost] [--where game|farewell]
                     [--copy PATH]... [--save PNG] [--timeout S]
Exit codes: 0 pass, 1 fail, 77 skipped (Xvfb is not installed).
"""
import argparse
import ctypes
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77
SCREEN_W, SCREEN_H = 1024, 768
ROOT = (255, 255, 255)  # Xvfb -wr: a white root window around ours


# ------------------------------------------------------------------ screen capture
class Shot:
    """A screen capture: width, height and a pixel(x, y) -> (r, g, b) lookup."""

    def __init__(self, data):
        fields = struct.unpack(">25I", data[:100])
        header_size, version = fields[0], fields[1]
        if version != 7:
            raise ValueError("not an XWD version 7 file")
        self.width, self.height = fields[4], fields[5]
        byte_order, bpp, self.stride = fields[7], fields[11], fields[12]
        masks = fields[14:17]
        ncolors = fields[19]
        # Depth-24 screens come as 4 or as 3 packed bytes a pixel, depending on the visual.
        if bpp not in (24, 32):
            raise ValueError("unsupported XWD pixel size %d" % bpp)
        self.bytes = bpp // 8
        self.pixels = data[header_size + ncolors * 12:]
        self.big_endian = byte_order != 0
        self.shifts = [(m, (m & -m).bit_length() - 1) for m in masks]
        # A DirectColor screen (what Xvfb reports once a GL client runs) maps each
        # channel's field through the colormap.
        self.ramps = None
        if fields[13] == 5 and ncolors:
            colors = data[header_size:header_size + ncolors * 12]
            ramps = ([0] * ncolors, [0] * ncolors, [0] * ncolors)
            for i in range(ncolors):
                _, r, g, b = struct.unpack_from(">IHHH", colors, i * 12)
                ramps[0][i], ramps[1][i], ramps[2][i] = r >> 8, g >> 8, b >> 8
            self.ramps = ramps

    def pixel(self, x, y):
        at = y * self.stride + x * self.bytes
        v = int.from_bytes(self.pixels[at:at + self.bytes], "big" if self.big_endian else "little")
        rgb = tuple((v & m) >> s for m, s in self.shifts)
        if self.ramps:
            rgb = tuple(ramp[c] if c < len(ramp) else c for ramp, c in zip(self.ramps, rgb))
        return rgb


def capture(display):
    out = subprocess.run(["xwd", "-root", "-silent", "-display", display], capture_output=True, timeout=10)
    if out.returncode != 0:
        raise RuntimeError("xwd failed: " + out.stderr.decode(errors="replace"))
    return Shot(out.stdout)


def capture_or_none(display):
    """A capture, or None when a window went away while it was taken."""
    try:
        return capture(display)
    except RuntimeError:
        return None


def find_window(shot):
    """The rectangle (x, y, w, h) that differs from the root, scanning the middle
    row and column (the window is one rectangle with nothing else on the screen)."""
    cy, cx = shot.height // 2, shot.width // 2
    xs = [x for x in range(shot.width) if shot.pixel(x, cy) != ROOT]
    ys = [y for y in range(shot.height) if shot.pixel(cx, y) != ROOT]
    if not xs or not ys:
        return None
    return xs[0], ys[0], xs[-1] - xs[0] + 1, ys[-1] - ys[0] + 1


# ------------------------------------------------------------------ expected pictures
def near(got, want, tol=6):
    return all(abs(g - w) <= tol for g, w in zip(got, want))


# Points of the temporary start-up's test picture, in virtual pixels of its 1280x960
# surface, with the colour expected there.
TEST_PICTURE = [
    ((200, 275), (255, 0, 0), "red swatch"),
    ((500, 275), (0, 255, 0), "green swatch"),
    ((800, 275), (0, 0, 255), "blue swatch"),
    ((1100, 275), (255, 255, 0), "yellow swatch"),
    ((250, 550), (255, 127, 127), "half red over white (alpha)"),
    ((650, 550), (0, 200, 160), "green light over blue (light)"),
    ((1050, 550), (128, 128, 0), "grey over yellow (shade)"),
    ((40, 60), (0, 64, 255), "first stripe"),
    ((1240, 60), (240, 64, 15), "last stripe"),
    ((640, 420), (0, 0, 0), "cleared background"),
]


def check_test_picture(shot, win):
    x0, y0, w, h = win
    problems = []
    if (w, h) != (800, 600):
        problems.append("window is %dx%d, expected 800x600" % (w, h))
    for (vx, vy), want, what in TEST_PICTURE:
        px, py = x0 + int(vx * w / 1280), y0 + int(vy * h / 960)
        got = shot.pixel(px, py)
        if not near(got, want):
            problems.append("%s at %d,%d: got %s, expected %s" % (what, px, py, got, want))
    # The text line: some bright pixels in its box, and none outside them but black.
    text = [shot.pixel(x0 + int(vx * w / 1280), y0 + int(vy * h / 960))
            for vx in range(100, 900, 3) for vy in range(870, 900, 3)]
    if not any(min(p) > 200 for p in text):
        problems.append("no text drawn in the text line")
    return problems


def check_splash(shot, win):
    """The real start-up's splash: diagonal stripes of dark to mid blue (0,0,50..100)."""
    x0, y0, w, h = win
    samples = [shot.pixel(x0 + w * i // 20 + 1, y0 + h * j // 20 + 1) for i in range(20) for j in range(20)]
    blue = [p for p in samples if p[0] <= 4 and p[1] <= 4 and 40 <= p[2] <= 110]
    problems = []
    if len(blue) < 0.6 * len(samples):
        problems.append("only %d of %d samples are splash blue" % (len(blue), len(samples)))
    if len({p[2] for p in blue}) < 3:
        problems.append("no shading across the stripes")
    return problems


def check_game(shot, win):
    """The game's board: a dark green field over most of the window."""
    x0, y0, w, h = win
    samples = [shot.pixel(x0 + w * i // 20 + 1, y0 + h * j // 20 + 1) for i in range(20) for j in range(20)]
    green = [p for p in samples if p[1] >= 20 and p[1] > p[0] + 10 and p[1] > p[2] + 10]
    if len(green) < 0.6 * len(samples):
        return ["only %d of %d samples are field green" % (len(green), len(samples))]
    return []


CHECKS = {"test-picture": check_test_picture, "splash": check_splash}


# ------------------------------------------------------------------ the run
def start_xvfb():
    xvfb = shutil.which("Xvfb") or ("/usr/bin/Xvfb" if os.access("/usr/bin/Xvfb", os.X_OK) else None)
    if not xvfb:
        return None, None
    read_fd, write_fd = os.pipe()
    proc = subprocess.Popen(
        [xvfb, "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H), "-wr",
         "-nolisten", "tcp", "-noreset"],
        pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    number = b""
    deadline = time.time() + 60
    while time.time() < deadline and not number.endswith(b"\n"):
        ready, _, _ = select.select([read_fd], [], [], 0.5)
        if ready:
            chunk = os.read(read_fd, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_fd)
    if not number.strip():
        proc.kill()
        proc.wait()
        raise RuntimeError("Xvfb did not report a display")
    return proc, ":" + number.decode().strip()


class XTest:
    """Fake input through XTEST. Without a window manager, keys go to the window
    under the pointer."""

    @staticmethod
    def open(display):
        """An XTest on the display, or None when libX11/libXtst are missing."""
        try:
            x11 = ctypes.CDLL("libX11.so.6")
            xtst = ctypes.CDLL("libXtst.so.6")
        except OSError:
            return None
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XStringToKeysym.restype = ctypes.c_ulong
        x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        for f in (xtst.XTestFakeKeyEvent, xtst.XTestFakeButtonEvent):
            f.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                              ctypes.c_ulong]
        dpy = x11.XOpenDisplay(display.encode())
        return XTest(x11, xtst, dpy) if dpy else None

    def __init__(self, x11, xtst, dpy):
        self.x11, self.xtst, self.dpy = x11, xtst, dpy

    def close(self):
        if self.dpy:
            self.x11.XCloseDisplay(self.dpy)
            self.dpy = None

    def key(self, name, down):
        code = self.x11.XKeysymToKeycode(self.dpy, self.x11.XStringToKeysym(name.encode()))
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 1 if down else 0, 0)
        self.x11.XFlush(self.dpy)

    def move(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.dpy, -1, int(x), int(y), 0)
        self.x11.XFlush(self.dpy)

    def button(self, number, down):
        self.xtst.XTestFakeButtonEvent(self.dpy, number, 1 if down else 0, 0)
        self.x11.XFlush(self.dpy)

    def tap(self, name, seconds):
        """Press, hold for `seconds` (each event sent at once), release."""
        self.key(name, True)
        time.sleep(seconds)
        self.key(name, False)

    def click(self, x=None, y=None):
        if x is not None:
            self.xtst.XTestFakeMotionEvent(self.dpy, -1, x, y, 0)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 1, 50)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 0, 50)
        self.x11.XFlush(self.dpy)


def tap_escape_and_click(display):
    """Presses and releases Escape and the left button; False when XTEST is missing."""
    xt = XTest.open(display)
    if not xt:
        return False
    xt.tap("Escape", 0.05)
    xt.click()
    xt.close()
    return True


def stop_processes(game, xvfb):
    """Ends the game (if it still runs) and then the private X server."""
    if game is not None and game.poll() is None:
        game.kill()
        game.wait()
    if xvfb.poll() is None:
        xvfb.terminate()
        try:
            xvfb.wait(timeout=5)
        except subprocess.TimeoutExpired:
            xvfb.kill()
            xvfb.wait()


def has_ended(game):
    """True once the program has stopped running: reaped, or its main thread gone
    (exit has begun, and the kernel is only handing back its memory, which takes
    seconds for a sanitizer build whose last thread runs at low priority)."""
    if game.poll() is not None:
        return True
    try:
        with open("/proc/%d/stat" % game.pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] in ("Z", "X")
    except OSError:
        return True


def wait_for_exit(game, seconds):
    """The exit code, or None when the program still runs after `seconds`."""
    deadline = time.time() + seconds
    while not has_ended(game):
        if time.time() >= deadline:
            return None
        time.sleep(0.02)
    game.ended_at = time.time()
    return game.wait()


def core_share(pid, seconds):
    """The share of one core the process used over `seconds` (user and system time)."""
    def ticks():
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])

    before, start = ticks(), time.time()
    time.sleep(seconds)
    return (ticks() - before) / os.sysconf("SC_CLK_TCK") / (time.time() - start)


def wait_for_log_line(workdir, line, game, seconds):
    path = os.path.join(workdir, "Files", "Debug.txt")
    deadline = time.time() + seconds
    while time.time() < deadline and game.poll() is None:
        if os.path.exists(path):
            with open(path, "rb") as f:
                if (line + "\r\n").encode() in f.read():
                    return True
        time.sleep(0.1)
    return False


def wait_for_window(display, size, game, seconds):
    """True once a window of `size` (w, h) shows."""
    deadline = time.time() + seconds
    while time.time() < deadline and game.poll() is None:
        shot = capture_or_none(display)
        win = shot and find_window(shot)
        if win and win[2:] == size:
            return True
        time.sleep(0.05)
    return False


FAREWELL = (640, 480)
CLOSING = ["Closing Up", "", "Bye!", "", "Play again, soon!!"]


def saved_files_problems(workdir, lost_display=None):
    """What is missing of an orderly end: both files written, no crash marker, the
    log's last lines. A display lost during a game is logged before the closing
    lines; one lost on the farewell screen, after them (all was saved by then)."""
    problems = []
    for name in ("Files/Setup.ini", "Files/257/scores.dat"):
        if not os.path.exists(os.path.join(workdir, name)):
            problems.append("%s was not written" % name)
    if os.path.exists(os.path.join(workdir, "Files/257/crash.dat")):
        problems.append("the crash marker was left behind")
    with open(os.path.join(workdir, "Files/Debug.txt"), "rb") as f:
        log = f.read().decode("latin-1").split("\r\n")
    if log and log[-1] == "":
        log.pop()
    lost = ["\tDisplay connection lost"]
    want = {None: CLOSING, "game": lost + CLOSING, "farewell": CLOSING + lost}[lost_display]
    if log[-len(want):] != want:
        problems.append("the log ends %r, expected %r" % (log[-len(want):], want))
    return problems


def wait_for_title(workdir, game):
    """True once loading is over and the title has slid in."""
    if not wait_for_log_line(workdir, "Finished Loading", game, 60):
        return False
    time.sleep(3.5)  # the loading screen's minimum and the title's slide-in
    return game.poll() is None


def start_a_game(workdir, display, game):
    """Clicks the title's prompt; problems, or [] once a game runs."""
    if not wait_for_title(workdir, game):
        return ["the title never came"]
    xt = XTest.open(display)
    if not xt:
        return ["cannot send input (libX11/libXtst missing)"]
    xt.click(SCREEN_W // 2, SCREEN_H // 2)
    xt.close()
    time.sleep(1.5)
    shot = capture(display)
    win = find_window(shot)
    if win is None:
        return ["the window went away"]
    return ["the game did not start: " + p for p in check_game(shot, win)]


def end_by_escape(game, display):
    if not tap_escape_and_click(display):
        return ["cannot send keys (libX11/libXtst missing)"]
    deadline = time.time() + 60
    while time.time() < deadline:
        code = wait_for_exit(game, 1)
        if code is not None:
            return [] if code == 0 else ["the program ended with code %d" % code]
        tap_escape_and_click(display)  # the farewell screen waits for a key
    return ["the program did not end within 60 s of Escape"]


def end_by_signal(game, display, workdir):
    problems = start_a_game(workdir, display, game)
    if problems:
        return problems
    sent = time.time()
    game.send_signal(signal.SIGTERM)
    farewell = False
    while not has_ended(game) and time.time() - sent < 2:
        shot = capture_or_none(display)
        win = shot and find_window(shot)
        farewell = farewell or (win is not None and win[2:] == FAREWELL)
    took = time.time() - sent
    code = wait_for_exit(game, 0.1)
    if code is None:
        return ["the program still ran 2 s after SIGTERM"]
    print("ended %.2f s after SIGTERM with code %d" % (took, code))
    problems = saved_files_problems(workdir)
    if code != 0:
        problems.append("the program ended with code %d" % code)
    if farewell:
        problems.append("a farewell window showed")
    return problems


def end_by_taps(game, display, workdir):
    if not wait_for_title(workdir, game):
        return ["the title never came"]
    xt = XTest.open(display)
    if not xt:
        return ["cannot send keys (libX11/libXtst missing)"]
    try:
        tapped = time.time()
        xt.tap("Escape", 0.012)
        if not wait_for_window(display, FAREWELL, game, 10):
            return ["a 12 ms Escape tap on the title was not acted on"]
        print("the farewell window showed %.2f s after the tap" % (time.time() - tapped))
        time.sleep(0.5)
        share = core_share(game.pid, 3)
        print("the farewell screen waits using %.1f %% of a core" % (100 * share))
        problems = [] if share < 0.05 else ["the farewell wait used %.1f %% of a core" % (100 * share)]
        xt.tap("Escape", 0.012)
    finally:
        xt.close()
    code = wait_for_exit(game, 5)
    if code is None:
        return problems + ["a 12 ms Escape tap did not close the farewell"]
    return problems + ([] if code == 0 else ["the program ended with code %d" % code])


def end_by_losing_the_display(game, display, workdir, xvfb, where):
    if where == "game":
        problems = start_a_game(workdir, display, game)
    elif not wait_for_title(workdir, game):
        problems = ["the title never came"]
    else:
        xt = XTest.open(display)
        if not xt:
            return ["cannot send keys (libX11/libXtst missing)"]
        xt.tap("Escape", 0.1)
        xt.close()
        problems = [] if wait_for_window(display, FAREWELL, game, 5) else ["no farewell window after Escape"]
    if problems:
        return problems
    killed = time.time()
    xvfb.kill()
    xvfb.wait()
    code = wait_for_exit(game, 5)
    if code is None:
        return ["the program still ran 5 s after the X server was killed"]
    print("ended %.2f s after the X server went, with code %d" % (game.ended_at - killed, code))
    problems = saved_files_problems(workdir, lost_display=where)
    if code <= 0:
        problems.append("the program ended with code %d, expected a failure status" % code)
    return problems


def end_program(game, display, workdir, xvfb, how, where):
    """Ends the program `how`; returns a list of problems (empty on success)."""
    if how == "escape":
        return end_by_escape(game, display)
    if how == "signal":
        return end_by_signal(game, display, workdir)
    if how == "tap":
        return end_by_taps(game, display, workdir)
    return end_by_losing_the_display(game, display, workdir, xvfb, where)


def save_png(shot, path):
    try:
        from PIL import Image
    except ImportError:
        return
    im = Image.new("RGB", (shot.width, shot.height))
    im.putdata([shot.pixel(x, y) for y in range(shot.height) for x in range(shot.width)])
    im.save(path)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("executable")
    ap.add_argument("--expect", choices=sorted(CHECKS), default="test-picture")
    ap.add_argument("--close", choices=["escape", "signal", "tap", "display-lost"], default="escape")
    ap.add_argument("--where", choices=["game", "farewell"], default="game", help="for --close display-lost")
    ap.add_argument("--copy", action="append", default=[],
                    help="file or folder to copy into the working folder")
    ap.add_argument("--save", help="on failure, write the last capture to this PNG file")
    ap.add_argument("--timeout", type=float, default=30, help="seconds to wait for the picture")
    args = ap.parse_args()
    check = CHECKS[args.expect]

    if not shutil.which("xwd"):
        print("FAIL: xwd (x11-apps) is not installed")
        return 1
    try:
        xvfb, display = start_xvfb()
    except RuntimeError as e:
        print("FAIL:", e)
        return 1
    if xvfb is None:
        print("SKIP: Xvfb is not installed")
        return SKIP

    workdir = tempfile.mkdtemp(prefix="puffwick-e2e-")
    for path in args.copy:
        target = os.path.join(workdir, os.path.basename(os.path.normpath(path)))
        if os.path.isdir(path):
            shutil.copytree(path, target)
        else:
            shutil.copy(path, target)
    env = dict(os.environ, DISPLAY=display)
    env.pop("SDL_VIDEODRIVER", None)
    log = open(os.path.join(workdir, "stderr.txt"), "w+")
    game = subprocess.Popen([os.path.abspath(args.executable)], cwd=workdir, env=env,
                            stdout=log, stderr=subprocess.STDOUT)
    status = 1
    shot = None
    try:
        problems = ["the window never appeared"]
        deadline = time.time() + args.timeout
        while time.time() < deadline:
            time.sleep(0.3)
            if game.poll() is not None:
                problems = ["the program ended early with code %d" % game.returncode]
                break
            shot = capture(display)
            win = find_window(shot)
            if win is None:
                continue
            problems = check(shot, win)
            if not problems:
                break
        if problems:
            print("FAIL:", *problems, sep="\n  ")
        else:
            print("picture OK in the window at %s" % (win,))
            problems = end_program(game, display, workdir, xvfb, args.close, args.where)
            if problems:
                print("FAIL (%s):" % args.close, *problems, sep="\n  ")
            else:
                print("ended as expected (%s)" % args.close)
                status = 0
    finally:
        stop_processes(game, xvfb)
        log.seek(0)
        output = log.read()
        log.close()
        if status != 0:
            if output:
                print("program output:\n" + output)
            if shot is not None and args.save:
                save_png(shot, args.save)
                print("last capture saved to", args.save)
        shutil.rmtree(workdir, ignore_errors=True)
    return status


if __name__ == "__main__":
    sys.exit(main())
