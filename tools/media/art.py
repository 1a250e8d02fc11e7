"""The game's pictures: track tiles, train, bubbles, effects, icons, badges, logos."""
import math

import numpy as np
from PIL import Image

from canvas import Canvas, INK, grow, sheet, to_image

# ---- palette ---------------------------------------------------------------
BALLAST = (146, 138, 124)
BALLAST_EDGE = (116, 108, 96)
WOOD = (132, 88, 54)
WOOD_DARK = (92, 58, 34)
RAIL_RIM = (54, 54, 64)
STEEL = (196, 202, 214)
STEEL_HI = (238, 241, 248)
BUSY_RIM = (128, 62, 8)
BUSY = (255, 184, 40)
BUSY_HI = (255, 240, 150)
PAVING = (214, 208, 196)
COLLECT = (38, 112, 222)
COLLECT_DARK = (22, 70, 150)
DELIVER = (222, 58, 44)
DELIVER_DARK = (150, 32, 24)
PEOPLE = (126, 46, 168)
PEOPLE_LIGHT = (236, 214, 252)
PARCEL = (156, 88, 14)
PARCEL_LIGHT = (255, 226, 150)
MAROON = (156, 30, 42)
BRASS = (236, 186, 64)
WHITE = (255, 255, 255)

# Rails sit on whole pixels symmetric about the cell's centre line, so a
# straight, a curve (radius 16 about the shared corner) and a station piece
# all meet an edge on the same rows: rails 9..11 and 20..22, rims one pixel
# wider, sleepers 6..25 across, ballast 4..27.
RAILS = ((9, 12), (20, 23))
SLEEPER_SPAN = (6, 26)
BALLAST_SPAN = (4, 28)
SLEEPERS_ALONG = ((2, 6), (10, 14), (18, 22), (26, 30))


def _noise(rng, w, h, ss, amount):
    n = rng.uniform(-amount, amount, (h, w))
    return np.kron(n, np.ones((ss, ss)))[..., None]


def _ballast_colour(c, rng):
    return np.clip(np.asarray(BALLAST, float)[None, None, :] + _noise(rng, c.w, c.h, c.ss, 10), 0, 255)


def _rails_straight(c, busy, ns=False):
    rim, steel, hi = (BUSY_RIM, BUSY, BUSY_HI) if busy else (RAIL_RIM, STEEL, STEEL_HI)
    for a, b in RAILS:
        if ns:
            c.paint(c.rect(a - 1, 0, b + 1, 32), rim)
            c.paint(c.rect(a, 0, b, 32), steel)
            c.paint(c.rect(a + 1, 0, a + 2, 32), hi)
        else:
            c.paint(c.rect(0, a - 1, 32, b + 1), rim)
            c.paint(c.rect(0, a, 32, b), steel)
            c.paint(c.rect(0, a + 1, 32, a + 2), hi)


def _sleepers_straight(c, ns=False, skip_middle=False):
    for a, b in SLEEPERS_ALONG:
        if skip_middle and 6 <= a < 26:
            continue
        s0, s1 = SLEEPER_SPAN
        if ns:
            c.paint(c.rect(s0, a, s1, b), WOOD_DARK)
            c.paint(c.rect(s0 + 1, a + 1, s1 - 1, b - 1), WOOD)
        else:
            c.paint(c.rect(a, s0, b, s1), WOOD_DARK)
            c.paint(c.rect(a + 1, s0 + 1, b - 1, s1 - 1), WOOD)


def straight(busy, rng):
    c = Canvas(32, 32)
    b0, b1 = BALLAST_SPAN
    c.paint(c.rect(0, b0, 32, b1), _ballast_colour(c, rng))
    c.paint(c.rect(0, b0, 32, b0 + 1) + c.rect(0, b1 - 1, 32, b1), BALLAST_EDGE)
    _sleepers_straight(c)
    _rails_straight(c, busy)
    return c


def crossing(busy, rng):
    c = Canvas(32, 32)
    b0, b1 = BALLAST_SPAN
    col = _ballast_colour(c, rng)
    c.paint(np.maximum(c.rect(0, b0, 32, b1), c.rect(b0, 0, b1, 32)), col)
    # A steel plate carries the diamond where the two lines cross.
    c.paint(c.rect(6, 6, 26, 26), (92, 92, 104))
    c.paint(c.rect(7, 7, 25, 25), (124, 124, 136))
    _sleepers_straight(c, ns=False, skip_middle=True)
    _sleepers_straight(c, ns=True, skip_middle=True)
    _rails_straight(c, busy, ns=True)
    _rails_straight(c, busy, ns=False)
    return c


