#!/usr/bin/env python3
"""qvl2sim as a program: the pty and its link, waiting for the start byte, the bytes of a script, the
log of both directions, pacing at the line's rate, and its exit codes. This script plays the driver."""
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time
import tty

FAILURES = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        FAILURES.append(what)


def read_for(fd, seconds, enough=None):
    """What arrives within `seconds`, or as soon as `enough` bytes did."""
    data = b""
    end = time.time() + seconds
    while time.time() < end and (enough is None or len(data) < enough):
        if select.select([fd], [], [], 0.05)[0]:
            try:
                chunk = os.read(fd, 256)
            except OSError:
                break
            if not chunk:
                break
            data += chunk
    return data


def main():
    sim = sys.argv[1]
    work = tempfile.mkdtemp(prefix="qvl2sim-test-")
    script = os.path.join(work, "demo.sim")
    with open(script, "w") as f:
        f.write("# waits for the driver first\n"
                "expect start 5000\n"
                "option down\n"
                "tap play 10\n"
                "option up\n"
                "wheel cw 1 60\n"
                "led off\n"
                "send 80 80\n")
    link = os.path.join(work, "com1")

    process = subprocess.Popen([sim, "--link", link, script], stdout=subprocess.PIPE, text=True)
    first = process.stdout.readline().split()
    check(len(first) == 2 and first[0] == "pty" and first[1].startswith("/dev/"), "prints the pty first: %s" % first)
    second = process.stdout.readline().strip()
    check(second == "link %s -> %s" % (link, first[1]), "reports the link: %s" % second)
    check(os.path.realpath(link) == first[1], "the link leads to the pty")

    fd = os.open(link, os.O_RDWR | os.O_NOCTTY)
    tty.setraw(fd)
    check(read_for(fd, 0.5) == b"", "nothing is sent before the driver's start byte")
    os.write(fd, b"\xb3")
    expected = (b"\x80\x40" + b"\x80\x45\x80\x05" + b"\x80\x00" + b"\x81\x7f" * 60 + b"\x80\x07" + b"\x80\x80")
    data = read_for(fd, 60, enough=len(expected))
    out, _ = process.communicate(timeout=60)
    data += read_for(fd, 0.2)  # anything more it sent is in the pty by now
    check(data == expected, "the script's bytes arrive in order (%s)" % data.hex(" "))
    os.close(fd)
    lines = out.splitlines()
    check(process.returncode == 0, "a script that ran through ends with 0 (%s)" % process.returncode)
    check(any(l.split()[1:] == ["rx", "b3", "start", "byte"] for l in lines), "logs the start byte it received")
    sends = [l.split() for l in lines if l.split()[1:2] == ["tx"]]
    check([s[4:] for s in sends[:4]] == [["option", "down"], ["press", "play"], ["release", "play"], ["option", "up"]],
          "logs what each message means")
    wheel = [float(s[0]) for s in sends if s[4:] == ["wheel", "cw", "1"]]
    # 59 gaps of 8.33 ms are 0.49 s; a late first message (the log or the machine busy) may shorten the
    # span it shows, but without pacing it would be a few milliseconds.
    check(len(wheel) == 60 and wheel[-1] - wheel[0] >= 0.40,
          "wheel steps leave at the line's rate, 8.3 ms a message (%.3f s for 60)" %
          (wheel[-1] - wheel[0] if wheel else 0))
    check(not os.path.lexists(link), "the link is removed at exit")

    # A driver that never answers: the expectation fails, and says where.
    process = subprocess.run([sim, "-"], input="expect start 300\npress play\n", capture_output=True, text=True,
                             timeout=10)
    check(process.returncode == 1, "an unmet expectation ends with 1")
    check("line 1: no byte b3 from the driver within 300 ms" in process.stdout, "and names the script line")
    check("press play" not in process.stdout, "nothing after it is sent")

    # A broken script is refused whole before any line is opened.
    process = subprocess.run([sim, "--link", link, "-"], input="press play\nwheel cw 40\n", capture_output=True,
                             text=True, timeout=10)
    check(process.returncode == 2 and "line 2:" in process.stderr, "a wrong line ends with 2 and its number")
    check(process.stdout == "" and not os.path.lexists(link), "and opens no line")

    # A given serial device instead of a new pty: here the slave of a pty this script holds.
    master, slave = os.openpty()
    path = os.ttyname(slave)
    process = subprocess.run([sim, "--device", path, "--no-pace", "-"], input="tap stop 0\n", capture_output=True,
                             text=True, timeout=10)
    check(process.stdout.splitlines()[0] == "pty " + path, "uses the given device")
    check(read_for(master, 0.5) == b"\x80\x44\x80\x04", "and sends through it")
    settings = subprocess.run(["stty", "-F", path], capture_output=True, text=True).stdout
    check("speed 2400 baud" in settings, "at 2400 baud")

    shutil.rmtree(work, ignore_errors=True)
    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
