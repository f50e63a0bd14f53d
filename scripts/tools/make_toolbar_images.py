#!/usr/bin/env python3
"""Writes the toolbar's images as 32-bit BMP strips with alpha, one per
display scale: 16 px (100 %), 24 px (150 %) and 32 px (200 %).

Each picture is drawn from shapes in a 16 x 16 design grid and rendered at
every size with 4 x 4 samples per pixel, so the larger strips are drawn for
their size rather than enlarged from the small one. The order of the
pictures is the toolbar's: new, open, save, print preview, print, undo, cut,
copy, paste, delete, find.

Usage: make_toolbar_images.py OUTPUT_FOLDER
"""
import math
import os
import struct
import sys

INK = (64, 64, 64)
PAPER = (255, 255, 255)
PAPER_EDGE = (96, 96, 96)
BLUE = (40, 100, 190)
BLUE_DARK = (25, 60, 130)
FOLDER = (236, 188, 64)
FOLDER_DARK = (170, 120, 20)
GREY = (160, 160, 160)
GREY_DARK = (90, 90, 90)
LENS = (200, 230, 255)
HANDLE = (140, 90, 40)
RED = (210, 40, 40)
BOARD = (170, 115, 60)
BOARD_DARK = (110, 70, 30)


# ---- Shapes: each is a test of a point (x, y) in design units.

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def poly(*points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def line(x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= width * width / 4
    return inside


def arc(cx, cy, r, width, start, end):
    """A stroke along a circle from angle start to end (degrees, y down)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > width / 2:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (a - start) % 360 <= (end - start) % 360
    return inside


def framed(shape_outer, shape_inner, edge, fill):
    return [(shape_outer, edge), (shape_inner, fill)]


# ---- The pictures: lists of (shape, colour), painted in order.

def page(x0, y0, x1, y1, fold=3.0):
    """A sheet with its top right corner folded."""
    outer = poly((x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1))
    inner = poly((x0 + 1, y0 + 1), (x1 - fold - 0.4, y0 + 1), (x1 - 1, y0 + fold + 0.4),
                 (x1 - 1, y1 - 1), (x0 + 1, y1 - 1))
    corner = poly((x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold))
    return [(outer, PAPER_EDGE), (inner, PAPER), (corner, PAPER_EDGE)]


def magnifier(cx, cy, r):
    return [
        (line(cx + r * 0.7, cy + r * 0.7, cx + r * 1.9, cy + r * 1.9, 2.4), HANDLE),
        (ellipse(cx, cy, r, r), INK),
        (ellipse(cx, cy, r - 1.1, r - 1.1), LENS),
    ]


def text_lines(x0, x1, ys):
    return [(rect(x0, y, x1, y + 0.8), GREY) for y in ys]


PICTURES = {
    "new": page(2.5, 0.5, 13.5, 15.5, 4),
    "open": [
        (poly((0.5, 3), (5.5, 3), (7, 4.5), (13.5, 4.5), (13.5, 14.5), (0.5, 14.5)), FOLDER_DARK),
        (poly((1.5, 4), (5, 4), (6.5, 5.5), (12.5, 5.5), (12.5, 13.5), (1.5, 13.5)), FOLDER),
        (poly((3, 7.5), (15.5, 7.5), (13.5, 14.5), (0.5, 14.5)), FOLDER_DARK),
        (poly((3.7, 8.5), (14.2, 8.5), (12.7, 13.5), (1.9, 13.5)), FOLDER),
    ],
    "save": [
        (poly((0.5, 0.5), (13, 0.5), (15.5, 3), (15.5, 15.5), (0.5, 15.5)), BLUE_DARK),
        (poly((1.5, 1.5), (12.6, 1.5), (14.5, 3.4), (14.5, 14.5), (1.5, 14.5)), BLUE),
        (rect(3.5, 1.5, 12.5, 6.5), PAPER),
        (rect(9.5, 2.3, 11.3, 5.7), BLUE_DARK),
        (rect(3.5, 9.5, 12.5, 14.5), GREY),
        (rect(4.5, 10.5, 11.5, 14.5), (215, 215, 215)),
    ],
    "print_preview": page(1.5, 0.5, 12.5, 15.5, 3) + text_lines(3.5, 8.5, [5, 7.5])
    + magnifier(9.5, 9.5, 3.6),
    "print": [
        (rect(3.5, 0.5, 12.5, 7.5), PAPER_EDGE),
        (rect(4.5, 1.5, 11.5, 7.5), PAPER),
        (poly((0.5, 6.5), (15.5, 6.5), (15.5, 12.5), (0.5, 12.5)), GREY_DARK),
        (rect(1.5, 7.5, 14.5, 11.5), GREY),
        (rect(12, 8.5, 13.5, 9.5), (60, 180, 60)),
        (rect(3.5, 10.5, 12.5, 15.5), PAPER_EDGE),
        (rect(4.5, 11.5, 11.5, 14.5), PAPER),
    ] + text_lines(5.5, 10.5, [12.5]),
    "undo": [
        (arc(9.5, 8.5, 5.0, 2.4, 180, 75), BLUE),
        (poly((0.7, 7.5), (8.3, 7.5), (4.5, 12.8)), BLUE_DARK),
    ],
    "cut": [
        (line(5.5, 0.5, 10.5, 10.5, 1.7), GREY_DARK),
        (line(10.5, 0.5, 5.5, 10.5, 1.7), GREY_DARK),
        (ellipse(4.5, 12.3, 3.2, 3.2), RED),
        (ellipse(4.5, 12.3, 1.7, 1.7), (0, 0, 0, 0)),
        (ellipse(11.5, 12.3, 3.2, 3.2), RED),
        (ellipse(11.5, 12.3, 1.7, 1.7), (0, 0, 0, 0)),
    ],
    "copy": page(0.5, 0.5, 9.5, 11.5, 3) + text_lines(2.5, 6, [5, 7.5])
    + page(5.5, 4.5, 15.5, 15.5, 3) + text_lines(7.5, 12.5, [9, 11.5, 13.5]),
    "paste": [
        (rect(1.5, 2, 12.5, 15.5), BOARD_DARK),
        (rect(2.5, 3, 11.5, 14.5), BOARD),
        (rect(4.5, 0.5, 9.5, 4.5), GREY_DARK),
        (rect(5.5, 1.5, 8.5, 3.5), (220, 220, 220)),
    ] + page(6.5, 6.5, 15.5, 15.5, 2.5) + text_lines(8.5, 12.5, [10, 12.5]),
    "delete": [
        (line(2.5, 2.5, 13.5, 13.5, 3.2), RED),
        (line(13.5, 2.5, 2.5, 13.5, 3.2), RED),
    ],
    "find": magnifier(6.5, 6.5, 5.2),
}
ORDER = ["new", "open", "save", "print_preview", "print", "undo", "cut", "copy", "paste",
         "delete", "find"]
SAMPLES = 4


def render(picture, size):
    """RGBA rows, top first, of one picture at size x size pixels."""
    rows = []
    step = 16.0 / (size * SAMPLES)
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px * SAMPLES + sx + 0.5) * step
                    y = (py * SAMPLES + sy + 0.5) * step
                    colour = None
                    for shape, paint in picture:
                        if shape(x, y):
                            colour = paint
                    if colour is not None and (len(colour) == 3 or colour[3]):
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            n = SAMPLES * SAMPLES
            # Straight (not premultiplied) colour, as image lists take it.
            if a:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def write_bmp(path, strip):
    height, width = len(strip), len(strip[0])
    pixels = bytearray()
    for row in reversed(strip):  # bottom-up
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)))
        out.write(header)
        out.write(pixels)


def main():
    folder = sys.argv[1]
    for size in (16, 24, 32):
        pictures = [render(PICTURES[name], size) for name in ORDER]
        strip = [sum((p[y] for p in pictures), []) for y in range(size)]
        write_bmp(os.path.join(folder, f"toolbar{size}.bmp"), strip)


if __name__ == "__main__":
    main()
