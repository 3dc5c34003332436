#!/usr/bin/env python3
"""Draws Kelmirt's icons and writes them as station/res/icon<ID>.ico.

Every icon is drawn separately at 16, 32 and 48 pixels (so the small sizes
stay crisp instead of being shrunk from the large one), supersampled and
box-filtered for anti-aliasing, and stored as 32-bit BGRA DIB images with an
AND mask. Geometry is given on a 16-unit grid: whole units fall on pixel
edges at every size.

    python3 tools/art/make_icons.py [--preview build/art-preview.png]

Needs Pillow (Debian: python3-pil).
"""
import math
import os
import struct
import sys

try:
    from PIL import Image, ImageChops, ImageDraw
except ImportError:  # a Python of its own (pyenv, venv) may lack the system's Pillow
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.exit("make_icons.py needs Pillow (apt-get install python3-pil)")

SS = 16                 # supersampling factor
SIZES = (16, 32, 48)
DIALOG_GREY = (0xD4, 0xD0, 0xC8)

# Palette shared by the whole set.
OUT = (36, 46, 62)
BLUE_D, BLUE, BLUE_L = (28, 70, 140), (52, 112, 196), (132, 182, 240)
STEEL_D, STEEL, STEEL_L = (78, 88, 102), (146, 156, 170), (232, 236, 242)
RED_D, RED, RED_L = (140, 24, 20), (214, 46, 36), (250, 120, 98)
GREEN_D, GREEN, GREEN_L = (22, 104, 38), (52, 164, 64), (150, 226, 130)
AMBER_D, AMBER, AMBER_L = (150, 90, 10), (240, 166, 30), (255, 214, 120)
VINYL, VINYL_D = (255, 244, 196), (214, 180, 96)
PAPER, PAPER_SH = (255, 255, 255), (214, 224, 236)
WOOD_D, WOOD, WOOD_L = (96, 54, 22), (170, 104, 48), (220, 160, 96)
DARK = (44, 40, 52)
WHITE = (255, 255, 255)


def lin(p0, p1, c0, c1):
    """Linear gradient from colour c0 at p0 to c1 at p1 (grid units)."""
    return ("lin", p0, p1, c0, c1)


class Canvas:
    def __init__(self, size):
        self.s = size
        self.k = size / 16.0
        self.w = size * SS
        self.img = Image.new("RGBA", (self.w, self.w), (0, 0, 0, 0))

    # -- geometry ---------------------------------------------------------
    def _p(self, pts):
        f = self.k * SS
        return [(x * f, y * f) for x, y in pts]

    def _mask(self):
        return Image.new("L", (self.w, self.w), 0)

    def poly_mask(self, pts):
        m = self._mask()
        ImageDraw.Draw(m).polygon(self._p(pts), fill=255)
        return m

    def line_mask(self, pts, width_px, closed=False):
        """Round-capped, round-joined stroke; width in target pixels."""
        m = self._mask()
        d = ImageDraw.Draw(m)
        p = self._p(pts)
        if closed:
            p = p + [p[0], p[1]]
        w = max(1, int(round(width_px * SS)))
        d.line(p, fill=255, width=w, joint="curve")
        r = w / 2.0
        for x, y in (p[0], p[-1]):
            d.ellipse((x - r, y - r, x + r, y + r), fill=255)
        return m

    # -- painting ---------------------------------------------------------
    def _layer(self, paint):
        if paint[0] == "lin":
            _, (x0, y0), (x1, y1), c0, c1 = paint
            f = self.k * SS
            x0, y0, x1, y1 = x0 * f, y0 * f, x1 * f, y1 * f
            dx, dy = x1 - x0, y1 - y0
            l2 = dx * dx + dy * dy or 1.0
            # Ramp source: 0 above row 256, 255 below row 512, clamped outside.
            ramp = Image.new("L", (1, 768))
            ramp.putdata([0] * 256 + list(range(256)) + [255] * 256)
            a, b = 255.0 * dx / l2, 255.0 * dy / l2
            t = ramp.transform((self.w, self.w), Image.AFFINE,
                               (0, 0, 0, a, b, 256 - a * x0 - b * y0),
                               resample=Image.BILINEAR)
            lo = Image.new("RGBA", (self.w, self.w), tuple(c0[:3]) + (255,))
            hi = Image.new("RGBA", (self.w, self.w), tuple(c1[:3]) + (255,))
            return Image.composite(hi, lo, t)
        return Image.new("RGBA", (self.w, self.w), tuple(paint[:3]) + (255,))

    def paint(self, mask, paint, alpha=255, clip=None):
        if clip is not None:
            mask = ImageChops.multiply(mask, clip)
        if len(paint) == 4 and paint[0] != "lin":
            alpha = alpha * paint[3] // 255
        if alpha != 255:
            mask = mask.point(lambda v: v * alpha // 255)
        layer = self._layer(paint)
        layer.putalpha(mask)
        self.img.alpha_composite(layer)

    def shape(self, pts, fill, outline=None, ow=1.0, clip=None):
        """Filled polygon with an outline of ow pixels lying inside its edge."""
        m = self.poly_mask(pts)
        if clip is not None:
            m = ImageChops.multiply(m, clip)
        if fill is not None:
            self.paint(m, fill)
        if outline is not None:
            edge = self.line_mask(pts, 2 * ow, closed=True)
            self.paint(ImageChops.multiply(edge, m), outline)
        return m

    def stroke(self, pts, colour, width_px=1.0, closed=False, clip=None, alpha=255):
        self.paint(self.line_mask(pts, width_px, closed), colour, alpha, clip)

    def result(self):
        im = self.img.resize((self.s, self.s), Image.BOX)
        return finish(im)


def finish(im):
    """Clears fully transparent pixels and keeps opaque pixels off the three
    grey shades that LR_LOADMAP3DCOLORS swaps for the system 3D colours."""
    swapped = {(128, 128, 128), (192, 192, 192), (223, 223, 223)}
    px = im.load()
    for y in range(im.height):
        for x in range(im.width):
            r, g, b, a = px[x, y]
            if a == 0:
                px[x, y] = (0, 0, 0, 0)
            elif (r, g, b) in swapped:
                px[x, y] = (r, g, b + 1, a)
    return im


# -- shape helpers (grid units) -------------------------------------------
def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def rrect(x0, y0, x1, y1, r, n=8):
    if r <= 0:
        return rect(x0, y0, x1, y1)
    pts = []
    for cx, cy, a0 in ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)):
        for i in range(n + 1):
            a = math.radians(a0 + 90.0 * i / n)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def ellipse(cx, cy, rx, ry, n=96):
    return [(cx + rx * math.cos(2 * math.pi * i / n), cy + ry * math.sin(2 * math.pi * i / n)) for i in range(n)]