def curve_wn(busy, rng):
    """Curve joining the west and north sides, about the top-left corner."""
    c = Canvas(32, 32)
    b0, b1 = BALLAST_SPAN
    c.paint(c.ring(0, 0, b0, b1), _ballast_colour(c, rng))
    c.paint(c.ring(0, 0, b0, b0 + 1) + c.ring(0, 0, b1 - 1, b1), BALLAST_EDGE)
    s0, s1 = SLEEPER_SPAN
    for phi in (0.25, math.pi / 4, math.pi / 2 - 0.25):
        ux, uy = math.sin(phi), math.cos(phi)
        radial = c.X * ux + c.Y * uy
        across = np.abs(c.X * uy - c.Y * ux)
        m = ((radial >= s0) & (radial < s1) & (across < 2)).astype(float)
        inner = ((radial >= s0 + 1) & (radial < s1 - 1) & (across < 1)).astype(float)
        c.paint(m, WOOD_DARK)
        c.paint(inner, WOOD)
    rim, steel, hi = (BUSY_RIM, BUSY, BUSY_HI) if busy else (RAIL_RIM, STEEL, STEEL_HI)
    for a, b in RAILS:
        c.paint(c.ring(0, 0, a - 1, b + 1), rim)
        c.paint(c.ring(0, 0, a, b), steel)
        c.paint(c.ring(0, 0, a + 1, a + 2), hi)
    return c


def station_track(busy, rng, colour, westward):
    """West-east station track with its platform on the north side (towards the
    building) and chevrons showing the one direction it can be passed."""
    c = straight(busy, rng)
    c.paint(c.rect(0, 0, 32, 6), PAVING)
    c.paint(c.rect(0, 4, 32, 6), colour)
    c.paint(c.rect(0, 6, 32, 7), (70, 66, 60), 0.5)
    for x0 in (6, 18):
        if westward:
            pts = [(x0 + 7, 12), (x0 + 2, 16), (x0 + 7, 20)]
        else:
            pts = [(x0 + 1, 12), (x0 + 6, 16), (x0 + 1, 20)]
        c.paint(c.polyline(pts, 5.2), WHITE)
        c.paint(c.polyline(pts, 2.6), colour)
    return c


def station_building(colour, dark, gabled, rng):
    """Station building whose front (platform and awning) faces south."""
    c = Canvas(32, 32)
    c.paint(c.rect(0, 25, 32, 32), PAVING)
    c.paint(c.rect(0, 25, 32, 26), (176, 170, 160))
    # Body and roof.
    c.paint(c.rect(2, 2, 30, 24), INK)
    light = np.clip(np.asarray(colour) * 1.18 + 18, 0, 255)
    if gabled:
        c.paint(c.rect(3, 3, 29, 13), light)
        c.paint(c.rect(3, 13, 29, 23), colour)
        c.paint(c.rect(3, 12, 29, 14), dark)
        for x in range(6, 29, 5):
            c.paint(c.rect(x, 3, x + 1, 23), dark, 0.35)
    else:
        # Hipped goods shed: four roof faces meeting at a short ridge.
        c.paint(c.rect(3, 3, 29, 23), colour)
        c.paint(c.poly([(3, 3), (29, 3), (22, 13), (10, 13)]), light)
        c.paint(c.poly([(3, 23), (29, 23), (22, 13), (10, 13)]), np.asarray(colour) * 0.85)
        c.paint(c.polyline([(3, 3), (10, 13), (3, 23)], 1.2), dark)
        c.paint(c.polyline([(29, 3), (22, 13), (29, 23)], 1.2), dark)
        c.paint(c.seg(10, 13, 22, 13, 1.6), dark)
    # Chimney and a round sign with the station's mark.
    c.paint(c.rect(22, 5, 26, 9), INK)
    c.paint(c.rect(23, 6, 25, 8), (150, 70, 50))
    c.paint(c.ellipse(9, 8, 3.6), INK)
    c.paint(c.ellipse(9, 8, 2.6), WHITE)
    c.paint(c.ellipse(9, 8, 1.2), dark)
    # Striped awning over the platform edge.
    for i, x in enumerate(range(3, 29, 2)):
        c.paint(c.rect(x, 22, x + 2, 27), WHITE if i % 2 == 0 else colour)
    c.paint(c.rect(3, 27, 29, 28), INK, 0.6)
    return c


def _with_shadow(img):
    """Soft drop shadow towards the lower right, under the picture."""
    a = np.asarray(img, np.float64)
    alpha = a[..., 3] / 255.0
    sh = np.zeros_like(alpha)
    sh[2:, 2:] = alpha[:-2, :-2]
    sh *= 0.35
    P = a[..., :3] / 255.0 * alpha[..., None]
    A = alpha + sh * (1 - alpha)
    P = P + (np.asarray(INK) / 255.0)[None, None, :] * (sh * (1 - alpha))[..., None]
    return to_image(P, A)


def _rot(img, k):
    return Image.fromarray(np.rot90(np.asarray(img), k).copy(), "RGBA")


def _warm(img):
    """Occupied look of a building: a touch of warm light."""
    a = np.asarray(img).astype(np.float64)
    a[..., 0] = np.minimum(255, a[..., 0] * 1.06 + 10)
    a[..., 1] = np.minimum(255, a[..., 1] * 1.02 + 4)
    return Image.fromarray(a.astype(np.uint8), "RGBA")


