"""Pictures of game 258, Parcel Dash: the cart, the falling cargo, the
backdrop with its track, the lives icon and the game's badges."""
import math

import numpy as np
from PIL import Image, ImageDraw

from art import INK, WHITE, WOOD, WOOD_DARK, glyph
from canvas import Canvas, grow, sheet

W, H = 800, 600
# Top row of the rail in the backdrop: the cart's wheels (its picture's
# bottom row) stand on it.
RAIL_TOP = 564

SKIN = (244, 198, 154)
HAIR = (96, 58, 36)
JUMPER = (250, 128, 52)
TROUSERS = (62, 98, 206)
BOX = (182, 120, 62)
BOX_LID = (212, 156, 92)
STRING = (248, 236, 204)
CART_SIDE = (38, 156, 164)
CART_SIDE_HI = (120, 214, 210)
STEEL = (158, 164, 178)
BRASS = (236, 186, 64)


def _tilt(c, deg, cx, cy):
    """Turn the canvas's coordinates so that shapes drawn afterwards come out
    turned by deg about (cx, cy); polygons are not covered, so callers use
    masks built from X and Y only."""
    a = math.radians(deg)
    dx, dy = c.X - cx, c.Y - cy
    c.X, c.Y = cx + dx * math.cos(a) + dy * math.sin(a), cy - dx * math.sin(a) + dy * math.cos(a)


def _outlined(c, parts, rim=1.2):
    """Paints a dark rim round the union of the parts, then the parts in order."""
    union = np.zeros_like(c.A)
    for m, _ in parts:
        union = np.maximum(union, m)
    c.paint(grow(union, c, rim), INK)
    for m, col in parts:
        c.paint(m, col)


# ---- cart ------------------------------------------------------------------

def _wheel(c, cx, cy):
    c.paint(c.ellipse(cx, cy, 10), INK)
    c.paint(c.ellipse(cx, cy, 8.6), STEEL)
    c.paint(c.ellipse(cx, cy, 6.4), (66, 68, 82))
    for k in range(6):
        a = k * math.pi / 3 + 0.3
        c.paint(c.seg(cx, cy, cx + 6 * math.cos(a), cy + 6 * math.sin(a), 1.4), STEEL)
    c.paint(c.ellipse(cx, cy, 2.4), BRASS)
    c.paint(c.ring(cx, cy, 7.6, 8.6, 200, 290), WHITE, 0.5)


def cart():
    """A small flatbed cart side-on with low sides to catch what falls; the
    wheels stand on the picture's bottom row."""
    c = Canvas(96, 48)
    # Buffers at both ends, then the frame.
    for x0 in (0, 89):
        c.paint(c.rect(x0, 26, x0 + 7, 32), INK)
        c.paint(c.rect(x0 + 1, 27, x0 + 6, 31), (190, 48, 44))
    c.paint(c.rect(5, 29, 91, 37), INK)
    c.paint(c.rect(6, 30, 90, 36), (70, 72, 86))
    # Deck planks and the low sides.
    c.paint(c.rrect(3, 10, 93, 31, 2), INK)
    c.paint(c.rect(4.5, 24, 91.5, 29.5), WOOD)
    for x in range(14, 90, 12):
        c.paint(c.rect(x, 24, x + 1, 29.5), WOOD_DARK)
    shade = np.clip(1.15 - 0.35 * (c.Y - 11) / 13, 0.7, 1.2)[..., None]
    c.paint(c.rect(4.5, 11.5, 91.5, 23), np.clip(np.asarray(CART_SIDE, float) * shade, 0, 255))
    c.paint(c.rect(4.5, 11.5, 91.5, 13), CART_SIDE_HI)
    c.paint(c.rect(4.5, 17, 91.5, 18.2), BRASS)
    for x in (4.5, 45.5, 86.5):
        c.paint(c.rect(x, 11.5, x + 5, 23), (24, 104, 112))
    c.paint(c.rect(4.5, 23, 91.5, 24), INK, 0.7)
    _wheel(c, 22, 38)
    _wheel(c, 74, 38)
    return c.image()


# ---- cargo -------------------------------------------------------------------

