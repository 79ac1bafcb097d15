#!/usr/bin/env python3
"""Draws the pictures of the editor's device panel and writes them as .bmp files into bitmaps/.

The panel is the device seen from above on a grey body (RGB 152, 152, 152, the colour the panel
paints behind them): OPTION and SHIFT keys, five wide transport keys with their symbols under them,
the jog wheel in two halves, the wheel's LED (dark or lit red), the Test and Help keys, a shaded
strip along the bottom and a name plate. Every key has a "U" picture (up) and a "D" picture (held
down: darker, its light from below, its face moved one pixel down and right).

    make_bitmaps.py            write the pictures into bitmaps/ beside this script
    make_bitmaps.py --check    exit 1 when a picture there differs from what this script draws
    make_bitmaps.py --png DIR  also write each picture as a PNG into DIR (needs ImageMagick), to look at

Run it again after changing the drawing; the .bmp files are what the build uses."""
import math
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "lib"))
from bmp_writer import bmp_bytes  # noqa: E402

BODY = (152, 152, 152)
INK = (28, 28, 30)

# A 5 x 7 pixel font for the few letters the pictures carry.
GLYPHS = {
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "?": [".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."],
    " ": ["...", "...", "...", "...", "...", "...", "..."],
}


def text_width(text, scale):
    return sum((len(GLYPHS[c][0]) + 1) * scale for c in text) - scale


