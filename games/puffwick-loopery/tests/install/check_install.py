#!/usr/bin/python3
"""The installed game: the tree `cmake --install` writes, its desktop entry and
metadata, the command line, and the program run from that tree.

    check_install.py tree BUILD_DIR      install into a staging folder (DESTDIR) and
                                         check the files, the validators and --help
    check_install.py run BUILD_DIR       install, then start the installed program under
                                         Xvfb from another folder with a temporary home
    check_install.py readonly BUILD_DIR  the same with a home where no save folder can
                                         be made: one line on stderr, nothing written
    check_install.py deb BUILD_DIR       cpack -G DEB, the package's file list, its
                                         dependencies and lintian's errors

Exit codes: 0 pass, 1 fail, 77 skipped (a tool the check needs is not installed).
"""
import os
import shutil
import stat
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "real"))
import e2e_window  # noqa: E402  (private Xvfb and screen captures)

SKIP = 77
APP_ID = "org.brindlewood.PuffwickLoopery"
PREFIX = "usr"
EXPECTED = [
    "bin/puffwick-loopery",
    "bin/puffwick-music",
    "share/puffwick-loopery/Files/Common/logo.png",
    "share/puffwick-loopery/Files/Common/SVBasicManual.ttf",
    "share/puffwick-loopery/Files/257/track.png",
    "share/puffwick-loopery/Files/257/002.wav",
    "share/puffwick-loopery/Files/257/music/title.ini",
    "share/applications/%s.desktop" % APP_ID,
    "share/icons/hicolor/32x32/apps/%s.png" % APP_ID,
    "share/icons/hicolor/64x64/apps/%s.png" % APP_ID,
    "share/icons/hicolor/128x128/apps/%s.png" % APP_ID,
    "share/icons/hicolor/256x256/apps/%s.png" % APP_ID,
    "share/metainfo/%s.metainfo.xml" % APP_ID,
    "share/doc/puffwick-loopery/README.md",
    "share/doc/puffwick-loopery/copyright",
    "share/doc/puffwick-loopery/fonts/SVBasicManual.LICENSE.txt",
    "share/doc/puffwick-loopery/fonts/Acknowledge TT QVL.LICENSE.txt",
]
# What a run writes must never be installed.
FORBIDDEN = ("Debug.txt", "Setup.ini", "scores.dat", "crash.dat")

problems = []


def fail(msg):
    problems.append(msg)
    print("FAIL:", msg)


def install(build, stage):
    env = dict(os.environ, DESTDIR=stage)
    out = subprocess.run(["cmake", "--install", build, "--prefix", "/" + PREFIX], env=env,
                         capture_output=True, text=True)
    if out.returncode != 0:
        print(out.stdout, out.stderr)
        raise SystemExit("FAIL: cmake --install failed")
    return os.path.join(stage, PREFIX)


def snapshot(root):
    """Every path under root with its kind, size and modification time."""
    seen = {}
    for d, dirs, files in os.walk(root):
        for name in dirs + files:
            p = os.path.join(d, name)
            st = os.lstat(p)
            seen[os.path.relpath(p, root)] = (stat.S_IFMT(st.st_mode), st.st_size, st.st_mtime_ns)
    return seen


def set_writable(root, writable):
    for d, dirs, files in os.walk(root):
        for name in [d] + [os.path.join(d, f) for f in files]:
            mode = os.lstat(name).st_mode
            os.chmod(name, (mode | stat.S_IWUSR) if writable else (mode & ~0o222))


# ------------------------------------------------------------------ tree
def check_tree(build):
    with tempfile.TemporaryDirectory(prefix="puffwick-install-") as tmp:
        prefix = install(build, os.path.join(tmp, "stage"))
        for rel in EXPECTED:
            if not os.path.isfile(os.path.join(prefix, rel)):
                fail("not installed: " + rel)
        man = os.path.join(prefix, "share/man/man6")
        if not os.path.isfile(os.path.join(man, "puffwick-loopery.6")):
            fail("no man page puffwick-loopery.6")
        for rel in snapshot(prefix):
            if os.path.basename(rel) in FORBIDDEN:
                fail("a file a run writes is installed: " + rel)
        if not os.access(os.path.join(prefix, "bin/puffwick-loopery"), os.X_OK):
            fail("the program is not executable")

        validators = [
            ("desktop-file-validate", [os.path.join(prefix, "share/applications/%s.desktop" % APP_ID)]),
            ("appstreamcli", ["validate", "--no-net", "--pedantic",
                              os.path.join(prefix, "share/metainfo/%s.metainfo.xml" % APP_ID)]),
            ("man", ["--warnings", "-E", "UTF-8", "-l", "-Tutf8", os.path.join(man, "puffwick-loopery.6")]),
        ]
        for tool, args in validators:
            if not shutil.which(tool):
                print("SKIP: %s is not installed" % tool)
                return SKIP
            out = subprocess.run([tool] + args, capture_output=True, text=True)
            if tool == "appstreamcli":
                # Infos and pedantic notes ("I:", "P:") are fine; warnings and errors are not.
                said = [l for l in out.stdout.splitlines() if l.startswith(("E:", "W:"))]
            elif tool == "man":
                said = out.stderr.splitlines()  # groff's warnings; stdout is the page
            else:
                said = (out.stdout + out.stderr).splitlines()
            if out.returncode != 0 or said:
                fail("%s: %s%s" % (tool, out.stdout, out.stderr))
        check_command_line(os.path.join(prefix, "bin/puffwick-loopery"), tmp)
    return 0