def translate(pts, dx, dy):
    return [(x + dx, y + dy) for x, y in pts]


def star(cx, cy, ro, ri, n=5, rot=-90):
    pts = []
    for i in range(2 * n):
        r = ro if i % 2 == 0 else ri
        a = math.radians(rot + 180.0 * i / n)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def dashed(pts, dash, gap, closed=True):
    """Splits a polyline into dash segments (lengths in grid units)."""
    if closed:
        pts = pts + [pts[0]]
    out, cur, on, left = [], [pts[0]], True, dash
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        seg = math.hypot(x1 - x0, y1 - y0)
        pos = 0.0
        while seg - pos > left:
            pos += left
            p = (x0 + (x1 - x0) * pos / seg, y0 + (y1 - y0) * pos / seg)
            if on:
                cur.append(p)
                out.append(cur)
            cur = [p]
            on = not on
            left = dash if on else gap
        left -= seg - pos
        if on:
            cur.append((x1, y1))
    if on and len(cur) > 1:
        out.append(cur)
    return out


def bezier(p0, p1, p2, p3, n=24):
    pts = []
    for i in range(n + 1):
        t = i / n
        u = 1 - t
        pts.append((u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
                    u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1]))
    return pts


# -- the icons ------------------------------------------------------------
def cutter(c, head_x, finished, led):
    """A cutting plotter seen from the front: side housings, the rail with the
    blade carriage, and a sheet of vinyl below carrying a red cut line.
    head_x: carriage centre, where the blade meets the cut line; finished:
    the whole line is cut, else only the part left of the blade is (the rest
    shows faint dashes); led: colour of the status lamp or None."""
    big = c.s >= 32
    # Vinyl sheet coming out toward the viewer.
    sheet = [(3, 7), (13, 7), (15.5, 15.5), (0.5, 15.5)] if big else [(3, 7), (13, 7), (15, 16), (1, 16)]
    c.shape(sheet, lin((0, 8), (0, 16), VINYL, (250, 226, 150)), VINYL_D)
    # Cut path: a wave across the sheet from left to right; at 16 pixels a
    # one-pixel zigzag set pixel by pixel, which stays sharp.
    clip = c.poly_mask(sheet)
    if big:
        path = bezier((2.5, 13.5), (5.0, 8.5), (9.0, 17.0), (13.8, 10.8), 96)
        n = min(range(len(path)), key=lambda i: abs(path[i][0] - head_x))
        tip = path[n]
        if not finished:
            for d in dashed(path[n:], 0.9, 0.7, closed=False):
                c.stroke(d, RED_D, 1.0 if c.s < 48 else 1.2, alpha=110, clip=clip)
        c.stroke(path if finished else path[:n + 1], RED, 1.6, clip=clip)
    else:
        pixels = [(2, 13), (3, 12), (4, 11), (5, 11), (6, 12), (7, 13), (8, 13), (9, 13), (10, 12),
                  (11, 11), (12, 11), (13, 11)]
        n = [x for x, _ in pixels].index(head_x - 1)
        tip = pixels[n]
        for x, y in (pixels if finished else pixels[:n + 1]):
            c.shape(rect(x, y, x + 1, y + 1), RED)
    # Side housings and the rail between them.
    c.shape(rect(3, 3, 13, 7), lin((0, 3), (0, 7), STEEL_L, STEEL), STEEL_D)
    c.shape(rrect(0, 1, 4, 10, 0.8 if big else 0.5), lin((0, 1), (4, 10), BLUE_L, BLUE_D), OUT)
    c.shape(rrect(12, 1, 16, 10, 0.8 if big else 0.5), lin((12, 1), (16, 10), BLUE_L, BLUE_D), OUT)
    if led is not None:
        if big:
            c.shape(ellipse(2, 3.2, 0.9, 0.9), led, OUT, 0.8)
        else:
            c.shape(rect(1, 2, 3, 4), led)
    # Carriage on the rail, with the blade holder reaching down to the tip.
    hx = head_x
    if big:
        c.shape(rect(hx - 0.55, 8.0, hx + 0.55, tip[1] - 1.2), STEEL_D, OUT, 0.5)
        blade = [(hx - 0.6, tip[1] - 1.4), (hx + 0.6, tip[1] - 1.4), (hx, tip[1] + 0.2)]
        c.shape(blade, STEEL_L, OUT, 0.6)
    else:
        tx, ty = tip
        c.shape(rect(tx, 9, tx + 1, ty - 1), STEEL_D)
        c.shape(rect(tx, ty - 1, tx + 1, ty), OUT)
    cw = 2.5 if big else 2
    c.shape(rrect(hx - cw, 2, hx + cw, 9, 0.7 if big else 0.4), lin((0, 2), (0, 9), AMBER_L, AMBER_D), OUT)
    if big:
        c.stroke([(hx - 1.2, 4.0), (hx + 1.2, 4.0)], AMBER_D, 1.0, alpha=170)


