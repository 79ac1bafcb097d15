"""A picture of the editor's window under Wine, for the README: QVL2.exe started on a fresh registry
with OPTION latched and Play selected, its frame cut out of the Xvfb screen with ImageMagick.

    python3 tests/e2e/screenshot_editor.py [out.png]     (default: docs/editor.png)

scripts/screenshot runs it after building."""
import subprocess
import sys
from pathlib import Path

from harness import Session
from editor_test import Editor, fresh

ID_OPTION = 1008


def main(out):
    with Session("screenshot") as s:
        fresh(s)
        editor = Editor(s)
        editor.send(ID_OPTION)
        frame = s.window_info(editor.hwnd)
        (x, y), (width, height) = frame.pair("pos"), frame.pair("extent")
        subprocess.run(["import", "-display", s.wine.env["DISPLAY"], "-window", "root",
                        "-crop", f"{width}x{height}+{x}+{y}", "+repage", str(out)], check=True)
        editor.close()
    print(out)


if __name__ == "__main__":
    root = Path(__file__).resolve().parents[2]
    main(Path(sys.argv[1]) if len(sys.argv) > 1 else root / "docs" / "editor.png")
