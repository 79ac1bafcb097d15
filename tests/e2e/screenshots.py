"""Takes the README's pictures of the editor's windows under Wine: the keyset overview of a sample
keyset, the Test window, the help window and the About box, into docs/screenshots/.

    python3 tests/e2e/screenshots.py      (after a Windows build; needs ImageMagick's import)
"""

import subprocess
from pathlib import Path

from editor_test import Editor
from harness import Session
from keysets import ALT, CTRL, EXT, HORIZONTAL_DRAG, LEFT_CLICK, RIGHT_CLICK, SHIFT, assignment, keyset, store_keysets

OUT = Path(__file__).resolve().parents[2] / "docs" / "screenshots"
SAMPLE = {
    ("MainBank", "Play"): assignment(special=32, name="Play"),
    ("MainBank", "Stop"): assignment(special=32, name="Stop"),
    ("MainBank", "RR"): assignment(vk=36, mods=EXT, name="To start"),
    ("MainBank", "FF"): assignment(vk=35, mods=EXT, name="To end"),
    ("MainBank", "Record"): assignment(vk=ord("R"), mods=CTRL, name="Record"),
    ("Option Bank", "Play"): assignment(vk=36, mods=CTRL | EXT, name="Play all"),
    ("Option Bank", "Record"): assignment(vk=ord("M"), mods=CTRL | SHIFT, name="Add marker"),
    ("Shift Bank", "RR"): assignment(vk=37, mods=CTRL | EXT, name="Prev marker"),
    ("Shift Bank", "FF"): assignment(vk=39, mods=CTRL | EXT, name="Next marker"),
    ("Shift Bank", "Stop"): assignment(mouse=LEFT_CLICK, name="Loop button", point=(40, 12), title="Transport"),
    ("Option+Shift Bank", "Play"): assignment(vk=46, mods=ALT | EXT, name="Cut"),
    ("Option+Shift Bank", "Record"): assignment(mouse=RIGHT_CLICK, name="Track menu"),
    ("MainBank", "CCWheel"): assignment(vk=37, mods=EXT, name="Frames"),
    ("MainBank", "CWheel"): assignment(vk=39, mods=EXT, name="Frames"),
    ("Option Bank", "CCWheel"): assignment(name="Zoom", mouse=HORIZONTAL_DRAG),
    ("Option Bank", "CWheel"): assignment(name="Zoom", mouse=HORIZONTAL_DRAG),
}


def shoot(s, window, name):
    x, y = window.pair("pos")
    width, height = window.pair("extent")
    subprocess.run(["import", "-display", s.wine.env["DISPLAY"], "-window", "root",
                    "-crop", f"{width}x{height}+{x}+{y}", "+repage", str(OUT / name)], check=True)
    print("wrote", OUT / name)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    with Session("screenshots") as s:
        store_keysets(s, keyset("Default"), keyset("waveedit", SAMPLE))
        editor = Editor(s)
        editor.send(2001)
        editor.send(32787)
        overview = s.wait_window("#32770", "waveedit")
        s.wait_foreground(overview.int("hwnd"))
        shoot(s, s.window_info(overview.int("hwnd")), "overview.png")
        s.post(overview.int("hwnd"), 0x0010)

        editor.post(1017)
        test = s.wait_window("#32770", "Test")
        s.wait_foreground(test.int("hwnd"))
        shoot(s, test, "test.png")
        s.post(test.int("hwnd"), 0x0111, 1)
        s.wait_no_window("#32770", "Test")

        editor.post(57664)
        about = s.wait_window("#32770", "About Quorvel 2")
        s.wait_foreground(about.int("hwnd"))
        shoot(s, about, "about.png")
        s.post(about.int("hwnd"), 0x0111, 1)
        s.wait_no_window("#32770", "About Quorvel 2")

        editor.send(57667)
        help_window = s.wait_window("#32770", "Quorvel 2 Help")
        s.wait_foreground(help_window.int("hwnd"))
        shoot(s, help_window, "help.png")
        editor.close()


if __name__ == "__main__":
    main()
