#!/usr/bin/env python3
"""Draws the bitmaps of the keyset overview and of the About box and writes them beside this script:

    overview_led_off.bmp (177), overview_led_on.bmp (178)   the wheel's LED key, off and lit, at the
                                                            left of the wheel's two cells
    overview_ccw.bmp (179), overview_cw.bmp (180)           the wheel's two directions, under its cells
    about.bmp (184)                                         the Quorvel 2 seen from above, with its name

The overview's pictures sit on its grey (152, 152, 152). Run it again after changing the drawing
(`--check` only compares); the .bmp files are what the build uses."""
import filecmp
import math
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts", "lib"))
from bmp_writer import write_bmp  # noqa: E402

GREY = (152, 152, 152)
BODY = (44, 48, 58)
KEY = (78, 82, 94)
KEY_EDGE = (120, 124, 136)
WHITE = (236, 238, 242)
RED_ON = (240, 40, 30)
RED_OFF = (96, 30, 28)


def rounded_box(x0, y0, x1, y1, radius):
    def inside(x, y):
        dx = max(x0 + radius - x, 0, x - (x1 - radius))
        dy = max(y0 + radius - y, 0, y - (y1 - radius))
        return math.hypot(dx, dy) <= radius
    return inside


def disc(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) <= r


def ring(cx, cy, r0, r1):
    return lambda x, y: r0 <= math.hypot(x - cx, y - cy) <= r1


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
    return inside


def arc(cx, cy, r, width, start, end):
    """A band of the circle between the angles start and end (degrees, counter-clockwise from the
    right, y upwards on screen)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > width / 2:
            return False
        angle = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return (angle - start) % 360 <= (end - start) % 360
    return inside


def painter(background, layers):
    """pixel(x, y) of `layers` (shape, colour) over `background`: 4 x 4 samples per pixel on a shape's
    edge, where the pixel's corners and centre disagree."""
    def coverage(inside, x, y):
        probes = [inside(x + 0.125, y + 0.125), inside(x + 0.875, y + 0.125), inside(x + 0.5, y + 0.5),
                  inside(x + 0.125, y + 0.875), inside(x + 0.875, y + 0.875)]
        if all(probes) or not any(probes):
            return 1.0 if probes[0] else 0.0
        return sum(inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4) for sy in range(4) for sx in range(4)) / 16

    def pixel(x, y):
        r, g, b = background
        for inside, (lr, lg, lb) in layers:
            c = coverage(inside, x, y)
            if c:
                r, g, b = r + (lr - r) * c, g + (lg - g) * c, b + (lb - b) * c
        return (int(r + 0.5), int(g + 0.5), int(b + 0.5))
    return pixel


def led_key(lit):
    """The LED key: a dark cap with the LED in it, glowing when lit."""
    layers = [(rounded_box(1, 3, 19, 25, 4), KEY_EDGE), (rounded_box(2, 4, 18, 24, 3), KEY)]
    if lit:
        layers.append((disc(10, 14, 6.5), (250, 120, 100)))
    layers.append((disc(10, 14, 4.5), RED_ON if lit else RED_OFF))
    layers.append((disc(8.5, 12.5, 1.3), (255, 210, 200) if lit else (130, 70, 66)))
    return 20, 28, painter(GREY, layers)


def direction(clockwise):
    """The wheel's turn: an arc with its arrow head, and a small wheel it goes around."""
    cx, cy, r = 42, 17, 13
    side = 1 if clockwise else -1
    end_x, end_y = cx + side * r * math.cos(math.radians(25)), cy - r * math.sin(math.radians(25))
    band = arc(cx, cy, r, 3, 25, 155)
    head = triangle((end_x - 5, end_y - 1), (end_x + 5, end_y - 1), (end_x + side, end_y + 7))
    layers = [(disc(cx, cy + 3, 8), KEY_EDGE), (disc(cx, cy + 3, 6.5), KEY), (disc(cx + 2.5, cy + 0.5, 1.6), BODY),
              (band, WHITE), (head, WHITE)]
    return 84, 30, painter(GREY, layers)


# A small pixel font for the product's name, 5 x 7 cells.
GLYPHS = {
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    " ": ["00000"] * 7,
}


def text(x0, y0, scale, word):
    def inside(x, y):
        column, row = int((x - x0) // scale), int((y - y0) // scale)
        if row < 0 or row >= 7 or column < 0:
            return False
        glyph, dx = divmod(column, 6)
        if glyph >= len(word) or dx == 5:
            return False
        return GLYPHS[word[glyph]][row][dx] == "1"
    return inside


def about():
    """The device from above: its body, the five transport keys with their symbols, OPTION and SHIFT,
    the jog wheel with its LED key, and the name."""
    layers = [(rounded_box(4, 4, 388, 66, 12), (26, 28, 34)), (rounded_box(6, 6, 386, 64, 10), BODY)]
    keys_y = 40
    for i in range(5):
        x = 20 + i * 34
        layers += [(rounded_box(x, keys_y - 13, x + 28, keys_y + 13, 4), KEY_EDGE),
                   (rounded_box(x + 1, keys_y - 12, x + 27, keys_y + 12, 3), KEY)]
    mid = keys_y
    # Rewind, Fast Forward, Stop, Play, Record.
    layers += [(triangle((27, mid), (34, mid - 5), (34, mid + 5)), WHITE),
               (triangle((34, mid), (41, mid - 5), (41, mid + 5)), WHITE),
               (triangle((61, mid - 5), (61, mid + 5), (68, mid)), WHITE),
               (triangle((68, mid - 5), (68, mid + 5), (75, mid)), WHITE),
               (rounded_box(97, mid - 5, 107, mid + 5, 1), WHITE),
               (triangle((131, mid - 6), (131, mid + 6), (141, mid)), WHITE),
               (disc(170, mid, 6), RED_ON)]
    for x in (198, 236):  # OPTION and SHIFT
        layers += [(rounded_box(x, 30, x + 30, 50, 4), KEY_EDGE), (rounded_box(x + 1, 31, x + 29, 49, 3), (92, 96, 108))]
    layers += [(text(20, 10, 2, "QUORVEL 2"), WHITE)]
    layers += [(disc(330, 35, 27), (20, 22, 26)), (disc(330, 35, 25), (150, 154, 164)),
               (ring(330, 35, 20, 25), (206, 208, 216)), (disc(338, 26, 4.5), (96, 100, 110)),
               (rounded_box(282, 14, 296, 30, 3), KEY), (disc(289, 22, 3.5), RED_ON)]
    return 392, 70, painter((192, 192, 192), layers)


BITMAPS = {
    "overview_led_off.bmp": lambda: led_key(False),
    "overview_led_on.bmp": lambda: led_key(True),
    "overview_ccw.bmp": lambda: direction(False),
    "overview_cw.bmp": lambda: direction(True),
    "about.bmp": about,
}


def write_all(folder):
    for name, draw in BITMAPS.items():
        width, height, pixel = draw()
        write_bmp(os.path.join(folder, name), width, height, pixel)


if __name__ == "__main__":
    if sys.argv[1:] == ["--check"]:
        with tempfile.TemporaryDirectory() as scratch:
            write_all(scratch)
            stale = [n for n in BITMAPS if not filecmp.cmp(os.path.join(scratch, n), os.path.join(HERE, n), shallow=False)]
        if stale:
            sys.exit("not drawn by make_overview_bitmaps.py as it stands: " + ", ".join(stale))
        print("the overview and About bitmaps are current")
    else:
        write_all(HERE)
