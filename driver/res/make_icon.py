#!/usr/bin/env python3
"""Draws the driver's tray icon (the jog wheel seen from above, its grip dimple, and the red LED
beside it on a dark key cap) and writes it as qvl2rs.ico with 16, 32 and 48 pixel images. The tray
shows the 16 pixel one, so the drawing stays bold: few shapes, strong contrast.

Run it again after changing the drawing; the .ico beside it is what the build uses."""
import math
import struct
import sys


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


def pixel(size, x, y):
    r = g = b = a = 0.0
    for inside, (lr, lg, lb) in LAYERS:
        c = coverage(size, x, y, inside)
        if c == 0:
            continue
        # Paint the layer over what is below it.
        r, g, b = r + (lr - r) * c, g + (lg - g) * c, b + (lb - b) * c
        a = a + (1 - a) * c
    if a == 0:
        return (0, 0, 0, 0)
    return (int(r + 0.5), int(g + 0.5), int(b + 0.5), int(a * 255 + 0.5))


def image(size):
    rows = []
    for y in reversed(range(size)):  # bottom-up
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a)
                             for r, g, b, a in (pixel(size, x, y) for x in range(size))))
    xor = b"".join(rows)
    # The AND mask for systems that ignore alpha: transparent where nothing is drawn.
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = bytearray(mask_row)
        for x in range(size):
            if pixel(size, x, y)[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def main(path):
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "qvl2rs.ico")