def track_png():
    rng = np.random.default_rng(257)
    frames = [None] * 240
    for busy in (False, True):
        base = 200 if busy else 0
        we = straight(busy, rng).image()
        cw = curve_wn(busy, rng).image()
        tiles = [we, _rot(we, 1), crossing(busy, rng).image(),
                 cw, _rot(cw, -1), _rot(cw, 2), _rot(cw, 1)]
        for colour, dark, gabled, westward in ((COLLECT, COLLECT_DARK, True, True),
                                               (DELIVER, DELIVER_DARK, False, False)):
            bld = station_building(colour, dark, gabled, rng).image()
            trk = station_track(busy, rng, colour, westward).image()
            b_above, b_left = _with_shadow(bld), _with_shadow(_rot(bld, 1))
            if busy:
                b_above, b_left = _warm(b_above), _warm(b_left)
            # Rotating a quarter turn anticlockwise takes north to west and
            # west to south, which is exactly the north-south variant.
            tiles += [b_above, trk, b_left, _rot(trk, 1)]
        for i, t in enumerate(tiles):
            frames[base + i] = t
    return sheet(frames, 32, 32, 16)


# ---- train -----------------------------------------------------------------

def _across_shade(c, x0, x1, colour, lo=0.55, hi=1.25):
    """Colour array shaded across x like a cylinder or curved roof."""
    t = np.clip((c.X - x0) / (x1 - x0), 0, 1)
    f = lo + (hi - lo) * np.sin(np.pi * t) ** 0.7
    return np.clip(np.asarray(colour, float)[None, None, :] * f[..., None], 0, 255)


def _buffers(c, y):
    c.paint(c.rect(19, y - 2, 45, y + 2), (196, 40, 36))
    for x in (22, 42):
        c.paint(c.ellipse(x, y - 2.5, 2.6, 1.8), INK)
        c.paint(c.ellipse(x, y - 2.5, 1.6, 1.0), (170, 170, 180))


def engine():
    c = Canvas(64, 64)
    c.paint(c.rrect(18, 7, 46, 58, 2), INK)
    c.paint(c.rect(19, 8, 45, 57), (58, 58, 68))
    _buffers(c, 8)
    # Boiler with brass bands, smokebox, chimney and dome.
    c.paint(c.rrect(21.5, 9, 42.5, 42, 3), INK)
    c.paint(c.rect(22.5, 17, 41.5, 41), _across_shade(c, 22.5, 41.5, MAROON))
    c.paint(c.rrect(22.5, 10, 41.5, 18, 2), _across_shade(c, 22.5, 41.5, (70, 70, 82)))
    for y in (21, 30, 39):
        c.paint(c.rect(22.5, y, 41.5, y + 1.5), _across_shade(c, 22.5, 41.5, BRASS))
    c.paint(c.ellipse(32, 13.5, 4.2), INK)
    c.paint(c.ellipse(32, 13.5, 3.0), (40, 40, 48))
    c.paint(c.ellipse(32, 13.5, 1.6), (16, 16, 20))
    c.paint(c.ellipse(32, 26, 3.4), INK)
    c.paint(c.ellipse(32, 26, 2.6), BRASS)
    c.paint(c.ellipse(31.2, 25.2, 1.0), (255, 240, 180))
    c.paint(c.ellipse(32, 35, 1.8), (230, 230, 236))
    # Cab with its curved roof.
    c.paint(c.rrect(19.5, 41, 44.5, 56, 2), INK)
    c.paint(c.rect(20.5, 42, 43.5, 55), _across_shade(c, 20.5, 43.5, (200, 200, 210), 0.7, 1.15))
    c.paint(c.rect(20.5, 42, 43.5, 43.5), MAROON)
    c.paint(c.rect(30, 56, 34, 60), (58, 58, 68))
    return c


def tender():
    c = Canvas(64, 64)
    c.paint(c.rrect(19, 9, 45, 56, 2), INK)
    c.paint(c.rect(20, 10, 44, 55), _across_shade(c, 20, 44, MAROON, 0.8, 1.1))
    _buffers(c, 10)
    c.paint(c.rect(30, 55, 34, 59), (58, 58, 68))
    c.paint(c.rect(22.5, 12.5, 41.5, 42), INK)
    c.paint(c.rect(23.5, 13.5, 40.5, 41), (36, 36, 42))
    rng = np.random.default_rng(11)
    for _ in range(60):
        x, y = rng.uniform(24, 40), rng.uniform(14, 40.5)
        g = rng.integers(30, 90)
        c.paint(c.ellipse(x, y, rng.uniform(0.9, 1.9)), (g, g, g + 8))
    c.paint(c.rect(22.5, 43, 41.5, 44.5), BRASS)
    c.paint(c.ellipse(32, 49.5, 3.2), INK)
    c.paint(c.ellipse(32, 49.5, 2.2), (90, 90, 100))
    return c


def coach():
    c = Canvas(64, 64)
    c.paint(c.rrect(19, 5, 45, 59, 3), INK)
    c.paint(c.rrect(20, 6, 44, 58, 2.5), PEOPLE)
    c.paint(c.rect(22, 8, 42, 56), _across_shade(c, 22, 42, (240, 234, 214), 0.75, 1.08))
    for y in range(13, 54, 8):
        c.paint(c.ellipse(32, y, 1.9), INK)
        c.paint(c.ellipse(32, y, 1.2), (120, 120, 130))
    c.paint(c.rect(28, 3, 36, 6), (58, 58, 68))
    c.paint(c.rect(28, 58, 36, 61), (58, 58, 68))
    return c


