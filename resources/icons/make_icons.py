#!/usr/bin/env python3
"""Draws the plug-in bundle's pictures and writes them as PNG files.

Every picture is drawn in a 128x128 design space from signed-distance shapes, then rendered at
each icon size: pixels well inside or outside a shape are decided from the distance at their
centre, pixels near an edge are supersampled 4x4. Only the standard library is used, so the
pictures can be redrawn anywhere Python 3 runs.

    make_icons.py [--out DIR] [--sheet FILE.png]

writes DIR/<ID>-<size>.png for every ID and size (DIR defaults to png/ beside this script);
--sheet also writes a contact sheet of all of them for review.
"""

import argparse
import math
import os
import struct
import zlib

SIZES = (128, 32, 16)
DESIGN = 128.0

# ---------------------------------------------------------------------------------------------
# Shapes: a signed distance (negative inside, in design units) and a bounding box.


class Shape:
    def __init__(self, sdf, box):
        self.sdf = sdf
        self.box = box  # (x0, y0, x1, y1)

    def __or__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: min(a(x, y), b(x, y)), _box_union(self.box, other.box))

    def __and__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: max(a(x, y), b(x, y)), _box_meet(self.box, other.box))

    def __sub__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: max(a(x, y), -b(x, y)), self.box)

    def grow(self, w):
        a = self.sdf
        x0, y0, x1, y1 = self.box
        return Shape(lambda x, y: a(x, y) - w, (x0 - w, y0 - w, x1 + w, y1 + w))

    def moved(self, dx, dy):
        a = self.sdf
        x0, y0, x1, y1 = self.box
        return Shape(lambda x, y: a(x - dx, y - dy), (x0 + dx, y0 + dy, x1 + dx, y1 + dy))

    def rotated(self, deg, cx=0.0, cy=0.0):
        """Turned clockwise on screen by deg about (cx, cy)."""
        a = self.sdf
        c, s = math.cos(math.radians(deg)), math.sin(math.radians(deg))

        def sdf(x, y):
            dx, dy = x - cx, y - cy
            return a(cx + c * dx + s * dy, cy - s * dx + c * dy)

        x0, y0, x1, y1 = self.box
        pts = []
        for px, py in ((x0, y0), (x1, y0), (x0, y1), (x1, y1)):
            dx, dy = px - cx, py - cy
            pts.append((cx + c * dx - s * dy, cy + s * dx + c * dy))
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        return Shape(sdf, (min(xs), min(ys), max(xs), max(ys)))


def _box_union(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def _box_meet(a, b):
    return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def rrect(x0, y0, x1, y1, r=0.0):
    hx, hy = (x1 - x0) / 2, (y1 - y0) / 2
    mx, my = x0 + hx, y0 + hy
    r = min(r, hx, hy)

    def sdf(x, y):
        qx = abs(x - mx) - hx + r
        qy = abs(y - my) - hy + r
        out = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return out + min(max(qx, qy), 0.0) - r

    return Shape(sdf, (x0, y0, x1, y1))


def line(x0, y0, x1, y1, w):
    """A thick segment with round caps."""
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy or 1e-9
    h = w / 2

    def sdf(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / ll))
        return math.hypot(x - x0 - t * dx, y - y0 - t * dy) - h

    return Shape(sdf, (min(x0, x1) - h, min(y0, y1) - h, max(x0, x1) + h, max(y0, y1) + h))


def polyline(points, w):
    s = line(*points[0], *points[1], w)
    for a, b in zip(points[1:], points[2:]):
        s = s | line(*a, *b, w)
    return s


