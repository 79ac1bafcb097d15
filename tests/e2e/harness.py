"""The end-to-end harness: runs our Windows programs under Wine and watches what they do.

A scenario opens a Session, starts what it needs through it (the probe window, the dialog watcher,
the program under test, a device port) and checks what the tools logged. Whatever the session
started is ended when it closes, the probe and the watcher cleanly (the probe unhooks first);
killing is the last resort. See tests/e2e/README.md.

Standard library only (Debian's python3). The pieces live beside this file: wine_env.py (prefix,
programs, registry, ports), win_process.py, probe.py, watcher.py, device_port.py, tool_log.py.
"""

import shutil
import signal
import sys
from pathlib import Path

import tool_log
from device_port import PtyPort, qpc_now
from probe import Probe
from tool_log import HarnessError, LogReader, Record, parse_line, wait_until
from watcher import Watcher
from win_process import WinProcess
from wine_env import WineEnv

__all__ = [
    "HarnessError",
    "LogReader",
    "Probe",
    "PtyPort",
    "Record",
    "Session",
    "VK",
    "WineEnv",
    "WinProcess",
    "Watcher",
    "parse_line",
    "qpc_now",
    "wait_until",
]

# Virtual-key codes the scenarios name.
VK = {
    "BACK": 0x08,
    "TAB": 0x09,
    "RETURN": 0x0D,
    "SHIFT": 0x10,
    "CONTROL": 0x11,
    "MENU": 0x12,
    "ESCAPE": 0x1B,
    "SPACE": 0x20,
    "LEFT": 0x25,
    "UP": 0x26,
    "RIGHT": 0x27,
    "DOWN": 0x28,
    "DELETE": 0x2E,
    **{chr(c): c for c in range(ord("A"), ord("Z") + 1)},
    **{chr(c): c for c in range(ord("0"), ord("9") + 1)},
}

# The messages the probe takes the foreground again on (WM_APP + 1) and shows its pop-up menu on

WM_KEYDOWN = 0x0100


def _exit_on_sigterm(signum, frame):
    raise SystemExit(128 + signum)


