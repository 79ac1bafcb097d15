#!/usr/bin/env python3
"""Draws the editor's icon (the device seen from above: a dark body, the jog wheel, the red LED and
the row of transport keys) and writes it as qvl2.ico with images from 16 to 64 pixels, for
every common DPI.

Run it again after changing the drawing; the .ico beside it is what the build uses."""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "lib"))
from ico_writer import DPI_SIZES, write_icon  # noqa: E402


def pixel(size, x, y):
    """RGBA of the pixel whose centre is at (x + 0.5, y + 0.5) in a size x size image."""
    u = (x + 0.5) / size
    v = (y + 0.5) / size
    # Body: a rounded rectangle.
    margin, radius = 0.06, 0.16
    dx = max(margin + radius - u, 0, u - (1 - margin - radius))
    dy = max(margin + radius - v, 0, v - (1 - margin - radius))
    if math.hypot(dx, dy) > radius:
        return (0, 0, 0, 0)
    # Jog wheel on the right.
    wx, wy, wr = 0.64, 0.42, 0.24
    d = math.hypot(u - wx, v - wy)
    if d < wr:
        if d > wr - 0.05:
            return (190, 190, 196, 255)
        shade = int(120 + 60 * (1 - d / wr))
        return (shade, shade, shade + 8, 255)
    # LED at the upper left.
    if math.hypot(u - 0.24, v - 0.22) < 0.07:
        return (230, 30, 30, 255)
    # Transport keys along the bottom.
    if 0.74 < v < 0.86:
        for k in range(5):
            left = 0.12 + k * 0.155
            if left < u < left + 0.12:
                return (225, 225, 225, 255)
    return (70, 72, 80, 255)


if __name__ == "__main__":
    write_icon(sys.argv[1] if len(sys.argv) > 1 else "qvl2.ico", pixel, DPI_SIZES)