def icon_station(c):
    cutter(c, 8, True, None)


def icon_busy1(c):
    cutter(c, 6, False, GREEN_L)


def icon_busy2(c):
    cutter(c, 10, False, AMBER_L)


def icon_cancel(c):
    r = 7.5
    oct_pts = [(8 + r * math.cos(math.radians(22.5 + 45 * i)), 8 + r * math.sin(math.radians(22.5 + 45 * i)))
               for i in range(8)]
    c.shape(oct_pts, lin((0, 0.5), (0, 15.5), RED_L, RED_D), RED_D)
    if c.s >= 32:
        inner = [(8 + 6.4 * math.cos(math.radians(22.5 + 45 * i)), 8 + 6.4 * math.sin(math.radians(22.5 + 45 * i)))
                 for i in range(8)]
        c.stroke(inner, WHITE, 0.8 if c.s == 32 else 1.0, closed=True, alpha=200)
    w = 2.0 if c.s == 16 else 3.0 * 16 / c.s * 1.5
    c.stroke([(5, 5), (11, 11)], WHITE, w * c.k)
    c.stroke([(11, 5), (5, 11)], WHITE, w * c.k)


def gear_pts(cx, cy, ro, ri, teeth, top=0.30, base=0.52, steps=6):
    """Gear outline; top/base: tooth width at tip/root as a fraction of pitch."""
    pts = []
    pitch = 2 * math.pi / teeth
    for t in range(teeth):
        a = t * pitch - math.pi / 2
        seq = [(a - base * pitch / 2, ri), (a - top * pitch / 2, ro), (a + top * pitch / 2, ro), (a + base * pitch / 2, ri)]
        pts.extend((cx + r * math.cos(th), cy + r * math.sin(th)) for th, r in seq)
        for i in range(1, steps):
            th = a + base * pitch / 2 + (pitch - base * pitch) * i / steps
            pts.append((cx + ri * math.cos(th), cy + ri * math.sin(th)))
    return pts


