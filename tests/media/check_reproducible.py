#!/usr/bin/python3
"""Runs the media generator into a scratch folder and compares every file it
writes with the committed copy under Files/ (the desktop icons: packaging/icons/),
byte for byte.

    /usr/bin/python3 check_reproducible.py REPO_ROOT
"""
import filecmp
import os
import subprocess
import sys
import tempfile

root = sys.argv[1] if len(sys.argv) > 1 else "."
with tempfile.TemporaryDirectory() as tmp:
    out = os.path.join(tmp, "Files")
    icons = os.path.join(tmp, "icons")
    sheet = os.path.join(tmp, "contact_sheet.png")
    subprocess.run([sys.executable, os.path.join(root, "tools", "media", "make_media.py"),
                    "--out", out, "--icons", icons, "--sheet", sheet], check=True)
    made = []
    bad = []
    for generated, committed_dir in ((out, "Files"), (icons, os.path.join("packaging", "icons"))):
        for rel in sorted(os.path.relpath(os.path.join(d, f), generated) for d, _, fs in os.walk(generated) for f in fs):
            made.append(rel)
            committed = os.path.join(root, committed_dir, rel)
            if not os.path.isfile(committed):
                bad.append(f"{rel}: generated but not in {committed_dir}/")
            elif not filecmp.cmp(committed, os.path.join(generated, rel), shallow=False):
                bad.append(f"{rel}: differs from the generator's output")
    if not os.path.isfile(sheet):
        bad.append("no contact sheet written")
    for b in bad:
        print("FAIL:", b)
    print(f"reproducibility: {len(made)} files compared, {len(bad)} problem(s)")
    sys.exit(1 if bad or len(made) < 50 else 0)
