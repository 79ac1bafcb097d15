"""The editor's device panel at 96 and 192 DPI: its picture buttons are twice as large at 192, and
each shows its picture at that size (every 2 x 2 block at 192 DPI is one pixel at 96), not the
96-DPI picture in a corner. The DPI is "LogPixels" under HKCU\\Control Panel\\Desktop, which Wine
reads when a program starts; the value found is put back afterwards.

Run:  python3 tests/e2e/panel_dpi_test.py PanelDpi
"""

import struct
import sys
import unittest

from harness import Session
from editor_test import fresh
from panel_test import CCWHEEL, CWHEEL, LED_ON, OPTION, PLAY, Panel

DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
PICTURES = {"Play": PLAY, "wheel left": CCWHEEL, "wheel right": CWHEEL, "LED": LED_ON, "OPTION": OPTION}


def read_bmp(path):
    """(width, height, rows of (b, g, r) tuples) of a 32-bit top-down BMP as qvl_window writes it."""
    data = path.read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    height = abs(height)
    rows = [[tuple(data[offset + (y * width + x) * 4:][:3]) for x in range(width)] for y in range(height)]
    return width, height, rows


def pictures_at(session, dpi):
    """{name: (width, height, rows)} of the panel's picture buttons in an editor started at `dpi`."""
    session.wine.reg_set(DESKTOP_KEY, "LogPixels", dpi)
    panel = Panel(session)
    shots = {}
    for name, control in PICTURES.items():
        path = session.path(f"{control}-{dpi}.bmp")
        session.tool("qvl_window.exe", "capture", hex(panel.hwnd_of(control)), path.name)
        shots[name] = read_bmp(path)
    panel.close()
    return shots


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
                normal, doubled = pictures_at(s, 96), pictures_at(s, 192)
            finally:
                if old is None:
                    s.wine.reg_delete(DESKTOP_KEY, "LogPixels")
                else:
                    s.wine.reg_set(DESKTOP_KEY, "LogPixels", old)
            for name in PICTURES:
                (width, height, _), (big_width, big_height, _) = normal[name], doubled[name]
                with self.subTest(name):
                    self.assertGreater(width * height, 0)
                    self.assertLessEqual(abs(big_width - 2 * width), 1)
                    self.assertLessEqual(abs(big_height - 2 * height), 1)
                    self.assertLessEqual(mismatches(normal[name], doubled[name]), width * height // 50)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