def text_at(text, left, top, scale, x, y):
    """Whether the point (x, y) falls on a lit pixel of `text` drawn from (left, top)."""
    if y < top or y >= top + 7 * scale:
        return False
    row = int((y - top) // scale)
    cursor = left
    for c in text:
        glyph = GLYPHS[c]
        width = len(glyph[0]) * scale
        if cursor <= x < cursor + width:
            return glyph[row][int((x - cursor) // scale)] == "#"
        cursor += width + scale
    return False


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def shade(colour, factor):
    return tuple(min(255.0, c * factor) for c in colour)


def rounded_box_distance(x, y, left, top, right, bottom, radius):
    """Signed distance from the edge of a rounded rectangle: negative inside."""
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    outside = math.hypot(x - cx, y - cy) - radius
    return outside


def key(width, height, pressed, legend=None):
    """A key cap seen from above: dark rim, bevelled edge lit from the top left, a slightly curved
    face. Held down, the face is darker, the bevel is lit from below and the face moves by one pixel."""
    shift = 1.0 if pressed else 0.0

    def draw(x, y):
        d = rounded_box_distance(x, y, 0.5, 0.5, width - 0.5, height - 0.5, 4.0)
        if d > 0:
            return BODY
        if d > -1.2:
            return (38, 38, 42)
        # Bevel: light from the top left when up, from the bottom right when held down.
        if d > -3.0:
            toward_light = ((width - x) / width + (height - y) / height) / 2
            if pressed:
                toward_light = 1 - toward_light
            base = 95 + 150 * toward_light if not pressed else 80 + 90 * toward_light
            return (base, base, base + 4)
        fy = (y - shift) / height
        top, bottom = ((222, 222, 226), (186, 186, 192)) if not pressed else ((150, 150, 156), (170, 170, 176))
        face = mix(top, bottom, fy)
        if legend is not None and legend(x - shift, y - shift):
            return INK if not pressed else (10, 10, 12)
        return face

    return draw


def text_legend(text, width, height, scale=1):
    left = (width - text_width(text, scale)) / 2
    top = (height - 7 * scale) / 2
    return lambda x, y: text_at(text, round(left), round(top), scale, x, y)


# The jog wheel: one disc drawn on a 112 x 112 canvas whose centre lies on the seam between the two
# halves; the left picture is the canvas's columns 0 to 52, the right one 53 to 111.
WHEEL_CENTRE = (53.0, 56.0)
WHEEL_RADIUS = 52.0


def arrow(x, y, clockwise):
    """A curved arrow near the top of the disc: to the left for counter-clockwise, to the right for
    clockwise, with its head at the far end."""
    cx, cy = WHEEL_CENTRE
    r = math.hypot(x - cx, y - cy)
    angle = math.degrees(math.atan2(cy - y, x - cx))  # 90 is straight up
    if clockwise:
        angle = 180 - angle  # mirror: the right half's arrow points right
    ring = 31.0
    if 102 <= angle <= 150 and abs(r - ring) < 1.6:
        return True
    # Head at 150 degrees: a small triangle pointing along the arc (downward-left on the left half).
    hx = cx - ring * math.cos(math.radians(30)) * (1 if not clockwise else -1)
    hy = cy - ring * math.sin(math.radians(30))
    dx = (x - hx) * (1 if not clockwise else -1)
    dy = y - hy
    # In the head's frame: forward runs along the arc past its end, across along the radius.
    forward = dx * (-0.5) + dy * 0.866
    across = dx * 0.866 + dy * 0.5
    return 0 <= forward <= 7 and abs(across) <= (7 - forward) * 0.75


def wheel(offset, width, pressed, clockwise):
    cx, cy = WHEEL_CENTRE

    def draw(px, y):
        x = px + offset
        r = math.hypot(x - cx, y - cy)
        if r > WHEEL_RADIUS:
            return BODY
        if r > WHEEL_RADIUS - 1.5:
            return (30, 30, 34)
        # Knurled rim: ridges around the edge, lit from the top left.
        light = ((cx - x) + (cy - y)) / (2 * WHEEL_RADIUS)
        if r > WHEEL_RADIUS - 8:
            ridge = 0.5 + 0.5 * math.cos(math.atan2(y - cy, x - cx) * 48)
            base = 70 + 40 * ridge + 50 * light
            colour = (base, base, base + 6)
        elif r > WHEEL_RADIUS - 10:
            colour = (50, 50, 56)
        else:
            # The dish: a shallow bowl, lighter where the light falls into it.
            dish = 150 - 45 * light + 20 * (r / WHEEL_RADIUS)
            colour = (dish, dish, dish + 6)
            # The finger dimple, up and to the left of the centre.
            if math.hypot(x - (cx - 20), y - (cy + 18)) < 8:
                d = math.hypot(x - (cx - 20), y - (cy + 18)) / 8
                colour = shade(colour, 0.75 + 0.2 * d)
            if arrow(x, y, clockwise):
                colour = (235, 235, 240) if not pressed else (255, 210, 60)
        if pressed:
            colour = shade(colour, 0.72)
        # The seam between the halves.
        if abs(x - cx) < 0.6:
            colour = (40, 40, 44)
        return colour

    return draw


def led(lit, pressed):
    centre = 15.5

    def draw(x, y):
        r = math.hypot(x - centre, y - centre)
        if r > 12.5:
            if lit and r < 15.5:
                return mix((235, 90, 80), BODY, (r - 12.5) / 3)  # the glow around a lit LED
            return BODY
        if r > 8.5:
            # Chrome bezel, bright at the top left.
            t = ((centre - x) + (centre - y)) / 25 + 0.5
            return mix((80, 80, 86), (235, 235, 240), t)
        if r > 7.5:
            return (25, 25, 28)
        if lit:
            colour = mix((255, 235, 225), (255, 40, 30), r / 3.5) if r < 3.5 else mix((255, 40, 30), (190, 0, 0), (r - 3.5) / 4)
        else:
            colour = mix((95, 30, 30), (45, 8, 8), r / 7.5)
            if math.hypot(x - (centre - 3), y - (centre - 3)) < 1.8:
                colour = (140, 90, 90)  # a dull reflection on the dark lens
        return shade(colour, 0.85) if pressed else colour

    return draw


def strip(width, height):
    def draw(x, y):
        if y < 1:
            return (200, 200, 200)
        if y < 2:
            return (110, 110, 112)
        t = (y - 2) / (height - 2)
        return mix((140, 140, 142), (70, 70, 74), t)

    return draw


def name_plate(width, height):
    text = "QUORVEL 2"
    scale = 2
    left = round((width - text_width(text, scale)) / 2)
    top = round((height - 7 * scale) / 2)

    def draw(x, y):
        d = rounded_box_distance(x, y, 0.5, 0.5, width - 0.5, height - 0.5, 5.0)
        if d > 0:
            return BODY
        if d > -1.5:
            return (190, 190, 196)
        if text_at(text, left, top, scale, x, y):
            return (245, 245, 245)
        return mix((60, 60, 66), (34, 34, 38), y / height)

    return draw


SYMBOL_W, SYMBOL_H = 24, 14


def triangle_right(x, y, left, top, size):
    """A triangle pointing right with its left side at `left`, `size` high."""
    if x < left or x > left + size * 0.87:
        return False
    half = (size / 2) * (1 - (x - left) / (size * 0.87))
    return abs(y - (top + size / 2)) <= half


def symbol(kind):
    def draw(x, y):
        h = 10.0
        top = (SYMBOL_H - h) / 2
        on = False
        if kind == "play":
            on = triangle_right(x, y, 8, top, h)
        elif kind == "fast_forward":
            on = triangle_right(x, y, 4, top, h) or triangle_right(x, y, 12, top, h)
        elif kind == "rewind":
            mx = SYMBOL_W - x
            on = triangle_right(mx, y, 4, top, h) or triangle_right(mx, y, 12, top, h)
        elif kind == "stop":
            on = 7 <= x <= 17 and top <= y <= top + h
        elif kind == "record":
            if math.hypot(x - 12, y - 7) <= 5.2:
                return (215, 25, 25)
        return INK if on else BODY

    return draw


def supersampled(draw, samples=3):
    def pixel(x, y):
        total = [0.0, 0.0, 0.0]
        for i in range(samples):
            for j in range(samples):
                c = draw(x + (i + 0.5) / samples, y + (j + 0.5) / samples)
                for k in range(3):
                    total[k] += c[k]
        n = samples * samples
        return tuple(int(round(min(255.0, max(0.0, t / n)))) for t in total)

    return pixel


def pictures():
    """File name, width, height and drawing of every picture."""
    out = []
    for suffix, pressed in (("U", False), ("D", True)):
        out.append((f"IDB_BTN{suffix}", 29, 29, key(29, 29, pressed)))
        out.append((f"WIDEBTN{suffix}", 41, 28, key(41, 28, pressed)))
        out.append((f"LEFTWHEEL{suffix}", 53, 112, wheel(0, 53, pressed, clockwise=False)))
        out.append((f"RIGHTWHEEL{suffix}", 59, 112, wheel(53, 59, pressed, clockwise=True)))
        out.append((f"LEDBTN1{suffix}", 32, 32, led(False, pressed)))
        out.append((f"LEDBTN2{suffix}", 32, 32, led(True, pressed)))
        out.append((f"TESTBTN{suffix}", 45, 20, key(45, 20, pressed, text_legend("TEST", 45, 20))))
        out.append((f"HELPBTN{suffix}", 20, 20, key(20, 20, pressed, text_legend("?", 20, 20))))
    out.append(("strip136", 552, 30, strip(552, 30)))
    out.append(("plate137", 180, 29, name_plate(180, 29)))
    out.append(("play138", SYMBOL_W, SYMBOL_H, symbol("play")))
    out.append(("record139", SYMBOL_W, SYMBOL_H, symbol("record")))
    out.append(("fastforward140", SYMBOL_W, SYMBOL_H, symbol("fast_forward")))
    out.append(("rewind141", SYMBOL_W, SYMBOL_H, symbol("rewind")))
    out.append(("stop142", SYMBOL_W, SYMBOL_H, symbol("stop")))
    return out


def main(argv):
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bitmaps")
    check = "--check" in argv
    png_folder = argv[argv.index("--png") + 1] if "--png" in argv else None
    stale = []
    for name, width, height, draw in pictures():
        data = bmp_bytes(width, height, supersampled(draw))
        path = os.path.join(folder, name.lower() + ".bmp")
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        stale.append(path)
            except OSError:
                stale.append(path)
            continue
        os.makedirs(folder, exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        if png_folder:
            os.makedirs(png_folder, exist_ok=True)
            subprocess.run(["convert", path, "-scale", "400%",
                            os.path.join(png_folder, name.lower() + ".png")], check=True)
    if stale:
        print("pictures differ from what make_bitmaps.py draws (run it again):", *stale, sep="\n  ")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