def van():
    c = Canvas(64, 64)
    c.paint(c.rrect(19, 7, 45, 57, 2), INK)
    c.paint(c.rect(20, 8, 44, 56), PARCEL)
    c.paint(c.rect(22, 10, 42, 54), _across_shade(c, 22, 42, (168, 172, 182), 0.7, 1.1))
    for y in range(14, 54, 6):
        c.paint(c.rect(22, y, 42, y + 0.8), (90, 92, 100), 0.6)
    for y in (18, 40):
        c.paint(c.rect(27, y, 37, y + 6), INK)
        c.paint(c.rect(28, y + 1, 36, y + 5), PARCEL_LIGHT)
    c.paint(c.rect(28, 4, 36, 8), (58, 58, 68))
    c.paint(c.rect(28, 56, 36, 60), (58, 58, 68))
    return c


def puff():
    c = Canvas(64, 64, ss=2)
    rng = np.random.default_rng(5)
    dens = np.zeros_like(c.A)
    for k in range(9):
        ang = k * 2 * math.pi / 9 + rng.uniform(-0.3, 0.3)
        dist = rng.uniform(8, 13) if k else 0
        x, y = 32 + dist * math.cos(ang), 32 + dist * math.sin(ang)
        r = rng.uniform(8, 11) if k else 13
        dens += np.clip(1 - np.hypot(c.X - x, c.Y - y) / r, 0, 1) ** 0.6
    a = 1 - np.exp(-2.2 * dens)
    a *= np.clip((30 - np.hypot(c.X - 32, c.Y - 32)) / 5, 0, 1)
    shade = 255 - 34 * np.clip((c.X + c.Y - 60) / 40, 0, 1)
    c.paint(a, np.dstack([shade, shade, np.minimum(shade + 3, 255)]))
    return c


def train_png():
    frames = [None] * 8
    frames[0] = engine().image()
    frames[1] = tender().image()
    frames[2] = coach().image()
    frames[3] = van().image()
    frames[5] = puff().image()
    return sheet(frames, 64, 64, 8)


# ---- bubbles, flash, blob ---------------------------------------------------

def bubble(fill, rim, round_, light):
    c = Canvas(32, 24)
    if round_:
        outer, inner = c.rrect(0.5, 0.5, 31.5, 23.5, 11.5), c.rrect(2, 2, 30, 22, 10)
    else:
        outer, inner = c.rrect(0.5, 0.5, 31.5, 23.5, 3.5), c.rrect(2, 2, 30, 22, 2.5)
    c.paint(outer, INK)
    c.paint(inner, rim)
    body = c.rrect(3.5, 3.5, 28.5, 20.5, 8.5 if round_ else 1.5)
    grad = np.asarray(fill, float)[None, None, :] * (1.08 - 0.14 * (c.Y / 24))[..., None]
    c.paint(body, np.clip(grad, 0, 255))
    if not round_:
        # Parcel: a strip of tape across each end, clear of the number.
        tape = (228, 196, 120) if not light else (206, 150, 56)
        c.paint(c.rect(4.5, 3.5, 6.5, 20.5) + c.rect(25.5, 3.5, 27.5, 20.5), tape)
    return c


def bubbles_png():
    frames = [bubble(PEOPLE, (210, 170, 240), True, False).image(),
              bubble(PARCEL, (246, 200, 110), False, False).image(),
              bubble(PEOPLE_LIGHT, PEOPLE, True, True).image(),
              bubble(PARCEL_LIGHT, PARCEL, False, True).image()]
    return sheet(frames, 32, 24, 4)


def flash_png():
    c = Canvas(128, 128, ss=2)
    dx, dy = c.X - 64, c.Y - 64
    r = np.hypot(dx, dy)
    th = np.arctan2(dy, dx)
    rays = (np.abs(np.cos(th * 4.0)) ** 12 + 0.7 * np.abs(np.cos(th * 4.0 + np.pi / 4)) ** 18)
    rays_a = rays * np.clip(1 - r / 62, 0, 1) ** 1.5
    core = np.exp(-(r / 22) ** 2)
    glow = np.clip(1 - r / 60, 0, 1) ** 2 * 0.55
    a = np.clip(core + rays_a + glow, 0, 1)
    c.paint(a, WHITE)
    return c.image()


def blob_png():
    c = Canvas(32, 32)
    a = np.clip(1 - c.radial(16, 16, 15), 0, 1) ** 0.8
    c.paint(a, WHITE)
    return c.image()


# ---- glyphs (shared by icons and badges), unit box 0..1 --------------------