def parcel(tilt, bow_spread):
    c = Canvas(48, 48)
    _tilt(c, tilt, 24, 28)
    body = c.rrect(9, 17, 39, 42, 2.5)
    loops = np.maximum(c.ring(24 - bow_spread, 12.5, 1.4, 3.4), c.ring(24 + bow_spread, 12.5, 1.4, 3.4))
    _outlined(c, [(body, BOX), (loops, STRING)])
    c.paint(c.rect(9, 17, 39, 22), BOX_LID)
    c.paint(c.rect(9, 22, 39, 23), (120, 74, 34), 0.8)
    c.paint(c.rect(23, 15, 25, 42) * body, STRING)
    c.paint(c.rect(9, 29, 39, 31) * body, STRING)
    c.paint(c.seg(24, 15.5, 24 - bow_spread * 0.7, 12.5, 1.6), STRING)
    c.paint(c.seg(24, 15.5, 24 + bow_spread * 0.7, 12.5, 1.6), STRING)
    c.paint(c.ellipse(24, 15.5, 1.9), (226, 206, 160))
    # Address label, clear of the string.
    c.paint(c.rect(28, 33, 37, 39), (120, 74, 34))
    c.paint(c.rect(28.6, 33.6, 36.4, 38.4), (240, 228, 200))
    for y in (35, 37):
        c.paint(c.rect(30, y, 35, y + 0.7), (120, 110, 100))
    return c.image()


def person(tilt, arms, kick):
    """A falling passenger waving for the cart to come: head, jumper, arms
    raised (two poses), legs."""
    c = Canvas(48, 48)
    _tilt(c, tilt, 24, 26)
    c.Y = c.Y + 1.0  # one pixel up: a kicked foot stays inside the frame
    (lx, ly), (rx, ry) = arms
    parts = [
        (np.maximum(c.seg(20.5, 35, 19 - kick, 42.5, 4.2), c.seg(27.5, 35, 29 + kick, 42.5, 4.2)), TROUSERS),
        (np.maximum(c.ellipse(18.5 - kick, 43.6, 3, 1.7), c.ellipse(29.5 + kick, 43.6, 3, 1.7)), (60, 44, 40)),
        (np.maximum(c.seg(18.5, 24, lx, ly, 3.8), c.seg(29.5, 24, rx, ry, 3.8)), JUMPER),
        (np.maximum(c.ellipse(lx, ly, 2.4), c.ellipse(rx, ry, 2.4)), SKIN),
        (c.rrect(16.5, 21, 31.5, 37, 4.5), JUMPER),
        (c.ellipse(24, 13, 7.4), SKIN),
    ]
    _outlined(c, parts)
    c.paint(c.ellipse(24, 13, 7.4) * (c.Y < 10.5 + 0.12 * np.abs(c.X - 24)), HAIR)
    c.paint(c.rect(17, 26.5, 31, 28.5) * c.rrect(16.5, 21, 31.5, 37, 4.5), (255, 214, 110))
    for x in (21.4, 26.6):
        c.paint(c.ellipse(x, 13.2, 0.95, 1.2), (40, 30, 30))
    c.paint(c.ring(24, 14.2, 2.3, 3.2, 25, 155), (150, 60, 50))
    for x in (19.4, 28.6):
        c.paint(c.ellipse(x, 15.6, 1.5, 1.0), (240, 140, 130), 0.6)
    return c.image()


def cargo_png():
    return sheet([parcel(0, 3.2),
                  person(0, ((10, 12), (38, 12)), 0),
                  parcel(-8, 3.8),
                  person(6, ((9, 17), (36, 8)), 2)], 48, 48, 4)


# ---- backdrop ------------------------------------------------------------------

def _ridge(x, rng, base, amps):
    """A hill line: a few seeded sine waves about a base row."""
    y = np.full_like(x, float(base))
    for amp in amps:
        wl = rng.uniform(120, 420)
        y += amp * np.sin(2 * np.pi * x / wl + rng.uniform(0, 2 * np.pi))
    return y


def _speckles(c, shapes):
    """One mask for many small shapes, drawn with PIL at the canvas's
    supersampled size: painting each on its own through full-size arrays
    would take most of a minute. shapes: (kind, x0, y0, x1, y1, alpha)."""
    s = c.ss
    im = Image.new("L", (c.w * s, c.h * s), 0)
    d = ImageDraw.Draw(im)
    for kind, x0, y0, x1, y1, a in shapes:
        box = (x0 * s, y0 * s, x1 * s - 1, y1 * s - 1)
        (d.ellipse if kind == "o" else d.rectangle)(box, fill=int(round(a * 255)))
    return np.asarray(im, np.float64) / 255.0


