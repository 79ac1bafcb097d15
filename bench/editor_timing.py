#!/usr/bin/env python3
"""How long the editor takes, under Wine, from its start to its window showing the current keyset
(the whole start as seen from outside, Wine's own start of a process included), and its own start
from its trace (QVL2_TRACE): from the program's entry to the device panel's first paint, beside the
load of the keysets within it; how long a keyset command that saves the whole list keeps it busy,
with 1 and with 100 keysets stored; and how long the device panel is busy storing one edit (a
character typed in Name, a trackbar step, a list change) and reloading when it gains the focus, with
1, 10 and 100 keysets stored. Prints medians of several runs; the registry's keysets are replaced for
the runs and removed afterwards.

    python3 bench/editor_timing.py [runs] [QVL2.exe to time instead of the build's]
"""

import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from editor_test import EDITOR_KEY, ID_CLEAR_KEYSET, ID_KEYSET_FIRST, WM_COMMAND, Editor, fresh, keyset_values  # noqa: E402
from harness import Session  # noqa: E402
from tool_log import LogReader  # noqa: E402
from wine_env import WineEnv  # noqa: E402
from panel_test import CBN_SELCHANGE, MOUSE_CLICK, NAME, SPEED, TB_THUMBPOSITION, WM_HSCROLL, Panel  # noqa: E402

WM_GETTEXTLENGTH = 0x000E
WM_SETFOCUS = 0x0007
EN_CHANGE = 0x0300


def median_ms(samples):
    return statistics.median(samples) * 1000.0


def own_start(s, trace_path):
    """From the editor's trace: its own start (entry to the panel's first paint) and the keysets' load
    within it, in seconds."""
    trace = LogReader(str(trace_path))
    paint = trace.wait_for("paint", timeout=60)
    start, load, loaded = (trace.wait_for(kind) for kind in ("start", "load", "loaded"))
    ticks = start.int("frequency")
    return (paint.int("t") - start.int("t")) / ticks, (loaded.int("t") - load.int("t")) / ticks


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 6
    program = sys.argv[2] if len(sys.argv) > 2 else "QVL2.exe"
    with Session("editor-timing") as s:
        trace_path = s.path("editor.trace")
        for count in (1, 100):
            keysets = [keyset_values("Default")] + [keyset_values(f"program{i:03d}") for i in range(1, count)]
            fresh(s, *keysets)
            starts, owns, loads, commands, baselines = [], [], [], [], []
            for _ in range(runs):
                if trace_path.exists():
                    trace_path.unlink()
                began = time.monotonic()
                editor = Editor(s, program=program, env={"QVL2_TRACE": WineEnv.windows_path(trace_path)})
                editor.wait_caption("Default", timeout=60)
                starts.append(time.monotonic() - began)
                if program == "QVL2.exe":
                    own, load = own_start(s, trace_path)
                    owns.append(own)
                    loads.append(load)
                editor.send(ID_KEYSET_FIRST + count - 1)
                # The helper that sends the message costs a process start: time an empty message too.
                began = time.monotonic()
                s.send(editor.hwnd, WM_GETTEXTLENGTH)
                baselines.append(time.monotonic() - began)
                began = time.monotonic()
                s.send(editor.hwnd, WM_COMMAND, ID_CLEAR_KEYSET)
                commands.append(time.monotonic() - began)
                editor.close()
            own = (f"own start (entry to the panel's first paint) {median_ms(owns):5.0f} ms, "
                   f"of which the keysets' load {median_ms(loads):5.0f} ms; " if owns else "")
            print(f"{count:3d} keysets: start to window {median_ms(starts):7.0f} ms; {own}"
                  f"Clear Keyset (saves all) {median_ms(commands) - median_ms(baselines):7.1f} ms "
                  f"beyond an empty message ({median_ms(baselines):.0f} ms); {runs} runs")
        if program == "QVL2.exe":
            panel_edits(s, runs)
        s.wine.reg_delete(EDITOR_KEY)


def panel_edits(s, runs):
    """Each edit is the notice the control sends its panel, sent from another process and waited
    for, `runs` times in a row: the panel has stored the assignment (and raised keysetsChanged) when
    it returns. Timed inside the sending tool, so no tool's start is counted."""
    for count in (1, 10, 100):
        keysets = [keyset_values("Default")] + [keyset_values(f"program{i:03d}") for i in range(1, count)]
        fresh(s, *keysets)
        panel = Panel(s)
        edits = {
            "empty message": (WM_GETTEXTLENGTH, 0, 0),
            "Name character": (WM_COMMAND, (EN_CHANGE << 16) | NAME, panel.hwnd_of(NAME)),
            "trackbar step": (WM_HSCROLL, TB_THUMBPOSITION, panel.hwnd_of(SPEED)),
            "list change": (WM_COMMAND, (CBN_SELCHANGE << 16) | MOUSE_CLICK, panel.hwnd_of(MOUSE_CLICK)),
            "focus gained": (WM_SETFOCUS, 0, 0),
        }
        figures = []
        for name, (message, wparam, lparam) in edits.items():
            record = s.tool("qvl_window.exe", "time", hex(panel.panel), str(message), str(wparam), str(lparam),
                            str(runs))[0]
            figures.append(f"{name} {record.int('median_us') / 1000:.1f} ms")
        panel.close()
        print(f"{count:3d} keysets, the panel's median of {runs}: " + "; ".join(figures))

if __name__ == "__main__":
    main()
