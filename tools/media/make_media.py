#!/usr/bin/python3
"""Draws and synthesises every generated media file of the game.

    /usr/bin/python3 tools/media/make_media.py [--out DIR] [--icons DIR] [--sheet PNG]

DIR defaults to the repository's Files/ folder (Common/, and each game's
folder with its music/: 257/ and 258/, are written below it); the desktop icons go to packaging/icons/ (--icons); the
contact sheet, a preview of all pictures and a
small mock board, defaults to tools/out/contact_sheet.png and is not
committed. Same code, same output: every random choice is seeded, so the
committed files are reproduced byte for byte. The fonts are not made here:
tools/media/copy_fonts.sh copies them.
"""
import argparse
import io
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)

import art  # noqa: E402
import art_258  # noqa: E402
import audio  # noqa: E402
import audio_258  # noqa: E402


ICON_SIZES = (32, 64, 128, 256)


def png_bytes(img):
    buf = io.BytesIO()
    img.save(buf, "PNG", compress_level=9)
    return buf.getvalue()


def build(font_dir):
    """Returns {relative path: bytes} of every generated file, and the images."""
    display_font = os.path.join(font_dir, "Acknowledge TT QVL.ttf")
    images = {
        "257/track.png": art.track_png(),
        "257/train.png": art.train_png(),
        "257/bubbles.png": art.bubbles_png(),
        "257/flash.png": art.flash_png(),
        "257/blob.png": art.blob_png(),
        "257/badges.png": art.badges_png(),
        "Common/icons.png": art.icons_png(),
        "Common/logo.png": art.logo_png(display_font),
        "Common/Pellium.png": art.pellium_png(display_font),
        "258/cart.png": art_258.cart(),
        "258/cargo.png": art_258.cargo_png(),
        "258/backdrop.png": art_258.backdrop_png(),
        "258/life.png": art_258.life_png(),
        "258/badges.png": art_258.badges_png(),
    }
    files = {k: png_bytes(v) for k, v in images.items()}
    for name, x in audio.sfx().items():
        files["257/" + name] = audio.wav_bytes(x)
    files["Common/badgeget.wav"] = audio.wav_bytes(audio.badgeget())
    for name, x in audio.music_files().items():
        files["257/music/" + name] = audio.wav_bytes(x)
    files["257/music/title.ini"] = audio.TITLE_INI.encode("ascii")
    for name, x in audio_258.sfx().items():
        files["258/" + name] = audio.wav_bytes(x)
    for name, x in audio_258.music_files().items():
        files["258/music/" + name] = audio.wav_bytes(x)
    files["258/music/title.ini"] = audio_258.TITLE_INI.encode("ascii")
    return files, images


# ---- contact sheet ---------------------------------------------------------------

