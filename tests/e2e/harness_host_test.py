"""The parts of the harness that need no Wine: reading the tools' log lines back, following a log
while it is written, and the device end of a COM port (a pty, opened here by a stand-in program).
"""

import os
import sys
import tempfile
import threading
import time
import unittest

from device_port import PtyPort, qpc_now
from tool_log import HarnessError, LogReader, parse_line


class ParseLine(unittest.TestCase):
    # (line as the tools write it, kind, fields) - the escapes are those of QuoteText in log_line.cpp.
    CASES = [
        ("ready", "ready", {}),
        ("llkey t=12 msg=WM_KEYDOWN vk=0x41 up=0", "llkey", {"t": "12", "msg": "WM_KEYDOWN", "vk": "0x41", "up": "0"}),
        ('dialog caption="" text="a b"', "dialog", {"caption": "", "text": "a b"}),
        (r'dialog caption="Ask \"me\"" text="x=1 y=2"', "dialog", {"caption": 'Ask "me"', "text": "x=1 y=2"}),
        (r'dialog text="one\ntwo\r\n\ttab \\ end"', "dialog", {"text": "one\ntwo\r\n\ttab \\ end"}),
        (r'fill text="Z:\\work\\out.qvl" ok=1', "fill", {"text": "Z:\\work\\out.qvl", "ok": "1"}),
        (r'dialog text="caf\xe9 \x01"', "dialog", {"text": "caf\u00e9 \u0001"}),
        ("window origin=-4,12 size=392,273", "window", {"origin": "-4,12", "size": "392,273"}),
    ]

    def test_fields_come_back_as_written(self):
        for line, kind, fields in self.CASES:
            with self.subTest(line=line):
                record = parse_line(line)
                self.assertEqual(record.kind, kind)
                self.assertEqual(record.fields, fields)

    def test_numbers_handles_and_pairs(self):
        record = parse_line("window hwnd=0x1a2b id=101 origin=-4,12 delta=-120")
        self.assertEqual(record.int("hwnd"), 0x1A2B)
        self.assertEqual(record.int("id"), 101)
        self.assertEqual(record.int("delta"), -120)
        self.assertEqual(record.pair("origin"), (-4, 12))

    def test_an_unterminated_text_is_refused(self):
        with self.assertRaises(ValueError):
            parse_line('dialog caption="open')


class FollowLog(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.path = os.path.join(folder.name, "tool.log")

    def append(self, data):
        with open(self.path, "ab") as log:
            log.write(data)

    def test_a_line_counts_once_it_is_complete(self):
        reader = LogReader(self.path)
        self.assertEqual(reader.records(), [])  # no file yet
        self.append(b"start pid=1\nllkey vk=0x4")
        self.assertEqual([r.kind for r in reader.records()], ["start"])
        self.append(b"1 up=0\r\nllkey vk=0x41 up=1\n")
        self.assertEqual([r.get("up") for r in reader.records("llkey")], ["0", "1"])
        self.assertEqual(reader.records("llkey")[0].int("vk"), 0x41)

    def test_marks_select_what_came_after(self):
        reader = LogReader(self.path)
        self.append(b"key vk=0x41\nkey vk=0x42\n")
        since = reader.mark()
        self.assertEqual(since, 2)
        self.append(b"char code=0x61\nkey vk=0x43\n")
        self.assertEqual([r.int("vk") for r in reader.records("key", since)], [0x43])
        self.assertEqual(reader.wait_count(1, "key", since, timeout=1)[0].int("vk"), 0x43)
        self.assertEqual(reader.wait_for(where=lambda r: r.kind == "char", since=since).int("code"), 0x61)

    def test_a_wait_that_runs_out_fails_with_what_it_waited_for(self):
        reader = LogReader(self.path)
        self.append(b"key vk=0x41\n")
        started = time.monotonic()
        with self.assertRaises(HarnessError) as failure:
            reader.wait_count(2, "key", timeout=0.2, what="two keys")
        self.assertGreaterEqual(time.monotonic() - started, 0.2)
        self.assertIn("two keys", str(failure.exception))

    def test_two_threads_following_one_log_see_every_line_once_in_order(self):
        # scripts/run prints the trace on a thread of its own while the main thread waits on it.
        reader = LogReader(self.path)
        done = threading.Event()

        def follow():
            while not done.is_set():
                reader.refresh()

        followers = [threading.Thread(target=follow) for _ in range(2)]
        for follower in followers:
            follower.start()
        for n in range(5000):
            self.append(b"byte n=%d\n" % n)
        done.set()
        for follower in followers:
            follower.join()
        self.assertEqual([r.get("n") for r in reader.records()], [str(n) for n in range(5000)])


class PtyDeviceEnd(unittest.TestCase):
    """A stand-in for the Windows program: opens the pty's program end as Wine does."""

    def setUp(self):
        self.port = PtyPort()
        self.addCleanup(self.port.close)

    def open_program_end(self):
        fd = os.open(self.port.path, os.O_RDWR | os.O_NOCTTY)
        self.addCleanup(lambda: self._close(fd))
        return fd

    @staticmethod
    def _close(fd):
        try:
            os.close(fd)
        except OSError:
            pass

    def test_bytes_go_both_ways_unchanged(self):
        program = self.open_program_end()
        self.port.wait_opened(timeout=2)
        before = qpc_now()
        os.write(program, b"\xb3\n\r\x03")  # raw: no echo, no line-end translation, no signals
        self.assertEqual(self.port.read(4, timeout=2), b"\xb3\n\r\x03")
        self.assertTrue(all(before <= t <= qpc_now() for t in self.port.receive_times()))
        self.port.write(b"\x80\x45\x80\x05\n")
        self.assertEqual(os.read(program, 16), b"\x80\x45\x80\x05\n")
        self.assertEqual(self.port.received(), b"\xb3\n\r\x03")

    def test_bytes_sent_before_the_program_opens_the_port_wait_for_it(self):
        self.port.write(b"\x80\x47")
        program = self.open_program_end()
        self.assertEqual(os.read(program, 16), b"\x80\x47")

    def test_opens_and_closes_are_counted(self):
        self.assertFalse(self.port.is_open)
        for round_number in (1, 2):
            program = os.open(self.port.path, os.O_RDWR | os.O_NOCTTY)
            self.port.wait_opened(round_number, timeout=2)
            os.close(program)
            self.port.wait_closed(round_number, timeout=2)
        self.assertEqual((self.port.open_count, self.port.close_count), (2, 2))

    def test_waiting_for_bytes_that_never_come_fails(self):
        program = self.open_program_end()
        os.write(program, b"\x01\x02")
        self.assertEqual(self.port.wait_for_bytes(b"\x02", timeout=2), 2)
        with self.assertRaises(HarnessError):
            self.port.wait_for_bytes(b"\xb3", timeout=0.2)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=1)
