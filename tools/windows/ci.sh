#!/usr/bin/env bash
# The Windows part of CI: builds the libraries (cached), both games, their zips
# and installers and the test programs for 64-bit Windows, and runs the tests
# under Wine: the headless test programs and the golden replays through ctest,
# then the zip's game and the installer in a real window (Xvfb).
#   tools/windows/ci.sh
# PUFFWICK_WINDOWS_BUILD picks the build folder (build/windows).
set -euo pipefail
cd "$(dirname "$0")/../.."
dir=${PUFFWICK_WINDOWS_BUILD:-build/windows}
start=$(date +%s)
./windows.sh --build
nice -n 19 cmake --build "$dir" -j"$(nproc)"

# One Wine prefix of CI's own, one wineserver kept running for all the tests,
# and one first call that pays Wine's start-up: without them the first test
# waits on the prefix being made.
export WINEPREFIX=${WINEPREFIX:-$HOME/.cache/puffwick-win64/wineprefix}
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
wineserver -p || true  # one already running for this prefix serves as well
trap 'wineserver -k || true' EXIT
/usr/lib/wine/wine64 cmd /c echo "Wine ready" </dev/null
# Cases that fail under Wine today, each with its reason in the file.
skip=$(grep -v '^#' tools/windows/wine-known-failures.txt | awk 'NF{print $1}' | paste -sd'|')
# Wine now and then fails to start a program at all (a case "fails" in 0.02 s
# with no output): a failed case runs once more, and a real failure fails twice.
(cd "$dir" && nice ctest -j"$(nproc)" --timeout 300 --output-on-failure --repeat until-pass:2 ${skip:+-E "^($skip)\$"})

# The shipped game in a real window, from its zip and from its installer, on an
# X server of our own (CI has no display).
window_start=$(date +%s)
xdir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -wr -nolisten tcp -noreset 3>"$xdir/display" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k || true; kill "$xvfb" 2>/dev/null || true; rm -rf "$xdir"' EXIT
for _ in $(seq 100); do [ -s "$xdir/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n 1 "$xdir/display")
# Wine's desktop process, started with the tests, knows no display: a window
# needs a wineserver (and its first program) started with DISPLAY set.
wineserver -k || true
wineserver -w || true
wineserver -p
/usr/lib/wine/wine64 cmd /c echo "Wine ready on $DISPLAY" </dev/null
version=$(awk -F'|' '$1 == "puffwick-loopery" {print $3}' "$dir/packaging/windows/games.txt")
python=$(command -v /usr/bin/python3 || command -v python3)
nice "$python" tools/windows/real_window.py --zip "$dir/puffwick-loopery-$version-win64.zip"
nice tools/windows/installer_test.sh "$dir/puffwick-loopery-$version-win64-setup.exe"
echo "windows ci: the real window and the installer took $(( $(date +%s) - window_start )) s" >&2
echo "windows ci: $(( $(date +%s) - start )) s" >&2
