#!/usr/bin/env python3
"""Draws Ornavex's program icon and its 16 x 15 toolbar strip.

    python3 tools/art/make_ornavex_art.py [--preview build/ornavex-art.png]

Writes converter/res/Ornavex.ico (16, 32, 48) and converter/res/Toolbar.bmp (24-bit,
the light grey 192,192,192 is the transparent colour). Uses the drawing kit of
make_icons.py (supersampled, on a 16-unit grid).
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_icons import (AMBER, AMBER_D, AMBER_L, BLUE, BLUE_D, BLUE_L, Canvas, GREEN, GREEN_D, OUT, PAPER,
                        PAPER_SH, RED, RED_D, SIZES, STEEL, STEEL_D, STEEL_L, VINYL, WHITE, Image, document,
                        ellipse, lin, rect, render, rrect, write_ico)

MASK = (192, 192, 192)


def arc(cx, cy, r, a0, a1, n=24):
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy - r * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]


# -- program icon: a drawing sheet with coloured geometry and a blade ------
def icon_app(c):
    big = c.s >= 32
    clip = document(c, 1, 0.5, 13, 15.5, 3.5)
    w = 1.3 if big else 1.0
    c.stroke([(3, 12.5), (9, 12.5)], RED, w * c.k * (0.6 if big else 1), clip=clip)
    c.stroke(ellipse(6, 7, 2.6, 2.6), GREEN_D, w * c.k * (0.6 if big else 1), closed=True, clip=clip)
    c.stroke(arc(6, 7, 4.2, 100, 250), BLUE, w * c.k * (0.6 if big else 1), clip=clip)
    # The blade that cuts the drawing.
    c.shape([(10.5, 14.5), (11.5, 11), (13, 11.6)], lin((11, 12), (13, 14), STEEL_L, STEEL), OUT, 0.6)
    c.shape([(11.5, 11), (14, 5.5), (15.5, 6.2), (13, 11.6)], lin((13, 6), (14, 11), AMBER_L, AMBER_D), OUT, 0.7)


# -- toolbar glyphs (drawn on 16 x 16, the bottom row is cut) --------------
def tb_new(c):
    document(c, 3, 0.5, 12.5, 14.5, 3)


def tb_open(c):
    c.shape([(1, 3), (6, 3), (7, 4.5), (13, 4.5), (13, 13.5), (1, 13.5)], lin((1, 3), (13, 13), AMBER_L, AMBER), AMBER_D)
    c.shape([(3, 7), (15.5, 7), (13, 13.5), (1, 13.5)], lin((3, 7), (13, 13), VINYL, AMBER_L), AMBER_D)


def tb_save(c):
    c.shape(rrect(1, 1, 14, 14, 1), lin((1, 1), (14, 14), BLUE_L, BLUE_D), OUT)
    c.shape(rect(3.5, 1.5, 11.5, 6.5), PAPER, STEEL_D, 0.8)
    c.shape(rect(4, 9, 11, 14), STEEL_L, STEEL_D, 0.8)
    c.shape(rect(8, 10, 9.6, 13), BLUE_D)


def tb_cut(c):
    c.stroke([(5, 1), (10, 9.5)], STEEL_D, 1.6)
    c.stroke([(10.5, 1), (5.5, 9.5)], STEEL_D, 1.6)
    c.stroke(ellipse(4.5, 11.5, 2.2, 2.2), RED, 1.4, closed=True)
    c.stroke(ellipse(11, 11.5, 2.2, 2.2), RED, 1.4, closed=True)


def tb_copy(c):
    document(c, 1, 0.5, 9.5, 10.5, 2.5)
    document(c, 6, 4.5, 14.5, 14.5, 2.5)


def tb_paste(c):
    c.shape(rrect(1.5, 2, 12.5, 14.5, 1), lin((1, 2), (12, 14), AMBER_L, AMBER_D), OUT)
    c.shape(rect(4.5, 0.8, 9.5, 3.5), STEEL, OUT, 0.7)
    document(c, 6.5, 5.5, 14.5, 14.5, 2.5)


def tb_print(c):
    c.shape(rect(4, 0.5, 12, 6), PAPER, STEEL_D, 0.8)
    c.shape(rrect(1, 5.5, 15, 11.5, 1), lin((1, 5), (15, 12), STEEL_L, STEEL_D), OUT)
    c.shape(rect(4, 9.5, 12, 14.5), PAPER, STEEL_D, 0.8)
    c.shape(rect(12, 7, 13.5, 8.2), GREEN)


def tb_about(c):
    c.shape(ellipse(8, 7.5, 6.8, 6.8), lin((2, 1), (14, 14), BLUE_L, BLUE_D), OUT)
    c.stroke(arc(8, 5.6, 2.2, 160, -60) + [(8, 9)], WHITE, 1.8)
    c.shape(ellipse(8, 11.6, 1.1, 1.1), WHITE)


def magnifier(c, plus):
    c.stroke([(9.5, 9.5), (14.5, 14.3)], AMBER_D, 3.0)
    c.shape(ellipse(6.5, 6.5, 5.4, 5.4), lin((1, 1), (12, 12), WHITE, BLUE_L), OUT, 1.1)
    c.stroke([(4, 6.5), (9, 6.5)], BLUE_D, 1.6)
    if plus:
        c.stroke([(6.5, 4), (6.5, 9)], BLUE_D, 1.6)


def tb_zoom_in(c):
    magnifier(c, True)


def tb_zoom_out(c):
    magnifier(c, False)


def tb_set(c):
    # Cut order: rows with colour swatches and a check mark.
    for i, col in enumerate((RED, GREEN, BLUE)):
        y = 1.5 + i * 4.5
        c.shape(rect(1, y, 4.5, y + 3.5), col, OUT, 0.7)
        c.stroke([(6.5, y + 1.8), (14.5, y + 1.8)], STEEL_D, 1.4)


def tb_output(c):
    # The drawing goes to the cutter: a sheet, an arrow and the blade carriage.
    c.shape(rect(0.5, 9.5, 15.5, 14.5), lin((0, 9), (15, 14), STEEL_L, STEEL_D), OUT)
    c.shape(rect(6, 10.5, 10, 12.5), RED)
    c.shape([(5.5, 0.5), (10.5, 0.5), (10.5, 4), (13, 4), (8, 8.5), (3, 4), (5.5, 4)],
            lin((5, 0), (10, 8), GREEN, GREEN_D), OUT, 0.8)


TOOLBAR = [tb_new, tb_open, tb_save, tb_cut, tb_copy, tb_paste, tb_print, tb_about, tb_zoom_in, tb_zoom_out,
           tb_set, tb_output]


def toolbar_strip():
    strip = Image.new("RGB", (16 * len(TOOLBAR), 15), MASK)
    for i, fn in enumerate(TOOLBAR):
        im = render(fn, 16)
        tile = Image.new("RGB", (16, 16), MASK)
        # Half-transparent edge pixels are blended onto the button face grey.
        tile.paste(im, (0, 0), im)
        px = tile.load()
        alpha = im.load()
        for y in range(16):
            for x in range(16):
                if alpha[x, y][3] < 60:
                    px[x, y] = MASK
                elif px[x, y] == MASK:
                    px[x, y] = (MASK[0], MASK[1], MASK[2] + 1)
        strip.paste(tile.crop((0, 0, 16, 15)), (16 * i, 0))
    return strip


def main(argv):
    root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    out = os.path.join(root, "converter", "res")
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, "Ornavex.ico"), [render(icon_app, s) for s in SIZES])
    strip = toolbar_strip()
    strip.save(os.path.join(out, "Toolbar.bmp"))
    if "--preview" in argv:
        p = argv[argv.index("--preview") + 1]
        big = strip.resize((strip.width * 6, strip.height * 6), Image.NEAREST)
        sheet = Image.new("RGB", (big.width, big.height + 300), MASK)
        sheet.paste(big, (0, 0))
        icon = render(icon_app, 48).resize((288, 288), Image.NEAREST)
        sheet.paste(icon, (0, big.height + 6), icon)
        sheet.save(p)
    print("wrote Ornavex.ico and Toolbar.bmp to", out)


if __name__ == "__main__":
    main(sys.argv[1:])
