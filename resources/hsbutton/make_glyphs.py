#!/usr/bin/env python3
"""Draws the hot-track button's bitmaps and writes them as BMP files with a colour table: the
fewest bits per pixel (4 or 8) that hold their few colours, so the program carries a quarter
of the bytes of 24-bit files; Windows loads them to the same pixels.

Standard-button glyphs ("BBOK" ... "BBALL") are strips of two cells, normal and disabled,
each 18 x 18 ("BBALL": 18 x 19). The background is olive (128, 128, 0), the key colour the
button leaves out: it is what the bottom-left pixel of every cell shows. The disabled cell is
the shape of the dark pixels embossed in grey: a white copy one pixel right and down under a
grey copy.
"HSARROW" is the 7 x 4 drop-down arrow, black on the same key colour.

Shapes are tested at pixel centres with hard edges: anti-aliased edges would blend with the
key colour and leave an olive fringe on any face.

Run from anywhere: python3 resources/hsbutton/make_glyphs.py
"""
import math
import os
import struct

KEY = (128, 128, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
HERE = os.path.dirname(os.path.abspath(__file__))


class Cell:
    def __init__(self, w=18, h=18):
        self.w, self.h = w, h
        self.px = [[KEY] * w for _ in range(h)]

    def paint(self, inside, color):
        for y in range(self.h):
            for x in range(self.w):
                if inside(x + 0.5, y + 0.5):
                    self.px[y][x] = color

    def line(self, x0, y0, x1, y1, width, color):
        def inside(px, py):
            dx, dy = x1 - x0, y1 - y0
            t = max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy)))
            return math.hypot(px - (x0 + t * dx), py - (y0 + t * dy)) <= width / 2
        self.paint(inside, color)

    def disk(self, cx, cy, r, color):
        self.paint(lambda px, py: math.hypot(px - cx, py - cy) <= r, color)

    def ring(self, cx, cy, r0, r1, color, start=0.0, end=360.0):
        def inside(px, py):
            d = math.hypot(px - cx, py - cy)
            a = math.degrees(math.atan2(py - cy, px - cx)) % 360
            in_arc = start <= a <= end if start <= end else (a >= start or a <= end)
            return r0 <= d <= r1 and in_arc
        self.paint(inside, color)

    def polygon(self, points, color):
        def inside(px, py):
            hit = False
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
                    hit = not hit
            return hit
        self.paint(inside, color)

    def rect(self, x0, y0, x1, y1, color):
        self.paint(lambda px, py: x0 <= px <= x1 and y0 <= py <= y1, color)

    def disabled(self):
        out = Cell(self.w, self.h)
        # Dark pixels make the shape; light details (a lit doorway, a white bar) stay holes.
        def dark(p):
            return p != KEY and 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2] < 192
        shape = [[dark(self.px[y][x]) for x in range(self.w)] for y in range(self.h)]
        for y in range(self.h):
            for x in range(self.w):
                if x > 0 and y > 0 and shape[y - 1][x - 1] and y < self.h - 1:
                    out.px[y][x] = WHITE
        for y in range(self.h):
            for x in range(self.w):
                if shape[y][x]:
                    out.px[y][x] = GREY
        out.px[self.h - 1][0] = KEY
        return out


def check(c, color, dx=0.0):
    c.line(3.5 + dx, 9.5, 7.5 + dx, 13.5, 2.6, color)
    c.line(7.5 + dx, 13.5, 14.5 + dx, 4.0, 2.6, color)


def bb_ok():
    c = Cell()
    check(c, (0, 128, 0))
    return c


def bb_cancel():
    c = Cell()
    c.line(4.5, 4.5, 13.5, 13.5, 2.6, (192, 0, 0))
    c.line(13.5, 4.5, 4.5, 13.5, 2.6, (192, 0, 0))
    return c


