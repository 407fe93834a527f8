#!/usr/bin/env python3
"""Draw Meloport's button pictures and application icon.

Writes into resources/images/ of the repository (found from this file's
location).  Pure Python 3: BMP is written with struct, PNG with zlib, so the
script runs anywhere without extra packages.

Shapes are painted opaquely into a buffer SS x SS times larger than the
output and then averaged down, which gives smooth (anti-aliased) edges
without seams between touching shapes.
"""
import math
import os
import struct
import zlib

SS = 4  # subsamples per pixel along each axis
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "images")


def rgb(hexcode):
    return tuple(int(hexcode[i:i + 2], 16) for i in (1, 3, 5))


# --- shapes: each returns (inside(x, y) -> bool, bounding box) -------------

def rect(x0, y0, x1, y1, r=0.0):
    def inside(x, y):
        # distance outside the inner rectangle shrunk by r: rounded corners
        dx = max(x0 + r - x, 0.0, x - (x1 - r))
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r and x0 <= x <= x1 and y0 <= y <= y1
    return inside, (x0, y0, x1, y1)


def circle(cx, cy, r):
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r,
            (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry, degrees=0.0):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))

    def inside(x, y):
        u, v = (x - cx) * c + (y - cy) * s, (y - cy) * c - (x - cx) * s
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0
    m = max(rx, ry)
    return inside, (cx - m, cy - m, cx + m, cy + m)