def board_background(w, h):
    """The game's diagonal green bands, roughly as the game paints them."""
    y, x = np.mgrid[0:h, 0:w]
    band = ((x + y) // 42).astype(float)
    g = 30 + 0.25 * band / 1.4 + 6 * (band % 2)
    return Image.fromarray(np.dstack([np.zeros_like(g), g, np.zeros_like(g), np.full_like(g, 255)]).astype(np.uint8), "RGBA")


def frame(img, cw, ch, i):
    cols = img.width // cw
    return img.crop(((i % cols) * cw, (i // cols) * ch, (i % cols) * cw + cw, (i // cols) * ch + ch))


def mock_board(images):
    """A small layout like the game's start: a loop, stations, bubbles, a train."""
    W, H = 21 * 32, 14 * 32
    scene = board_background(W, H)
    track, train, bub = images["257/track.png"], images["257/train.png"], images["257/bubbles.png"]
    grid = {}
    x0, y0, x1, y1 = 2, 3, 14, 11
    for x in range(x0 + 1, x1):
        grid[(x, y0)] = 1
        grid[(x, y1)] = 1
    for y in range(y0 + 1, y1):
        grid[(x0, y)] = 2
        grid[(x1, y)] = 2
    grid.update({(x0, y0): 6, (x1, y0): 7, (x0, y1): 5, (x1, y1): 4})
    grid.update({(7, y0 - 1): 8, (7, y0): 9, (9, y1 - 1): 12, (9, y1): 13})
    grid.update({(x0 - 1, 6): 10, (x0, 6): 11, (x1 - 1, 8): 14, (x1, 8): 15})
    # A branch with a crossing, and an occupied stretch.
    for y in range(y0 - 2, y1 + 3):
        grid.setdefault((11, y), 2)
    grid[(11, y0)] = 3
    grid[(11, y1)] = 3
    grid.update({(16, 4): 6, (17, 4): 1, (18, 4): 7, (16, 5): 2, (18, 5): 2, (16, 6): 5, (17, 6): 1, (18, 6): 4})
    busy = {(x1, y) for y in range(5, 11)} | {(x0, 6)}
    for (x, y), code in grid.items():
        f = code - 1 + (200 if (x, y) in busy else 0)
        t = frame(track, 32, 32, f)
        scene.alpha_composite(t, (x * 32, y * 32))
    # Cargo bubbles at the four stations.
    for (x, y), (p, q) in {(7, y0): (0, 1), (9, y1): (2, 3), (x0, 6): (0, 1), (x1, 8): (2, 3)}.items():
        for fr, dx, num, col in ((p, -24, "7", "white"), (q, 24, "12", "white")):
            b = frame(bub, 32, 24, fr)
            scene.alpha_composite(b, (x * 32 + dx, y * 32 - 32))
            d = ImageDraw.Draw(scene)
            d.text((x * 32 + dx + 16, y * 32 - 20), num, fill=col if fr < 2 else (0, 0, 0), anchor="mm")
    # Train heading north up the right side, cars two cells apart.
    for i, car in enumerate((0, 1, 2, 3)):
        cx, cy = x1 * 32, (5 + 2 * i) * 32
        c = frame(train, 64, 64, car)
        scene.alpha_composite(c, (cx + 16 - 32, cy + 32 - 32))
    # One car turning on a curve and a smoke puff.
    c = frame(train, 64, 64, 2).rotate(-45, resample=Image.BICUBIC)
    scene.alpha_composite(c, (x0 * 32 - 16, y0 * 32 + 8))
    puff = frame(train, 64, 64, 5)
    puff.putalpha(puff.getchannel("A").point(lambda v: v * 2 // 5))
    scene.alpha_composite(puff, (x1 * 32 + 10, 3 * 32))
    fl = images["257/flash.png"].resize((64, 64), Image.BICUBIC)
    tint = Image.new("RGBA", fl.size, (250, 150, 100, 255))
    tint.putalpha(fl.getchannel("A"))
    scene.alpha_composite(tint, (17 * 32 - 16, 9 * 32))
    return scene


def mock_dash(images):
    """Parcel Dash mid-game: the cart on the rail, cargo falling, the lives
    and white score text over the sky."""
    scene = images["258/backdrop.png"].copy()
    cart, cargo, life = images["258/cart.png"], images["258/cargo.png"], images["258/life.png"]
    scene.alpha_composite(cart, (330, art_258.RAIL_TOP - cart.height))
    for fr, x, y in ((0, 120, 90), (1, 300, 220), (2, 520, 150), (3, 640, 330), (0, 372, 470)):
        scene.alpha_composite(frame(cargo, 48, 48, fr), (x, y))
    for i in range(3):
        scene.alpha_composite(life, (770 - 28 * i, 10))
    d = ImageDraw.Draw(scene)
    d.text((12, 10), "$ 1,250", fill=(255, 255, 255))
    d.text((12, 26), "0:42", fill=(255, 255, 255))
    return scene


def contact_sheet(images):
    parts = [("board", mock_board(images), 1), ("258 mock", mock_dash(images), 1)]
    for k in ("257/track.png", "257/train.png", "257/bubbles.png", "Common/icons.png", "257/badges.png",
              "257/flash.png", "257/blob.png", "Common/logo.png", "Common/Pellium.png",
              "258/cart.png", "258/cargo.png", "258/life.png", "258/badges.png"):
        img = images[k]
        z = 2 if img.width <= 256 else 1
        if k == "257/track.png":
            img = img.crop((0, 0, 512, 32 * 14))
        parts.append((k, img, z))
    pad = 12
    width = 1400
    x = y = pad
    row_h = 0
    placed = []
    for name, img, z in parts:
        w, h = img.width * z, img.height * z
        if x + w > width - pad:
            x, y = pad, y + row_h + pad + 14
            row_h = 0
        placed.append((name, img, z, x, y))
        x += max(w, 7 * len(name)) + pad  # room for the label of a small picture
        row_h = max(row_h, h)
    out = Image.new("RGBA", (width, y + row_h + pad + 14), (60, 64, 72, 255))
    d = ImageDraw.Draw(out)
    for name, img, z, px, py in placed:
        w, h = img.width * z, img.height * z
        chk = Image.new("RGBA", (w, h), (34, 92, 40, 255))
        cd = ImageDraw.Draw(chk)
        for yy in range(0, h, 16):
            for xx in range(0, w, 16):
                if (xx // 16 + yy // 16) % 2:
                    cd.rectangle((xx, yy, xx + 15, yy + 15), fill=(28, 78, 34, 255))
        scaled = img.resize((w, h), Image.NEAREST) if z > 1 else img
        chk.alpha_composite(scaled)
        out.paste(chk, (px, py + 14))
        d.text((px, py), name, fill=(230, 230, 230))
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--out", default=os.path.join(ROOT, "Files"))
    ap.add_argument("--sheet", default=os.path.join(ROOT, "tools", "out", "contact_sheet.png"))
    ap.add_argument("--icons", default=os.path.join(ROOT, "packaging", "icons"),
                    help="folder for the desktop icons (32.png, 64.png, 128.png, 256.png)")
    ap.add_argument("--fonts", default=os.path.join(ROOT, "Files", "Common"),
                    help="folder holding the committed fonts (the logos use one)")
    args = ap.parse_args()
    files, images = build(args.fonts)
    for rel, data in sorted(files.items()):
        path = os.path.join(args.out, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    os.makedirs(args.icons, exist_ok=True)
    for size in ICON_SIZES:
        with open(os.path.join(args.icons, "%d.png" % size), "wb") as f:
            f.write(png_bytes(art.app_icon(size)))
    if args.sheet:
        os.makedirs(os.path.dirname(os.path.abspath(args.sheet)), exist_ok=True)
        contact_sheet(images).save(args.sheet)
    total = sum(len(v) for v in files.values())
    print(f"wrote {len(files)} files ({total // 1024} KiB) to {args.out}")


if __name__ == "__main__":
    main()