def bb_help():
    c = Cell()
    blue = (0, 0, 192)
    c.ring(9, 6.5, 2.2, 4.4, blue, 180, 45)
    c.line(11.5, 9.0, 9.0, 11.0, 2.2, blue)
    c.rect(8.0, 10.5, 10.0, 12.5, blue)
    c.rect(8.0, 14.0, 10.0, 16.0, blue)
    return c


def bb_yes():
    c = Cell()
    check(c, (0, 160, 0))
    return c


def bb_no():
    c = Cell()
    red = (192, 0, 0)
    c.ring(9, 9, 5.0, 7.0, red)
    c.line(5.0, 13.0, 13.0, 5.0, 2.0, red)
    return c


def bb_close():
    c = Cell()
    brown = (128, 64, 0)
    c.rect(4.0, 2.0, 14.0, 16.0, (64, 32, 0))       # frame
    c.rect(5.0, 3.0, 13.0, 16.0, (255, 255, 160))   # opening, lit
    c.polygon([(5.0, 3.0), (10.0, 4.5), (10.0, 17.0), (5.0, 16.0)], brown)  # the door, ajar
    c.rect(8.4, 9.4, 9.4, 10.4, (255, 220, 0))      # knob
    return c


def bb_abort():
    c = Cell()
    red = (192, 0, 0)
    c.polygon([(6, 2), (12, 2), (16, 6), (16, 12), (12, 16), (6, 16), (2, 12), (2, 6)], red)
    c.rect(5.0, 8.0, 13.0, 10.0, WHITE)
    return c


def bb_retry():
    c = Cell()
    green = (0, 128, 0)
    c.ring(9, 10, 3.6, 5.8, green, 305, 235)
    c.polygon([(6.0, 1.5), (6.0, 9.5), (10.5, 5.5)], green)  # head at the upper-left end
    return c


def bb_ignore():
    c = Cell()
    blue = (0, 64, 192)
    c.rect(1.0, 12.0, 17.0, 14.0, (96, 96, 96))             # what is jumped over
    c.ring(9, 11.0, 4.0, 6.0, blue, 190, 330)               # the arc of the jump
    c.polygon([(11.0, 9.5), (17.0, 9.5), (14.5, 4.5)], blue)  # the head coming down
    return c


def bb_all():
    c = Cell(18, 19)
    check(c, (0, 128, 0), -1.5)
    c.line(9.5, 13.5, 16.5, 4.0, 2.2, (0, 96, 0))
    return c


def strip(cell):
    dis = cell.disabled()
    return [cell.px[y] + dis.px[y] for y in range(cell.h)]


def arrow():
    rows = []
    for y in range(4):
        rows.append([(0, 0, 0) if y <= x <= 6 - y else KEY for x in range(7)])
    return rows


def write_bmp(path, rows):
    h, w = len(rows), len(rows[0])
    colours = sorted({c for row in rows for c in row})
    assert len(colours) <= 256, f"{path}: {len(colours)} colours"
    # 4 bits at least: 1-bit bitmaps are monochrome to some GDI calls, whatever their colours.
    bpp = next(b for b in (4, 8) if len(colours) <= 1 << b)
    index = {c: i for i, c in enumerate(colours)}
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    stride = (w * bpp + 31) // 32 * 4
    data = bytearray()
    for row in reversed(rows):  # bottom-up
        bits = 0
        for c in row:
            bits = bits << bpp | index[c]
        line = (bits << (stride * 8 - w * bpp)).to_bytes(stride, "big")
        data += line
    offset = 54 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, len(data), 3780, 3780, len(colours), len(colours))
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


GLYPHS = {
    "bbok": bb_ok, "bbcancel": bb_cancel, "bbhelp": bb_help, "bbyes": bb_yes, "bbno": bb_no,
    "bbclose": bb_close, "bbabort": bb_abort, "bbretry": bb_retry, "bbignore": bb_ignore,
    "bball": bb_all,
}

if __name__ == "__main__":
    for name, draw in GLYPHS.items():
        write_bmp(os.path.join(HERE, name + ".bmp"), strip(draw()))
    write_bmp(os.path.join(HERE, "hsarrow.bmp"), arrow())
