"""The log lines of the end-to-end tools, read back as records.

Every tool writes one line per event: a kind, then name=value fields, where a value is either a bare
token (numbers, "0x" handles, message names) or a double-quoted text with C escapes (\\\\ \\" \\n \\r
\\t \\xHH). The bytes behind \\xHH are ANSI text and are decoded as code page 1252.
"""

import os
import threading
import time


class HarnessError(AssertionError):
    """A scenario's expectation was not met (a time-out, a tool that failed): a test failure."""


class Record:
    """One parsed log line: `kind`, the `fields` in order, and `line`, the raw text."""

    __slots__ = ("kind", "fields", "line")

    def __init__(self, kind, fields, line=""):
        self.kind = kind
        self.fields = fields
        self.line = line

    def __getitem__(self, name):
        return self.fields[name]

    def __contains__(self, name):
        return name in self.fields

    def get(self, name, default=None):
        return self.fields.get(name, default)

    def int(self, name):
        """A number field: decimal, or base 16 after "0x" (handles, key codes)."""
        return int(self.fields[name], 0)

    def pair(self, name):
        """An "x,y" field as a tuple of two ints."""
        x, y = self.fields[name].split(",")
        return int(x), int(y)

    def __repr__(self):
        return f"Record({self.line!r})"


def _unquote(text, start):
    """The text of the quoted value that opens at text[start]; returns (value, index after it)."""
    out = bytearray()
    i = start + 1
    simple = {"\\": b"\\", '"': b'"', "n": b"\n", "r": b"\r", "t": b"\t"}
    while i < len(text):
        c = text[i]
        if c == '"':
            return out.decode("cp1252", errors="replace"), i + 1
        if c == "\\" and i + 1 < len(text):
            escape = text[i + 1]
            if escape in simple:
                out += simple[escape]
                i += 2
                continue
            if escape == "x" and i + 3 < len(text):
                out.append(int(text[i + 2 : i + 4], 16))
                i += 4
                continue
        out += c.encode("cp1252", errors="replace")
        i += 1
    raise ValueError(f"unterminated text in log line: {text!r}")


def parse_line(line):
    """The Record of one log line (without its line break)."""
    kind, _, rest = line.partition(" ")
    fields = {}
    i = 0
    while i < len(rest):
        if rest[i] == " ":
            i += 1
            continue
        equals = rest.index("=", i)
        name = rest[i:equals]
        if equals + 1 < len(rest) and rest[equals + 1] == '"':
            value, i = _unquote(rest, equals + 1)
        else:
            end = rest.find(" ", equals + 1)
            end = len(rest) if end < 0 else end
            value = rest[equals + 1 : end]
            i = end
        fields[name] = value
    return Record(kind, fields, line)


# What must stay true while a scenario waits (its program still running, no dialog left
# unanswered): every wait runs these checks on each poll, and a check raises HarnessError with the
# reason, so a regression fails at once instead of at the end of a time-out. Sessions add and
# remove them (Session.watchdog).
watchdogs = []


def wait_until(condition, timeout, what, interval=0.02):
    """Poll `condition` until it returns something true, and return that; HarnessError naming
    `what` when `timeout` seconds pass first, or the reason a watchdog gives."""
    deadline = time.monotonic() + timeout
    while True:
        for check in list(watchdogs):
            check(what)
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class LogReader:
    """Follows a tool's log file as the tool writes it. Records are numbered from 0 in file order;
    `mark()` gives the number of the next one, so a scenario can look only at what came after an
    action."""

    def __init__(self, path):
        self.path = path
        self._offset = 0
        self._partial = b""
        self._records = []
        # One reader at a time: scripts/run follows a log on a thread of its own while the main
        # thread waits on it, and two reads from one offset would interleave and skip records.
        self._lock = threading.Lock()

    def refresh(self):
        with self._lock:
            try:
                with open(self.path, "rb") as log:
                    log.seek(self._offset)
                    data = log.read()
            except FileNotFoundError:
                return self._records
            self._offset += len(data)
            data = self._partial + data
            # A line counts once its line break is there: the tool may be in the middle of writing it.
            *lines, self._partial = data.split(b"\n")
            for raw in lines:
                text = raw.decode("ascii", errors="replace").rstrip("\r")
                if text:
                    self._records.append(parse_line(text))
            return self._records

    def mark(self):
        return len(self.refresh())

    def records(self, kind=None, since=0, where=None):
        """The records from number `since` on, of `kind` when given, that satisfy `where`."""
        found = self.refresh()[since:]
        if kind is not None:
            found = [r for r in found if r.kind == kind]
        if where is not None:
            found = [r for r in found if where(r)]
        return found

    def wait_for(self, kind=None, since=0, where=None, timeout=30, what=None):
        """The first matching record, waiting up to `timeout` seconds for it."""
        what = what or f"a {kind or 'record'} line in {os.path.basename(self.path)}"
        return wait_until(lambda: (self.records(kind, since, where) or [None])[0], timeout, what)

    def wait_count(self, count, kind=None, since=0, where=None, timeout=30, what=None):
        """The first `count` matching records, waiting up to `timeout` seconds for them."""
        what = what or f"{count} {kind or 'record'} lines in {os.path.basename(self.path)}"

        def enough():
            found = self.records(kind, since, where)
            return found[:count] if len(found) >= count else None

        return wait_until(enough, timeout, what)