def backdrop_png():
    """Dusk over a small town: a dark sky (white text reads on all of it), far
    hills, a skyline with a few lit windows, near hills and the embankment with
    its track, rail top on row RAIL_TOP."""
    rng = np.random.default_rng(258)
    c = Canvas(W, H, ss=2)
    t = np.clip(c.Y / 470, 0, 1)[..., None]
    top, low = np.array([12, 16, 40.0]), np.array([58, 46, 96.0])
    sky = top + (low - top) * t ** 1.6
    glow = np.exp(-((c.Y - 470) / 90) ** 2)[..., None] * np.array([30, 12, 0.0])
    c.paint(np.ones_like(c.A), np.clip(sky + glow, 0, 255))
    stars = []
    for _ in range(90):
        x, y, r = rng.uniform(0, W), rng.uniform(0, 330), rng.uniform(0.5, 1.1)
        stars.append(("o", x - r, y - r, x + r, y + r, rng.uniform(0.35, 0.85)))
    c.paint(_speckles(c, stars), (226, 228, 255))
    # A crescent moon in a faint halo.
    c.paint(np.clip(1 - c.radial(660, 104, 60), 0, 1) ** 2, (200, 196, 220), 0.12)
    c.paint(c.ellipse(660, 104, 22) * (1 - c.ellipse(670, 98, 19)), (236, 232, 212))
    xs = c.X[0]
    far = _ridge(xs, rng, 420, (18, 10, 5))
    c.paint((c.Y >= far[None, :]).astype(float), (42, 44, 86))
    # Skyline: blocks of houses and a few taller buildings, lit windows.
    x = -10.0
    windows, blocks, roofs = [], [], []
    while x < W:
        bw = rng.uniform(26, 62)
        bh = rng.uniform(28, 70) if rng.uniform() < 0.75 else rng.uniform(80, 120)
        top_y = 470 - bh
        blocks.append(("r", x, top_y, x + bw, 520, 1.0))
        if bh < 70 and rng.uniform() < 0.6:
            roofs.append([(x - 2, top_y), (x + bw / 2, top_y - 14), (x + bw + 2, top_y)])
        for wy in np.arange(top_y + 8, 462, 12):
            for wx in np.arange(x + 6, x + bw - 8, 10):
                if rng.uniform() < 0.22:
                    windows.append(("r", round(wx), round(wy), round(wx) + 4, round(wy) + 5, rng.uniform(0.5, 0.85)))
        x += bw + rng.uniform(-4, 10)
    town = _speckles(c, blocks)
    for roof in roofs:
        town = np.maximum(town, c.poly(roof))
    c.paint(town, (30, 30, 62))
    c.paint(_speckles(c, windows), (255, 206, 120))
    near = _ridge(xs, rng, 500, (12, 7))
    c.paint((c.Y >= near[None, :]).astype(float), (24, 40, 50))
    # Embankment, sleeper ends under the rail, and the rail itself.
    c.paint(c.rect(0, 540, W, H), (34, 36, 40))
    c.paint(c.poly([(0, RAIL_TOP + 14), (W, RAIL_TOP + 14), (W, H), (0, H)]), (58, 54, 52))
    c.paint(c.rect(0, RAIL_TOP + 14, W, RAIL_TOP + 16), (86, 80, 74))
    for sx in range(4, W, 28):
        c.paint(c.rect(sx, RAIL_TOP + 8, sx + 16, RAIL_TOP + 16), (74, 50, 34))
        c.paint(c.rect(sx, RAIL_TOP + 8, sx + 16, RAIL_TOP + 9), (110, 78, 52))
    c.paint(c.rect(0, RAIL_TOP, W, RAIL_TOP + 8), (40, 42, 50))
    c.paint(c.rect(0, RAIL_TOP, W, RAIL_TOP + 4), (176, 182, 198))
    c.paint(c.rect(0, RAIL_TOP, W, RAIL_TOP + 1), (226, 230, 240))
    c.paint(c.rect(0, RAIL_TOP + 4, W, RAIL_TOP + 6), (110, 114, 128))
    stones = []
    for u, v, r, a in rng.uniform(0, 1, (4, 260)).T:
        x, y, r = u * W, RAIL_TOP + 19 + v * 16, 1 + 1.4 * r
        stones.append(("o", x - r, y - r, x + r, y + r, 0.35 + 0.45 * a))
    c.paint(_speckles(c, stones), (124, 118, 110))
    return c.image()


