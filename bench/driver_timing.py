#!/usr/bin/env python3
"""Benchmark: the driver qvl2rs.exe under Wine, with its trace on and the device on a pty at COM1.

1. Latency: 1000 messages (Play down and up, 500 times, at the line's pace) into the driver; for each,
   the time from its last byte reaching the driver (OnDeviceByte) to the first input event the driver
   synthesized for it, from the driver's own trace. Also the whole way: from the byte entering the
   line on Linux to the driver, and to the program in front (the probe's keyboard hook).
1c. Steps: Play sends Ctrl+Shift+A as its keystroke, Stop the same key as the first of its steps; each
   pressed and released 500 times, one press at a time: from the press's last byte (the driver's own part)
   and from the byte written (the whole way) to its first key at the program's keyboard hook, side by
   side. And a press typing 100 characters: from the byte written to the last character at the hook, and
   with no hook to the last WM_CHAR in the program's window (and the driver's own part, to its SendInput
   done).
2. Idle: the driver's CPU time (user and system, all its threads) over 60 seconds with the port open
   and nothing happening; and the Wine server's over the same time. Once on a pty with modem lines
   (the shim), once on a plain pty (no modem lines), and once with the port lost and not coming
   back, the driver trying to open it every 2 seconds; and once listening for the device on two ports
   (COM5 and COM9) while its own port cannot be opened and is tried every 2 seconds. Under Wine the
   link keeps no line-status wait (Wine would service it by polling), so the first two should cost
   alike.
3. Burst: wheel messages at the line's full rate (2400 baud: 120 messages a second) for 10 seconds:
   every byte reaches the driver in order, and every keystroke the wheel's throttle lets through
   (a key on the first step and every 9th after it at the fastest speed) reaches the program.

Wine's performance counter is the raw monotonic clock in 100 ns ticks, so the driver's trace, the
probe's log and the times taken here on Linux are one clock.

    bench/driver_timing.py [--messages 1000] [--idle 60] [--burst 10]   (after both builds)
"""

import argparse
import os
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from driver import Driver  # noqa: E402
from harness import Session, qpc_now  # noqa: E402
from keysets import CTRL, EXT, SETTINGS, SHIFT, assignment, keyset, steps, store_keysets  # noqa: E402

MESSAGE_TIME = 20 / 2400  # two bytes of ten bits at 2400 baud: 8.33 ms
TICKS = 1e7  # the performance counter's ticks per second under Wine


def ms(ticks):
    return ticks / TICKS * 1000


def summary(name, values_ms):
    values = sorted(values_ms)
    p99 = values[min(len(values) - 1, int(round(0.99 * (len(values) - 1))))]
    print(f"  {name:<52} median {statistics.median(values):7.3f} ms   99th {p99:7.3f} ms   "
          f"max {values[-1]:7.3f} ms   (n={len(values)})")


def paced_writes(port, messages):
    """Write each message at the line's pace; the Linux time after each one."""
    sent = []
    due = time.monotonic()
    for message in messages:
        delay = due - time.monotonic()
        if delay > 0:
            time.sleep(delay)
        sent.append(port.write(message))
        due += MESSAGE_TIME
    return sent