def polygon(points):
    n = len(points)

    def sdf(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -d if inside else d

    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(sdf, (min(xs), min(ys), max(xs), max(ys)))


def arc(cx, cy, r, a0, a1, w):
    """A thick circular arc from screen angle a0 to a1 (degrees, clockwise), round caps."""
    h = w / 2
    a0r = math.radians(a0)
    span = min(math.radians(a1 - a0), 2 * math.pi)  # a whole turn gives a ring
    ends = [(cx + r * math.cos(a), cy + r * math.sin(a)) for a in (a0r, a0r + span)]

    def sdf(x, y):
        ang = (math.atan2(y - cy, x - cx) - a0r) % (2 * math.pi)
        if ang <= span:
            return abs(math.hypot(x - cx, y - cy) - r) - h
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - h

    R = r + h
    return Shape(sdf, (cx - R, cy - R, cx + R, cy + R))


def arrow_head(px, py, dx, dy, width, length):
    """A triangle whose base is centred on (px, py), pointing along (dx, dy)."""
    n = math.hypot(dx, dy)
    dx, dy = dx / n, dy / n
    nx, ny = -dy, dx
    hw = width / 2
    return polygon([(px + nx * hw, py + ny * hw), (px + dx * length, py + dy * length),
                    (px - nx * hw, py - ny * hw)])


# ---------------------------------------------------------------------------------------------
# Canvas: premultiplied RGBA floats, painted with anti-aliased shapes.

SUB = 4
_OFFS = [((i + 0.5) / SUB - 0.5) for i in range(SUB)]


class Canvas:
    def __init__(self, size):
        self.n = size
        self.px = [0.0] * (size * size * 4)
        self.xf = [(0.0, 0.0, 1.0)]  # placement stack: design point p lands at o + k * p

    @property
    def small(self):
        return self.n < 64

    @property
    def ow(self):
        """Outline width in the current design units: about one pixel, three at 128."""
        return max(3.0, DESIGN / self.n * 1.0) / self.xf[-1][2]

    def push(self, ox, oy, k):
        bx, by, bk = self.xf[-1]
        self.xf.append((bx + bk * ox, by + bk * oy, bk * k))

    def pop(self):
        self.xf.pop()

    def _coverage(self, shape):
        """Yields (pixel index, coverage, design x, design y) for pixels the shape touches."""
        ox, oy, k = self.xf[-1]
        s = self.n / DESIGN
        ks = k * s  # design units of the shape -> pixels
        x0, y0, x1, y1 = shape.box
        i0 = max(0, int(math.floor((ox + k * x0) * s)) - 1)
        j0 = max(0, int(math.floor((oy + k * y0) * s)) - 1)
        i1 = min(self.n, int(math.ceil((ox + k * x1) * s)) + 1)
        j1 = min(self.n, int(math.ceil((oy + k * y1) * s)) + 1)
        sdf = shape.sdf
        for j in range(j0, j1):
            for i in range(i0, i1):
                dx = ((i + 0.5) / s - ox) / k
                dy = ((j + 0.5) / s - oy) / k
                d = sdf(dx, dy) * ks
                if d >= 0.75:
                    continue
                if d <= -0.75:
                    cov = 1.0
                else:
                    hit = 0
                    for sy in _OFFS:
                        for sx in _OFFS:
                            if sdf(dx + sx / ks, dy + sy / ks) < 0:
                                hit += 1
                    if not hit:
                        continue
                    cov = hit / (SUB * SUB)
                yield (j * self.n + i) * 4, cov, dx, dy

    def fill(self, shape, color, alpha=1.0):
        """Paints shape over the canvas; color is (r, g, b) or a function (x, y) -> (r, g, b)."""
        px = self.px
        for idx, cov, x, y in self._coverage(shape):
            r, g, b = color(x, y) if callable(color) else color
            a = cov * alpha
            keep = 1.0 - a
            px[idx] = r / 255 * a + px[idx] * keep
            px[idx + 1] = g / 255 * a + px[idx + 1] * keep
            px[idx + 2] = b / 255 * a + px[idx + 2] * keep
            px[idx + 3] = a + px[idx + 3] * keep

    def erase(self, shape):
        px = self.px
        for idx, cov, _, _ in self._coverage(shape):
            keep = 1.0 - cov
            for c in range(4):
                px[idx + c] *= keep

    def shadow(self, shape, dy=3.0, blur=6.0, alpha=0.35):
        """A soft shadow below shape, taken straight from its distance field."""
        if self.small:
            return
        grown = shape.grow(blur).moved(0, dy)
        base = shape.moved(0, dy)
        px = self.px
        for idx, _, x, y in self._coverage(grown):
            d = base.sdf(x, y)
            t = max(0.0, min(1.0, 0.5 - d / (2 * blur)))
            a = alpha * t * t * (3 - 2 * t)
            keep = 1.0 - a
            for c in range(3):
                px[idx + c] *= keep
            px[idx + 3] = a + px[idx + 3] * keep

    def rgba_rows(self):
        rows = []
        n, px = self.n, self.px
        for j in range(n):
            row = bytearray()
            for i in range(n):
                k = (j * n + i) * 4
                a = px[k + 3]
                if a <= 1e-6:
                    row += b"\0\0\0\0"
                    continue
                row += bytes(min(255, int(px[k + c] / a * 255 + 0.5)) for c in range(3))
                row.append(min(255, int(a * 255 + 0.5)))
            rows.append(bytes(row))
        return rows


def write_png(path, rows, width, height):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + r for r in rows)
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(raw, 9))
    data += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------------------------------------
