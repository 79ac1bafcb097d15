#!/usr/bin/env python3
"""Screenshots of the editor's window at 96, 144 and 192 DPI under Wine, for README.md.

    dpi_screenshots.py [--out FOLDER]     (scripts/screenshots builds first, then runs this)

The DPI of a program under Wine is the value "LogPixels" under HKCU\\Control Panel\\Desktop when the
program starts: Wine reads it at every program start, so one Wine session serves all three. The
shots are taken in a prefix of their own (build/screenshots/wine) on an Xvfb display of their own,
large enough for the window at 200 %, with ImageMagick's import; the window is cut out of the screen
by the position and size Windows gives for it.
"""

import argparse
import os
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness import Session, WineEnv, wait_until  # noqa: E402

DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
WM_GETTEXTLENGTH, WM_CLOSE = 0x000E, 0x0010
SCREEN = "1800x1400x24"


def start_display():
    """An Xvfb of our own on a free display number: (process, ":N")."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", SCREEN, "-nolisten", "tcp"],
                            pass_fds=(write,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    os.close(write)
    with os.fdopen(read) as numbers:
        number = numbers.readline().strip()
    if not number:
        xvfb.kill()
        raise SystemExit("screenshots: Xvfb did not start")
    return xvfb, f":{number}"


def shoot(session, dpi, target):
    """Start the editor at `dpi`, cut its window out of the screen into `target`, close it."""
    session.wine.reg_set(DESKTOP_KEY, "LogPixels", dpi)
    editor = session.start("QVL2.exe", name=f"editor-{dpi}", stop=lambda p: None)
    frame = session.wait_window("QVL2MainFrame", "Quorvel 2", timeout=60)
    hwnd = frame.int("hwnd")
    # Answered once the editor has worked through everything queued before, its first painting too.
    session.send(hwnd, WM_GETTEXTLENGTH)
    session.send(hwnd, WM_GETTEXTLENGTH)
    info = session.window_info(hwnd)
    (x, y), (width, height) = info.pair("pos"), info.pair("extent")
    subprocess.run(["import", "-display", session.wine.env["DISPLAY"], "-window", "root", "-crop",
                    f"{width}x{height}+{x}+{y}", "+repage", str(target)], check=True)
    session.post(hwnd, WM_CLOSE)
    editor.wait(30)
    return width, height


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=str(ROOT / "docs" / "screenshots"))
    options = parser.parse_args()
    out = Path(options.out)
    out.mkdir(parents=True, exist_ok=True)

    xvfb, display = start_display()
    os.environ.update(DISPLAY=display, QVL_KEEP_DISPLAY="1",
                      QVL_WINE_DIR=str(ROOT / "build" / "screenshots" / "wine"))
    wine = WineEnv()
    try:
        with Session("screenshots", wine=wine) as s:
            try:
                for dpi in (96, 144, 192):
                    target = out / f"editor-{dpi}dpi.png"
                    width, height = shoot(s, dpi, target)
                    print(f"{target.relative_to(ROOT) if target.is_relative_to(ROOT) else target}: "
                          f"{width} x {height} at {dpi} DPI")
            finally:
                s.wine.reg_delete(DESKTOP_KEY, "LogPixels")
    finally:
        if wine.env is not None:
            subprocess.run([wine.env["WINESERVER"], "-k"], env=wine.env, check=False)
            wait_until(lambda: subprocess.run([wine.env["WINESERVER"], "-k"], env=wine.env,
                                              stderr=subprocess.DEVNULL).returncode != 0, 20, "the Wine server to end")
        xvfb.terminate()
        xvfb.wait(10)


if __name__ == "__main__":
    main()