def check_command_line(program, tmp):
    env = dict(os.environ, HOME=os.path.join(tmp, "home"), XDG_DATA_HOME=os.path.join(tmp, "xdg"))
    env.pop("DISPLAY", None)
    run = lambda *args: subprocess.run([program, *args], capture_output=True, text=True, env=env, cwd=tmp,
                                       timeout=30)
    version = run("--version")
    if version.returncode != 0 or version.stdout != "puffwick-loopery 1.0.0\n" or version.stderr:
        fail("--version: %r %r" % (version.stdout, version.stderr))
    helped = run("--help")
    if helped.returncode != 0 or "--save DIR" not in helped.stdout or \
            "Save folder: %s/xdg/puffwick-loopery\n" % tmp not in helped.stdout:
        fail("--help: %r" % helped.stdout)
    wrong = run("--frobnicate")
    lines = wrong.stderr.splitlines()
    if wrong.returncode != 2 or not lines or lines[0] != "puffwick-loopery: unknown option --frobnicate" \
            or "Usage:" not in wrong.stderr or wrong.stdout:
        fail("unknown option: %d %r" % (wrong.returncode, wrong.stderr))
    if os.path.exists(os.path.join(tmp, "xdg")):
        fail("--help or --version made the save folder")


# ------------------------------------------------------------------ run
def x_send(display, keys=(), point=None):
    """Moves the pointer and taps keys through XTEST; False without the libraries."""
    xt = e2e_window.XTest.open(display)
    if not xt:
        return False
    if point:
        xt.move(*point)
    for key in keys:
        xt.tap(key, 0.03)
    xt.close()
    return True


def wait_for(what, timeout, game=None):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if what():
            return True
        if game is not None and game.poll() is not None:
            return False
        time.sleep(0.2)
    return what()


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read().decode("latin-1")
    except OSError:
        return ""