# Palette and shared pieces.

INK = (40, 46, 58)
WHITE = (255, 255, 255)
PAPER = (250, 250, 246)
BLUE = (52, 120, 214)
BLUE_LIGHT = (110, 170, 240)
GREEN = (46, 164, 84)
RED = (222, 64, 56)
GOLD = (236, 180, 48)
STEEL = (150, 160, 172)
STEEL_LIGHT = (214, 220, 228)
FOLDER_BACK = (74, 146, 222)
FOLDER_TOP = (150, 204, 250)
FOLDER_BOTTOM = (96, 168, 236)
BRAND_TOP = (250, 150, 60)
BRAND_BOTTOM = (222, 84, 60)


def darker(c, f=0.6):
    return tuple(int(v * f) for v in c)


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t + 0.5) for i in range(3))


def vgrad(top, bottom, y0, y1):
    def color(x, y):
        return mix(top, bottom, max(0.0, min(1.0, (y - y0) / (y1 - y0))))

    return color


def outlined(c, shape, fill, edge=None):
    """Paints shape with a one-pixel-ish edge in a darker tone of its colour."""
    if edge is None:
        base = fill(64, 64) if callable(fill) else fill
        edge = darker(base, 0.55)
    c.fill(shape, edge)
    c.fill(shape.grow(-c.ow), fill)


def badge(c, cx, cy, r, color, mark):
    """A round badge with a white minus or cross, for the 'remove' and 'clear' items."""
    if c.n <= 16:
        r += 5  # the mark needs a few pixels to read
    disc = circle(cx, cy, r)
    c.erase(disc.grow(c.ow * 1.2))
    outlined(c, disc, vgrad(mix(color, WHITE, 0.25), color, cy - r, cy + r))
    w = max(r * 0.32, c.ow * 1.2)
    e = r * 0.5
    if mark == "minus":
        c.fill(line(cx - e, cy, cx + e, cy, w), WHITE)
    else:
        e *= 0.85
        c.fill(line(cx - e, cy - e, cx + e, cy + e, w) | line(cx - e, cy + e, cx + e, cy - e, w),
               WHITE)


def document(c, x0=24, y0=8, x1=104, y1=120, lines=True):
    fold = 24
    page = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    c.shadow(page)
    outlined(c, page, vgrad(WHITE, (236, 238, 242), y0, y1), edge=(120, 128, 140))
    corner = polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)])
    outlined(c, corner, (214, 220, 228), edge=(120, 128, 140))
    if lines and not c.small:
        for k, y in enumerate(range(int(y0) + 36, int(y1) - 12, 12)):
            right = x1 - 14 if k % 3 != 2 else x1 - 34
            c.fill(line(x0 + 14, y, right, y, 4), (190, 196, 206))


def folder(c):
    back = rrect(8, 22, 120, 104, 8) | rrect(8, 14, 54, 34, 7)
    front = rrect(8, 36, 120, 110, 8)
    c.shadow(back | front)
    outlined(c, back, FOLDER_BACK)
    outlined(c, front, vgrad(FOLDER_TOP, FOLDER_BOTTOM, 36, 110), edge=darker(FOLDER_BACK, 0.65))


