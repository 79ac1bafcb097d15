#!/usr/bin/env python3
"""The serial link under Wine against a pty: this script is the device.

It opens a pty, points one of the prefix's COM links at it, runs serial_link_probe through
scripts/wine-run, plays device bytes on the master side and checks both what arrived there and what
the probe printed once it ended. Scenarios with the modem-line shim preloaded see a port that behaves
like a real one; without it, the plain pty shows the link's report path.
"""
import argparse
import os
import select
import subprocess
import sys
import threading
import time
import tty

FAILURES = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        FAILURES.append(what)


class Device:
    """The master side of a pty: collects what the program writes, plays what the device sends."""

    def __init__(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        self.path = os.ttyname(self.slave)
        self.received = bytearray()
        self.changed = threading.Condition()
        self.closing = False
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        # Polls, so that hang_up can really close the master: a descriptor closed while another
        # thread is blocked reading it stays open until that read returns.
        while not self.closing:
            if not select.select([self.master], [], [], 0.05)[0]:
                continue
            try:
                data = os.read(self.master, 256)
            except OSError:
                return
            if not data:
                return
            with self.changed:
                self.received += data
                self.changed.notify_all()

    def wait_for(self, count, timeout):
        with self.changed:
            return self.changed.wait_for(lambda: len(self.received) >= count, timeout)

    def send(self, data):
        os.write(self.master, data)

    def hang_up(self):
        self.closing = True
        self.reader.join()
        os.close(self.slave)
        os.close(self.master)


def point_port(ports, number, target):
    os.makedirs(ports, exist_ok=True)
    link = os.path.join(ports, "com%d" % number)
    temporary = link + ".new"
    if os.path.lexists(temporary):
        os.unlink(temporary)
    os.symlink(target, temporary)
    os.replace(temporary, link)


def start_probe(opts, arguments, shim, extra_env=None):
    env = dict(os.environ)
    env.update(extra_env or {})
    if shim:
        env["LD_PRELOAD"] = opts.shim
    else:
        env.pop("LD_PRELOAD", None)
    command = [os.path.join(opts.root, "scripts", "wine-run"), opts.probe] + [str(a) for a in arguments]
    return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=env)


def finish(process, timeout=120):
    try:
        out, err = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        out, err = process.communicate()
        FAILURES.append("probe did not end")
    if err.strip():
        print(err, file=sys.stderr)
    lines = out.splitlines()
    for line in lines:
        print("  | " + line)
    return lines


def value(lines, key):
    for line in lines:
        if line.startswith(key + " "):
            return line[len(key) + 1:]
    return None


def stty_settings(path):
    return subprocess.run(["stty", "-F", path, "-a"], capture_output=True, text=True).stdout.split()


def echo_scenario(opts, com_number, shim, extra_env=None, report=None):
    """Open, start byte, line settings, bytes in order on the reader thread, echo, queued writes, close.
    `report`: (text, times), the debug reports the probe waits for before it closes."""
    label = "COM%d %s" % (com_number, "with modem lines" if shim else "on a plain pty")
    device = Device()
    point_port(opts.ports, com_number, device.path)
    played = [b"\x80\x45", b"\x80\x05\x81\x7f", b"\x80\x47"]
    total = sum(len(p) for p in played)
    probe = start_probe(opts, ["echo", com_number, total] + list(report or ()), shim, extra_env)

    got_start = device.wait_for(1, 90)
    check(got_start and device.received[:1] == b"\xb3", label + ": the start byte 0xB3 arrives first")
    settings = stty_settings(device.path)
    for flag in ["2400", "cs8", "-parenb", "-cstopb", "-crtscts", "-ixon", "-ixoff"]:
        check(flag in settings, label + ": the line shows %s" % flag)
    for part in played:
        device.send(part)
        time.sleep(0.05)  # pieces, as a device sends them; any spacing gives the same bytes
    expected_out = b"\xb3" + b"".join(played) + b"\x55\x01\x02\x03"
    # All seen: the probe may close. Without reports to wait for it first makes three round trips
    # (it writes 0xEE, the device answers), each a pass of its reader.
    trips = 0 if report else 3
    if device.wait_for(len(expected_out), 60):
        device.send(b"\x00")
        for trip in range(1, trips + 1):
            if not device.wait_for(len(expected_out) + trip, 60):
                break
            device.send(b"\x00")
    lines = finish(probe)
    check(bytes(device.received) == expected_out + b"\xee" * trips,
          label + ": the device sees 0xB3, the echo, then the queued writes (%s)" % device.received.hex())
    if not report:
        check(value(lines, "idle-trips") == "1", label + ": the reader handles three more round trips")
    check(value(lines, "open") == "1", label + ": open succeeds")
    check(value(lines, "received") == " ".join("%02x" % b for b in b"".join(played)),
          label + ": every byte reaches OnDeviceByte once, in order")
    check(value(lines, "on-reader-thread") == "1", label + ": bytes are handed on on the reader thread")
    check(value(lines, "close") == "1", label + ": the first close closes")
    check(value(lines, "close-again") == "0", label + ": a second close does nothing")
    check(value(lines, "start-after-close") == "0", label + ": nothing is written once closed")
    check(not any(line.startswith("end ") for line in lines), label + ": the process is not ended")
    if report:
        check(value(lines, "reported") == "1", label + ": %d reports of %s came before the close" % (report[1], report[0]))
    device.hang_up()
    return lines