# ---- lives icon and badges -------------------------------------------------------

def life_png():
    c = Canvas(24, 24, ss=8)
    heart = glyph(c, "heart", 1.5, 1.5, 21)
    c.paint(grow(heart, c, 1.0), INK)
    c.paint(heart, (236, 64, 84))
    c.paint(c.ellipse(8, 8.5, 2.6, 1.8) * heart, (255, 190, 196))
    return c.image()


def _glyph(c, name, x0, y0, s):
    """The shared glyphs plus a few of this game's own."""
    def box(u0, v0, u1, v1):
        return c.rect(x0 + u0 * s, y0 + v0 * s, x0 + u1 * s, y0 + v1 * s)

    def disc(u, v, r):
        return c.ellipse(x0 + u * s, y0 + v * s, r * s)

    m = np.maximum
    if name == "cart":
        body = m(box(.06, .3, .94, .62), box(.0, .5, 1.0, .58))
        return m(body * (1 - box(.12, .36, .88, .44)), m(disc(.27, .76, .14), disc(.73, .76, .14)))
    if name == "stack":
        return m(m(box(.06, .52, .46, .9), box(.54, .52, .94, .9)), box(.3, .1, .7, .46))
    if name == "hourglass":
        top = c.poly([(x0 + u * s, y0 + v * s) for u, v in ((.22, .16), (.78, .16), (.5, .5))])
        bottom = c.poly([(x0 + u * s, y0 + v * s) for u, v in ((.5, .5), (.8, .86), (.2, .86))])
        return m(m(top, bottom), m(box(.14, .06, .86, .16), box(.14, .86, .86, .96)))
    return glyph(c, name, x0, y0, s)


BADGES = [("cart", (34, 160, 150)), ("parcel", (214, 120, 52)), ("person", (226, 86, 130)),
          ("stack", (170, 120, 70)), ("coin", (204, 164, 32)), ("heart", (200, 48, 70)),
          ("hourglass", (92, 112, 210)), ("check", (64, 170, 90)), ("bolt", (120, 70, 200)),
          ("ring", (30, 140, 200)), ("crown", (220, 150, 30)), ("trophy", (150, 150, 170)),
          ("star", (240, 96, 60)), ("globe", (40, 120, 120)), ("bars", (110, 160, 40)), ("sun", (236, 170, 60))]


def _hexagon(c, cx, cy, r):
    return c.poly([(cx + r * math.sin(k * math.pi / 3), cy - r * math.cos(k * math.pi / 3)) for k in range(6)])


def badge(name, colour):
    """A six-sided enamel tag: a rim, a white inner line and the symbol."""
    c = Canvas(64, 64)
    col = np.asarray(colour, float)[None, None, :]
    c.paint(_hexagon(c, 33.5, 34, 30), INK, 0.35)
    c.paint(_hexagon(c, 32, 32, 30.5), INK)
    shade = np.clip(0.7 + 0.6 * (c.Y / 64), 0.7, 1.3)[..., None]
    c.paint(_hexagon(c, 32, 32, 28.5), np.clip(col * shade * 0.75 + 20, 0, 255))
    c.paint(_hexagon(c, 32, 32, 24) * (1 - _hexagon(c, 32, 32, 22.2)), WHITE, 0.85)
    inner = _hexagon(c, 32, 32, 22.2)
    c.paint(inner, np.clip(col * (1.35 - 0.5 * c.Y[..., None] / 64), 0, 255))
    g = _glyph(c, name, 18, 18, 28)
    c.paint(grow(g, c, 1.2), INK, 0.75)
    c.paint(g, WHITE)
    c.paint(c.ellipse(32, 16, 14, 4) * inner, WHITE, 0.22)
    return c.image()


def badges_png():
    return sheet([badge(n, col) for n, col in BADGES], 64, 64, 4)