def folder_emblem(c, shape):
    """An emblem pressed into the folder's front: a light rim below, a darker body."""
    if c.n > 16:
        c.fill(shape.moved(0, max(1.5, c.ow * 0.6)), (200, 232, 255))
    c.fill(shape, (54, 118, 190) if c.n > 16 else (28, 76, 150))


def clock(c):
    face = circle(64, 64, 54)
    c.shadow(face)
    outlined(c, face, vgrad(BLUE_LIGHT, BLUE, 10, 118))
    inner = circle(64, 64, 54 - (12 if not c.small else 11))
    outlined(c, inner, vgrad(WHITE, (232, 236, 242), 20, 108), edge=darker(BLUE, 0.7))
    ticks = range(0, 360, 30) if not c.small else range(0, 360, 90)
    for t in ticks:
        a = math.radians(t)
        r0 = 34 if t % 90 else 30
        w = 4 if t % 90 else 6
        if c.small:
            r0, w = 32, 6
        c.fill(line(64 + r0 * math.cos(a), 64 + r0 * math.sin(a),
                    64 + 38 * math.cos(a), 64 + 38 * math.sin(a), w), INK)
    hw = 8 if not c.small else 10
    c.fill(line(64, 64, 64, 30, hw * 0.8), INK)  # minutes at twelve
    c.fill(line(64, 64, 86, 78, hw), INK)  # hours near four
    c.fill(circle(64, 64, 6 if not c.small else 7), RED)


def stroke_text(c, glyphs, x, y, h, w, color):
    """Lower-case letters drawn as strokes, x-height h, baseline y; returns the pen position."""
    shape = None
    for g in glyphs:
        if g == ".":
            part = circle(x + w * 0.6, y - w * 0.6, w * 0.65)
            adv = w * 1.8
        elif g == "e":
            r = h / 2
            cx, cy = x + r, y - r
            part = arc(cx, cy, r - w / 2, 40, 360, w) | line(cx - r + w / 2, cy, cx + r - w / 2,
                                                                   cy, w * 0.9)
            adv = h + w * 0.9
        elif g == "x":
            part = line(x + w / 2, y - h + w / 2, x + h * 0.85 - w / 2, y - w / 2, w) | line(
                x + w / 2, y - w / 2, x + h * 0.85 - w / 2, y - h + w / 2, w)
            adv = h * 0.85 + w * 0.9
        elif g == "t":
            stem = x + w / 2
            part = (line(stem, y - h * 1.5, stem, y - w * 1.2, w) | arc(stem + w * 1.2, y - w * 1.2, w * 1.2, 90, 180, w)
                    | line(x, y - h + w / 2, x + w * 2.4, y - h + w / 2, w * 0.9))
            adv = w * 3
        else:
            raise ValueError(g)
        shape = part if shape is None else shape | part
        x += adv
    c.fill(shape, color)
    return x


# ---------------------------------------------------------------------------------------------
# The pictures.


def icon_locked(c):
    shackle = arc(64, 52, 25, 180, 360, 13) | line(39, 52, 39, 66, 13) | line(89, 52, 89, 66, 13)
    outlined(c, shackle, vgrad(STEEL_LIGHT, STEEL, 20, 70), edge=(96, 104, 116))
    body = rrect(20, 58, 108, 120, 12)
    c.shadow(body)
    outlined(c, body, vgrad((252, 214, 102), GOLD, 58, 120), edge=(160, 110, 20))
    hole = circle(64, 82, 9 if not c.small else 11) | polygon([(58, 84), (70, 84), (74, 104),
                                                               (54, 104)])
    c.fill(hole, (92, 62, 10))


def icon_invisible(c):
    eye = circle(64, 64 - 33, 65) & circle(64, 64 + 33, 65)
    outlined(c, eye, vgrad(WHITE, (226, 230, 238), 32, 96), edge=INK)
    iris = circle(64, 64, 24) & eye.grow(-c.ow)
    c.fill(iris, vgrad(BLUE_LIGHT, BLUE, 40, 88))
    c.fill(circle(64, 64, 11), INK)
    if not c.small:
        c.fill(circle(71, 57, 5), WHITE)
    c.erase(line(22, 108, 106, 20, 14 + 3 * c.ow))
    c.fill(line(22, 108, 106, 20, 14), RED)


