#!/usr/bin/env python3
"""Draws Lumbrel's icon (an open carton with the station's blade going in and a
blue arrow pointing into it) in the style of make_icons.py and writes it as
setup/res/icon128.ico.

    python3 tools/art/make_setup_icon.py [--preview build/art-setup-preview.png]
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_icons as mi  # noqa: E402
from make_icons import AMBER, AMBER_D, AMBER_L, BLUE_D, BLUE_L, OUT, RED, STEEL_L, WOOD, WOOD_D, WOOD_L, lin, rect  # noqa: E402


def icon_setup(c):
    big = c.s >= 32
    # Carton: front face, right side and the open flaps.
    c.shape([(1, 7), (11, 7), (11, 15.5), (1, 15.5)], lin((1, 7), (11, 15.5), WOOD_L, WOOD), WOOD_D)
    c.shape([(11, 7), (15, 5), (15, 13.5), (11, 15.5)], lin((11, 5), (15, 15), WOOD, WOOD_D), WOOD_D)
    c.shape([(1, 7), (3.5, 4.2), (13.5, 4.2), (11, 7)], lin((0, 4), (0, 7), (120, 70, 30), WOOD_D), WOOD_D)
    c.shape([(1, 7), (0, 4.6), (2.6, 3.0), (3.5, 4.2)], lin((0, 3), (3, 7), WOOD_L, WOOD), WOOD_D)
    c.shape([(11, 7), (13.5, 4.2), (15.8, 3.2), (15, 5)], lin((11, 3), (16, 7), WOOD_L, WOOD), WOOD_D)
    # Packing tape with the station's red cut line on the front.
    c.shape(rect(5, 7, 7, 15.5), lin((0, 7), (0, 15), AMBER_L, AMBER), AMBER_D, 0.5 if big else 0.3)
    # (too fine to read at 16 pixels)
    if big:
        c.stroke([(2.2, 12.6), (4.4, 11.0), (7.6, 12.8), (9.8, 11.0)], RED, 1.4)
    # Arrow down into the carton.
    arrow = [(6.2, 0.2), (9.8, 0.2), (9.8, 3.2), (12.0, 3.2), (8.0, 7.2), (4.0, 3.2), (6.2, 3.2)]
    c.shape(arrow, lin((0, 0), (0, 7), BLUE_L, BLUE_D), OUT, 0.8 if big else 0.6)
    if big:
        c.stroke([(6.9, 0.9), (6.9, 3.4)], STEEL_L, 0.8, alpha=150)


def main(argv):
    root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    preview_path = os.path.join(root, "build", "art-setup-preview.png")
    if "--preview" in argv:
        preview_path = argv[argv.index("--preview") + 1]
    imgs = {s: mi.render(icon_setup, s) for s in mi.SIZES}
    out = os.path.join(root, "setup", "res", "icon128.ico")
    mi.write_ico(out, [imgs[s] for s in mi.SIZES])
    os.makedirs(os.path.dirname(preview_path), exist_ok=True)
    mi.preview([(128, "setup", imgs)], preview_path)
    print("wrote %s, preview %s" % (out, preview_path))


if __name__ == "__main__":
    main(sys.argv[1:])
