#!/usr/bin/python3
"""Checks the committed media: sizes and frame layouts of the pictures, that
rails of neighbouring track pieces meet, the cart standing on the backdrop's
rail, the format of every WAV, each game's title music definition and
samples, and the fonts with their licences.

    /usr/bin/python3 check_media.py FILES_DIR
"""
import os
import re
import sys
import wave

import numpy as np
from PIL import Image

FILES = sys.argv[1] if len(sys.argv) > 1 else "Files"
failures = []


def check(ok, msg):
    if not ok:
        failures.append(msg)
    return ok


def load(rel):
    path = os.path.join(FILES, rel)
    if not check(os.path.isfile(path), f"{rel}: missing"):
        return None
    img = Image.open(path)
    check(img.mode == "RGBA", f"{rel}: mode {img.mode}, want RGBA")
    return np.asarray(img.convert("RGBA")).astype(int)


def cells(a, cw, ch, count):
    cols = a.shape[1] // cw
    return [a[(i // cols) * ch:(i // cols + 1) * ch, (i % cols) * cw:(i % cols + 1) * cw] for i in range(count)]


def visible(cell):
    return (cell[..., 3] > 0).sum()


# ---- pictures: size, layout, no opaque pure black (the load mask eats it) ----
PICTURES = {
    # name: (width, height, cell w, cell h, frames that must show something)
    "257/track.png": (512, 480, 32, 32, list(range(15)) + list(range(200, 215))),
    "257/train.png": (512, 64, 64, 64, [0, 1, 2, 3, 5]),
    "257/bubbles.png": (128, 24, 32, 24, [0, 1, 2, 3]),
    "257/badges.png": (256, 256, 64, 64, list(range(16))),
    "Common/icons.png": (256, 64, 16, 16, [0, 7, 11, 12, 13, 14, 18, 19, 20, 21, 22, 23] + list(range(24, 30)) + [63]),
    "257/flash.png": None,
    "257/blob.png": None,
    "Common/logo.png": None,
    "Common/Pellium.png": None,
    "258/cart.png": (96, 48, 96, 48, [0]),
    "258/cargo.png": (192, 48, 48, 48, [0, 1, 2, 3]),
    "258/backdrop.png": (800, 600, 800, 600, [0]),
    "258/life.png": (24, 24, 24, 24, [0]),
    "258/badges.png": (256, 256, 64, 64, list(range(16))),
}
pics = {}
for rel, layout in PICTURES.items():
    a = load(rel)
    if a is None:
        continue
    pics[rel] = a
    opaque_black = ((a[..., 3] > 0) & (a[..., :3].sum(axis=2) == 0)).sum()
    check(opaque_black == 0, f"{rel}: {opaque_black} visible pure black pixels would turn transparent")
    check(visible(a) > 0, f"{rel}: empty picture")
    if layout is None:
        continue
    w, h, cw, ch, used = layout
    if not check(a.shape[:2] == (h, w), f"{rel}: size {a.shape[1]}x{a.shape[0]}, want {w}x{h}"):
        continue
    frames = cells(a, cw, ch, (w // cw) * (h // ch))
    for i in used:
        check(visible(frames[i]) > 0, f"{rel}: frame {i} is empty")

# Track: nothing outside the two blocks of pieces, and rails meet at the edges.
if "257/track.png" in pics and pics["257/track.png"].shape[:2] == (480, 512):
    frames = cells(pics["257/track.png"], 32, 32, 240)
    stray = [i for i in range(240) if not (i < 15 or 200 <= i < 215) and visible(frames[i])]
    check(not stray, f"track.png: unexpected content in frames {stray}")
    # Sides each piece code joins (N, E, S, W); buildings join none.
    JOINS = {1: "EW", 2: "NS", 3: "NESW", 4: "NW", 5: "NE", 6: "ES", 7: "SW", 8: "", 9: "EW",
             10: "", 11: "NS", 12: "", 13: "EW", 14: "", 15: "NS"}
    RAIL, RIM = (9, 10, 11, 20, 21, 22), (8, 12, 19, 23)

    def edge(cell, side):
        return {"N": cell[0], "S": cell[31], "W": cell[:, 0], "E": cell[:, 31]}[side]

    def lum(px):
        return 0.3 * px[..., 0] + 0.59 * px[..., 1] + 0.11 * px[..., 2]

    for base in (0, 200):
        for code, sides in JOINS.items():
            cell = frames[base + code - 1]
            for side in "NESW":
                line = edge(cell, side)
                rails, rims = line[list(RAIL)], line[list(RIM)]
                light = (rails[:, 3] == 255) & (lum(rails) > 150)
                joined = light.all() and (rims[:, 3] == 255).all() and (lum(rims) < 110).all()
                if side in sides:
                    check(joined, f"track frame {base + code - 1}: rails do not meet the {side} edge "
                                  "on rows/columns 9..11 and 20..22 with rims beside them")
                    warm = (rails[:, 0] - rails[:, 2]).mean() > 100
                    check(warm == (base == 200), f"track frame {base + code - 1}: occupied look wrong at {side} edge")
                else:
                    check(not joined, f"track frame {base + code - 1}: rails run into the {side} edge")

# Cars are centred in their cells and point north (longer than wide).
if "257/train.png" in pics:
    for i, cell in enumerate(cells(pics["257/train.png"], 64, 64, 8)[:4]):
        ys, xs = np.nonzero(cell[..., 3] > 128)
        if check(len(xs) > 0, f"train frame {i}: empty"):
            cx, cy = (xs.min() + xs.max()) / 2, (ys.min() + ys.max()) / 2
            check(abs(cx - 31.5) <= 1.5 and abs(cy - 31.5) <= 1.5, f"train frame {i}: not centred ({cx}, {cy})")
            check(ys.max() - ys.min() > 1.5 * (xs.max() - xs.min()), f"train frame {i}: does not point north")

# Bubbles carry a number in their middle: dark under white digits (0, 1),
# light under black digits (2, 3), and plain there.
if "257/bubbles.png" in pics:
    for i, cell in enumerate(cells(pics["257/bubbles.png"], 32, 24, 4)):
        mid = cell[7:17, 9:23]
        L = 0.3 * mid[..., 0] + 0.59 * mid[..., 1] + 0.11 * mid[..., 2]
        check((mid[..., 3] == 255).all(), f"bubble {i}: middle not opaque")
        check(L.std() < 12, f"bubble {i}: middle not plain")
        check(L.max() < 120 if i < 2 else L.min() > 170, f"bubble {i}: middle lacks contrast with its number")

# Parcel Dash: the backdrop is opaque, dark enough under white text, and its
# rail (top on row 564) is where the cart's wheels, its bottom row, stand.
RAIL_TOP = 564
if "258/backdrop.png" in pics and pics["258/backdrop.png"].shape[:2] == (600, 800):
    a = pics["258/backdrop.png"]
    check((a[..., 3] == 255).all(), "258/backdrop.png: not opaque everywhere")
    L = 0.3 * a[..., 0] + 0.59 * a[..., 1] + 0.11 * a[..., 2]
    check(np.percentile(L[:RAIL_TOP], 99) < 110, "258/backdrop.png: too light for white text to read")
    check(L[RAIL_TOP].min() > 150 and L[RAIL_TOP - 1].max() < 120,
          f"258/backdrop.png: rail top not on row {RAIL_TOP}")
if "258/cart.png" in pics:
    ys, xs = np.nonzero(pics["258/cart.png"][..., 3] > 128)
    check(len(ys) and ys.max() == 47, "258/cart.png: the wheels do not reach the bottom row")
if "258/cargo.png" in pics and pics["258/cargo.png"].shape[:2] == (48, 192):
    # A falling piece keeps clear of the frame's edges so a turned look is not cut off.
    for i, cell in enumerate(cells(pics["258/cargo.png"], 48, 48, 4)):
        edge = np.concatenate([cell[0], cell[-1], cell[:, 0], cell[:, -1]])
        check((edge[:, 3] == 0).all(), f"258/cargo.png: frame {i} touches its edge")

# ---- sounds -----------------------------------------------------------------------
SOUNDS = [f"257/{k:03d}.wav" for k in range(2, 11)] + ["Common/badgeget.wav"]
SOUNDS += [f"257/music/d{k}-{n}.wav" for k in (1, 2) for n in range(1, 9)]
SOUNDS += [f"257/music/{p}{n}.wav" for p in ("bass", "lead", "accompany") for n in range(1, 9)]
SOUNDS += [f"258/{k:03d}.wav" for k in range(2, 7)]
SOUNDS += [f"258/music/d{k}-{n}.wav" for k in (1, 2) for n in range(1, 9)]
SOUNDS += [f"258/music/{p}{n}.wav" for p in ("bass", "lead", "accompany") for n in range(1, 7)]
PITCH = {"bass": 130.81, "lead": 523.25, "accompany": 261.63}


def read_wav(rel):
    path = os.path.join(FILES, rel)
    if not check(os.path.isfile(path), f"{rel}: missing"):
        return None
    with open(path, "rb") as f:
        head = f.read(36)
    check(head[:4] == b"RIFF" and head[8:16] == b"WAVEfmt " and int.from_bytes(head[20:22], "little") == 1,
          f"{rel}: not a PCM RIFF WAVE")
    with wave.open(path) as w:
        fmt = (w.getnchannels(), w.getsampwidth(), w.getframerate())
        if not check(fmt == (1, 2, 44100), f"{rel}: format {fmt}, want mono 16-bit 44100 Hz"):
            return None
        x = np.frombuffer(w.readframes(w.getnframes()), "<i2").astype(float) / 32768
    return x


for rel in SOUNDS:
    x = read_wav(rel)
    if x is None:
        continue
    name = os.path.basename(rel)
    dur = len(x) / 44100
    peak = np.abs(x).max() if len(x) else 0
    check(0.03 < dur < 2.5, f"{rel}: {dur:.2f} s long")
    check(0.1 < peak < 0.97, f"{rel}: peak {peak:.2f} (silent or clipping)")
    if rel.startswith("258/") and "/music/" not in rel:
        check(dur <= 0.6, f"{rel}: {dur:.2f} s, effects of this game stay under 0.6 s")
    if rel.startswith("257/") and name == "010.wav":
        check(dur <= 0.2, f"{rel}: the rumble restarts every frame, {dur:.2f} s is too long")
    if rel.startswith("257/") and name == "009.wav":
        check(dur >= 1.0, f"{rel}: the running loop should last a few seconds")
        step = np.abs(np.diff(x)).mean()
        check(abs(x[-1] - x[0]) < 4 * step + 1e-3, f"{rel}: the loop clicks where it restarts")
    else:
        check(abs(x[0]) < 0.02 and abs(x[-1]) < 0.02, f"{rel}: starts or ends with a click")
    m = re.fullmatch(r"([a-z]+)\d\.wav", name)
    base = m.group(1) if m else None
    if base in PITCH:
        power = np.abs(np.fft.rfft(x * np.hanning(len(x)), 1 << 18))
        f = np.fft.rfftfreq(1 << 18, 1 / 44100)[np.argmax(power)]
        k = round(f / PITCH[base])
        check(k >= 1 and abs(f / k - PITCH[base]) / PITCH[base] < 0.015,
              f"{rel}: strongest partial {f:.1f} Hz is no harmonic of {PITCH[base]} Hz")

# ---- title music definitions and sample numbering ----------------------------------------
NOTES = set("zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]")


def check_title(game):
    rel = f"{game}/music/title.ini"
    path = os.path.join(FILES, rel)
    if not check(os.path.isfile(path), f"{rel}: missing"):
        return
    sections = {s: [] for s in ("DRUMS", "CHORDS", "BASS", "MELODY", "ACCOMPANY")}
    stretch = {}
    current = None
    for raw in open(path, encoding="ascii"):
        line = raw.strip()
        up = line.upper()
        if line.startswith("["):
            name = up.replace("]", "")[1:]
            current = name if name in sections else current
        elif current and up.startswith("STRETCH"):
            value = [v for v in ("RANDOM+", "FALSE", "RANDOM", "DOUBLE") if up.endswith(v)]
            check(len(value) == 1, f"{rel}: unreadable stretch line {line!r}")
            stretch[current] = value[0] if value else None
        elif current and line.startswith('"'):
            sections[current].append(line.replace('"', ""))
    check(set(stretch.values()) == {"FALSE", "RANDOM", "RANDOM+", "DOUBLE"},
          f"{rel}: stretch values used {sorted(map(str, stretch.values()))}")
    for sec, lines in sections.items():
        check(lines, f"{rel}: section {sec} has no patterns")
        for p in lines:
            low = p.lower()
            if sec == "DRUMS":
                check(p.isdigit() and any(c in "12345678" for c in p), f"{rel}: drum line {p!r}")
            elif sec == "CHORDS":
                check(len(p) in (4, 8) and all(c in NOTES and c != "z" for c in low), f"{rel}: chord line {p!r}")
            else:
                check(all(c in NOTES or c == " " for c in low) and low.strip(), f"{rel}: {sec} line {p!r}")
    return sections


def check_numbering(game):
    """The engine plays melodic samples 1 to the highest number it finds, so a
    gap is a silent instrument; drum digits in the patterns need their sample."""
    folder = os.path.join(FILES, game, "music")
    names = os.listdir(folder) if os.path.isdir(folder) else []
    for part in ("bass", "lead", "accompany"):
        nums = sorted(int(m.group(1)) for n in names if (m := re.fullmatch(part + r"(\d+)\.wav", n)))
        check(nums and nums == list(range(1, len(nums) + 1)) and len(nums) <= 8,
              f"{game}/music: {part} samples numbered {nums}, want 1..n (at most 8)")
    return names


for game in ("257", "258"):
    sections = check_title(game)
    names = check_numbering(game)
    for p in (sections or {}).get("DRUMS", []):
        for kit in (1, 2):
            missing = sorted({d for d in p if d in "12345678" and f"d{kit}-{d}.wav" not in names})
            check(not missing, f"{game}/music: drum line {p!r} uses kit {kit} samples {missing} that are missing")

# ---- fonts and their licences ---------------------------------------------------------
for font in ("SVBasicManual.ttf", "Blue Highway.ttf", "Acknowledge TT QVL.ttf"):
    path = os.path.join(FILES, "Common", font)
    if check(os.path.isfile(path), f"Common/{font}: missing"):
        with open(path, "rb") as f:
            check(f.read(4) in (b"\x00\x01\x00\x00", b"true"), f"Common/{font}: not a TrueType font")
    lic = os.path.join(FILES, "Common", font[:-4] + ".LICENSE.txt")
    if check(os.path.isfile(lic), f"Common/{font}: licence text missing"):
        text = open(lic, encoding="utf-8").read()
        check("License" in text and len(text) > 2000, f"{lic}: not a licence text")

for f in failures:
    print("FAIL:", f)
print(f"media check: {len(failures)} problem(s)")
sys.exit(1 if failures else 0)