def simulator_scenario(opts):
    """qvl2sim on the other end: it waits for the start byte, plays its script, and logs the echo."""
    if not os.path.isfile(opts.sim):
        check(False, "the simulator is missing (%s): build the host build first" % opts.sim)
        return
    link = os.path.join(opts.ports, "com2")
    sim = subprocess.Popen([opts.sim, "--link", link, "--hold", "-"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                           text=True)
    # The last byte the probe writes answered with one more, then its three round trips: it may close.
    sim.stdin.write("expect start 60000\nshift down\ntap record 20\nwheel ccw 7 2\nexpect 03 60000\nsend 00\n" +
                    "expect ee 60000\nsend 00\n" * 3)
    sim.stdin.close()
    sim.stdin = None
    header = [sim.stdout.readline().strip(), sim.stdout.readline().strip()]
    check(header[1].startswith("link " + link), "simulator: the port is linked to its pty (%s)" % header)
    lines = finish(start_probe(opts, ["echo", 2, 10], shim=True))
    sim.terminate()
    log = sim.communicate(timeout=20)[0].splitlines()
    check(value(lines, "received") == "80 41 80 46 80 06 81 07 81 07",
          "simulator: the link hands on the simulator's messages in order")
    received = [l.split()[2] for l in log if l.split()[1:2] == ["rx"]]
    check(received == ["b3", "80", "41", "80", "46", "80", "06", "81", "07", "81", "07", "55", "01", "02", "03", "ee", "ee", "ee"],
          "simulator: it logs the start byte, the echo and the queued writes (%s)" % received)
    check(sim.returncode == 0, "simulator: it ends cleanly when told to")
    check(not os.path.lexists(link), "simulator: it removes its link")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--shim", required=True)
    parser.add_argument("--sim", required=True)
    opts = parser.parse_args()
    wine_dir = os.environ.get("QVL_WINE_DIR", os.path.join(opts.root, "build", "wine"))
    opts.ports = os.path.join(wine_dir, "ports")
    if not os.path.isfile(opts.shim):
        print("the modem-line shim is missing (%s): build the host build first" % opts.shim)
        return 1

    # A port that behaves like a real one: no reports at all; with status waits kept on (as on Windows)
    # they stay on, and under Wine, which would poll them, the reader only reads.
    lines = echo_scenario(opts, 2, shim=True, extra_env={"QVL_STATUS_WAITS": "1"})
    check(not any(line.startswith("box ") for line in lines), "COM2 with modem lines: no message box")
    check(value(lines, "status-waits") == "1", "COM2 with modem lines: the reader keeps its status waits")
    lines = echo_scenario(opts, 2, shim=True)
    check(not any(line.startswith("box ") for line in lines), "COM2 under Wine's own choice: no message box")
    check(value(lines, "status-waits") == "0", "COM2 under Wine's own choice: no status waits")

    # A plain pty: DTR fails at open and at close, each shown once; the status wait is not supported,
    # which is reported once (one box) and ends the status waits without stopping the reading.
    lines = echo_scenario(opts, 1, shim=False, extra_env={"QVL_STATUS_WAITS": "1"}, report=("WaitCommEvent", 1))
    boxes = [line.split("\\n\\r", 1)[0] for line in lines if line.startswith("box ")]
    check(sorted(boxes) == ["box - Error 50: EscapeCommFunction (SETDTR).", "box - Error 50: EscapeCommFunction(CLRDTR).",
                            "box - Error 50: WaitCommEvent."],
          "plain pty: exactly three boxes, DTR up at open, the status wait once, DTR down at close (%s)" % boxes)
    waits = [line for line in lines if line.startswith("debug Error 50: WaitCommEvent.")]
    check(len(waits) == 1, "plain pty: the unsupported status wait is reported once (%d)" % len(waits))
    check(value(lines, "status-waits") == "0", "plain pty: the reader goes on without status waits")

    # A call that keeps failing (clearing the line's error state, every half second): every failure goes
    # to the debugger output, one box is shown, and the reading goes on.
    lines = echo_scenario(opts, 2, shim=True, extra_env={"QVL_MODEM_SHIM_FAIL_INQ": "1"},
                          report=("ClearCommError", 4))
    failures = [line for line in lines if line.startswith("debug Error 21: ClearCommError.")]
    boxes = [line for line in lines if line.startswith("box ")]
    check(len(failures) >= 4, "failing call: each failure is reported to the debugger (%d)" % len(failures))
    check(len(boxes) == 1 and "ClearCommError" in boxes[0], "failing call: but shown in one box only (%s)" % boxes)

    # Ports that cannot be opened: a folder, a device path that is gone, a number past COM256.
    folder = os.path.join(wine_dir, "not-a-port")
    os.makedirs(folder, exist_ok=True)
    point_port(opts.ports, 3, folder)
    point_port(opts.ports, 4, os.path.join(wine_dir, "no-such-device"))
    for com_port, label in [(3, "a folder"), (4, "a missing device"), (257, "COM257")]:
        lines = finish(start_probe(opts, ["missing", com_port], shim=True))
        check(value(lines, "open") == "0", label + ": open fails")
        check(value(lines, "threads-started") == "0", label + ": no thread is started")
        check(value(lines, "close") == "0", label + ": there is nothing to close")
        check(not any(line.startswith("box ") for line in lines), label + ": the link shows no box of its own")

    # The device goes away under a running link, with and without status waits: the port is reported
    # lost once, without a box and without ending the process, and the owner's close is quiet.
    for waits in ("1", "0"):
        device = Device()
        point_port(opts.ports, 2, device.path)
        probe = start_probe(opts, ["hangup", 2], shim=True, extra_env={"QVL_STATUS_WAITS": waits})
        check(device.wait_for(1, 90), "hangup: the start byte arrives")
        device.hang_up()
        lines = finish(probe)
        label = "hangup (status waits %s)" % waits
        check(value(lines, "lost") == "1", label + ": the port is reported lost once")
        check(value(lines, "close") == "1", label + ": the owner closes the link")
        check(not any(line.startswith("box ") for line in lines), label + ": no box (%s)" % lines)
        check(not any(line.startswith("end ") for line in lines), label + ": the process goes on")

    # A reader held in OnDeviceByte: close gives up after 20 seconds, says which thread did not end,
    # reports "Error closing port." and ends the process.
    device = Device()
    point_port(opts.ports, 2, device.path)
    probe = start_probe(opts, ["stuck", 2], shim=True)
    check(device.wait_for(1, 90), "stuck reader: the start byte arrives")
    device.send(b"\x80\x45")
    lines = finish(probe)
    close_ms = int(value(lines, "close-ms") or "0")
    check(value(lines, "held") == "1" and value(lines, "close") == "0", "stuck reader: close does not succeed")
    # A busy machine can make the wait longer, never shorter.
    check(19500 <= close_ms < 60000, "stuck reader: close waits 20 seconds (%d ms)" % close_ms)
    check("debug Reader/Status Thread didn't exit.\\n\\r" in lines, "stuck reader: the reader is named")
    check("debug Writer Thread didn't exit.\\n\\r" not in lines, "stuck reader: the writer ended")
    check(any(l.startswith("box - Error ") and ": Error closing port..\\n\\r" in l for l in lines),
          "stuck reader: the close error is shown")
    check(lines[-1:] == ["end 1"], "stuck reader: then the process ends with a failure code")
    device.hang_up()

    simulator_scenario(opts)

    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