def icon_settings(c):
    big = c.s >= 32
    teeth = 8
    ro, ri = 7.6, 5.6 if big else 5.4
    g = gear_pts(8, 8, ro, ri, teeth, 0.34, 0.56)
    m = c.poly_mask(g)
    hole = c.poly_mask(ellipse(8, 8, 2.2 if big else 2.0, 2.2 if big else 2.0))
    body = ImageChops.subtract(m, hole)
    c.paint(body, lin((2, 1), (14, 15), STEEL_L, STEEL_D if big else STEEL))
    edge = ImageChops.add(c.line_mask(g, 2, True), c.line_mask(ellipse(8, 8, 2.2 if big else 2.0, 2.2 if big else 2.0), 2, True))
    # A full-strength outline would swallow the small gear's teeth.
    c.paint(ImageChops.multiply(edge, body), OUT if big else STEEL_D)
    if big:
        # Raised hub ring.
        ring = ellipse(8, 8, 4.0, 4.0)
        c.stroke(ring, STEEL_D, 0.9, closed=True, alpha=150, clip=body)
        c.stroke(translate(ellipse(8, 8, 4.0, 4.0), -0.12, -0.12), WHITE, 0.6, closed=True, alpha=120, clip=body)


def icon_logo(c):
    big = c.s >= 32
    c.shape(rrect(0.5, 0.5, 15.5, 15.5, 3.5), lin((0, 0.5), (16, 15.5), BLUE_L, BLUE_D), OUT)
    if big:
        c.stroke(rrect(1.6, 1.6, 14.4, 14.4, 2.6), WHITE, 0.7, closed=True, alpha=90)
    # A bold K whose upper arm ends in a blade.
    c.shape(rect(4, 3.5, 6.5, 12.5), WHITE)
    c.shape([(6.2, 8.4), (10.6, 3.5), (13.2, 3.5), (8.0, 9.3)], WHITE)
    c.shape([(7.0, 8.2), (9.0, 7.4), (12.8, 12.5), (10.0, 12.5)], WHITE)
    # The red cut swoosh under the letter.
    sw = bezier((2.4, 14.0), (6.0, 12.3), (10.0, 12.9), (13.8, 13.9), 32)
    c.stroke(sw, RED, 1.4 if c.s == 16 else 1.6 * c.k * 0.7)


def document(c, x0, y0, x1, y1, fold):
    pts = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    c.shape(pts, lin((x0, y0), (x1, y1), PAPER, PAPER_SH), STEEL_D)
    corner = [(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)]
    c.shape(corner, lin((x1 - fold, y0), (x1, y0 + fold), STEEL_L, STEEL), STEEL_D)
    return c.poly_mask(pts)


def icon_open_plt(c):
    big = c.s >= 32
    clip = document(c, 1.5 if big else 1, 0.5 if big else 0, 12.5 if big else 12, 15.5 if big else 16, 3.5 if big else 4)
    # Cut contour on the page: a star.
    st = star(6.8, 9.0, 4.6, 2.1)
    if big:
        for d in dashed(st, 1.2, 0.7):
            c.stroke(d, RED, 1.2 * c.k * 0.62, clip=clip)
    else:
        c.stroke(st, RED, 1.0, closed=True, clip=clip)
    # Craft blade at the star's right point.
    tipx, tipy = st[2]
    if big:
        blade = [(tipx, tipy), (tipx + 1.2, tipy - 2.6), (tipx + 2.6, tipy - 1.6)]
        c.shape(blade, lin((tipx, tipy), (tipx + 2, tipy - 2), STEEL_L, STEEL), OUT, 0.6)
        handle = [(tipx + 1.2, tipy - 2.6), (tipx + 4.6, tipy - 7.4), (tipx + 6.2, tipy - 6.4), (tipx + 2.6, tipy - 1.6)]
        c.shape(handle, lin((tipx + 3, tipy - 7), (tipx + 5, tipy - 4), AMBER_L, AMBER_D), OUT)
    else:
        c.stroke([(tipx + 0.8, tipy - 1.6), (tipx + 3.2, tipy - 5.8)], OUT, 2.0)
        c.stroke([(tipx + 1.2, tipy - 2.2), (tipx + 3.0, tipy - 5.4)], AMBER, 1.0)
        c.shape([(tipx - 0.3, tipy + 0.3), (tipx + 0.3, tipy - 2.0), (tipx + 1.5, tipy - 1.4)], STEEL_D)


