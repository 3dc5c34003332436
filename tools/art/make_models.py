#!/usr/bin/env python3
"""Draws the settings dialog's cutter model pictures as station/res/model<ID>.bmp.

220: roll-feeding cutting plotter on its stand; 215: sheet-feeding flatbed;
219: flatbed with an automatic roll feed. Drawn 4x oversize and box-filtered,
on the dialog's face grey, stored as 24-bit BMP (148 x 130 pixels).

    python3 tools/art/make_models.py

Needs Pillow (Debian: python3-pil).
"""
import os
import sys

try:
    from PIL import Image, ImageDraw
except ImportError:
    sys.exit("make_models.py needs Pillow (apt-get install python3-pil)")

W, H, SS = 148, 130, 4
FACE = (0xD4, 0xD0, 0xC8)
OUT = (36, 46, 62)
BODY, BODY_L, BODY_D = (226, 230, 236), (248, 250, 252), (150, 160, 174)
BLUE, BLUE_D = (52, 112, 196), (28, 70, 140)
STEEL, STEEL_D = (146, 156, 170), (78, 88, 102)
VINYL, VINYL_D = (255, 236, 150), (214, 180, 96)
RED = (214, 46, 36)
GREEN = (52, 164, 64)
TABLE, TABLE_D = (90, 98, 112), (56, 62, 74)


class Pic:
    def __init__(self):
        self.img = Image.new("RGB", (W * SS, H * SS), FACE)
        self.d = ImageDraw.Draw(self.img)

    def _p(self, pts):
        return [(x * SS, y * SS) for x, y in pts]

    def poly(self, pts, fill, outline=OUT, width=1.0):
        self.d.polygon(self._p(pts), fill=fill)
        if outline:
            self.d.line(self._p(pts + [pts[0]]), fill=outline, width=max(1, int(width * SS)), joint="curve")

    def rect(self, x0, y0, x1, y1, fill, outline=OUT, width=1.0):
        self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], fill, outline, width)

    def ellipse(self, x0, y0, x1, y1, fill, outline=OUT, width=1.0):
        self.d.ellipse([x0 * SS, y0 * SS, x1 * SS, y1 * SS], fill=fill, outline=outline, width=max(1, int(width * SS)))

    def line(self, pts, colour, width=1.0):
        self.d.line(self._p(pts), fill=colour, width=max(1, int(width * SS)), joint="curve")

    def save(self, path):
        small = self.img.resize((W, H), Image.BOX)
        small.save(path, "BMP")


def star(p, cx, cy, r):
    import math
    pts = []
    for i in range(10):
        a = math.radians(-90 + 36 * i)
        rr = r if i % 2 == 0 else r * 0.45
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    p.line(pts + [pts[0]], RED, 1.3)


def roll_plotter():
    p = Pic()
    # Stand: two legs with feet and a cross bar holding the media roll.
    for x in (30, 118):
        p.rect(x - 3, 62, x + 3, 118, STEEL, STEEL_D)
        p.rect(x - 14, 116, x + 14, 121, STEEL_D, OUT)
    p.rect(30, 96, 118, 100, STEEL, STEEL_D)
    p.ellipse(36, 80, 112, 94, VINYL, VINYL_D)
    p.rect(40, 82, 108, 92, VINYL, None)
    p.ellipse(104, 80, 116, 94, VINYL_D, OUT)
    # Vinyl running from the roll up into the plotter and out at the front.
    p.poly([(44, 84), (104, 84), (106, 56), (42, 56)], VINYL, VINYL_D)
    star(p, 74, 72, 9)
    # The plotter body with end caps and the carriage on its rail.
    p.rect(14, 30, 134, 58, BODY, OUT, 1.2)
    p.rect(16, 32, 132, 38, BODY_L, None)
    p.rect(8, 26, 28, 62, BLUE, BLUE_D, 1.2)
    p.rect(120, 26, 140, 62, BLUE, BLUE_D, 1.2)
    p.rect(11, 30, 25, 40, (200, 220, 250), BLUE_D)   # control panel
    p.ellipse(13, 44, 18, 49, GREEN, OUT, 0.6)
    p.ellipse(20, 44, 25, 49, RED, OUT, 0.6)
    p.line([(28, 46), (120, 46)], STEEL_D, 1.5)
    p.rect(62, 38, 80, 54, STEEL, OUT)
    p.poly([(69, 54), (73, 54), (71, 59)], STEEL_D, OUT, 0.6)   # blade holder
    return p


def flatbed(auto_feed):
    p = Pic()
    # Table in perspective on four legs.
    top = [(14, 62), (116, 62), (140, 92), (6, 92)]
    for x, y in ((12, 92), (134, 92), (24, 70), (112, 70)):
        p.rect(x - 2.5, y, x + 2.5, y + 30, TABLE, TABLE_D)
    p.poly([(6, 92), (140, 92), (140, 98), (6, 98)], TABLE_D)
    p.poly(top, TABLE, OUT, 1.2)
    if auto_feed:
        # Roll at the back feeding the material across the whole table.
        p.poly([(22, 64), (108, 64), (132, 90), (14, 90)], VINYL, VINYL_D)
        p.ellipse(14, 44, 116, 58, VINYL, VINYL_D)
        p.rect(20, 46, 110, 56, VINYL, None)
        p.ellipse(108, 44, 120, 58, VINYL_D, OUT)
        p.line([(20, 58), (22, 64)], VINYL_D, 1.0)
        p.line([(110, 58), (108, 64)], VINYL_D, 1.0)
        for x in (16, 118):
            p.rect(x - 2, 50, x + 2, 66, STEEL, STEEL_D)
        # Feed arrow.
        p.poly([(66, 96), (80, 96), (80, 100), (90, 100), (73, 110), (56, 100), (66, 100)], GREEN, OUT, 0.6)
    else:
        # A single sheet lying on the table.
        p.poly([(34, 68), (96, 68), (110, 86), (22, 86)], (255, 255, 255), STEEL_D)
    star(p, 67, 77, 7)
    # Gantry across the table with the tool head.
    p.poly([(10, 70), (128, 70), (128, 78), (10, 78)], BODY, OUT, 1.2)
    p.rect(6, 40 if not auto_feed else 62, 14, 80, BLUE, BLUE_D)
    p.rect(124, 40 if not auto_feed else 62, 132, 80, BLUE, BLUE_D)
    if not auto_feed:
        p.rect(6, 36, 132, 44, BODY, OUT, 1.2)
    p.rect(74, 64, 90, 80, STEEL, OUT)
    p.poly([(80, 80), (84, 80), (82, 85)], STEEL_D, OUT, 0.6)
    return p


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    res = os.path.join(here, "..", "..", "station", "res")
    for rid, fn in ((220, roll_plotter), (215, lambda: flatbed(False)), (219, lambda: flatbed(True))):
        path = os.path.normpath(os.path.join(res, "model%d.bmp" % rid))
        fn().save(path)
        print("wrote", path)


if __name__ == "__main__":
    main()