class Session:
    """One scenario's run: a folder under build/e2e for its files and logs, the Wine environment,
    and everything the scenario started, ended in reverse order when the session closes.

        with Session("keys") as s:
            probe = s.probe()
            s.inject("key:0x41:down", "key:0x41:up")
            assert probe.wait_key_events(2) == [(0x41, "down", False), (0x41, "up", False)]
    """

    def __init__(self, name, wine=None):
        self.name = name
        self.wine = wine or WineEnv()
        self.folder = self.wine.root / "build" / "e2e" / name
        self._owned = []
        self._watchdogs = []
        self._tools = 0

    def __enter__(self):
        self.open()
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def open(self):
        # A test run that is ended (ctest's time-out) still cleans up: SIGTERM unwinds like an error.
        if signal.getsignal(signal.SIGTERM) is signal.SIG_DFL:
            signal.signal(signal.SIGTERM, _exit_on_sigterm)
        if self.folder.exists():
            shutil.rmtree(self.folder)
        self.folder.mkdir(parents=True)
        self.wine.ready()
        self.wine.clear_ports()
        return self

    def close(self):
        """End everything still running, last started first; never raises (a failure here must
        not hide the scenario's own)."""
        while self._watchdogs:
            tool_log.watchdogs.remove(self._watchdogs.pop())
        while self._owned:
            item = self._owned.pop()
            try:
                item.stop() if hasattr(item, "stop") else item.close()
            except Exception as error:  # noqa: BLE001 - clean-up goes on whatever one item did
                print(f"harness: clean-up of {item!r} failed: {error}", file=sys.stderr)

    def watchdog(self, check):
        """Have every wait of this session call `check(what)` first, until the session closes; the
        check raises HarnessError to fail the scenario at once (`what` is what was awaited)."""
        tool_log.watchdogs.append(check)
        self._watchdogs.append(check)
        return check

    def own(self, item):
        """Have the session end `item` (anything with stop() or close()) when it closes."""
        self._owned.append(item)
        return item

    def path(self, name):
        return self.folder / name

    # Programs.

    def start(self, program, *args, name=None, stop=None, env=None):
        """Start a Windows program (a name in build/win/bin or an absolute path), with `env` added
        to its environment. If it is still running when the session closes, the session calls
        `stop(process)` when given, then kills what did not end."""
        return self.own(WinProcess(self.wine, program, args, self.folder, name, stop, env))

    def run(self, program, *args, timeout=20, name=None):
        """Run a Windows program to its end; returns the WinProcess (exit code in returncode)."""
        process = self.start(program, *args, name=name)
        process.wait(timeout)
        return process

    def probe(self, **options):
        """Start a probe window (see Probe) and wait until it holds the foreground."""
        count = sum(isinstance(item, Probe) for item in self._owned)
        name = options.pop("name", None) or ("probe" if count == 0 else f"probe{count + 1}")
        # Owned before it is ready, so a probe that fails to get going is still stopped.
        return self.own(Probe(self, name=name, **options)).wait_ready()

    def watcher(self, *rules, settle_ms=None, name="watch", strict=False):
        """Start the dialog watcher with its rules (see Watcher). `strict`: a dialog that no rule
        answers fails the scenario's next wait at once."""
        watcher = self.own(Watcher(self, rules, settle_ms, name)).wait_ready()
        if strict:
            self.watchdog(watcher.check_all_answered)
        return watcher

    def device_port(self, number=1, link=None):
        """Point COM<number> at a device end the scenario holds: a new PtyPort unless `link` (a
        simulator, say) is given; either way the session closes it at the end."""
        link = link or PtyPort()
        self.wine.point_port(number, link.path)
        return self.own(link)

    # Input and windows, through the helper programs.

    def tool(self, program, *args, timeout=20, ok=(0,), env=None):
        """Run a helper to its end, with `env` added to its environment (which what it starts
        inherits); its output lines as records. HarnessError when its exit code is not one of `ok`."""
        self._tools += 1
        process = WinProcess(self.wine, program, args, self.folder, name=f"{Path(program).stem}.{self._tools}",
                             env=env)
        code = process.wait(timeout)
        records = process.records()
        if code not in ok:
            said = " ".join(r.line for r in records)
            raise HarnessError(f"{program} {' '.join(map(str, args))} exited with {code}: "
                               f"{process.errors().strip()} {said}".rstrip())
        process.out_path.unlink()
        process.err_path.unlink()
        return records

    def inject(self, *steps):
        """Put input events into the session's stream in order (qvl_input steps: "key:0x41:down",
        "move:5:0", "abs:X:Y", "left:down", "wheel:120", ...)."""
        self.tool("qvl_input.exe", *steps)

    def screen(self):
        """((width, height), (cursor x, cursor y))"""
        record = self.tool("qvl_window.exe", "screen")[0]
        return record.pair("size"), record.pair("cursor")

    def absolute(self, x, y):
        """The "abs:X:Y" step that puts the cursor exactly on screen point (x, y)."""
        (width, height), _ = self.screen()
        # Wine maps an absolute coordinate a to a * size / 65536, rounded down; aim at the middle
        # of the pixel.
        return f"abs:{(x * 65536 + 32768) // width}:{(y * 65536 + 32768) // height}"

    def windows(self, class_name=None, title=None, all_windows=False):
        """Top-level windows (visible ones unless all_windows) as "window" records."""
        args = ["list"] + (["--all"] if all_windows else [])
        args += ["--class", class_name] if class_name else []
        args += ["--title", title] if title else []
        return self.tool("qvl_window.exe", *args, ok=(0, 1))

    def wait_window(self, class_name=None, title=None, timeout=30):
        """The first visible top-level window with this class and title, waiting for it."""
        return wait_until(lambda: (self.windows(class_name, title) or [None])[0], timeout,
                          f"a window (class {class_name!r}, title {title!r})")

    def popup_menu(self, timeout=30):
        """The open pop-up menu ("#32768" window), waiting for it."""
        return self.wait_window("#32768", timeout=timeout)

    def menu_keys(self, *vks, timeout=30):
        """Work the open pop-up menu with keys, as its user would: WM_KEYDOWN for each key, posted
        to the menu window (its owner's menu loop takes them). From a fresh menu, DOWN selects the
        first item and skips separators; RETURN chooses, ESCAPE dismisses. Another process cannot
        read a menu's item texts under Wine: check what the choice did instead."""
        popup = self.popup_menu(timeout)
        for vk in vks:
            self.post(popup.int("hwnd"), WM_KEYDOWN, VK.get(vk, vk) if isinstance(vk, str) else vk)
        return popup

    def wait_no_window(self, class_name=None, title=None, timeout=30):
        """Wait until no visible top-level window has this class and title."""
        wait_until(lambda: not self.windows(class_name, title), timeout,
                   f"no window (class {class_name!r}, title {title!r}) to be left")

    def wait_foreground(self, hwnd, timeout=30):
        """Wait until window `hwnd` is the foreground window; returns the "foreground" record."""

        def in_front():
            record = self.foreground()
            return record if record.int("hwnd") == hwnd else None

        return wait_until(in_front, timeout, f"window {hwnd:#x} to come to the foreground")

    def window_info(self, hwnd):
        return self.tool("qvl_window.exe", "info", hex(hwnd))[0]

    def children(self, hwnd):
        return self.tool("qvl_window.exe", "children", hex(hwnd))

    def foreground(self):
        """The "foreground" record: the foreground window with focus and capture; hwnd 0 if none."""
        return self.tool("qvl_window.exe", "foreground", ok=(0, 1))[0]

    def post(self, hwnd, message, wparam=0, lparam=0):
        """PostMessage; `message` a number, a name ("WM_CLOSE") or "reg:NAME"."""
        self.tool("qvl_window.exe", "post", hex(hwnd), str(message), str(wparam), str(lparam))

    def send(self, hwnd, message, wparam=0, lparam=0):
        """SendMessage (15 s time-out); the result."""
        record = self.tool("qvl_window.exe", "send", hex(hwnd), str(message), str(wparam), str(lparam))[0]
        return record.int("result")

    def processes(self, name=None):
        """The session's Windows processes as "process" records (pid, parent, name), only those
        whose file name is `name` (case does not count) when given."""
        records = self.tool("qvl_window.exe", "processes")
        return [r for r in records if name is None or r["name"].lower() == name.lower()]
