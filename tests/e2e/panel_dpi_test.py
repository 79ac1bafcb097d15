"""The editor's device panel at 96 and 192 DPI: its picture buttons are twice as large at 192, and
each shows its picture at that size (every 2 x 2 block at 192 DPI is one pixel at 96), not the
96-DPI picture in a corner. The pictures the panel paints itself (the name plate here) are there as
drawn at 96 DPI and in whole 2 x 2 blocks at 192, and the captions it paints stand left of their
controls. The DPI is "LogPixels" under HKCU\\Control Panel\\Desktop, which Wine
reads when a program starts; the value found is put back afterwards.

Run:  python3 tests/e2e/panel_dpi_test.py PanelDpi
"""

import struct
import sys
import unittest
from pathlib import Path

from harness import Session
from editor_test import fresh
from panel_test import CCWHEEL, CWHEEL, KEY_PRESS, LED_ON, MOUSE_CLICK, NAME, OPTION, PLAY, SPECIAL_KEY, Panel
from panel_test import RELEASE_STEPS, STEPS

DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
PICTURES = {"Play": PLAY, "wheel left": CCWHEEL, "wheel right": CWHEEL, "LED": LED_ON, "OPTION": OPTION}
NAME_PLATE = Path(__file__).resolve().parents[2] / "editor" / "res" / "bitmaps" / "plate137.bmp"
CAPTIONED = (NAME, KEY_PRESS, SPECIAL_KEY, STEPS, RELEASE_STEPS, MOUSE_CLICK)


def read_bmp(path):
    """(width, height, rows of (b, g, r) tuples) of a 32-bit top-down BMP as qvl_window writes it."""
    data = path.read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    height = abs(height)
    rows = [[tuple(data[offset + (y * width + x) * 4:offset + (y * width + x) * 4 + 3]) for x in range(width)]
            for y in range(height)]
    return width, height, rows


def read_picture(path):
    """The rows of (b, g, r) tuples of a 24-bit bottom-up BMP, as our pictures are stored."""
    data = path.read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) // 4 * 4
    return [[tuple(data[offset + y * stride + x * 3:offset + y * stride + x * 3 + 3]) for x in range(width)]
            for y in reversed(range(height))]


def doubled(rows):
    return [[pixel for pixel in row for _ in (0, 1)] for row in rows for _ in (0, 1)]


def find(picture, rows):
    """Whether `rows` show `picture` exactly somewhere."""
    lines = [b"".join(bytes(pixel) for pixel in row) for row in rows]
    wanted = [b"".join(bytes(pixel) for pixel in row) for row in picture]
    for y in range(len(lines) - len(wanted) + 1):
        at = lines[y].find(wanted[0])
        while at >= 0:
            if at % 3 == 0 and all(lines[y + i][at:at + len(wanted[i])] == wanted[i] for i in range(1, len(wanted))):
                return True
            at = lines[y].find(wanted[0], at + 1)
    return False


def pictures_at(session, dpi):
    """({name: (width, height, rows)} of the panel's picture buttons, (the panel's rows, its
    controls' {id: (x, y, width, height)} within it)) in an editor started at `dpi`."""
    session.wine.reg_set(DESKTOP_KEY, "LogPixels", dpi)
    panel = Panel(session)
    shots = {}
    for name, control in PICTURES.items():
        path = session.path(f"{control}-{dpi}.bmp")
        session.tool("qvl_window.exe", "capture", hex(panel.hwnd_of(control)), path.name)
        shots[name] = read_bmp(path)
    path = session.path(f"panel-{dpi}.bmp")
    session.tool("qvl_window.exe", "capture", hex(panel.panel), path.name)
    (left, top), _ = next(c.pair("pos") for c in panel.children if c.int("hwnd") == panel.panel), None
    places = {}
    for control in CAPTIONED:
        (x, y), (width, height) = panel.items[control].pair("pos"), panel.items[control].pair("extent")
        places[control] = (x - left, y - top, width, height)
    panel.close()
    return shots, (read_bmp(path)[2], places)


def caption_left_of(rows, place):
    """Whether dark text stands within 40 pixels left of a control, on the rows it spans."""
    x, y, _, height = place
    return any(max(pixel) < 64 for row in rows[y:y + height] for pixel in row[max(0, x - 40):x])


def mismatches(small, large):
    """How many pixels of `small` differ from the average of their 2 x 2 block in `large`; the outer
    ring is left out, where the panel's own drawing meets the button and may be a pixel off."""
    (width, height, rows), (_, _, big) = small, large
    wrong = 0
    for y in range(1, height - 1):
        for x in range(1, width - 1):
            block = (big[2 * y][2 * x], big[2 * y][2 * x + 1], big[2 * y + 1][2 * x], big[2 * y + 1][2 * x + 1])
            average = [sum(p[c] for p in block) / 4 for c in range(3)]
            wrong += any(abs(average[c] - rows[y][x][c]) > 8 for c in range(3))
    return wrong


class PanelDpi(unittest.TestCase):
    def test_picture_buttons_are_twice_as_large_at_192_dpi_and_drawn_so(self):
        with Session("panel-dpi") as s:
            old = s.wine.reg_value(DESKTOP_KEY, "LogPixels")
            try:
                fresh(s)
                (normal, (panel, places)), (large, (large_panel, large_places)) = pictures_at(s, 96), pictures_at(s, 192)
            finally:
                if old is None:
                    s.wine.reg_delete(DESKTOP_KEY, "LogPixels")
                else:
                    s.wine.reg_set(DESKTOP_KEY, "LogPixels", old)
            for name in PICTURES:
                (width, height, _), (big_width, big_height, _) = normal[name], large[name]
                with self.subTest(name):
                    self.assertGreater(width * height, 0)
                    self.assertLessEqual(abs(big_width - 2 * width), 1)
                    self.assertLessEqual(abs(big_height - 2 * height), 1)
                    self.assertLessEqual(mismatches(normal[name], large[name]), width * height // 50)
            plate = read_picture(NAME_PLATE)
            self.assertTrue(find(plate, panel), "the name plate as drawn, at 96 DPI")
            self.assertTrue(find(doubled(plate), large_panel), "the name plate in 2 x 2 blocks, at 192 DPI")
            for control in CAPTIONED:
                with self.subTest(caption_of=control):
                    self.assertTrue(caption_left_of(panel, places[control]))
                    self.assertTrue(caption_left_of(large_panel, large_places[control]))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
