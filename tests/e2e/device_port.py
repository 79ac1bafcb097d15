"""The device's end of a serial port of the Wine prefix.

COM1 to COM4 of the prefix are links under build/wine/ports (scripts/lib/wine.sh, qvl_map_ports);
a scenario points one at the device end of a pty, and whatever plays the device reads and writes
the other end. `PtyPort` is the plain version: a pty pair opened here, bytes written and read by
the scenario itself. A device simulator can take its place: anything with the same methods (path,
write, read, wait_for_bytes, received, wait_opened, wait_closed, close) will do. `StalledPort` is a
port whose device takes nothing.
"""

import os
import select
import termios
import threading
import time
import tty

from tool_log import HarnessError


def qpc_now():
    """The performance counter of the Wine session (CLOCK_MONOTONIC_RAW in 100 ns ticks), so a
    byte's moment can be put beside the time stamps in the tools' logs."""
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW) // 100


class PtyPort:
    """A pty pair whose program end (`path`) a COM port of the prefix is pointed at.

    A reader thread takes every byte the program writes, with its performance-counter time, and
    notes each time the program opens or closes the port: the pty's master reports a hang-up
    while no program holds the other end. Bytes written while the port is closed wait in the pty
    until a program opens it.
    """

    def __init__(self):
        self._master, slave = os.openpty()
        # Raw from the start: a line discipline would echo the bytes we send back to us and
        # translate line ends.
        tty.setraw(slave)
        self.path = os.ttyname(slave)
        os.close(slave)
        self._lock = threading.Condition()
        self._received = bytearray()
        self._times = []
        self._open = False
        self._opens = 0
        self._closes = 0
        self._stopping = False
        self._thread = threading.Thread(target=self._read_loop, name=f"pty {self.path}", daemon=True)
        self._thread.start()

    def _read_loop(self):
        poller = select.poll()
        poller.register(self._master, select.POLLIN)
        while not self._stopping:
            events = poller.poll(20)
            mask = events[0][1] if events else 0
            if mask & select.POLLIN:
                try:
                    data = os.read(self._master, 4096)
                except OSError:
                    data = b""
                if data:
                    now = qpc_now()
                    with self._lock:
                        self._received += data
                        self._times += [now] * len(data)
                        self._lock.notify_all()
            is_open = not mask & select.POLLHUP
            if is_open != self._open:
                with self._lock:
                    self._open = is_open
                    if is_open:
                        self._opens += 1
                    else:
                        self._closes += 1
                    self._lock.notify_all()
            if mask & select.POLLHUP and not mask & select.POLLIN:
                # Nobody holds the port: the master reports the hang-up at once on every poll.
                time.sleep(0.01)

    def _wait(self, condition, timeout, what):
        with self._lock:
            if not self._lock.wait_for(condition, timeout):
                raise HarnessError(f"timed out after {timeout} s waiting for {what} on {self.path}")

    def write(self, data):
        """Send bytes to the program; returns the performance-counter time after the last one
        went into the pty."""
        view = memoryview(bytes(data))
        while view:
            written = os.write(self._master, view)
            view = view[written:]
        return qpc_now()

    def received(self):
        """Every byte the program has written so far."""
        with self._lock:
            return bytes(self._received)

    def receive_times(self):
        """The performance-counter time at which each received byte was read."""
        with self._lock:
            return list(self._times)

    def wait_for_bytes(self, expected, since=0, timeout=30):
        """Wait until the bytes received from offset `since` on contain `expected`; returns the
        offset just after it."""
        expected = bytes(expected)

        def found():
            return self._received.find(expected, since) >= 0

        self._wait(found, timeout, f"bytes {expected.hex(' ')}")
        with self._lock:
            return self._received.find(expected, since) + len(expected)

    def read(self, count, since=0, timeout=30):
        """The `count` bytes received from offset `since` on, waiting for them."""
        self._wait(lambda: len(self._received) >= since + count, timeout, f"{count} bytes")
        with self._lock:
            return bytes(self._received[since : since + count])

    @property
    def is_open(self):
        with self._lock:
            return self._open

    @property
    def open_count(self):
        """How often a program has opened the port since the pty was made."""
        with self._lock:
            return self._opens

    @property
    def close_count(self):
        with self._lock:
            return self._closes

    def wait_opened(self, count=1, timeout=30):
        """Wait until a program has opened the port `count` times in all and holds it."""
        self._wait(lambda: self._opens >= count and self._open, timeout, "a program to open the port")

    def wait_closed(self, count=1, timeout=30):
        """Wait until the program has let go of the port `count` times in all."""
        self._wait(lambda: self._closes >= count and not self._open, timeout, "the program to close the port")

    def close(self):
        """Hang up: the program's end of the port goes away with the master. Closing twice does
        nothing."""
        if self._stopping:
            return
        self._stopping = True
        self._thread.join(timeout=2)
        os.close(self._master)


class StalledPort:
    """A pty whose output is stopped, as by flow control, and never started again: a program opens it
    as usual, and every write it makes waits for a line that never moves, as on an adapter that has
    stalled."""

    def __init__(self):
        self._master, slave = os.openpty()
        tty.setraw(slave)
        termios.tcflow(slave, termios.TCOOFF)  # stays stopped for whoever opens it next
        self.path = os.ttyname(slave)
        os.close(slave)
        self._closed = False

    def close(self):
        if not self._closed:
            self._closed = True
            os.close(self._master)