def run_installed(build, readonly_home):
    if not shutil.which("xwd"):
        print("SKIP: xwd (x11-apps) is not installed")
        return SKIP
    xvfb, display = e2e_window.start_xvfb()
    if xvfb is None:
        print("SKIP: Xvfb is not installed")
        return SKIP
    tmp = tempfile.mkdtemp(prefix="puffwick-installed-")
    game = None
    try:
        prefix = install(build, os.path.join(tmp, "stage"))
        work, home = os.path.join(tmp, "work"), os.path.join(tmp, "home")
        os.makedirs(work)
        os.makedirs(home)
        xdg = os.path.join(home, "xdg")
        save = os.path.join(xdg, "puffwick-loopery")
        # The sound and GL libraries keep files of their own under these; they are
        # not the game's, so they go to the scratch folder, not the home checked below.
        env = dict(os.environ, DISPLAY=display, HOME=home, XDG_DATA_HOME=xdg,
                   XDG_CONFIG_HOME=os.path.join(tmp, "config"), XDG_CACHE_HOME=os.path.join(tmp, "cache"))
        env.pop("SDL_VIDEODRIVER", None)
        set_writable(os.path.join(tmp, "stage"), False)
        command = [os.path.join(prefix, "bin/puffwick-loopery")]
        if readonly_home:
            # Root writes into read-only folders, so the home is made unusable for
            # everyone: a file where the data folder's parent should be.
            with open(xdg, "w"):
                pass
            os.chmod(home, 0o555)
        before = {"stage": snapshot(os.path.join(tmp, "stage")), "work": snapshot(work), "home": snapshot(home)}
        err_path = os.path.join(tmp, "stderr.txt")
        with open(err_path, "w") as err, open(os.path.join(tmp, "stdout.txt"), "w") as out:
            game = subprocess.Popen(command, cwd=work, env=env, stdout=out, stderr=err)
        log = os.path.join(save, "Files/Debug.txt")
        setup = os.path.join(save, "Files/Setup.ini")

        # The title: loading is over (the log says so, or, with saving off, the
        # loading screen's least time has passed) and the window shows.
        if readonly_home:
            reached = wait_for(lambda: False, 5, game) or game.poll() is None
        else:
            reached = wait_for(lambda: read(log).rstrip("\r\n").endswith("Finished Loading"), 60, game)
        win = None
        if reached:
            time.sleep(3)  # the loading screen stays 2.5 s
            shot = e2e_window.capture(display)
            win = e2e_window.find_window(shot)
        if not reached or game.poll() is not None or not win:
            fail("the installed program did not reach the title (exit %s)" % game.poll())
        else:
            # Tab opens the settings panel, which writes Setup.ini.
            x_send(display, ["Tab"], (win[0] + win[2] // 2, win[1] + win[3] // 2))
            if readonly_home:
                time.sleep(2)
            elif not wait_for(lambda: read(setup).startswith("[Graphics]"), 20, game):
                fail("Tab on the title wrote no Setup.ini into " + setup)
            # A termination signal saves and ends the program without the farewell.
            game.send_signal(signal.SIGTERM)
            code = e2e_window.wait_for_exit(game, 10)
            if code != 0:
                fail("the program did not end cleanly after SIGTERM: %s" % code)
        if not readonly_home and "Week #257" not in read(log):
            fail("no log header in " + log)
        err = read(err_path)
        out = read(os.path.join(tmp, "stdout.txt"))
        if readonly_home:
            want = ("Cannot create the save folder %s (Not a directory): settings, scores and screenshots "
                    "will not be saved\n" % save)
            if err != want:
                fail("stderr with saving off:\n%r\nexpected\n%r" % (err, want))
        elif err:
            fail("a normal run printed on stderr: %r" % err)
        if out:
            fail("the program printed on stdout: %r" % out)
        after = {"stage": snapshot(os.path.join(tmp, "stage")), "work": snapshot(work), "home": snapshot(home)}
        for place in ("stage", "work") + (("home",) if readonly_home else ()):
            if after[place] != before[place]:
                changed = sorted(set(after[place].items()) ^ set(before[place].items()))
                fail("something was written under %s: %s" % (place, changed[:5]))
    finally:
        e2e_window.stop_processes(game, xvfb)
        for d, dirs, files in os.walk(tmp):
            os.chmod(d, 0o755)
        shutil.rmtree(tmp, ignore_errors=True)
    return 0


# ------------------------------------------------------------------ deb
def check_deb(build):
    for tool in ("cpack", "dpkg-deb", "dpkg-shlibdeps"):
        if not shutil.which(tool):
            print("SKIP: %s is not installed" % tool)
            return SKIP
    for old in os.listdir(build):
        if old.endswith(".deb"):
            os.remove(os.path.join(build, old))
    out = subprocess.run(["cpack", "-G", "DEB"], cwd=build, capture_output=True, text=True)
    # One package per game built here; this game's holds nothing of another's.
    debs = sorted(f for f in os.listdir(build) if f.endswith(".deb"))
    ours = [f for f in debs if f.startswith("puffwick-loopery_")]
    if out.returncode != 0 or len(ours) != 1:
        fail("cpack -G DEB: %s %s" % (out.stdout, out.stderr))
        return 0
    deb = os.path.join(build, ours[0])
    print("packages: %s; %s, %d bytes" % (", ".join(debs), ours[0], os.path.getsize(deb)))
    listing = subprocess.run(["dpkg-deb", "-c", deb], capture_output=True, text=True).stdout
    names = {line.split(" ./", 1)[1] for line in listing.splitlines() if " ./" in line}
    others = [n for n in names if "parcel-dash" in n or "ParcelDash" in n or "/Files/258" in n]
    if others:
        fail("the package holds another game's files: %s" % sorted(others)[:5])
    if os.path.isfile(os.path.join(build, "CMakeFiles", "parcel-dash.dir", "link.txt")) or \
            os.path.isdir(os.path.join(build, "games", "parcel-dash")):
        if not any(f.startswith("parcel-dash_") for f in debs):
            fail("no parcel-dash package beside this game's: %s" % debs)
    # Debian keeps games in /usr/games.
    debian = [rel.replace("bin/", "games/", 1) if rel.startswith("bin/") else rel for rel in EXPECTED]
    for rel in debian + ["share/man/man6/puffwick-loopery.6.gz", "share/doc/puffwick-loopery/changelog.gz"]:
        if "%s/%s" % (PREFIX, rel) not in names:
            fail("not in the package: " + rel)
    fields = subprocess.run(["dpkg-deb", "-f", deb, "Package", "Version", "Depends"], capture_output=True,
                            text=True).stdout
    print(fields)
    for want in ("Package: puffwick-loopery", "Version: 1.0.0", "libsdl2-2.0-0", "libopenal1", "libpng16-16"):
        if want not in fields:
            fail("control fields lack %r" % want)
    if shutil.which("lintian"):
        lint = subprocess.run(["lintian", "--tag-display-limit", "0", deb], capture_output=True, text=True)
        print("lintian:\n" + lint.stdout + lint.stderr)
        errors = [l for l in lint.stdout.splitlines() if l.startswith("E:")]
        if errors:
            fail("lintian errors:\n" + "\n".join(errors))
    else:
        print("lintian is not installed: its check is left out")
    return 0


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("tree", "run", "readonly", "deb"):
        print(__doc__)
        return 2
    what, build = sys.argv[1], os.path.abspath(sys.argv[2])
    if what == "tree":
        status = check_tree(build)
    elif what == "deb":
        status = check_deb(build)
    else:
        status = run_installed(build, what == "readonly")
    if status == SKIP:
        return SKIP
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