def _star(cx, cy, r0, r1, n=5, rot=-90):
    pts = []
    for i in range(n * 2):
        a = math.radians(rot + i * 180 / n)
        r = r1 if i % 2 == 0 else r0
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def glyph(c, name, x0, y0, s):
    """Coverage mask of a named glyph in the square (x0, y0, size s)."""
    def P(u, v):
        return (x0 + u * s, y0 + v * s)

    def poly(pts):
        return c.poly([P(u, v) for u, v in pts])

    def line(pts, w):
        return c.polyline([P(u, v) for u, v in pts], w * s)

    def disc(u, v, r):
        return c.ellipse(*P(u, v), r * s)

    def ring(u, v, r0, r1, a0=None, a1=None):
        return c.ring(*P(u, v), r0 * s, r1 * s, a0, a1)

    def box(u0, v0, u1, v1):
        return c.rect(*P(u0, v0), *P(u1, v1))

    m = np.maximum
    if name == "square":
        return box(0, 0, 1, 1)
    if name == "up":
        return poly([(.5, .1), (.9, .55), (.65, .55), (.65, .9), (.35, .9), (.35, .55), (.1, .55)])
    if name == "down":
        return poly([(.5, .9), (.9, .45), (.65, .45), (.65, .1), (.35, .1), (.35, .45), (.1, .45)])
    if name == "left":
        return poly([(.1, .5), (.55, .1), (.55, .35), (.9, .35), (.9, .65), (.55, .65), (.55, .9)])
    if name == "right":
        return poly([(.9, .5), (.45, .1), (.45, .35), (.1, .35), (.1, .65), (.45, .65), (.45, .9)])
    if name == "check":
        return line([(.15, .55), (.4, .8), (.85, .22)], .18)
    if name == "cross":
        return m(line([(.2, .2), (.8, .8)], .18), line([(.8, .2), (.2, .8)], .18))
    if name == "dot":
        return disc(.5, .5, .34)
    if name == "plus":
        return m(box(.4, .15, .6, .85), box(.15, .4, .85, .6))
    if name == "minus":
        return box(.15, .4, .85, .6)
    if name == "star":
        return poly([((x - x0) / s, (y - y0) / s) for x, y in _star(x0 + .5 * s, y0 + .54 * s, .2 * s, .46 * s)])
    if name == "screen43":
        return m(ring_box(c, P(.12, .18), P(.88, .75), .09 * s), m(box(.42, .75, .58, .85), box(.28, .85, .72, .92)))
    if name == "screen169":
        return m(ring_box(c, P(.02, .25), P(.98, .72), .09 * s), m(box(.42, .72, .58, .82), box(.28, .82, .72, .9)))
    if name == "window":
        return m(ring_box(c, P(.1, .15), P(.9, .85), .08 * s), box(.1, .15, .9, .33))
    if name == "fullscreen":
        out = box(.0, .0, 0, 0)
        for (u, v, du, dv) in ((.08, .08, 1, 1), (.92, .08, -1, 1), (.08, .92, 1, -1), (.92, .92, -1, -1)):
            out = m(out, poly([(u, v), (u + .34 * du, v), (u, v + .34 * dv)]))
            out = m(out, line([(u + .05 * du, v + .05 * dv), (u + .3 * du, v + .3 * dv)], .12))
        return m(out, ring_box(c, P(.34, .34), P(.66, .66), .08 * s))
    if name.startswith("pips"):
        n, k = int(name[4]), int(name[5])
        out = box(0, 0, 0, 0)
        for i in range(n):
            u = (i + .5) / n
            out = m(out, disc(u, .5, .15) if i == k else ring(u, .5, .09, .15))
        return out
    if name == "slider_l":
        return c.rrect(*P(.1, .38), *P(1.3, .62), .12 * s) * box(0, 0, 1, 1)
    if name == "slider_r":
        return c.rrect(*P(-.3, .38), *P(.9, .62), .12 * s) * box(0, 0, 1, 1)
    if name == "knob":
        return c.rrect(*P(.28, .08), *P(.72, .92), .16 * s)
    if name.startswith("speaker"):
        k = int(name[7])
        out = poly([(.08, .36), (.26, .36), (.5, .12), (.5, .88), (.26, .64), (.08, .64)])
        for i in range(k):
            cx, cy = .62 + (i % 2) * .2, .3 + (i // 2) * .2
            out = m(out, disc(cx, cy, .075))
        return out
    if name == "note":
        return m(m(disc(.32, .74, .16), box(.4, .14, .5, .74)), poly([(.5, .14), (.85, .28), (.85, .42), (.5, .3)]))
    if name == "gear":
        out = ring(.5, .5, .15, .32)
        for i in range(8):
            a = i * math.pi / 4
            out = m(out, line([(.5 + .3 * math.cos(a), .5 + .3 * math.sin(a)), (.5 + .44 * math.cos(a), .5 + .44 * math.sin(a))], .16))
        return out
    if name == "heart":
        return m(m(disc(.33, .38, .2), disc(.67, .38, .2)), poly([(.14, .46), (.86, .46), (.5, .88)]))
    if name == "house":
        return m(poly([(.5, .1), (.92, .5), (.08, .5)]), box(.2, .48, .8, .9)) * (1 - box(.42, .64, .58, .9))
    if name == "clock":
        return m(ring(.5, .5, .32, .44), m(line([(.5, .5), (.5, .26)], .1), line([(.5, .5), (.68, .6)], .1)))
    if name == "lock":
        return m(box(.2, .45, .8, .9), ring(.5, .45, .16, .27, 180, 360))
    if name == "disk":
        body = ring_box(c, P(.12, .12), P(.88, .88), .1 * s)
        return m(m(body, box(.3, .12, .68, .36)), box(.3, .56, .7, .66))
    if name == "camera":
        return m(c.rrect(*P(.08, .3), *P(.92, .82), .08 * s) * (1 - ring(.5, .56, 0, .15)), box(.34, .2, .66, .32))
    if name == "pause":
        return m(box(.22, .15, .42, .85), box(.58, .15, .78, .85))
    if name == "play":
        return poly([(.25, .12), (.85, .5), (.25, .88)])
    if name == "stop":
        return box(.2, .2, .8, .8)
    if name == "info":
        return m(disc(.5, .2, .1), box(.42, .36, .58, .88))
    if name == "bang":
        return m(poly([(.38, .1), (.62, .1), (.56, .64), (.44, .64)]), disc(.5, .82, .09))
    if name == "ring":
        return ring(.5, .5, .24, .4)
    if name == "triangle":
        return poly([(.5, .12), (.9, .85), (.1, .85)])
    if name == "diamond":
        return poly([(.5, .08), (.9, .5), (.5, .92), (.1, .5)])
    if name == "trophy":
        return m(m(ring(.5, .28, 0, .3, 0, 180), box(.2, .12, .8, .3)), m(box(.44, .5, .56, .74), box(.28, .74, .72, .88)))
    if name == "bolt":
        return poly([(.58, .05), (.2, .55), (.46, .55), (.38, .95), (.8, .42), (.54, .42)])
    if name == "crown":
        return poly([(.1, .8), (.1, .3), (.3, .52), (.5, .2), (.7, .52), (.9, .3), (.9, .8)])
    if name == "flag":
        return m(box(.18, .1, .28, .92), poly([(.28, .12), (.86, .3), (.28, .5)]))
    if name == "person":
        return m(disc(.5, .26, .16), c.ellipse(*P(.5, .82), .3 * s, .36 * s) * box(0, 0, 1, .9))
    if name == "parcel":
        lid = box(.08, .18, .92, .36) * (1 - box(.45, .18, .55, .36))
        body = box(.14, .42, .86, .9) * (1 - box(.45, .42, .55, .9))
        return m(lid, body)
    if name == "loco":
        return m(m(box(.08, .4, .7, .74), box(.56, .22, .92, .74)), m(box(.18, .22, .3, .4), m(disc(.26, .8, .11), disc(.7, .8, .11))))
    if name == "rails":
        return m(m(box(.28, 0, .38, 1), box(.62, 0, .72, 1)), m(box(.16, .16, .84, .24), m(box(.16, .46, .84, .54), box(.16, .76, .84, .84))))
    if name == "coin":
        return ring(.5, .5, .0, .42) * (1 - ring(.5, .5, .3, .36))
    if name == "pointer":
        return poly([(.06, .04), (.06, .86), (.28, .66), (.44, .98), (.6, .9), (.45, .6), (.74, .6)])
    if name == "key":
        return m(ring(.3, .5, .1, .24), m(box(.5, .44, .94, .56), box(.78, .56, .88, .74)))
    if name == "mouse":
        return c.rrect(*P(.24, .08), *P(.76, .92), .24 * s) * (1 - box(.48, .08, .52, .4)) * (1 - box(.24, .38, .76, .42))
    if name == "pad":
        return m(c.rrect(*P(.04, .3), *P(.96, .78), .2 * s) * (1 - disc(.72, .5, .07)) * (1 - box(.2, .48, .38, .56)) * (1 - box(.25, .43, .33, .61)), box(0, 0, 0, 0))
    if name == "globe":
        return m(ring(.5, .5, .36, .44), m(c.ring(*P(.5, .5), .0, .44 * s) * (np.abs(c.Y - P(.5, .5)[1]) < .05 * s), c.ellipse(*P(.5, .5), .16 * s, .44 * s) * (1 - c.ellipse(*P(.5, .5), .08 * s, .36 * s))))
    if name == "sun":
        out = disc(.5, .5, .22)
        for i in range(8):
            a = i * math.pi / 4
            out = m(out, line([(.5 + .3 * math.cos(a), .5 + .3 * math.sin(a)), (.5 + .44 * math.cos(a), .5 + .44 * math.sin(a))], .1))
        return out
    if name == "moon":
        return disc(.5, .5, .4) * (1 - disc(.66, .38, .34))
    if name == "bars":
        return m(m(box(.12, .6, .3, .9), box(.41, .38, .59, .9)), box(.7, .14, .88, .9))
    if name == "loop":
        return ring(.5, .5, .24, .38, 0, 300)
    raise KeyError(name)


def ring_box(c, p0, p1, w):
    outer = c.rect(p0[0], p0[1], p1[0], p1[1])
    inner = c.rect(p0[0] + w, p0[1] + w, p1[0] - w, p1[1] - w)
    return outer * (1 - inner)


ICON_NAMES = {
    0: "square", 1: "up", 2: "down", 3: "left", 4: "right", 5: "check", 6: "cross",
    7: "dot", 8: "plus", 9: "minus", 10: "star",
    11: "screen43", 12: "screen169", 13: "window", 14: "fullscreen",
    15: "note", 16: "gear", 17: "speaker0",
    18: "pips30", 19: "pips31", 20: "pips32",
    21: "slider_l", 22: "slider_r", 23: "knob",
    24: "speaker1", 25: "speaker2", 26: "speaker3", 27: "speaker4", 28: "speaker5", 29: "speaker6",
    30: "heart", 31: "house", 32: "clock", 33: "lock", 34: "disk", 35: "camera", 36: "pause",
    37: "play", 38: "stop", 39: "info", 40: "bang", 41: "ring", 42: "triangle", 43: "diamond",
    44: "trophy", 45: "bolt", 46: "crown", 47: "flag", 48: "person", 49: "parcel", 50: "loco",
    51: "rails", 52: "coin", 53: "key", 54: "mouse", 55: "pad", 56: "globe", 57: "sun",
    58: "moon", 59: "bars", 60: "loop", 61: "pips20", 62: "pips21", 63: "pointer",
}


def icon(i):
    name = ICON_NAMES[i]
    c = Canvas(16, 16, ss=8)
    if name == "square":
        c.paint(c.rect(0, 0, 16, 16), WHITE)
        return c.image()
    if name == "dot":
        c.paint(c.ellipse(8, 8, 6.5), INK)
        c.paint(c.ellipse(8, 8, 5.2), WHITE)
        c.paint(c.ellipse(6.6, 6.6, 1.8), (255, 255, 255))
        return c.image()
    if name in ("slider_l", "slider_r", "knob"):
        m = glyph(c, name, 0, 0, 16)
        c.paint(m, INK)
        inner = glyph(c, name, 0, 0, 16) * (1 - grow(1 - m, c, 1.1))
        c.paint(inner, (236, 236, 240))
        return c.image()
    if name == "pointer":
        m = glyph(c, name, 0, 0, 16)
        c.paint(grow(m, c, 1.0), INK)
        c.paint(m, WHITE)
        return c.image()
    m = glyph(c, name, 1.5, 1.5, 13)
    c.paint(grow(m, c, 1.0), INK)
    c.paint(m, (248, 248, 252))
    return c.image()


def icons_png():
    return sheet([icon(i) for i in range(64)], 16, 16, 16)


BADGES = [("star", (240, 190, 40)), ("loco", (60, 130, 230)), ("person", PEOPLE),
          ("parcel", (200, 120, 30)), ("heart", (220, 60, 90)), ("bolt", (250, 160, 20)),
          ("clock", (40, 160, 150)), ("coin", (210, 170, 40)), ("crown", (150, 90, 210)),
          ("flag", (60, 170, 80)), ("loop", (50, 140, 200)), ("diamond", (80, 200, 220)),
          ("rails", (140, 110, 80)), ("trophy", (230, 180, 30)), ("sun", (240, 120, 40)),
          ("moon", (70, 80, 170))]


def badge(name, colour):
    c = Canvas(64, 64)
    col = np.asarray(colour, float)
    c.paint(c.ellipse(33, 34, 29), INK, 0.35)
    c.paint(c.ellipse(32, 32, 29), INK)
    shade = np.clip(1.25 - 0.5 * ((c.X + c.Y) / 128), 0.6, 1.3)
    c.paint(c.ellipse(32, 32, 27.5), np.clip(col[None, None, :] * shade[..., None] + 30, 0, 255))
    c.paint(c.ring(32, 32, 21.5, 23), WHITE, 0.8)
    c.paint(c.ellipse(32, 32, 21.5), np.clip(col[None, None, :] * (shade[..., None] * 0.8), 0, 255))
    g = glyph(c, name, 17, 17, 30)
    c.paint(grow(g, c, 1.2), INK, 0.8)
    c.paint(g, WHITE)
    c.paint(c.ellipse(24, 20, 7, 4) * c.ellipse(32, 32, 27), WHITE, 0.25)
    return c.image()


def badges_png():
    return sheet([badge(n, col) for n, col in BADGES], 64, 64, 4)


# ---- logos -----------------------------------------------------------------

def _fit(text, font, size, width):
    """Largest size up to the given one at which text fits the width."""
    from PIL import ImageFont
    while size > 8:
        x0, _, x1, _ = ImageFont.truetype(font, size).getbbox(text)
        if x1 - x0 <= width:
            break
        size -= 2
    return size


def _outlined_text(c, text, font, size, cx, cy, fill, rim=INK, rim_px=3.0, shadow=True, width=None):
    if width:
        size = _fit(text, font, size, width)
    m = c.text_mask(text, font, size, cx, cy)
    if shadow:
        sh = c.text_mask(text, font, size, cx + 4, cy + 5)
        c.paint(grow(sh, c, rim_px), INK, 0.45)
    c.paint(grow(m, c, rim_px), rim)
    c.paint(m, fill)
    return m


def logo_png(font):
    """The author's mark: a round emblem with a little engine beside the name."""
    c = Canvas(512, 256, ss=2)
    c.paint(c.rrect(8, 40, 504, 216, 40), INK, 0.55)
    c.paint(c.rrect(14, 46, 498, 210, 34), (250, 246, 232))
    c.paint(c.rrect(20, 52, 492, 204, 28), (32, 58, 120))
    # Emblem: ring of track round a star.
    c.paint(c.ellipse(116, 128, 62), INK)
    c.paint(c.ellipse(116, 128, 58), (250, 196, 52))
    c.paint(c.ring(116, 128, 40, 50), (92, 58, 34))
    for i in range(16):
        a = i * math.pi / 8
        c.paint(c.seg(116 + 38 * math.cos(a), 128 + 38 * math.sin(a),
                      116 + 52 * math.cos(a), 128 + 52 * math.sin(a), 4), (140, 96, 60))
    c.paint(c.ring(116, 128, 41, 43.5) + c.ring(116, 128, 47, 49.5), (220, 224, 236))
    c.paint(c.poly(_star(116, 130, 14, 32)), INK)
    c.paint(c.poly(_star(116, 130, 10.5, 27)), (214, 40, 46))
    grad = np.dstack([np.full(c.A.shape, 255.0), 224 - 70 * np.clip((c.Y - 90) / 80, 0, 1), 60 + 0 * c.Y])
    _outlined_text(c, "Corvell", font, 92, 334, 114, grad, rim_px=4, width=272)
    sub = c.text_mask("G A M E S", font, 24, 334, 174)
    c.paint(sub, (200, 216, 255))
    return c.image()


def pellium_png(font):
    """The community's mark: three linked pellets and the name."""
    c = Canvas(512, 256, ss=2)
    cols = [(46, 196, 160), (252, 180, 48), (236, 84, 120)]
    for i, (x, y) in enumerate(((92, 150), (148, 98), (204, 150))):
        c.paint(c.ellipse(x + 4, y + 5, 44), INK, 0.4)
        c.paint(c.ellipse(x, y, 44), INK)
        c.paint(c.ellipse(x, y, 40), cols[i])
        c.paint(c.ellipse(x - 12, y - 14, 14, 9), WHITE, 0.45)
    c.paint(c.ring(148, 132, 24, 30), WHITE, 0.9)
    _outlined_text(c, "Pellium", font, 84, 378, 112, (255, 255, 255), rim_px=4, width=236)
    sub = c.text_mask("players' community", font, 22, 378, 172)
    c.paint(grow(sub, c, 2.5), INK)
    c.paint(sub, (160, 240, 220))
    return c.image()


# ---- the application icon ---------------------------------------------------

def _loop_mask(c, inset, r):
    """A rounded-square loop band: the area between two rounded rectangles."""
    return c.rrect(inset, inset, 256 - inset, 256 - inset, r)


def app_icon(size):
    """The desktop icon: a loop of track on the board's green, a station at each
    side and the engine heading up the right-hand straight under a puff of smoke.
    Drawn once at 256 pixels; smaller sizes are filtered down from it."""
    c = Canvas(256, 256, ss=2)
    tile = c.rrect(8, 8, 248, 248, 40)
    band = ((c.X + c.Y) // 40) % 2
    green = np.dstack([np.zeros_like(c.X) + 34, 112 + 14 * band, 46 + 6 * band])
    c.paint(tile, green)
    c.paint(np.clip(tile - c.rrect(14, 14, 242, 242, 34), 0, 1), (24, 80, 32))
    # Ballast, sleepers and two rails around one rounded square.
    ballast = _loop_mask(c, 40, 56) - _loop_mask(c, 88, 8)
    c.paint(np.clip(ballast, 0, 1), BALLAST)
    ang = np.degrees(np.arctan2(c.Y - 128, c.X - 128)) % 30
    sleepers = np.clip(_loop_mask(c, 44, 52) - _loop_mask(c, 84, 12), 0, 1) * (ang < 9)
    c.paint(sleepers, WOOD)
    for outer, inner, rr in ((50, 56, 46), (72, 78, 24)):
        rail = np.clip(_loop_mask(c, outer - 2, rr + 2) - _loop_mask(c, inner + 2, rr - 6 + 2), 0, 1)
        c.paint(rail, RAIL_RIM)
        c.paint(np.clip(_loop_mask(c, outer, rr) - _loop_mask(c, inner, rr - 6), 0, 1), STEEL)
    # Collect (blue) and delivery (red) stations beside the track.
    for x0, y0, colour, dark in ((18, 104, COLLECT, COLLECT_DARK), (104, 206, DELIVER, DELIVER_DARK)):
        w, h = (30, 48) if x0 < 50 else (48, 30)
        c.paint(c.rrect(x0 - 2, y0 - 2, x0 + w + 2, y0 + h + 2, 6), INK)
        c.paint(c.rrect(x0, y0, x0 + w, y0 + h, 5), colour)
        c.paint(c.rrect(x0 + 5, y0 + 5, x0 + w - 5, y0 + h - 5, 3), dark)
    img = c.image()
    loco = engine().image().resize((128, 128), Image.LANCZOS)
    img.alpha_composite(loco, (128 + 64 - 64, 90))
    smoke = puff().image().resize((84, 84), Image.LANCZOS)
    img.alpha_composite(smoke, (150, 30))
    if size != 256:
        img = img.resize((size, size), Image.LANCZOS)
    return img
