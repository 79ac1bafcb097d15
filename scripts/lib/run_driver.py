#!/usr/bin/env python3
"""The main job, after scripts/run has built everything and made Wine ready: the driver qvl2rs.exe
under Wine with the device on COM1, a program in front for it to drive, and a transcript of what
happens, printed as it happens.

    run_driver.py                   the simulator plays a short demo, then everything ends
    run_driver.py --interactive     the simulator on this terminal's keyboard until q
    run_driver.py --port DEVICE     a real Quorvel 2 on DEVICE (a serial device) until Ctrl+C

The program in front is our probe window, run as "waveedit.exe" so that the driver picks the
"waveedit" keyset stored for it (written here, beside "Default"). Everything runs in the Wine prefix
of build/wine; logs stay in build/e2e/run.
"""

import argparse
import os
import subprocess
import sys
import threading
import termios
import time
import tty
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))

from driver import Driver, Simulator, simulator_program  # noqa: E402
from harness import Session, qpc_now, wait_until  # noqa: E402
from keysets import (BANKS, CTRL, EXT, HORIZONTAL_MOVE, KEYSETS, SHIFT, assignment, keyset,  # noqa: E402
                     store_keysets)
from transcript import Transcript  # noqa: E402

# What the demo plays: the transport keys, a key in the OPTION bank, the wheel with its LED on (keys)
# and off (the pointer moves).
DEMO_SCRIPT = """\
expect start
wait 500
tap play 100
tap stop 100
option down
tap play 100
option up
tap record 100
wheel cw 3 10 60
wait 300
wheel ccw 2 10 60
led off
wheel cw 4 6 80
led on
wait 1300
"""

# The keyset of the program in front. Play and Stop as in "Default"; OPTION+Play plays from the start
# (Ctrl+Home), Record records (Ctrl+R); the wheel with its LED on moves by frames (Left and Right at
# the fastest speed: a key every 9 steps), with its LED off it moves the pointer.
WAVEEDIT = {
    ("MainBank", "Record"): assignment(vk=ord("R"), mods=CTRL, name="Record"),
    ("Option Bank", "Play"): assignment(vk=0x24, mods=CTRL | EXT, name="Play from start"),
    ("MainBank", "CCWheel"): assignment(vk=0x25, mods=EXT, speed=128, name="Frame back"),
    ("MainBank", "CWheel"): assignment(vk=0x27, mods=EXT, speed=128, name="Frame forward"),
    ("Option Bank", "CCWheel"): assignment(mouse=HORIZONTAL_MOVE, speed=64, name="Pointer"),
    ("Option Bank", "CWheel"): assignment(mouse=HORIZONTAL_MOVE, speed=64, name="Pointer"),
}
PROGRAM = "waveedit.exe"


def echo_lines(stream):
    """The simulator's own log (what it sent, what it received), between the transcript's lines."""
    for line in iter(stream.readline, b""):
        sys.stdout.write("   " + line.decode(errors="replace").rstrip() + "\n")
        sys.stdout.flush()


def forward_keys(sim):
    """This terminal's keys, one at a time, to the simulator until q, Ctrl+D or the end of input."""
    stdin = sys.stdin.fileno()
    saved = termios.tcgetattr(stdin) if os.isatty(stdin) else None
    try:
        if saved is not None:
            tty.setcbreak(stdin)
        while sim.poll() is None:
            key = os.read(stdin, 1)
            if key in (b"", b"q", b"Q", b"\x04"):
                return
            sim.stdin.write(key)
            sim.stdin.flush()
    finally:
        if saved is not None:
            termios.tcsetattr(stdin, termios.TCSADRAIN, saved)


def message_count(script):
    """How many two-byte messages a simulator script sends."""
    count = 0
    for line in script.splitlines():
        words = line.split("#")[0].split()
        if not words or words[0] in ("wait", "expect"):
            continue
        if words[0] == "tap":
            count += 2
        elif words[0] == "wheel":
            count += int(words[3]) if len(words) > 3 else 1
        else:
            count += 1
    return count


