"""The probe window, the program a scenario puts in front to see what it receives."""

import shutil
import sys

from device_port import qpc_now
from tool_log import HarnessError, wait_until
from win_process import StoppableTool

# The messages the probe takes the foreground again on (WM_APP + 1) and shows its pop-up menu on
# (WM_APP + 2).
PROBE_TAKE_FOREGROUND = 0x8001
PROBE_SHOW_MENU = 0x8002
PROBE_HANG = 0x8003  # stops answering until stopped


class Probe(StoppableTool):
    """The probe window (qvl_probe.exe): the program in front, recording what it receives.

    Log kinds: window (role, index, hwnd, id, class, title, origin, size), ready and front
    (foreground, focus), llkey and llmouse (what the low-level hooks saw), key, char, mouse, focus,
    activate, capture and command (what the probe's own windows received), stop, unhooked, end.
    """

    def __init__(self, session, title="QVL Probe", class_name="QvlProbe", children=(), focus=0, moves=False,
                 rect=None, menu=None, exe_name=None, stop_event=None, hooks=True, name="probe"):
        program = "qvl_probe.exe"
        if exe_name:
            # A copy under another name: the driver picks the keyset by the program's file name.
            program = str(session.path(exe_name))
            shutil.copyfile(session.wine.program("qvl_probe.exe"), program)
        args = ["--title", title, "--class", class_name, "--focus", str(focus)]
        for child in children:
            args += ["--child", child]
        if rect:
            args += ["--rect", ",".join(str(v) for v in rect)]
        if moves:
            args.append("--moves")
        if not hooks:
            args.append("--no-hooks")
        if menu:
            args += ["--menu", "|".join(menu)]
        if stop_event:
            # A named event the probe holds while it runs (and ends on when it is set).
            args += ["--stop-event", stop_event]
        super().__init__(session, program, args, name)
        self.hooks = hooks
        self.session = session
        self.windows = []
        self.hwnd = None

    def wait_ready(self, timeout=20):
        """Wait until the probe holds the foreground and the focus; its windows are known then."""
        ready = self.wait_started("ready", timeout)
        if ready["foreground"] != "1":
            raise HarnessError(f"the probe did not get the foreground: {ready.line}")
        self.windows = self.log.records("window")
        self.hwnd = self.windows[0].int("hwnd")
        return self

    def window(self, index=0):
        """The "window" record of the main window (0) or of the index-th child."""
        return self.windows[index]

    def child_point(self, index, x, y):
        """The screen point of client point (x, y) of window `index`."""
        ox, oy = self.window(index).pair("origin")
        return ox + x, oy + y

    def take_foreground(self, timeout=30):
        """Make the probe the program in front again; waits for its "front" line."""
        since = self.mark()
        self.session.post(self.hwnd, PROBE_TAKE_FOREGROUND)
        front = self.log.wait_for("front", since, timeout=timeout)
        if front["foreground"] != "1":
            raise HarnessError(f"the probe could not take the foreground: {front.line}")

    def hang(self):
        """Make the probe stop answering messages (until the session stops it); waits for its "hang"
        line."""
        since = self.mark()
        self.session.post(self.hwnd, PROBE_HANG)
        self.log.wait_for("hang", since)

    def show_menu(self, timeout=30):
        """Show the probe's pop-up menu (the `menu` items) at the cursor, as a tray program does on
        a right click; returns the pop-up's window record. The probe logs "menu chosen=N" when it
        closes (N: the chosen item's position + 1, 0 when dismissed)."""
        self.session.post(self.hwnd, PROBE_SHOW_MENU)
        return self.session.popup_menu(timeout)

    def key_events(self, since=0, injected=True):
        """What the keyboard hook saw: (vk, "down"/"up", extended) tuples, injected events only
        unless `injected` is None."""
        return [
            (r.int("vk"), "up" if r["up"] == "1" else "down", r["extended"] == "1")
            for r in self.log.records("llkey", since)
            if injected is None or (r["injected"] == "1") == injected
        ]

    def wait_key_events(self, count, since=0, timeout=30):
        self.log.wait_count(count, "llkey", since, where=lambda r: r["injected"] == "1", timeout=timeout)
        return self.key_events(since)

    def received_keys(self, since=0):
        """What the probe's windows received: (message name, vk) tuples."""
        return [(r["msg"], r.int("vk")) for r in self.log.records("key", since)]

    def mouse_events(self, since=0, injected=True):
        """What the mouse hook saw: (message name, x, y) tuples."""
        return [
            (r["msg"], r.int("x"), r.int("y"))
            for r in self.log.records("llmouse", since)
            if injected is None or (r["injected"] == "1") == injected
        ]

    def hover(self, index, x, y, timeout=10):
        """Put the cursor on client point (x, y) of window `index` and wait until that window has seen
        the move (a probe started with moves=True) and other programs read the cursor there too.
        A program that reads the cursor itself needs a probe without hooks: under Wine a low-level
        mouse hook keeps the injected move from reaching the X pointer, and GetCursorPos more than
        100 ms after a move reads the X pointer. That late read is what is checked here; a move that
        did not reach the X pointer is made again (from a pixel away: a move to where the cursor
        already is moves nothing)."""
        point = self.child_point(index, x, y)
        read = None
        for attempt in range(3):
            since = self.mark()
            if attempt:
                self.session.inject(self.session.absolute(point[0] + 1, point[1]))
            self.session.inject(self.session.absolute(*point))
            moved = wait_until(lambda: next((r for r in self.log.records("mouse", since)
                                             if (r["msg"], r.int("x"), r.int("y")) == ("WM_MOUSEMOVE", x, y)), None),
                               timeout, f"the cursor over window {index} at {x},{y}")
            # The read that counts comes more than 100 ms after the move (see above).
            wait_until(lambda: qpc_now() - moved.int("t") > 1_500_000, timeout, "150 ms after the move")
            _, read = self.session.screen()
            if read == point:
                return
        raise HarnessError(f"other programs read the cursor at {read}, not at {point} (window {index} at {x},{y})")

    def received_mouse(self, since=0):
        """What the probe's windows received: (hwnd, message name, client x, client y) tuples."""
        return [(r.int("hwnd"), r["msg"], r.int("x"), r.int("y")) for r in self.log.records("mouse", since)]

    def stop(self, timeout=10):
        super().stop(timeout)
        if self.hooks and not any(r.kind == "unhooked" for r in self.log.records()):
            print("harness: the probe ended without unhooking", file=sys.stderr)
