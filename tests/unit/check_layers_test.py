#!/usr/bin/env python3
"""scripts/check-layers on small trees: it passes the allowed edges and fails on a wrong one, on a
portable file including a Win32 header, and on <windows.h> outside the files that may use it."""
import os
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "check-layers")


def run(files):
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as out:
                out.write(text)
        done = subprocess.run([sys.executable, CHECK, "--root", root], capture_output=True, text=True)
        return done.returncode, done.stderr


cases = [
    ("allowed edges", {"driver/output/a.h": '#include "model/b.h"\n',
                       "driver/output/a_win32.cpp": '#include <windows.h>\n#include "base/c_win32.h"\n'}, 0, ""),
    ("model into framework", {"model/a.h": '#include "framework/window.h"\n'}, 1, "model may not include framework"),
    ("output into core", {"driver/output/a.h": '#include "driver/core/b.h"\n'}, 1, "may not include driver/core"),
    ("editor windows on its logic", {"editor/views/a.cpp": '#include "editor/app/b.h"\n',
                                     "editor/main.cpp": '#include "editor/views/a.h"\n'}, 0, ""),
    ("editor logic on its windows", {"editor/app/a.cpp": '#include "editor/views/b.h"\n'}, 1,
     "editor/app may not include editor/views"),
    ("portable Win32 header", {"model/a.cpp": '#include "model/b_win32.h"\n'}, 1, "Win32 header"),
    ("portable windows.h", {"driver/device/a.cpp": '#include <windows.h>\n'}, 1, "<windows.h> in a portable file"),
]
failed = 0
for name, files, code, message in cases:
    got, err = run(files)
    if got != code or message not in err:
        failed += 1
        print(f"FAIL {name}: exit {got}, {err.strip()}")
    else:
        print(f"ok   {name}")
sys.exit(1 if failed else 0)
