#!/usr/bin/env python3
"""End-to-end check of the real window.

Starts a private Xvfb, runs the game executable in a fresh working folder (with
copies of --copy paths in it), captures the screen with xwd until the expected
picture shows in the program's window, then closes the program and checks that it
ended cleanly with code 0. --close signal sends SIGTERM, which SDL turns into a
close request as from the close box; --close escape presses Escape through XTEST.
If the program is still running 3 s later (a farewell screen waiting for a key),
Escape and a click are sent every second.

Usage: e2e_window.py EXECUTABLE [--expect test-picture|splash] [--close signal|escape]
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


def tap_escape_and_click(display):
    """Presses and releases Escape and the left button through XTEST; False when
    the libraries are missing. Key events go to the window under the pointer."""
    try:
        x11 = ctypes.CDLL("libX11.so.6")
        xtst = ctypes.CDLL("libXtst.so.6")
    except OSError:
        return False
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
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        return False
    code = x11.XKeysymToKeycode(dpy, x11.XStringToKeysym(b"Escape"))
    xtst.XTestFakeKeyEvent(dpy, code, 1, 0)
    xtst.XTestFakeKeyEvent(dpy, code, 0, 50)
    xtst.XTestFakeButtonEvent(dpy, 1, 1, 50)
    xtst.XTestFakeButtonEvent(dpy, 1, 0, 50)
    x11.XFlush(dpy)
    x11.XCloseDisplay(dpy)
    return True


def close_program(game, display, how):
    """Asks the program to end; returns its exit code, or None if it did not end."""
    if how == "escape":
        if not tap_escape_and_click(display):
            print("FAIL: cannot send keys (libX11/libXtst missing)")
            return None
    else:
        game.send_signal(signal.SIGTERM)
    deadline = time.time() + 60
    nudge = time.time() + 3
    while time.time() < deadline:
        try:
            return game.wait(timeout=0.2)
        except subprocess.TimeoutExpired:
            pass
        if time.time() >= nudge:
            tap_escape_and_click(display)
            nudge = time.time() + 1
    return None


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
    ap.add_argument("--close", choices=["signal", "escape"], default="signal")
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
            code = close_program(game, display, args.close)
            if code == 0:
                print("closed cleanly (%s)" % args.close)
                status = 0
            elif code is None:
                print("FAIL: the program did not end within 60 s of the close (%s)" % args.close)
            else:
                print("FAIL: the program ended with code %d after the close (%s)" % (code, args.close))
    finally:
        if game.poll() is None:
            game.kill()
            game.wait()
        xvfb.terminate()
        try:
            xvfb.wait(timeout=5)
        except subprocess.TimeoutExpired:
            xvfb.kill()
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
