#!/usr/bin/env python3
"""Draws the built-in theme bitmaps of the skinned controls into this folder, and writes
../skin.rc listing them as BITMAP resources.

Run from anywhere: python3 resources/skin/make_bitmaps.py. Deterministic output.
Strips read by the controls get their exact sizes (button strips: 3 frames; check-box and
radio strips: 4 frames: checked, unchecked, checked disabled, unchecked disabled). Bitmaps no
control of this program reads are small placeholders in the style's colours. Files with at
most 256 colours are written as 8-bit BMPs with a trimmed palette, run-length encoded
(BI_RLE8) when that is smaller, to keep the program small.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (255, 0, 255)  # radio glyph corners: the controls key on the bottom-left pixel

# Per style: (dark, light, accent, frame) colours.
STYLES = {
    "MACOS": dict(dark=(150, 150, 160), light=(250, 250, 252), accent=(57, 115, 196), border=(110, 110, 120),
                  mark=(57, 115, 196)),
    "WINXP": dict(dark=(214, 208, 197), light=(255, 255, 255), accent=(33, 161, 33), border=(0, 60, 116),
                  mark=(33, 161, 33)),
    "DEEPBLUE": dict(dark=(40, 46, 120), light=(140, 150, 220), accent=(68, 74, 160), border=(20, 24, 70),
                     mark=(255, 255, 255)),
    "PROTEIN": dict(dark=(150, 190, 150), light=(245, 252, 245), accent=(45, 48, 196), border=(70, 110, 70),
                    mark=(45, 48, 196)),
    "BLUEGLASS": dict(dark=(94, 140, 236), light=(225, 238, 255), accent=(94, 94, 236), border=(50, 80, 170),
                      mark=(20, 30, 150)),
}
BUTTON = {"MACOS": (252, 23), "WINXP": (54, 21), "DEEPBLUE": (222, 21), "PROTEIN": (222, 21), "BLUEGLASS": (231, 27)}
CHECKBOX = {"MACOS": (60, 17), "WINXP": (52, 13), "DEEPBLUE": (52, 13), "PROTEIN": (52, 13), "BLUEGLASS": (52, 13)}
RADIO = {"MACOS": (64, 17), "WINXP": (52, 13), "DEEPBLUE": (52, 13), "PROTEIN": (52, 13), "BLUEGLASS": (52, 13)}
# Elements no control of this program reads: (name, width, height).
OTHERS = [("TITLEBTN", 16, 8), ("TITLE_LEFT", 4, 8), ("TITLE_CLIENT", 4, 8), ("TITLE_RIGHT", 4, 8),
          ("PROGRESSBAR", 8, 8), ("TRACKBAR_BAR", 8, 4), ("TRACKBAR_SLIDER", 6, 8), ("TRACKBAR_SLIDER_V", 8, 6),
          ("SCROLLBAR_BUTTON", 8, 8), ("SCROLLBAR_TRACK", 8, 4), ("CHECKLIST", 8, 8), ("TAB", 8, 8),
          ("TAB_LINE", 4, 4), ("SIDECHENNEL_HANDLE", 8, 8), ("SIDECHENNEL_BAR", 8, 4)]


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def grey(c):
    v = int(round(0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2]))
    v = 150 + v * 90 // 255
    return (v, v, v)


class Img:
    def __init__(self, w, h, fill=(255, 255, 255)):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x, y, w, h, c):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.set(xx, yy, c)


def rle8_row(row):
    """One row as BI_RLE8 pairs: runs of a repeated index, literal stretches of 3 or more."""
    out = bytearray()
    i, n = 0, len(row)
    while i < n:
        run = 1
        while i + run < n and run < 255 and row[i + run] == row[i]:
            run += 1
        if run >= 2:
            out += bytes((run, row[i]))
            i += run
            continue
        j = i  # the literal stretch ends where a run of two begins
        while j < n and j - i < 255 and not (j + 1 < n and row[j + 1] == row[j]):
            j += 1
        literal = row[i:j]
        if len(literal) >= 3:  # absolute mode, padded to an even count
            out += bytes((0, len(literal))) + literal + b"\0" * (len(literal) & 1)
        else:  # (0, 1) and (0, 2) are escapes: single pixels go as runs of one
            for v in literal:
                out += bytes((1, v))
        i = j
    return bytes(out)


def write_bmp(name, img, force24=False):
    colours = sorted({c for row in img.px for c in row})
    compression = 0
    if len(colours) <= 256 and not force24:
        index = {c: i for i, c in enumerate(colours)}
        stride = (img.w + 3) & ~3
        palette = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in colours)
        lines = [bytes(index[c] for c in img.px[y]) for y in range(img.h - 1, -1, -1)]  # bottom-up
        rows = b"".join(line + b"\0" * (stride - img.w) for line in lines)
        # Each row ends with (0, 0), the last with (0, 1), the end of the bitmap.
        rle = b"".join(rle8_row(line) + (b"\0\1" if k == len(lines) - 1 else b"\0\0")
                       for k, line in enumerate(lines))
        if len(rle) < len(rows):
            rows, compression = rle, 1
        bpp, used = 8, len(colours)
    else:
        stride = (img.w * 3 + 3) & ~3
        palette = b""
        rows = b""
        for y in range(img.h - 1, -1, -1):
            row = b"".join(struct.pack("<BBB", c[2], c[1], c[0]) for c in img.px[y])
            rows += row + b"\0" * (stride - img.w * 3)
        bpp, used = 24, 0
    info = struct.pack("<IiiHHIIiiII", 40, img.w, img.h, 1, bpp, compression, len(rows), 2835, 2835, used, used)
    off = 14 + len(info) + len(palette)
    head = struct.pack("<2sIHHI", b"BM", off + len(rows), 0, 0, off)
    with open(os.path.join(HERE, name.lower() + ".bmp"), "wb") as f:
        f.write(head + info + palette + rows)


def button_strip(style, w, h):
    s = STYLES[style]
    img = Img(w, h, s["light"])
    fw = w // 3
    for frame in range(3):
        x0 = w - fw if frame == 2 else frame * fw
        top, bottom = s["light"], s["dark"]
        if frame == 1:  # mouse over: lighter
            top, bottom = mix(s["light"], (255, 255, 255), 0.5), mix(s["dark"], s["light"], 0.4)
        if frame == 2:  # pressed: inverted gradient
            top, bottom = s["dark"], s["light"]
        for y in range(h):
            c = mix(top, bottom, y / max(h - 1, 1))
            for x in range(x0, x0 + fw):
                img.set(x, y, c)
        border = s["accent"] if frame == 1 else s["border"]
        for x in range(x0 + 1, x0 + fw - 1):
            img.set(x, 0, border)
            img.set(x, h - 1, border)
        for y in range(1, h - 1):
            img.set(x0, y, border)
            img.set(x0 + fw - 1, y, border)
        for corner in ((x0, 0), (x0 + fw - 1, 0), (x0, h - 1), (x0 + fw - 1, h - 1)):
            img.set(*corner, mix(border, s["light"], 0.5))
    return img


def check_strip(style, w, h):
    s = STYLES[style]
    img = Img(w, h, (255, 255, 255))
    fw = w // 4
    for frame in range(4):
        x0 = w - fw if frame == 3 else frame * fw
        checked = frame in (0, 2)
        disabled = frame >= 2
        border = grey(s["border"]) if disabled else s["border"]
        face_top = (240, 240, 240) if disabled else s["light"]
        face_bottom = (225, 225, 225) if disabled else mix(s["light"], s["dark"], 0.35)
        size = min(fw, h)
        bx, by = x0 + (fw - size) // 2, (h - size) // 2
        for y in range(size):
            c = mix(face_top, face_bottom, y / max(size - 1, 1))
            for x in range(size):
                img.set(bx + x, by + y, c)
        for i in range(size):
            img.set(bx + i, by, border)
            img.set(bx + i, by + size - 1, border)
            img.set(bx, by + i, border)
            img.set(bx + size - 1, by + i, border)
        if checked:
            mark = grey(s["accent"]) if disabled else s["mark"]
            # A tick: down-right from the left third, then up to the top right.
            m = size - 4
            pts = []
            for i in range(m // 3 + 1):
                pts.append((2 + i, size // 2 + i - 1))
            lx, ly = pts[-1]
            for i in range(1, m - m // 3):
                pts.append((lx + i, ly - i))
            for x, y in pts:
                for dy in (0, 1):
                    img.set(bx + x, by + y + dy, mark)
    return img


def radio_strip(style, w, h):
    s = STYLES[style]
    img = Img(w, h, KEY)
    fw = w // 4
    for frame in range(4):
        x0 = w - fw if frame == 3 else frame * fw
        checked = frame in (0, 2)
        disabled = frame >= 2
        border = grey(s["border"]) if disabled else s["border"]
        face = (238, 238, 238) if disabled else s["light"]
        size = min(fw, h)
        r = (size - 1) / 2.0
        cx, cy = x0 + (fw - 1) / 2.0, (h - 1) / 2.0
        for y in range(h):
            for x in range(x0, x0 + fw):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if d <= r - 0.8:
                    img.set(x, y, mix(face, s["dark"] if not disabled else (215, 215, 215), max(0.0, (y - cy + r) / (2 * r)) * 0.4))
                elif d <= r + 0.3:
                    img.set(x, y, border)
                if checked and d <= r * 0.42:
                    img.set(x, y, grey(s["accent"]) if disabled else s["mark"])
    return img


def small(style, w, h):
    s = STYLES[style]
    img = Img(w, h)
    for y in range(h):
        c = mix(s["light"], s["dark"], y / max(h - 1, 1))
        for x in range(w):
            img.set(x, y, c)
    return img


def main():
    names = []
    for style in STYLES:
        write_bmp(f"{style}_BUTTON", button_strip(style, *BUTTON[style])); names.append(f"{style}_BUTTON")
        write_bmp(f"{style}_CHECKBOX", check_strip(style, *CHECKBOX[style])); names.append(f"{style}_CHECKBOX")
        write_bmp(f"{style}_RADIOBUTTON", radio_strip(style, *RADIO[style])); names.append(f"{style}_RADIOBUTTON")
        for element, w, h in OTHERS:
            write_bmp(f"{style}_{element}", small(style, w, h)); names.append(f"{style}_{element}")
    for style in ("MACOS", "WINXP"):
        write_bmp(f"{style}_SCROLLBUTTON", small(style, 8, 8)); names.append(f"{style}_SCROLLBUTTON")
    write_bmp("MORE_SCROLLBUTTON", small("DEEPBLUE", 8, 8)); names.append("MORE_SCROLLBUTTON")

    lines = ["// The built-in theme bitmaps of the skinned controls. Generated by skin/make_bitmaps.py;",
             "// included by setup.rc and test.rc.", ""]
    for n in names:
        lines.append(f'{n:<30} BITMAP "skin/{n.lower()}.bmp"')
    with open(os.path.join(HERE, "..", "skin.rc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