def icon_extension(c):
    document(c, 14, 6, 94, 118)
    tag = rrect(38, 72, 124, 112, 9)
    c.erase(tag.grow(c.ow * 1.2))
    outlined(c, tag, vgrad(BLUE_LIGHT, BLUE, 72, 112))
    if c.small:
        c.fill(circle(54, 98, 7), WHITE)
        c.fill(line(74, 92, 106, 92, 10), WHITE)
    else:
        stroke_text(c, ".ext", 47, 102, 19, 5, WHITE)


def icon_alias(c):
    box = rrect(14, 14, 114, 114, 16)
    c.shadow(box)
    outlined(c, box, vgrad(WHITE, (230, 234, 240), 14, 114), edge=INK)
    w = 14 if not c.small else 18
    c.fill(arc(90, 100, 50, 180, 270, w), INK)
    c.fill(arrow_head(88, 50, 1, 0, 2.9 * w, 22), INK)


def icon_custom(c):
    board = (circle(64, 62, 54) | circle(44, 88, 30)) - circle(46, 92, 11) - circle(12, 100, 18)
    c.shadow(board)
    outlined(c, board, vgrad((244, 210, 160), (214, 166, 104), 8, 118), edge=(130, 86, 40))
    for (x, y, col) in ((56, 30, RED), (88, 38, GOLD), (100, 68, GREEN), (84, 96, BLUE),
                        (30, 56, (150, 80, 200))):
        outlined(c, circle(x, y, 11 if not c.small else 12), col)


def icon_ok(c):
    disc = circle(64, 64, 56)
    c.shadow(disc)
    outlined(c, disc, vgrad((96, 204, 120), GREEN, 8, 120))
    c.fill(polyline([(36, 66), (56, 86), (94, 44)], 15 if not c.small else 18), WHITE)


def icon_cancel(c):
    disc = circle(64, 64, 56)
    c.shadow(disc)
    outlined(c, disc, vgrad((244, 120, 108), RED, 8, 120))
    w = 15 if not c.small else 18
    c.fill(line(42, 42, 86, 86, w) | line(42, 86, 86, 42, w), WHITE)


def _menu(c, x0, y0, x1, rows, hi, pitch):
    y1 = y0 + 8 + pitch * rows
    panel = rrect(x0, y0, x1, y1, 6)
    c.shadow(panel, dy=3, blur=5, alpha=0.45)
    outlined(c, panel, vgrad(WHITE, (236, 239, 244), y0, y1), edge=(70, 60, 90))
    for k in range(rows):
        ry = y0 + 4 + pitch * k
        if k == hi:
            c.fill(rrect(x0 + 3, ry, x1 - 3, ry + pitch, 3), BLUE)
            bar_color = WHITE
        else:
            bar_color = (150, 156, 168)
        bw = pitch * 0.36
        my = ry + pitch / 2
        c.fill(line(x0 + 10, my, x1 - 20 - (k % 2) * 8, my, bw), bar_color)
        if k == hi:
            c.fill(polygon([(x1 - 13, my - pitch * 0.28), (x1 - 6, my), (x1 - 13,
                                                                           my + pitch * 0.28)]),
                   WHITE)


def icon_product(c):
    tile = rrect(6, 6, 122, 122, 26)
    c.shadow(tile)
    outlined(c, tile, vgrad(BRAND_TOP, BRAND_BOTTOM, 6, 122), edge=(150, 50, 40))
    if c.n <= 16:
        _menu(c, 16, 16, 70, 3, 1, 30)
        _menu(c, 64, 46, 114, 2, 0, 30)
    elif c.small:
        _menu(c, 16, 18, 70, 4, 1, 20)
        _menu(c, 64, 40, 114, 3, 0, 20)
    else:
        _menu(c, 12, 18, 70, 6, 2, 14)
        _menu(c, 64, 46, 116, 4, 1, 14)