def icon_exit(c):
    big = c.s >= 32
    # Door frame with the dark opening.
    c.shape(rect(2, 1, 11, 15), WOOD_D)
    c.shape(rect(3, 2, 10, 15), lin((0, 2), (0, 15), (58, 52, 70), (24, 22, 30)))
    # Open leaf swung toward the viewer on its left hinge.
    leaf = [(3, 2), (7, 3.3), (7, 16), (3, 15)]
    c.shape(leaf, lin((3, 2), (7, 15), WOOD_L, WOOD), WOOD_D)
    if big:
        c.shape(ellipse(6.0, 9.3, 0.45, 0.55), AMBER_L, AMBER_D, 0.5)
    else:
        c.shape(rect(5, 9, 6, 10), AMBER_L)
    # Arrow out of the door.
    arrow = [(6.5, 7), (10.5, 7), (10.5, 4), (15.5, 8.5), (10.5, 13), (10.5, 10), (6.5, 10)]
    c.shape(arrow, lin((0, 4), (0, 13), GREEN_L, GREEN_D), GREEN_D)


ICONS = [
    (128, icon_station, "station"),
    (134, icon_cancel, "cancel work"),
    (151, icon_settings, "settings"),
    (154, icon_logo, "logo"),
    (155, icon_open_plt, "open PLT file"),
    (157, icon_exit, "exit"),
    (186, icon_busy1, "sending, phase 1"),
    (187, icon_busy2, "sending, phase 2"),
]


def render(fn, size):
    c = Canvas(size)
    fn(c)
    return c.result()


# -- .ico output ----------------------------------------------------------
def dib_entry(im):
    """32-bit BGRA bottom-up DIB followed by the 1-bit AND mask."""
    w, h = im.size
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = im.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    andm = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        andm += row
    return header + bytes(xor) + bytes(andm)


def write_ico(path, images):
    entries = [dib_entry(im) for im in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for im, data in zip(images, entries):
        w, h = im.size
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in entries:
        out += data
    with open(path, "wb") as f:
        f.write(out)


# -- preview --------------------------------------------------------------
def preview(rendered, path):
    """Each row: the icon at 16/32/48 on the dialog grey at real size, the
    16 on a dark tray, then 16 x8, 32 x4 and 48 x3 enlarged."""
    cell = 150
    cols = [("1x", None), ("tray", None), ("16", 8), ("32", 4), ("48", 3)]
    w = 24 + 120 + cell * len(cols)
    h = 24 + cell * len(rendered)
    sheet = Image.new("RGBA", (w, h), DIALOG_GREY + (255,))
    d = ImageDraw.Draw(sheet)
    for row, (icon_id, name, imgs) in enumerate(rendered):
        y = 24 + row * cell
        d.text((8, y + 60), "%d %s" % (icon_id, name), fill=(0, 0, 0, 255))
        x = 144
        sheet.alpha_composite(imgs[16], (x + 10, y + 60))
        sheet.alpha_composite(imgs[32], (x + 36, y + 52))
        sheet.alpha_composite(imgs[48], (x + 78, y + 44))
        x += cell
        d.rectangle((x + 10, y + 40, x + 130, y + 100), fill=(30, 40, 56, 255))
        sheet.alpha_composite(imgs[16], (x + 30, y + 62))
        d.rectangle((x + 70, y + 60, x + 90, y + 80), fill=(235, 235, 235, 255))
        sheet.alpha_composite(imgs[16], (x + 72, y + 62))
        x += cell
        for size, scale in ((16, 8), (32, 4), (48, 3)):
            big = imgs[size].resize((size * scale, size * scale), Image.NEAREST)
            sheet.alpha_composite(big, (x + (cell - size * scale) // 2, y + (cell - size * scale) // 2))
            x += cell
    sheet.convert("RGB").save(path)


def main(argv):
    root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    preview_path = os.path.join(root, "build", "art-preview.png")
    if "--preview" in argv:
        preview_path = argv[argv.index("--preview") + 1]
    out_dir = os.path.join(root, "station", "res")
    os.makedirs(out_dir, exist_ok=True)
    rendered = []
    for icon_id, fn, name in ICONS:
        imgs = {s: render(fn, s) for s in SIZES}
        write_ico(os.path.join(out_dir, "icon%d.ico" % icon_id), [imgs[s] for s in SIZES])
        rendered.append((icon_id, name, imgs))
    os.makedirs(os.path.dirname(preview_path), exist_ok=True)
    preview(rendered, preview_path)
    print("wrote %d icons to %s, preview %s" % (len(rendered), out_dir, preview_path))


if __name__ == "__main__":
    main(sys.argv[1:])
