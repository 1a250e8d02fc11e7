"""Supersampled RGBA painting on numpy arrays.

Shapes are given as coverage masks in final-pixel units and composited with
the "over" operator on premultiplied colour; finish() box-filters the
supersampled picture down, which gives clean antialiasing while edges on whole
pixel coordinates stay crisp.
"""
import numpy as np
from PIL import Image, ImageDraw

# Opaque darks never reach pure black: the game loads pictures with a mask
# that turns (0, 0, 0) transparent.
INK = (8, 8, 12)


class Canvas:
    def __init__(self, w, h, ss=4):
        self.w, self.h, self.ss = w, h, ss
        self.P = np.zeros((h * ss, w * ss, 3), np.float64)  # premultiplied rgb, 0..1
        self.A = np.zeros((h * ss, w * ss), np.float64)
        ys = (np.arange(h * ss) + 0.5) / ss
        xs = (np.arange(w * ss) + 0.5) / ss
        self.X, self.Y = np.meshgrid(xs, ys)

    # ---- compositing -------------------------------------------------
    def paint(self, mask, colour, alpha=1.0):
        """Composite colour (rgb tuple 0..255 or an HxWx3 array) over the canvas."""
        a = np.clip(np.asarray(mask, np.float64) * alpha, 0.0, 1.0)
        col = np.asarray(colour, np.float64) / 255.0
        if col.ndim == 1:
            col = col[None, None, :]
        self.P = col * a[..., None] + self.P * (1.0 - a[..., None])
        self.A = a + self.A * (1.0 - a)

    def erase(self, mask):
        keep = 1.0 - np.clip(np.asarray(mask, np.float64), 0, 1)
        self.P *= keep[..., None]
        self.A *= keep

    def image(self):
        """Box-filter down to the final size; returns a PIL RGBA image."""
        s = self.ss
        h, w = self.h, self.w
        P = self.P.reshape(h, s, w, s, 3).mean(axis=(1, 3))
        A = self.A.reshape(h, s, w, s).mean(axis=(1, 3))
        return to_image(P, A)

    # ---- masks (coordinates in final pixels) -------------------------
    def rect(self, x0, y0, x1, y1):
        X, Y = self.X, self.Y
        return ((X >= x0) & (X < x1) & (Y >= y0) & (Y < y1)).astype(np.float64)

    def rrect(self, x0, y0, x1, y1, r):
        """Rounded rectangle."""
        cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
        hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
        dx = np.maximum(np.abs(self.X - cx) - hx, 0)
        dy = np.maximum(np.abs(self.Y - cy) - hy, 0)
        return (np.hypot(dx, dy) <= r).astype(np.float64)

    def ellipse(self, cx, cy, rx, ry=None):
        ry = rx if ry is None else ry
        return ((((self.X - cx) / rx) ** 2 + ((self.Y - cy) / ry) ** 2) <= 1).astype(np.float64)

    def ring(self, cx, cy, r0, r1, a0=None, a1=None):
        """Annulus r0..r1, optionally limited to screen angles a0..a1 (degrees,
        0 = east, 90 = south)."""
        d = np.hypot(self.X - cx, self.Y - cy)
        m = (d >= r0) & (d <= r1)
        if a0 is not None:
            ang = np.degrees(np.arctan2(self.Y - cy, self.X - cx)) % 360
            m &= (ang >= a0) & (ang <= a1)
        return m.astype(np.float64)

    def seg(self, x0, y0, x1, y1, width):
        """Capsule of the given width from (x0, y0) to (x1, y1)."""
        px, py = self.X - x0, self.Y - y0
        vx, vy = x1 - x0, y1 - y0
        L2 = vx * vx + vy * vy
        t = np.clip((px * vx + py * vy) / L2, 0, 1) if L2 > 0 else 0
        return (np.hypot(px - t * vx, py - t * vy) <= width / 2).astype(np.float64)

    def poly(self, pts):
        s = self.ss
        im = Image.new("L", (self.w * s, self.h * s), 0)
        ImageDraw.Draw(im).polygon([(x * s, y * s) for x, y in pts], fill=255)
        return np.asarray(im, np.float64) / 255.0

    def polyline(self, pts, width):
        m = np.zeros_like(self.A)
        for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
            m = np.maximum(m, self.seg(x0, y0, x1, y1, width))
        return m

    def radial(self, cx, cy, r):
        """0 at the centre rising to 1 at radius r (and beyond)."""
        return np.clip(np.hypot(self.X - cx, self.Y - cy) / r, 0, 1)

    def text_mask(self, text, font_path, size, cx, cy, anchor="mm"):
        from PIL import ImageFont
        s = self.ss
        font = ImageFont.truetype(font_path, int(size * s))
        im = Image.new("L", (self.w * s, self.h * s), 0)
        ImageDraw.Draw(im).text((cx * s, cy * s), text, font=font, fill=255, anchor=anchor)
        return np.asarray(im, np.float64) / 255.0


def grow(mask, canvas, px):
    """Dilate a mask by px final pixels (for outlines)."""
    r = int(round(px * canvas.ss))
    m = mask > 0.5
    out = m.copy()
    for dy in range(-r, r + 1):
        for dx in range(-r, r + 1):
            if dx * dx + dy * dy <= r * r and (dx or dy):
                out |= np.roll(np.roll(m, dy, 0), dx, 1)
    return out.astype(np.float64)


def to_image(P, A):
    """Premultiplied float planes (0..1) to an RGBA image with no opaque pure black
    and transparent pixels carrying their neighbours' colour (clean filtering)."""
    A8 = np.clip(np.round(A * 255), 0, 255).astype(np.uint8)
    with np.errstate(invalid="ignore", divide="ignore"):
        rgb = np.where(A[..., None] > 1e-6, P / np.maximum(A[..., None], 1e-6), 0.0)
    rgb = np.clip(np.round(rgb * 255), 0, 255)
    rgb = bleed(rgb, A8 > 0)
    black = (rgb.sum(axis=2) < 24)
    rgb[black] = INK
    out = np.dstack([rgb.astype(np.uint8), A8])
    return Image.fromarray(out, "RGBA")


def bleed(rgb, solid, steps=4):
    """Spread colour into transparent pixels next to visible ones."""
    rgb = rgb.copy()
    have = solid.copy()
    for _ in range(steps):
        acc = np.zeros_like(rgb)
        cnt = np.zeros(have.shape)
        for dy, dx in ((-1, 0), (1, 0), (0, -1), (0, 1)):
            sh = np.roll(np.roll(have, dy, 0), dx, 1)
            acc += np.roll(np.roll(rgb * have[..., None], dy, 0), dx, 1)
            cnt += sh
        new = (~have) & (cnt > 0)
        rgb[new] = np.round(acc[new] / cnt[new][:, None])
        have = have | new
    rgb[~have] = (128, 128, 128)
    return rgb


def sheet(frames, cw, ch, cols, rows=None):
    """Lay frames (PIL images, None = empty) into a grid image."""
    rows = rows or (len(frames) + cols - 1) // cols
    out = Image.new("RGBA", (cw * cols, ch * rows), (0, 0, 0, 0))
    for i, f in enumerate(frames):
        if f is not None:
            out.paste(f, ((i % cols) * cw, (i // cols) * ch))
    return out