def capsule(ax, ay, bx, by, w):
    """A thick line with round ends."""
    dx, dy, h = bx - ax, by - ay, w / 2.0
    ll = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = min(1.0, max(0.0, ((x - ax) * dx + (y - ay) * dy) / ll))
        return (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= h * h
    return inside, (min(ax, bx) - h, min(ay, by) - h,
                    max(ax, bx) + h, max(ay, by) + h)


def polygon(pts):
    def inside(x, y):  # even-odd ray casting
        hit, j = False, len(pts) - 1
        for i, (xi, yi) in enumerate(pts):
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < xi + (y - yi) * (xj - xi) / (yj - yi):
                hit = not hit
            j = i
        return hit
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def wedge(cx, cy, r, a0, a1):
    """Pie slice between angles a0..a1 (degrees, clockwise from +x)."""
    def inside(x, y):
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and a0 <= a <= a1
    return inside, (cx - r, cy - r, cx + r, cy + r)


# --- canvas ----------------------------------------------------------------

class Canvas:
    """Square canvas of `px` pixels addressed in `units` design units."""

    def __init__(self, px, units, bg=None):
        self.px, self.n = px, px * SS
        self.k = units / self.n          # design units per subsample
        self.buf = [bg] * (self.n * self.n)  # None = transparent

    def fill(self, shape, colour):
        inside, (x0, y0, x1, y1) = shape
        n, k = self.n, self.k
        paint = colour if callable(colour) else (lambda x, y: colour)
        for j in range(max(0, int(y0 / k)), min(n, int(y1 / k) + 1)):
            y = (j + 0.5) * k
            for i in range(max(0, int(x0 / k)), min(n, int(x1 / k) + 1)):
                x = (i + 0.5) * k
                if inside(x, y):
                    self.buf[j * n + i] = paint(x, y)

    def pixels(self):
        """Average down to rows of (r, g, b, a) tuples, straight alpha."""
        n, rows = self.n, []
        for py in range(self.px):
            row = []
            for px in range(self.px):
                r = g = b = cnt = 0
                for j in range(py * SS, py * SS + SS):
                    for c in self.buf[j * n + px * SS: j * n + px * SS + SS]:
                        if c is not None:
                            r, g, b, cnt = r + c[0], g + c[1], b + c[2], cnt + 1
                if cnt:
                    row.append((round(r / cnt), round(g / cnt), round(b / cnt),
                                round(255 * cnt / (SS * SS))))
                else:
                    row.append((0, 0, 0, 0))
            rows.append(row)
        return rows


# --- file writers ----------------------------------------------------------

def write_bmp(path, rows):
    """24-bit uncompressed BMP, bottom-up rows, BITMAPINFOHEADER."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = b"".join(
        bytes(v for p in row for v in (p[2], p[1], p[0])).ljust(stride, b"\0")
        for row in reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data),
                       2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_png(path, rows, alpha):
    """8-bit PNG: colour type 6 (RGBA) or 2 (RGB)."""
    h, w, n = len(rows), len(rows[0]), 4 if alpha else 3
    raw = b"".join(b"\0" + bytes(v for p in row for v in p[:n]) for row in rows)

    def chunk(tag, body):
        return (struct.pack(">I", len(body)) + tag + body
                + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF))
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# --- button pictures (32 x 32 units = pixels) ------------------------------

FACE = (240, 240, 240)  # button face; 24-bit BMP has no transparency
INK = rgb("#5B6B7F")


def draw_folder(c):
    edge, back, front = rgb("#B9801C"), rgb("#E9A93A"), rgb("#FFCC55")
    # whole-pixel edges keep the 1 px outline crisp
    c.fill(rect(2, 6, 15, 12, 2), edge)              # tab outline
    c.fill(rect(2, 9, 30, 27, 2), edge)              # body outline
    c.fill(rect(3, 7, 14, 12, 1.5), back)
    c.fill(rect(3, 10, 29, 26, 1.5), back)
    c.fill(polygon([(6, 13), (30, 13), (29, 27), (2, 27)]), edge)
    c.fill(polygon([(6.8, 14), (28.9, 14), (28.1, 26), (3.3, 26)]), front)
    c.fill(rect(7, 14.5, 27.5, 15.5), rgb("#FFE08F"))  # light lip


def draw_eighth(c, hx, hy, rx, ry, stem_h, w, colour, grow=0.0):
    """Eighth note: tilted head, stem on the right, curved flag.

    `grow` thickens every part equally, to draw a halo behind the note."""
    sx, top, h = hx + rx * 0.82, hy - stem_h, stem_h
    c.fill(ellipse(hx, hy, rx + grow, ry + grow, -25), colour)
    c.fill(capsule(sx, hy - ry * 0.3, sx, top, w + 2 * grow), colour)
    # flag: a cubic Bezier curve drawn as a chain of short thick lines
    p = [(sx, top), (sx + 0.08 * h, top + 0.16 * h),
         (sx + 0.32 * h, top + 0.26 * h), (sx + 0.2 * h, top + 0.6 * h)]
    pts = []
    for i in range(9):
        t = i / 8.0
        k = ((1 - t) ** 3, 3 * t * (1 - t) ** 2, 3 * t * t * (1 - t), t ** 3)
        pts.append((sum(a * q[0] for a, q in zip(k, p)),
                    sum(a * q[1] for a, q in zip(k, p))))
    for (ax, ay), (bx, by) in zip(pts, pts[1:]):
        c.fill(capsule(ax, ay, bx, by, w * 0.9 + 2 * grow), colour)


def draw_titlefile(c):
    edge, paper = rgb("#7C8594"), (255, 255, 255)
    c.fill(polygon([(5, 2), (19, 2), (26, 9), (26, 30), (5, 30)]), edge)
    c.fill(polygon([(6, 3), (18.6, 3), (25, 9.4), (25, 29), (6, 29)]), paper)
    c.fill(polygon([(18, 2.5), (18, 10), (25.5, 10)]), edge)   # folded corner
    c.fill(polygon([(19, 4.5), (19, 9), (23.5, 9)]), rgb("#DDE2E8"))
    for y, x1 in ((7, 17), (11, 22), (15, 14), (19, 12)):
        c.fill(rect(9, y, x1, y + 2), INK)
    draw_eighth(c, 16.5, 24.5, 3.4, 2.5, 10.5, 1.7, rgb("#1F6FC5"))


def draw_list(c):
    for y in (5, 11, 17):
        c.fill(rect(4, y, 7, y + 3, 0.5), rgb("#7FA7D6"))
        c.fill(rect(9, y, 24, y + 3), INK)


def draw_badge(c, colour, plus):
    draw_list(c)
    # centred on a pixel centre so the 3 px bars land on whole pixels
    c.fill(circle(22.5, 22.5, 9.5), FACE)               # halo separates badge
    c.fill(circle(22.5, 22.5, 8.5), colour)
    c.fill(rect(17, 21, 28, 24, 0.8), (255, 255, 255))
    if plus:
        c.fill(rect(21, 17, 24, 28, 0.8), (255, 255, 255))


# --- application icon (256 x 256 design units) -----------------------------

TILE_TOP, TILE_BOTTOM = rgb("#3CC7C4"), rgb("#2A78D2")


def tile_colour(x, y):
    t = min(1.0, max(0.0, y / 256.0))
    return tuple(round(a + (b - a) * t) for a, b in zip(TILE_TOP, TILE_BOTTOM))


def draw_icon(px, rounded):
    small = px <= 16  # 16 px: bolder strokes, fewer details
    c = Canvas(px, 256)
    # Without alpha the tile must fill the square; with alpha it gets margins.
    c.fill(rect(10, 10, 246, 246, 48) if rounded else rect(0, 0, 256, 256),
           tile_colour)
    dx, dy, dr = 94, 138, 84 if small else 80
    c.fill(circle(dx, dy, dr), rgb("#F2FAFD"))
    if not small:
        c.fill(wedge(dx, dy, dr - 8, 200, 245), (255, 255, 255))   # sheen
        c.fill(wedge(dx, dy, dr - 8, 20, 65), (255, 255, 255))
        c.fill(circle(dx, dy, 56), rgb("#DCF0F7"))
        c.fill(circle(dx, dy, 53), rgb("#F2FAFD"))
    c.fill(circle(dx, dy, 36 if small else 32), rgb("#9AD7E6"))
    c.fill(circle(dx, dy, 16 if small else 12), tile_colour)          # hole
    # Note: first a halo in the tile colour to cut it out of the disc.
    w = 22 if small else 18
    for colour, grow in ((tile_colour, 14 if small else 12), (rgb("#15365F"), 0)):
        draw_eighth(c, 160, 194, 32, 24, 138, w, colour, grow)
    return c.pixels()


def main():
    os.makedirs(OUT, exist_ok=True)
    buttons = {
        "folder": draw_folder,
        "titlefile": draw_titlefile,
        "add": lambda c: draw_badge(c, rgb("#2EA44F"), True),
        "delete": lambda c: draw_badge(c, rgb("#D93B3B"), False),
    }
    for name, draw in buttons.items():
        c = Canvas(32, 32, FACE)
        draw(c)
        write_bmp(os.path.join(OUT, name + ".bmp"), c.pixels())
    for px in (16, 32, 48, 64, 128, 256):
        alpha = px >= 48  # the window icon sizes stay plain 24-bit RGB
        write_png(os.path.join(OUT, "meloport-%d.png" % px),
                  draw_icon(px, rounded=alpha), alpha)


if __name__ == "__main__":
    main()