def cpu_seconds(pid):
    """User plus system time of a Linux process and all its threads."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def wineserver_pid(prefix):
    """The Wine server of our prefix: other Wine sessions on the machine have servers of their own."""
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/comm") as comm:
                    if not comm.read().strip().startswith("wineserver"):
                        continue
                with open(f"/proc/{entry}/environ", "rb") as environ:
                    if f"WINEPREFIX={prefix}".encode() in environ.read().split(b"\0"):
                        return int(entry)
            except OSError:
                continue
    return None


def per_message(driver_lines):
    """For each message in the trace: (arrival of its last byte, the first input event after it or
    None), in order."""
    result = []
    status = None
    for record in driver_lines:
        if record.kind == "byte":
            if status is None:
                status = record
            else:
                result.append([record.int("t"), None])
                status = None
        elif record.kind in ("key", "mouse") and result and result[-1][1] is None:
            result[-1][1] = record.int("t")
    return result


def latency(count, notes=None):
    shown = " with each action shown on screen" if notes else ""
    print(f"\n1{'b' if notes else ''}. latency over {count} messages (Play down, Play up, at 2400 baud's pace){shown}")
    with Session("bench-latency") as s:
        s.screen()
        store_keysets(s)
        if notes is not None:
            s.wine.reg_set(SETTINGS, "Notes", notes)
        port = s.device_port(1)
        driver = Driver(s)
        port.wait_for_bytes(b"\xb3")
        driver.wait_ready()
        probe = s.probe()
        since = probe.mark()
        trace_since = driver.trace.mark()
        messages = [b"\x80\x45", b"\x80\x05"] * (count // 2)
        sent = paced_writes(port, messages)
        driver.trace.wait_count(len(messages), "key", trace_since, timeout=60)
        hooked = probe.log.wait_count(len(messages), "llkey", since, where=lambda r: r["injected"] == "1",
                                      timeout=60)
        timed = per_message(driver.lines(since=trace_since))
        missing = sum(1 for _, out in timed if out is None)
        own = [ms(out - arrived) for arrived, out in timed if out is not None]
        line = [ms(arrived - written) for (arrived, _), written in zip(timed, sent)]
        program = [ms(r.int("t") - written) for r, written in zip(hooked, sent)]
        summary("driver's own part: last byte in -> first input out", own)
        summary("line under Wine: byte written on Linux -> driver", line)
        summary("whole way: byte written -> program's keyboard hook", program)
        print(f"  messages without input: {missing}; the line itself takes {MESSAGE_TIME * 1000:.2f} ms a message")
        if notes:
            print(f"  notes shown: {len(driver.lines('note', trace_since))}")


def first_keys(driver_lines, hooked, sent, keys):
    """For each press (every other message, from the first) and its release, which together send `keys`
    key events: the driver's own part (its last byte in to its first key out) and the whole way (the byte
    written to its first key at the hook), in ms."""
    timed = per_message(driver_lines)
    own = [ms(out - arrived) for arrived, out in timed[::2] if out is not None]
    whole = [ms(hooked[n * keys].int("t") - written) for n, written in enumerate(sent[::2])]
    return own, whole


def steps_latency(count):
    print(f"\n1c. a press with steps beside the keystroke ({count} of each), and 100 characters typed")
    with Session("bench-steps") as s:
        s.screen()
        play = {("MainBank", "Play"): assignment(vk=ord("A"), mods=CTRL | SHIFT)}
        typed = "".join(chr(ord("a") + n % 26) for n in range(100))
        extra = {("MainBank", "Stop"): steps("Ctrl+Shift+A, Tab"), ("MainBank", "Record"): steps(f'"{typed}"')}
        store_keysets(s, keyset("Default", play, extra))
        port = s.device_port(1)
        driver = Driver(s)
        port.wait_for_bytes(b"\xb3")
        driver.wait_ready()
        probe = s.probe()
        pressed = (("keystroke Ctrl+Shift+A", b"\x80\x45\x80\x05", 6),
                   ("steps Ctrl+Shift+A, Tab", b"\x80\x44\x80\x04", 8))
        for name, press, keys in pressed:
            # One press and its release at a time, each once the keys of the last have arrived: the first
            # key of a press that finds nothing playing.
            since, trace_since = probe.mark(), driver.trace.mark()
            sent = []
            for n in range(count):
                sent += [port.write(press), None]
                probe.log.wait_count(keys * (n + 1), "llkey", since, where=lambda r: r["injected"] == "1")
            injected = probe.log.records("llkey", since, where=lambda r: r["injected"] == "1")
            own, whole = first_keys(driver.lines(since=trace_since), injected, sent, keys)
            summary(f"{name}: driver's own part to the first key", own)
            summary(f"{name}: whole way to the first key", whole)
        typed_in = typing(port, driver, probe, hooked=True)
        probe.stop()
        # Under Wine a low-level hook takes each character on its own, a round trip to the hooking
        # process: without one the program's window is where the characters are timed.
        typed_out = typing(port, driver, s.probe(hooks=False), hooked=False)
        summary("100 characters, hooked: byte written -> last character at the hook", typed_in)
        summary("100 characters, no hook: byte written -> last WM_CHAR in the window", typed_out[0])
        summary("100 characters, no hook: driver's own part, last byte in -> sent", typed_out[1])


def typing(port, driver, probe, hooked, runs=10):
    """Record types 100 characters, `runs` times: from the byte written to the last character at the
    program (its hook, or its window's WM_CHAR); without the hook also the driver's own part, from the
    press's last byte in to its SendInput done (the trace's text line)."""
    whole, own = [], []
    for _ in range(runs):
        since, trace_since = probe.mark(), driver.trace.mark()
        written = port.write(b"\x80\x46\x80\x06")
        if hooked:
            last = probe.log.wait_count(200, "llkey", since, where=lambda r: r["injected"] == "1", timeout=60)[-1]
        else:
            last = probe.log.wait_count(100, "char", since, timeout=60)[-1]
            sent = driver.trace.wait_for("text", trace_since)
            arrived = [r for r in driver.lines("byte", trace_since) if r.int("t") < sent.int("t")][1]
            own.append(ms(sent.int("t") - arrived.int("t")))
        whole.append(ms(last.int("t") - written))
    return whole if hooked else (whole, own)


def idle(seconds, modem_lines, lost=False, note=False, listening=False):
    if listening:
        print(f"\n2e. {seconds} s listening for the device on COM5 and COM9, its own port away: a try every 2 s")
    elif note:
        print(f"\n2d. idle for {seconds} s after one press whose note is shown, then fades (in the first 2 s)")
    elif lost:
        print(f"\n2c. {seconds} s with the port lost and away: a try to open it every 2 s")
    elif modem_lines:
        print(f"\n2. idle for {seconds} s with the port open, on a pty with modem lines (the shim)")
    else:
        print(f"\n2b. idle for {seconds} s on a plain pty: no modem lines")
    with Session("bench-idle") as s:
        s.screen()
        store_keysets(s)
        if note:
            s.wine.reg_set(SETTINGS, "Notes", 3)
        if listening:
            s.wine.point_port(1, s.folder)  # cannot be opened
            heard = [s.device_port(5), s.device_port(9)]
        else:
            port = s.device_port(1)
        # A plain pty's reports of DTR and the status wait; the box of a port that cannot be opened.
        watcher = s.watcher("caption=Error;press=OK", "text=Could not connect*;press=OK")
        driver = Driver(s, shim=modem_lines)
        if listening:
            for line in heard:
                line.wait_opened()
        else:
            port.wait_for_bytes(b"\xb3")
        driver.wait_ready()
        time.sleep(2)  # start-up settled, the boxes answered
        if lost:
            since = driver.trace.mark()
            s.wine.point_port(1, s.folder)  # what comes back cannot be opened
            port.close()
            driver.trace.wait_count(2, "port", since, timeout=30)
        if note:
            since = driver.trace.mark()
            port.write(b"\x80\x44\x80\x04")  # Stop: Space
            driver.trace.wait_for("note", since, timeout=30)
        watcher.stop()  # it looks for boxes all the time: its work would count as the server's
        server = wineserver_pid(s.wine.env.get("WINEPREFIX"))
        pid = driver.process.popen.pid
        before, server_before = cpu_seconds(pid), cpu_seconds(server) if server else 0.0
        time.sleep(seconds)
        if driver.process.popen.poll() is not None:
            print(f"  the driver ended (exit code {driver.process.popen.returncode})")
            return
        after, server_after = cpu_seconds(pid), cpu_seconds(server) if server else 0.0
        used = after - before
        print(f"  driver's CPU time: {used * 1000:.0f} ms over {seconds} s ({used / seconds * 100:.3f} % of one core)")
        if server:
            used = server_after - server_before
            print(f"  Wine server's CPU time meanwhile: {used * 1000:.0f} ms ({used / seconds * 100:.3f} % of one core)")
        if lost:
            tries = driver.lines("port", since)
            boxes = len(s.windows("#32770"))
            print(f"  tries to open: {len(tries)}, opened: {sum(r['open'] == '1' for r in tries)}; boxes on screen: {boxes}")


def burst(seconds):
    count = int(seconds / MESSAGE_TIME)
    print(f"\n3. burst: {count} wheel messages at the line's full rate ({1 / MESSAGE_TIME:.0f} a second, "
          f"{seconds} s)")
    with Session("bench-burst") as s:
        s.screen()
        fastest = {("MainBank", "CWheel"): assignment(vk=0x27, mods=EXT, speed=128)}
        store_keysets(s, keyset("Default"), keyset("mixer", fastest))
        port = s.device_port(1)
        driver = Driver(s)
        port.wait_for_bytes(b"\xb3")
        driver.wait_ready()
        probe = s.probe(exe_name="mixer.exe")
        since = probe.mark()
        trace_since = driver.trace.mark()
        message = b"\x81\x7f"  # clockwise, one step
        began = qpc_now()
        paced_writes(port, [message] * count)
        took = (qpc_now() - began) / TICKS
        # The throttle at speed 128: a tap on the first step and on every 9th after it.
        taps = (count + 8) // 9
        driver.trace.wait_count(2 * count, "byte", trace_since, timeout=60)
        hooked = probe.log.wait_count(2 * taps, "llkey", since, where=lambda r: r["injected"] == "1", timeout=60)
        time.sleep(1)  # anything more would show now
        received = bytes(r.int("value") for r in driver.lines("byte", trace_since))
        keys = [(r.int("vk"), r["up"]) for r in probe.log.records("llkey", since) if r["injected"] == "1"]
        print(f"  written in {took:.2f} s; bytes at the driver: {len(received)} of {2 * count}, "
              f"in order: {received == message * count}")
        print(f"  keystrokes at the program: {len(keys) // 2} taps of {taps} expected, "
              f"all Right down then up: {keys == [(0x27, '0'), (0x27, '1')] * taps}")
        events = driver.lines("event", trace_since)
        print(f"  wheel events decoded: {len(events)} of {count}")
        del hooked


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--messages", type=int, default=1000)
    parser.add_argument("--idle", type=int, default=60)
    parser.add_argument("--burst", type=float, default=10)
    parser.add_argument("--no-lost", action="store_true", help="leave out the lost port (a driver that ends on it)")
    opts = parser.parse_args()
    latency(opts.messages)
    latency(opts.messages, notes=3)
    steps_latency(opts.messages // 2)
    idle(opts.idle, modem_lines=True)
    idle(opts.idle, modem_lines=True, note=True)
    idle(opts.idle, modem_lines=False)
    if not opts.no_lost:
        idle(opts.idle, modem_lines=True, lost=True)
    idle(opts.idle, modem_lines=True, listening=True)
    burst(opts.burst)
    return 0


if __name__ == "__main__":
    sys.exit(main())
