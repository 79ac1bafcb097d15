"""Takes the README's pictures of the editor's windows under Wine: the keyset overview of a sample
keyset, the Test window, the help window and the About box, and the driver's on-screen note, into
docs/screenshots/.

    python3 tests/e2e/screenshots.py [note]     (after a Windows build; needs ImageMagick's import)
"""

import subprocess
import sys
from pathlib import Path

from driver import Driver
from editor_test import Editor
from harness import Session
from keysets import (ALT, CTRL, EXT, HORIZONTAL_DRAG, LEFT_CLICK, RIGHT_CLICK, SETTINGS, SHIFT, assignment, keyset,
                     store_keysets)

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


def note_picture():
    # The driver's note, as a press of Play in front of the sample keyset's program shows it (it fades
    # after a moment and a half: the picture is taken as soon as the note is there).
    with Session("screenshots-note") as s:
        store_keysets(s, keyset("Default"), keyset("waveedit", SAMPLE))
        s.wine.reg_set(SETTINGS, "Notes", 3)
        port = s.device_port(1)
        driver = Driver(s)
        port.wait_for_bytes(b"\xb3")
        driver.wait_ready()
        s.probe(exe_name="WaveEdit.exe")
        port.write(b"\x80\x40\x80\x45\x80\x05\x80\x00")  # OPTION and Play: "Option+Play: Ctrl+Home"
        driver.trace.wait_for("note", where=lambda r: r["text"] == "Option+Play: Ctrl+Home")
        shoot(s, s.wait_window("QVL2Note"), "note.png")


if __name__ == "__main__":
    OUT.mkdir(parents=True, exist_ok=True)
    if sys.argv[1:] != ["note"]:  # "note": the note's picture alone
        main()
    note_picture()
