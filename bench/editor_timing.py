#!/usr/bin/env python3
"""How long the editor takes to start under Wine, and how long its commands and edits keep it busy.

The start is timed by qvl_window start-time, which starts QVL2.exe itself and polls from its own
process every millisecond until the keyset caption names "Default" (no helper's start is counted):
the whole start from the process start to that caption, and from the editor's trace (QVL2_TRACE)
Wine's start of the process (to the program's entry), the editor's own start (entry to the device
panel's first paint, which shows a first look at the keysets) and the keysets' whole load after it
(load and the save that follows it), with 1 and with 100 keysets stored. Then how long a keyset command that saves the whole list keeps it busy,
and how long the device panel is busy storing one edit (a character typed in Name, a trackbar step, a
list change) and reloading when it gains the focus, with 1, 10 and 100 keysets stored. Prints
medians of several runs; the registry's keysets are replaced for the runs and removed afterwards.

    python3 bench/editor_timing.py [runs] [--compare QVL2.exe]...

--compare: another build of the editor (one built from an earlier commit, say) whose whole start is
timed the same way and printed beside this build's; its own trace is not read. May be given again.
"""

import argparse
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
FRAME_CLASS = "QVL2MainFrame"
KEYSET_CAPTION = 1007


def median_ms(samples):
    return statistics.median(samples) * 1000.0


def timed_start(s, program, trace_path=None):
    """One start of `program` (an absolute path), in seconds: {"whole": process start to the caption
    naming "Default"}, and with `trace_path` also "entry" (process start to the program's entry),
    "own" (entry to the panel's first paint, which shows a first look at the keysets), "load" (the
    keysets' whole load, after that paint) and "ready" (entry to the end of that load, when the
    editor takes input)."""
    env = None
    if trace_path is not None:
        if trace_path.exists():
            trace_path.unlink()
        env = {"QVL2_TRACE": WineEnv.windows_path(trace_path)}
    records = {r.kind: r for r in s.tool("qvl_window.exe", "start-time", WineEnv.windows_path(program), FRAME_CLASS,
                                         str(KEYSET_CAPTION), 'Current Keyset: "Default"', timeout=120, env=env)}
    started, ticks = records["started"].int("t"), records["started"].int("frequency")
    figures = {"whole": (records["shown"].int("t") - started) / ticks}
    if trace_path is not None:
        trace = LogReader(str(trace_path))
        entry, load, loaded, paint = (trace.wait_for(kind, timeout=30).int("t")
                                      for kind in ("start", "load", "loaded", "paint"))
        figures.update(entry=(entry - started) / ticks, own=(paint - entry) / ticks, load=(loaded - load) / ticks,
                       ready=(loaded - entry) / ticks)
    return figures


def starts(s, program, runs, trace_path=None):
    """Medians in ms of `runs` timed starts, after one that is not counted (the first start after the
    keysets were imported stores them all)."""
    timed_start(s, program, trace_path)
    samples = [timed_start(s, program, trace_path) for _ in range(runs)]
    return {name: median_ms([sample[name] for sample in samples]) for name in samples[0]}


def whole_list_save(s, count, runs):
    """Clear Keyset, which saves the whole list, on the last keyset: ms beyond an empty message (and
    the empty message's ms, a helper's start included)."""
    commands, baselines = [], []
    for _ in range(runs):
        editor = Editor(s)
        editor.wait_caption("Default", timeout=60)
        editor.send(ID_KEYSET_FIRST + count - 1)
        # The helper that sends the message costs a process start: time an empty message too.
        baselines.append(timed(lambda: s.send(editor.hwnd, WM_GETTEXTLENGTH)))
        commands.append(timed(lambda: s.send(editor.hwnd, WM_COMMAND, ID_CLEAR_KEYSET)))
        editor.close()
    return median_ms(commands) - median_ms(baselines), median_ms(baselines)


def timed(action):
    began = time.monotonic()
    action()
    return time.monotonic() - began


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("runs", nargs="?", type=int, default=6)
    parser.add_argument("--compare", action="append", default=[],
                        help="another QVL2.exe whose whole start is printed beside this build's")
    options = parser.parse_args()
    runs = options.runs
    with Session("editor-timing") as s:
        this_build = s.wine.program("QVL2.exe")
        for count in (1, 100):
            keysets = [keyset_values("Default")] + [keyset_values(f"program{i:03d}") for i in range(1, count)]
            fresh(s, *keysets)
            mine = starts(s, this_build, runs, s.path("editor.trace"))
            print(f"{count:3d} keysets: start to caption {mine['whole']:5.0f} ms (Wine's start of the process "
                  f"{mine['entry']:4.0f} ms, then the editor's own start to the panel's first paint {mine['own']:4.0f} "
                  f"ms, {mine['own'] - mine['load']:+4.0f} ms against the keysets' whole load after it "
                  f"{mine['load']:4.0f} ms; input taken {mine['ready']:4.0f} ms after the entry); {runs} runs")
            for program in options.compare:
                # Each build starts from the keysets as imported: an earlier one may rewrite them its way.
                fresh(s, *keysets)
                other = starts(s, Path(program).resolve(), runs)
                print(f"{count:3d} keysets: start to caption {other['whole']:5.0f} ms for {program}; {runs} runs")
            if options.compare:
                fresh(s, *keysets)
            command, baseline = whole_list_save(s, count, runs)
            print(f"{count:3d} keysets: Clear Keyset (saves all) {command:7.1f} ms beyond an empty message "
                  f"({baseline:.0f} ms); {runs} runs")
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
