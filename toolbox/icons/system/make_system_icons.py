#!/usr/bin/env python3
"""Draws the toolbox's system icons (creator 'macs') and writes them as PNG files.

Uses the drawing primitives of the plug-in's icon script (resources/icons/make_icons.py), so the
generic icons match the plug-in's pictures. Only the standard library is needed.

    make_system_icons.py [--out DIR]

writes DIR/<code>-<size>.png for every icon code and size (DIR defaults to png/ beside this
script). The build turns each code's pictures into an 'icns' family embedded in the toolbox.
"""

import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "..", "resources", "icons"))

from make_icons import (BLUE, BLUE_LIGHT, GOLD, INK, SIZES, WHITE, Canvas,  # noqa: E402
                        circle, darker, document, folder, icon_alias, line, mix, outlined,
                        polygon, vgrad, write_png)


def caution(c):
    tri = polygon([(64, 8), (122, 116), (6, 116)])
    c.shadow(tri)
    outlined(c, tri, vgrad((255, 224, 102), GOLD, 8, 116), edge=(150, 100, 10))
    w = 14 if not c.small else 18
    c.fill(line(64, 44, 64, 80, w), INK)
    c.fill(circle(64, 99, w * 0.62), INK)


def application(c):
    # A drafting compass over a blue tile: the classic "made things" picture.
    tile = polygon([(64, 6), (122, 64), (64, 122), (6, 64)])
    c.shadow(tile)
    outlined(c, tile, vgrad(BLUE_LIGHT, BLUE, 6, 122), edge=darker(BLUE, 0.55))
    w = 9 if not c.small else 13
    legs = line(64, 34, 42, 96, w) | line(64, 34, 86, 96, w)
    c.fill(legs, WHITE)
    c.fill(circle(64, 34, 10 if not c.small else 13), WHITE)
    if not c.small:
        c.fill(line(50, 74, 78, 74, 6), WHITE)


def package(c):
    front = polygon([(14, 44), (64, 62), (64, 120), (14, 100)])
    side = polygon([(64, 62), (114, 44), (114, 100), (64, 120)])
    top = polygon([(14, 44), (64, 26), (114, 44), (64, 62)])
    c.shadow(front | side | top)
    brown = (196, 150, 92)
    outlined(c, front, vgrad(mix(brown, WHITE, 0.2), brown, 44, 120), edge=(110, 74, 36))
    outlined(c, side, vgrad(brown, darker(brown, 0.8), 44, 120), edge=(110, 74, 36))
    outlined(c, top, mix(brown, WHITE, 0.4), edge=(110, 74, 36))
    w = 8 if not c.small else 12
    c.fill(line(39, 35, 89, 53, w), (236, 222, 190))  # the tape across the lid


def generic_document(c):
    document(c)


ICONS = {
    "caut": caution,
    "fldr": folder,
    "APPL": application,
    "docu": generic_document,
    "alis": icon_alias,
    "pack": package,
}


def main():
    ap = argparse.ArgumentParser(description="Draw the toolbox's system icons as PNG files.")
    ap.add_argument("--out", default=os.path.join(HERE, "png"))
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for code, draw in ICONS.items():
        for size in SIZES:
            c = Canvas(size)
            draw(c)
            write_png(os.path.join(args.out, "%s-%d.png" % (code, size)), c.rgba_rows(), size, size)


if __name__ == "__main__":
    main()