def icon_preferences(c):
    teeth = 8
    pts = []
    for i in range(teeth):
        t = 2 * math.pi * i / teeth
        for da, r in ((-0.30, 42), (-0.17, 56), (0.17, 56), (0.30, 42)):
            pts.append((64 + r * math.cos(t + da), 64 + r * math.sin(t + da)))
    gear = polygon(pts) - circle(64, 64, 16)
    c.shadow(gear)
    outlined(c, gear, vgrad(STEEL_LIGHT, (128, 138, 152), 8, 120), edge=(70, 78, 90))
    if not c.small:
        c.fill(arc(64, 64, 29, 0, 360, 4) - circle(64, 64, 16), (124, 134, 148))


def icon_recent(c):
    clock(c)


def icon_restore(c):
    w = 17 if not c.small else 20
    a0 = -40
    ring = arc(64, 68, 40, a0, 220, w)
    c.shadow(ring)
    a = math.radians(a0)
    px, py = 64 + 40 * math.cos(a), 68 + 40 * math.sin(a)
    head = arrow_head(px, py, math.sin(a), -math.cos(a), 2.8 * w, 26)
    shape = ring | head
    outlined(c, shape, vgrad((104, 200, 132), GREEN, 20, 116))


def icon_clear_recent(c):
    c.push(0, 0, 0.84)
    clock(c)
    c.pop()
    badge(c, 96, 96, 27, RED, "cross")


def icon_home(c):
    roof = polygon([(64, 10), (122, 60), (6, 60)])
    body = rrect(22, 52, 106, 118, 3)
    c.shadow(body | roof)
    outlined(c, rrect(82, 16, 98, 50, 2), (170, 90, 70))  # chimney
    outlined(c, body, vgrad((255, 244, 222), (236, 214, 176), 52, 118), edge=(130, 100, 70))
    outlined(c, roof, vgrad((240, 96, 76), (196, 52, 44), 10, 60))
    outlined(c, rrect(52, 78, 76, 118, 3), (140, 86, 50))
    if not c.small:
        outlined(c, rrect(84, 70, 100, 86, 2), BLUE_LIGHT, edge=(90, 80, 70))
        c.fill(circle(70, 100, 2.5), GOLD)


def icon_open(c):
    document(c, 10, 14, 82, 120)
    shaft = line(42, 92, 92, 42, 15 if not c.small else 19)
    head = arrow_head(86, 48, 1, -1, 48 if not c.small else 54, 32)
    arrow = shaft | head
    c.erase(arrow.grow(c.ow * 1.3))
    outlined(c, arrow, vgrad(BLUE_LIGHT, BLUE, 14, 96))


def icon_reveal(c):
    folder(c)
    lens = circle(62, 66, 28)
    c.erase(lens.grow(9 + c.ow))
    c.fill(lens, (210, 236, 255), 0.8)
    handle = line(85, 89, 112, 116, 16 if not c.small else 20)
    outlined(c, handle, (80, 70, 66))
    outlined(c, arc(62, 66, 28, 0, 360, 10 if not c.small else 13),
             vgrad(STEEL_LIGHT, STEEL, 36, 96), edge=(70, 78, 90))
    if not c.small:
        c.fill(arc(62, 66, 18, 200, 250, 5), WHITE, 0.9)


def icon_remove_fork(c):
    # At 16 px the fork stands upright on whole pixels, or its tines melt together.
    tiny = c.n <= 16
    spread, tw, hw = ((-16, 0, 16), 8, 8) if tiny else ((-18, -6, 6, 18), 7 if c.n > 32 else 9, 13)
    tines = None
    for x in spread:
        t = line(x, -52, x, -22, tw)
        tines = t if tines is None else tines | t
    head = rrect(-22 if not tiny else -20, -26, 22 if not tiny else 20, -10, 7)
    neck = polygon([(-20, -14), (20, -14), (6, 8), (-6, 8)])
    handle = line(0, 4, 0, 56, hw)
    fork = (tines | head | neck | handle)
    fork = fork.moved(52, 60) if tiny else fork.rotated(28).moved(52, 62)
    c.shadow(fork)
    outlined(c, fork, vgrad(STEEL_LIGHT, STEEL, 8, 120), edge=(80, 88, 100))
    badge(c, 96, 96, 26, RED, "minus")


