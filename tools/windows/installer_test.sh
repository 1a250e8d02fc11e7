#!/usr/bin/env bash
# The Windows installer under Wine: installs silently into a folder of our
# choosing, the installed game reaches its title (checked in a capture by
# real_window.py --title-only), and the silent uninstaller takes the program
# away and leaves the save folder under %APPDATA% as it was.
#   tools/windows/installer_test.sh SETUP.exe
# Needs WINEPREFIX and DISPLAY, with the prefix's wineserver running.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
setup=$(realpath "$1")
wine=/usr/lib/wine/wine64
folder='C:\Puffwick Test'
installed=$WINEPREFIX/drive_c/Puffwick\ Test
saves=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/puffwick-loopery
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$installed"
# /D= comes last and unquoted, spaces and all: Wine would quote an argument
# holding a space, so cmd is given the command line as it is.
(cd "$(dirname "$setup")" && "$wine" cmd /c "$(basename "$setup") /S /D=$folder" </dev/null >/dev/null 2>&1) ||
  fail "the installer ended with status $?"
for f in puffwick-loopery.exe OpenAL32.dll Uninstall.exe Files/257 Files/Common; do
  [ -e "$installed/$f" ] || fail "the installer did not put $f in $folder"
done
echo "installed: OK"

python=$(command -v /usr/bin/python3 || command -v python3)
"$python" "$here/real_window.py" --exe "$installed/puffwick-loopery.exe" --title-only ||
  fail "the installed game did not reach its title"
[ -f "$saves/Files/Setup.ini" ] || fail "the installed game saved nothing under %APPDATA%"
echo "kept" >"$saves/Files/keep-me.txt"

# The uninstaller runs a copy of itself from the temporary folder and returns
# at once: wait for the folder to go.
"$wine" "$installed/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller ended with status $?"
for _ in $(seq 60); do
  [ -e "$installed" ] || break
  sleep 0.5
done
[ -e "$installed" ] && fail "the uninstaller left $(cd "$installed" && find . | head -n 5 | tr '\n' ' ')"
[ -f "$saves/Files/keep-me.txt" ] && [ -f "$saves/Files/Setup.ini" ] ||
  fail "the uninstaller touched the save folder"
echo "uninstalled, saves kept: OK"
echo "PASS: the installer under Wine"
