#!/usr/bin/env python3
"""How long the editor takes, under Wine, from its start to its window showing the current keyset,
and how long a keyset command that saves the whole list keeps it busy, with 1 and with 100 keysets
stored. Prints medians of several runs; the registry's keysets are replaced for the runs and removed
afterwards.

    python3 bench/editor_timing.py [runs]
"""

import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from editor_test import EDITOR_KEY, ID_CLEAR_KEYSET, ID_KEYSET_FIRST, WM_COMMAND, Editor, fresh, keyset_values  # noqa: E402
from harness import Session  # noqa: E402

WM_GETTEXTLENGTH = 0x000E


def median_ms(samples):
    return statistics.median(samples) * 1000.0


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    with Session("editor-timing") as s:
        for count in (1, 100):
            keysets = [keyset_values("Default")] + [keyset_values(f"program{i:03d}") for i in range(1, count)]
            fresh(s, *keysets)
            starts, commands, baselines = [], [], []
            for _ in range(runs):
                began = time.monotonic()
                editor = Editor(s)
                editor.wait_caption("Default", timeout=60)
                starts.append(time.monotonic() - began)
                editor.send(ID_KEYSET_FIRST + count - 1)
                # The helper that sends the message costs a process start: time an empty message too.
                began = time.monotonic()
                s.send(editor.hwnd, WM_GETTEXTLENGTH)
                baselines.append(time.monotonic() - began)
                began = time.monotonic()
                s.send(editor.hwnd, WM_COMMAND, ID_CLEAR_KEYSET)
                commands.append(time.monotonic() - began)
                editor.close()
            print(f"{count:3d} keysets: start to window {median_ms(starts):7.0f} ms; "
                  f"Clear Keyset (saves all) {median_ms(commands) - median_ms(baselines):7.1f} ms "
                  f"beyond an empty message ({median_ms(baselines):.0f} ms); {runs} runs")
        s.wine.reg_delete(EDITOR_KEY)


if __name__ == "__main__":
    main()