def icon_delete(c):
    body = polygon([(28, 36), (100, 36), (93, 120), (35, 120)])
    lid = rrect(18, 24, 110, 38, 5)
    grip = rrect(48, 10, 80, 28, 6) - rrect(56, 17, 72, 30, 2)
    c.shadow(body | lid)
    outlined(c, body, vgrad((208, 214, 222), (150, 158, 170), 36, 120), edge=(74, 82, 94))
    for x, xb in ((48, 50), (64, 64), (80, 78)):
        c.fill(line(x, 50, xb, 106, 6 if not c.small else 9), (110, 118, 130))
    outlined(c, grip, (150, 158, 170), edge=(74, 82, 94))
    outlined(c, lid, vgrad(STEEL_LIGHT, STEEL, 24, 38), edge=(74, 82, 94))


def icon_applications(c):
    folder(c)
    w = 9 if not c.small else 13
    a = line(44, 98, 64, 52, w) | line(64, 52, 84, 98, w) | line(52, 84, 76, 84, w * 0.85)
    folder_emblem(c, a)


def icon_utilities(c):
    w = 11 if not c.small else 14
    wrench = (line(-36, 0, 16, 0, w) | circle(24, 0, 17)) - rrect(24, -6, 46, 6, 2) - circle(
        32, 0, 8)
    folder(c)
    folder_emblem(c, wrench.rotated(-45).moved(62, 76))


def icon_developer(c):
    w = 9 if not c.small else 13
    hammer = line(0, 34, 0, -12, w) | rrect(-22, -24, 16, -10, 3) | polygon([(16, -22), (26, -26),
                                                                            (26, -8), (16, -12)])
    folder(c)
    folder_emblem(c, hammer.rotated(35).moved(64, 74))


ICONS = {
    121: icon_locked,
    122: icon_invisible,
    123: icon_extension,
    124: icon_alias,
    125: icon_custom,
    126: icon_ok,
    127: icon_cancel,
    128: icon_product,
    129: icon_preferences,
    131: icon_recent,
    132: icon_restore,
    133: icon_clear_recent,
    134: icon_home,
    135: icon_open,
    136: icon_reveal,
    137: icon_remove_fork,
    138: icon_delete,
    139: icon_applications,
    140: icon_utilities,
    141: icon_developer,
}


def contact_sheet(path, rendered):
    """All pictures in a grid: the 128 px one, then the small ones enlarged 4x and 8x."""
    cell = 140
    cols = 4
    per_icon = 3
    ids = sorted(rendered)
    rows_n = (len(ids) + cols - 1) // cols
    width, height = cols * per_icon * cell, rows_n * cell
    img = [[(232, 232, 232) if ((x // 8) + (y // 8)) % 2 else (250, 250, 250)
            for x in range(width)] for y in range(height)]
    for n, icon_id in enumerate(ids):
        gx, gy = (n % cols) * per_icon * cell, (n // cols) * cell
        for k, size in enumerate(SIZES):
            rows = rendered[icon_id][size]
            zoom = 128 // size
            ox, oy = gx + k * cell + 6, gy + 6
            for y in range(128):
                src = rows[y // zoom]
                for x in range(128):
                    p = (x // zoom) * 4
                    a = src[p + 3] / 255
                    if a:
                        bg = img[oy + y][ox + x]
                        img[oy + y][ox + x] = tuple(
                            int(src[p + c] * a + bg[c] * (1 - a)) for c in range(3))
    out = [bytes(v for px in r for v in (*px, 255)) for r in img]
    write_png(path, out, width, height)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description="Draw the plug-in bundle's icons as PNG files.")
    ap.add_argument("--out", default=os.path.join(here, "png"))
    ap.add_argument("--sheet", help="also write a contact sheet PNG here")
    ap.add_argument("ids", nargs="*", type=int, help="only these IDs (default: all)")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    rendered = {}
    for icon_id in args.ids or sorted(ICONS):
        draw = ICONS[icon_id]
        rendered[icon_id] = {}
        for size in SIZES:
            c = Canvas(size)
            draw(c)
            rows = c.rgba_rows()
            rendered[icon_id][size] = rows
            write_png(os.path.join(args.out, "%d-%d.png" % (icon_id, size)), rows, size, size)
    if args.sheet:
        contact_sheet(args.sheet, rendered)


if __name__ == "__main__":
    main()