class Follower:
    """Prints the transcript from the driver's trace, the probe's log and the watcher's log as they
    grow. Lines are held back a moment, so that what the processes wrote at about the same time comes
    out in the order it happened."""

    HOLD_BACK = 2_000_000  # 0.2 s on the performance counter

    def __init__(self, sources, line_end="\n"):
        self.sources = sources  # [(name, LogReader)]
        self.marks = {name: 0 for name, _ in sources}
        self.waiting = []
        self.transcript = Transcript()
        self.line_end = line_end
        self.lock = threading.Lock()

    def poll(self, everything=False):
        with self.lock:
            for name, log in self.sources:
                records = log.records(since=self.marks[name])
                self.marks[name] += len(records)
                self.waiting += [(r.int("t") if "t" in r else 0, order, name, r)
                                 for order, r in enumerate(records)]
            self.waiting.sort(key=lambda item: (item[0], item[1]))
            limit = None if everything else qpc_now() - self.HOLD_BACK
            ready = [item for item in self.waiting if limit is None or item[0] <= limit]
            self.waiting = self.waiting[len(ready):]
            lines = []
            for _, _, name, record in ready:
                lines += self.transcript.add(name, record)
            if everything:
                lines += self.transcript.flush()
            for line in lines:
                sys.stdout.write(line + self.line_end)
            sys.stdout.flush()

    def follow(self, stop):
        while not stop.is_set():
            self.poll()
            stop.wait(0.1)


def stored_keysets(s):
    """Default (when missing) and the demo program's keyset; other stored keysets stay."""
    status, output = s.wine.reg("query", KEYSETS, check=False)
    have_default = status == 0 and any(line.rstrip().endswith("\\Default") for line in output.splitlines())
    keysets = [keyset("waveedit", WAVEEDIT)]
    if not have_default:
        keysets.insert(0, keyset("Default"))
    values = {}
    for one in keysets:
        values.update(one)
    s.wine.reg_import(s.path("keysets.reg"), values)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--interactive", action="store_true")
    parser.add_argument("--port")
    opts = parser.parse_args()

    print(f"{'seconds':>9}  {'who':<8} what (device: the Quorvel 2; program: {PROGRAM}, the program in front)")
    with Session("run") as s:
        stored_keysets(s)
        watcher = s.watcher("text=Could not connect*;press=OK")
        probe = s.probe(exe_name=PROGRAM, title="WaveEdit (QVL2 demo)", class_name="QvlProbe", rect=(80, 80, 640, 420))
        line_end = "\n"
        follower = None
        stop = threading.Event()

        if opts.port:
            s.wine.point_port(1, opts.port)
            driver = Driver(s, shim=False)
        elif opts.interactive:
            link = s.wine.wine_dir / "ports" / "com1"
            driver = None
        else:
            simulator = Simulator(s, DEMO_SCRIPT)
            driver = Driver(s)

        def start_following(driver):
            nonlocal follower
            follower = Follower([("driver", driver.trace), ("probe", probe.log), ("watch", watcher.log)], line_end)
            threading.Thread(target=follower.follow, args=(stop,), daemon=True).start()

        try:
            if opts.interactive:
                print(f"the device is on this keyboard (? lists the keys, q ends); the program in front is {PROGRAM}")
                sim = subprocess.Popen([simulator_program(), "--link", str(link), "--interactive", "--hold"],
                                       stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
                threading.Thread(target=echo_lines, args=(sim.stdout,), daemon=True).start()
                wait_until(lambda: link.exists(), 10, "the simulator's line")
                driver = Driver(s)
                start_following(driver)
                forward_keys(sim)
                # The driver goes first: a line that hangs up under it is an error it reports.
                driver.exit()
                driver.process.wait(20)
                sim.terminate()
                sim.wait(10)
            elif opts.port:
                print(f"the Quorvel 2 on {opts.port} is COM1; Ctrl+C ends")
                start_following(driver)
                while driver.process.running:
                    time.sleep(0.5)
            else:
                start_following(driver)
                # Every byte of the demo at the driver, then the wheel's idle end and the last input.
                driver.trace.wait_count(2 * message_count(DEMO_SCRIPT), "byte", timeout=60)
                time.sleep(1.5)
                driver.exit()
                driver.process.wait(20)
        except KeyboardInterrupt:
            pass
        finally:
            if driver is not None and driver.process.running:
                try:
                    driver.exit()
                    driver.process.wait(20)
                except Exception:  # noqa: BLE001 - the session still ends it
                    pass
            stop.set()
            if follower is not None:
                time.sleep(0.3)
                follower.poll(everything=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
