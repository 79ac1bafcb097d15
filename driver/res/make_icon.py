#!/usr/bin/env python3
"""Draws the driver's tray icon (the jog wheel seen from above, its grip dimple, and the red LED
beside it on a dark key cap) and writes it as qvl2rs.ico with 16, 32 and 48 pixel images. The tray
shows the 16 pixel one, so the drawing stays bold: few shapes, strong contrast. The disconnected
variant, qvl2rs_off.ico, has its LED dark and a red bar across the wheel.

Run it again after changing the drawing; the .ico beside it is what the build uses."""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "lib"))
from ico_writer import write_icon  # noqa: E402


def coverage(size, x, y, inside):
    """How much of pixel (x, y) lies inside the shape, from 4 x 4 samples (smooth edges)."""
    hits = 0
    for sy in range(4):
        for sx in range(4):
            u = (x + (sx + 0.5) / 4) / size
            v = (y + (sy + 0.5) / 4) / size
            hits += inside(u, v)
    return hits / 16


def in_cap(u, v):
    margin, radius = 0.04, 0.2
    dx = max(margin + radius - u, 0, u - (1 - margin - radius))
    dy = max(margin + radius - v, 0, v - (1 - margin - radius))
    return math.hypot(dx, dy) <= radius


def in_wheel(u, v):
    return math.hypot(u - 0.56, v - 0.56) <= 0.36


def in_rim(u, v):
    return 0.29 <= math.hypot(u - 0.56, v - 0.56) <= 0.36


def in_dimple(u, v):
    return math.hypot(u - 0.68, v - 0.44) <= 0.08


def in_led(u, v):
    return math.hypot(u - 0.2, v - 0.2) <= 0.11


# Layers from the bottom up: shape test and colour.
LAYERS = [
    (in_cap, (44, 48, 58)),
    (in_wheel, (150, 154, 164)),
    (in_rim, (222, 224, 230)),
    (in_dimple, (92, 96, 106)),
    (in_led, (235, 36, 30)),
]


def in_bar(u, v):
    # A band along the diagonal from the bottom left to the top right.
    return abs((u + v) - 1.0) <= 0.11 and 0.16 <= u <= 0.84


LAYERS_OFF = [
    (in_cap, (44, 48, 58)),
    (in_wheel, (110, 112, 118)),
    (in_rim, (160, 162, 168)),
    (in_dimple, (80, 82, 90)),
    (in_led, (70, 30, 30)),
    (in_bar, (225, 40, 30)),
]


def pixel(size, x, y, layers=LAYERS):
    r = g = b = a = 0.0
    for inside, (lr, lg, lb) in layers:
        c = coverage(size, x, y, inside)
        if c == 0:
            continue
        # Paint the layer over what is below it.
        r, g, b = r + (lr - r) * c, g + (lg - g) * c, b + (lb - b) * c
        a = a + (1 - a) * c
    if a == 0:
        return (0, 0, 0, 0)
    return (int(r + 0.5), int(g + 0.5), int(b + 0.5), int(a * 255 + 0.5))


def pixel_off(size, x, y):
    return pixel(size, x, y, LAYERS_OFF)


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    write_icon(os.path.join(folder, "qvl2rs.ico"), pixel)
    write_icon(os.path.join(folder, "qvl2rs_off.ico"), pixel_off)
