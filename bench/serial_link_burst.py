#!/usr/bin/env python3
"""Benchmark: the serial link under Wine at the line's full rate.

Plays wheel messages into a pty mapped to COM2 at 2400 baud's pace (one two-byte message every
8.33 ms, 120 a second) for the given time, and prints what the link's reader handed to OnDeviceByte:
bytes lost or out of order, and the time from a message's last byte entering the line to its hand-over
(median, 99th percentile, worst), plus the probe process's CPU time. Wine's performance counter and
Linux's raw monotonic clock are the same clock, so the two sides' times compare directly.

    bench/serial_link_burst.py [--seconds 10]     (after scripts/test or both builds)
"""
import argparse
import os
import statistics
import subprocess
import sys
import threading
import time
import tty

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MESSAGE = b"\x81\x7f"  # one clockwise wheel step
INTERVAL = 2 * 10 / 2400.0


def now():
    # Wine's performance counter counts the raw monotonic clock.
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seconds", type=float, default=10.0)
    opts = parser.parse_args()
    probe = os.path.join(ROOT, "build", "win", "bin", "serial_link_probe.exe")
    shim = os.path.join(ROOT, "build", "host", "tools", "modem_shim", "libqvl_modem_shim.so")
    for path in (probe, shim):
        if not os.path.isfile(path):
            sys.exit("missing %s: run scripts/test (or both builds) first" % path)
    messages = int(opts.seconds / INTERVAL)

    master, slave = os.openpty()
    tty.setraw(slave)
    ports = os.path.join(os.environ.get("QVL_WINE_DIR", os.path.join(ROOT, "build", "wine")), "ports")
    os.makedirs(ports, exist_ok=True)
    link = os.path.join(ports, "com2")
    if os.path.lexists(link + ".new"):
        os.unlink(link + ".new")
    os.symlink(os.ttyname(slave), link + ".new")
    os.replace(link + ".new", link)

    env = dict(os.environ, LD_PRELOAD=shim)
    process = subprocess.Popen([os.path.join(ROOT, "scripts", "wine-run"), probe, "burst", "2", str(2 * messages)],
                               stdout=subprocess.PIPE, text=True, env=env)
    if os.read(master, 1) != b"\xb3":
        sys.exit("no start byte from the link")
    time.sleep(0.5)

    sent = []
    next_time = now()
    for _ in range(messages):
        delay = next_time - now()
        if delay > 0:
            time.sleep(delay)
        os.write(master, MESSAGE)
        sent.append(now())
        next_time += INTERVAL
    out, _ = process.communicate(timeout=120)
    os.close(master)
    os.close(slave)

    frequency = 10_000_000
    arrivals = []
    data = bytearray()
    cpu = 0
    for line in out.splitlines():
        parts = line.split()
        if parts[0] == "frequency":
            frequency = int(parts[1])
        elif parts[0] == "byte":
            data.append(int(parts[1], 16))
            arrivals.append(int(parts[2]) / frequency)
        elif parts[0] == "cpu-100ns":
            cpu = int(parts[1]) / 1e7

    expected = MESSAGE * messages
    lost = len(expected) - len(data)
    in_order = bytes(data) == expected[:len(data)]
    latencies = sorted((arrivals[2 * i + 1] - sent[i]) * 1000 for i in range(min(messages, len(data) // 2)))
    print("serial link burst: %d wheel messages in %.1f s (%d a second)" % (messages, sent[-1] - sent[0],
                                                                              round(1 / INTERVAL)))
    print("  bytes expected %d, handed on %d, lost %d, in order: %s" % (len(expected), len(data), lost,
                                                                          "yes" if in_order else "NO"))
    if latencies:
        p99 = latencies[min(len(latencies) - 1, int(len(latencies) * 0.99))]
        print("  line to OnDeviceByte: median %.3f ms, 99th percentile %.3f ms, worst %.3f ms" %
              (statistics.median(latencies), p99, latencies[-1]))
    print("  probe CPU time (user + kernel, whole run with start-up): %.3f s" % cpu)
    return 0 if lost == 0 and in_order else 1


if __name__ == "__main__":
    sys.exit(main())
