"""The end-to-end harness: runs our Windows programs under Wine and watches what they do.

A scenario opens a Session, starts what it needs through it (the probe window, the dialog watcher,
the program under test, a device port) and checks what the tools logged. Whatever the session
started is ended when it closes, the probe and the watcher cleanly (the probe unhooks first);
killing is the last resort. See tests/e2e/README.md.

Standard library only (Debian's python3).
"""

import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

from device_port import PtyPort, qpc_now
from tool_log import HarnessError, LogReader, Record, parse_line, wait_until

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

ROOT = Path(__file__).resolve().parents[2]

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
# (WM_APP + 2).
PROBE_TAKE_FOREGROUND = 0x8001
PROBE_SHOW_MENU = 0x8002

WM_KEYDOWN = 0x0100

# Exit code of a Windows program that could not be loaded (a DLL is missing).
EXIT_NOT_LOADED = 53


class WineEnv:
    """The Wine environment of scripts/lib/wine.sh: the same build/wine folder, prefix, server and
    X display, set up by calling the shell functions themselves."""

    KEYS = ("WINEPREFIX", "WINEDEBUG", "WINEDLLOVERRIDES", "TMPDIR", "WINESERVER", "DISPLAY", "QVL_WINE_BIN")

    def __init__(self, root=ROOT, bin_dir=None):
        self.root = Path(root)
        self.wine_dir = Path(os.environ.get("QVL_WINE_DIR", self.root / "build" / "wine"))
        self.bin_dir = Path(bin_dir or os.environ.get("QVL_WIN_BIN", self.root / "build" / "win" / "bin"))
        self.env = None

    def ready(self):
        """Make sure the prefix, the server and the display exist (qvl_wine_ready); idempotent."""
        if self.env is not None:
            return self
        self.wine_dir.mkdir(parents=True, exist_ok=True)
        dump = self.wine_dir / f"env.{os.getpid()}"
        script = f'. "{self.root}/scripts/lib/wine.sh" && qvl_wine_ready && env -0 > "{dump}"'
        # Output goes to files: the server and Xvfb started here must not hold a pipe of ours.
        with open(os.devnull, "wb") as null:
            status = subprocess.run(
                ["bash", "-c", script],
                stdin=subprocess.DEVNULL,
                stdout=null,
                stderr=null,
                env={**os.environ, "QVL_WINE_DIR": str(self.wine_dir)},
                timeout=180,
            ).returncode
        if status != 0 or not dump.exists():
            raise HarnessError("the Wine environment could not be set up (scripts/lib/wine.sh, qvl_wine_ready)")
        values = dict(item.split("=", 1) for item in dump.read_bytes().decode().split("\0") if "=" in item)
        dump.unlink()
        self.env = {**os.environ, **{k: values[k] for k in self.KEYS if k in values}}
        return self

    @property
    def wine64(self):
        return str(Path(self.env["QVL_WINE_BIN"]) / "wine64")

    def program(self, name):
        """The absolute path of a program: a name in build/win/bin, or a path as it stands."""
        path = Path(name)
        if not path.is_absolute():
            path = self.bin_dir / name
        if not path.is_file():
            raise HarnessError(f"no such program: {path} (build the Windows build first)")
        return str(path)

    @staticmethod
    def windows_path(path):
        """The Windows name of a Linux path: the prefix maps drive Z: to /."""
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def command(self, program, args):
        # Always the absolute path: a bare name not found from the current folder makes Wine start
        # something else.
        return [self.wine64, self.program(program)] + [str(a) for a in args]

    def reg(self, *args, check=True):
        """Run reg.exe of the prefix; returns (exit code, output)."""
        done = subprocess.run(
            [self.wine64, "C:\\windows\\system32\\reg.exe", *args],
            env=self.env,
            stdin=subprocess.DEVNULL,
            capture_output=True,
            timeout=60,
        )
        output = done.stdout.decode("cp1252", errors="replace")
        if check and done.returncode != 0:
            raise HarnessError(f"reg {' '.join(args)} failed: {done.stderr.decode(errors='replace').strip()}")
        return done.returncode, output

    def reg_query(self, key, name=None):
        """The values of a registry key as {name: (type, value)}; None when the key (or the named
        value) is missing. REG_BINARY comes back as bytes, REG_DWORD as int, the rest as str; the
        default value is named "(Default)"."""
        args = ["query", key] + (["/v", name] if name is not None else [])
        status, output = self.reg(*args, check=False)
        if status != 0:
            return None
        values = {}
        for line in output.splitlines():
            if not line.startswith("    "):
                continue
            parts = line[4:].split("    ", 2)
            if len(parts) < 2:
                continue
            value_name, value_type = parts[0], parts[1]
            data = parts[2] if len(parts) > 2 else ""
            if value_type == "REG_BINARY":
                values[value_name] = (value_type, bytes.fromhex(data))
            elif value_type in ("REG_DWORD", "REG_QWORD"):
                values[value_name] = (value_type, int(data, 0))
            else:
                values[value_name] = (value_type, data)
        return values

    def reg_value(self, key, name):
        """One value's data, or None when it is missing."""
        values = self.reg_query(key, name)
        return values[name][1] if values and name in values else None

    def reg_set(self, key, name, value, value_type=None):
        """Write a value: bytes as REG_BINARY, int as REG_DWORD, str as REG_SZ unless `value_type`
        says otherwise. Values of many kilobytes go through reg_import instead."""
        if value_type is None:
            value_type = "REG_BINARY" if isinstance(value, (bytes, bytearray)) else (
                "REG_DWORD" if isinstance(value, int) else "REG_SZ")
        data = bytes(value).hex() if isinstance(value, (bytes, bytearray)) else str(value)
        target = ["/ve"] if name is None else ["/v", name]
        self.reg("add", key, *target, "/t", value_type, "/d", data, "/f")

    def reg_delete(self, key, name=None):
        """Delete a value, or the whole key when `name` is None; a missing one is no error."""
        target = ["/v", name] if name is not None else []
        self.reg("delete", key, *target, "/f", check=False)

    def reg_import(self, path, values):
        """Write values of any size through a .reg file at `path`: `values` is
        {key: {name: bytes|int|str}}."""
        lines = ["REGEDIT4", ""]
        for key, entries in values.items():
            lines.append(f"[{key}]")
            for name, value in entries.items():
                label = "@" if name is None else '"' + name.replace("\\", "\\\\").replace('"', '\\"') + '"'
                if isinstance(value, (bytes, bytearray)):
                    hexed = ",".join(f"{b:02x}" for b in value)
                    lines.append(f"{label}=hex:{hexed}")
                elif isinstance(value, int):
                    lines.append(f"{label}=dword:{value:08x}")
                else:
                    lines.append(label + '="' + value.replace("\\", "\\\\").replace('"', '\\"') + '"')
            lines.append("")
        Path(path).write_text("\r\n".join(lines) + "\r\n", encoding="cp1252")
        self.reg("import", self.windows_path(path))

    def point_port(self, number, target):
        """Point COM<number> of the prefix at a device path (a pty, a serial device, or a folder,
        which no program can open as a port). Takes effect at the next open of the port."""
        ports = self.wine_dir / "ports"
        ports.mkdir(parents=True, exist_ok=True)
        link = ports / f"com{number}"
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(target)


class WinProcess:
    """A Windows program started under Wine; its output goes to files in the session folder.

    `stop`, when given, is how the program is ended cleanly at the end of a session (a callable
    taking the process: close its window, choose Exit in its tray menu); the session then waits
    for it and kills it only if it is still running."""

    def __init__(self, wine, program, args, folder, name=None, stop=None):
        self.name = name or Path(program).stem
        self._stop = stop
        self.out_path = Path(folder) / f"{self.name}.out"
        self.err_path = Path(folder) / f"{self.name}.err"
        self.args = [str(a) for a in args]
        with open(self.out_path, "wb") as out, open(self.err_path, "wb") as err:
            self.popen = subprocess.Popen(
                wine.command(program, args), env=wine.env, cwd=folder, stdin=subprocess.DEVNULL, stdout=out, stderr=err
            )
        self.started = time.monotonic()
        self.returncode = None

    @property
    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout=20):
        """The exit code; HarnessError when the program does not end in time or could not load."""
        try:
            code = self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"{self.name} did not end within {timeout} s") from None
        if code == EXIT_NOT_LOADED:
            raise HarnessError(f"{self.name} could not be loaded (exit code 53: a DLL is missing; link statically)")
        self.returncode = code
        return code

    def output(self):
        return self.out_path.read_text(encoding="cp1252", errors="replace")

    def errors(self):
        return self.err_path.read_text(encoding="cp1252", errors="replace")

    def records(self):
        """The program's standard output read as tool log lines."""
        return [parse_line(line) for line in self.output().splitlines() if line.strip()]

    def kill(self):
        """The last resort: ends the program at once (a program holding hooks should be stopped
        the way it offers instead)."""
        if self.running:
            self.popen.send_signal(signal.SIGKILL)
            self.popen.wait(10)

    def stop(self, timeout=10):
        """How the session ends this program when the scenario did not: its `stop` and a wait,
        then (or without one) a kill."""
        if not self.running:
            return
        if self._stop is not None:
            try:
                self._stop(self)
                self.popen.wait(timeout)
                return
            except subprocess.TimeoutExpired:
                pass
            except HarnessError as error:
                print(f"harness: stopping {self.name} failed: {error}", file=sys.stderr)
        print(f"harness: {self.name} still running at the end: killed", file=sys.stderr)
        self.kill()


class StoppableTool(WinProcess):
    """A tool that ends cleanly when its stop file appears, writing its log as it goes."""

    def __init__(self, session, program, args, name):
        self.log_path = session.path(f"{name}.log")
        self.stop_path = session.path(f"{name}.stop")
        for stale in (self.log_path, self.stop_path):
            if stale.exists():
                stale.unlink()
        tool_args = ["--log", WineEnv.windows_path(self.log_path), "--stop-file", WineEnv.windows_path(self.stop_path)]
        super().__init__(session.wine, program, tool_args + list(args), session.folder, name)
        self.log = LogReader(str(self.log_path))

    def wait_started(self, kind, timeout=20):
        """Wait for the log line that says the tool is working; HarnessError if it ended instead."""

        def started():
            if not self.running:
                code = self.popen.returncode
                raise HarnessError(f"{self.name} ended with {code} before it was ready: {self.errors().strip()}")
            return self.log.records(kind)

        wait_until(started, timeout, f"{self.name} to start")
        return self.log.records(kind)[0]

    def mark(self):
        return self.log.mark()

    def stop(self, timeout=10):
        """Create the stop file and wait for the tool to end; kill it only if it does not."""
        if not self.running:
            return
        self.stop_path.touch()
        try:
            self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            print(f"harness: {self.name} did not stop within {timeout} s: killed", file=sys.stderr)
            self.kill()


class Probe(StoppableTool):
    """The probe window (qvl_probe.exe): the program in front, recording what it receives.

    Log kinds: window (role, index, hwnd, id, class, title, origin, size), ready and front
    (foreground, focus), llkey and llmouse (what the low-level hooks saw), key, char, mouse, focus,
    activate, capture and command (what the probe's own windows received), stop, unhooked, end.
    """

    def __init__(self, session, title="QVL Probe", class_name="QvlProbe", children=(), focus=0, moves=False,
                 rect=None, menu=None, exe_name=None, name="probe"):
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
        if menu:
            args += ["--menu", "|".join(menu)]
        super().__init__(session, program, args, name)
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

    def take_foreground(self, timeout=10):
        """Make the probe the program in front again; waits for its "front" line."""
        since = self.mark()
        self.session.post(self.hwnd, PROBE_TAKE_FOREGROUND)
        front = self.log.wait_for("front", since, timeout=timeout)
        if front["foreground"] != "1":
            raise HarnessError(f"the probe could not take the foreground: {front.line}")

    def show_menu(self, timeout=10):
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

    def wait_key_events(self, count, since=0, timeout=10):
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

    def received_mouse(self, since=0):
        """What the probe's windows received: (hwnd, message name, client x, client y) tuples."""
        return [(r.int("hwnd"), r["msg"], r.int("x"), r.int("y")) for r in self.log.records("mouse", since)]

    def stop(self, timeout=10):
        super().stop(timeout)
        if not any(r.kind == "unhooked" for r in self.log.records()):
            print("harness: the probe ended without unhooking", file=sys.stderr)


class Watcher(StoppableTool):
    """The dialog watcher (qvl_watch.exe), answering dialogs by `rules` (see watch_rules.h).

    Log kinds: dialog (hwnd, pid, process, caption, text, buttons), control (dialog, id, class,
    text, visible), rule (index from 1), fill, select, check, press (id, found, ok), answered,
    unmatched, closed, stop, end.
    """

    def __init__(self, session, rules=(), settle_ms=None, name="watch"):
        args = []
        for rule in rules:
            args += ["--rule", rule]
        if settle_ms is not None:
            args += ["--settle", str(settle_ms)]
        super().__init__(session, "qvl_watch.exe", args, name)

    def wait_ready(self, timeout=20):
        self.wait_started("start", timeout)
        return self

    def dialogs(self, since=0, caption=None, text=None):
        """The dialogs seen, optionally only those with this caption or static text (exact)."""
        return self.log.records(
            "dialog", since,
            where=lambda r: (caption is None or r["caption"] == caption) and (text is None or r["text"] == text))

    def wait_dialog(self, since=0, caption=None, text=None, timeout=10):
        self.log.wait_for(
            "dialog", since,
            where=lambda r: (caption is None or r["caption"] == caption) and (text is None or r["text"] == text),
            timeout=timeout, what=f"a dialog (caption {caption!r}, text {text!r})")
        return self.dialogs(since, caption, text)[0]

    def wait_answered(self, hwnd, timeout=10):
        """The "answered" record of a dialog; HarnessError when an action failed."""
        answered = self.log.wait_for("answered", where=lambda r: r.int("hwnd") == hwnd, timeout=timeout)
        if answered["ok"] != "1":
            steps = [r.line for r in self.log.records(where=lambda r: r.get("hwnd") == answered["hwnd"])]
            raise HarnessError("the watcher could not answer the dialog:\n  " + "\n  ".join(steps))
        return answered

    def wait_closed(self, hwnd, timeout=10):
        return self.log.wait_for("closed", where=lambda r: r.int("hwnd") == hwnd, timeout=timeout)

    def controls(self, hwnd):
        return self.log.records("control", where=lambda r: r.int("dialog") == hwnd)


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
        return self

    def close(self):
        """End everything still running, last started first; never raises (a failure here must
        not hide the scenario's own)."""
        while self._owned:
            item = self._owned.pop()
            try:
                item.stop() if hasattr(item, "stop") else item.close()
            except Exception as error:  # noqa: BLE001 - clean-up goes on whatever one item did
                print(f"harness: clean-up of {item!r} failed: {error}", file=sys.stderr)

    def own(self, item):
        """Have the session end `item` (anything with stop() or close()) when it closes."""
        self._owned.append(item)
        return item

    def path(self, name):
        return self.folder / name

    # Programs.

    def start(self, program, *args, name=None, stop=None):
        """Start a Windows program (a name in build/win/bin or an absolute path). If it is still
        running when the session closes, the session calls `stop(process)` when given, then kills
        what did not end."""
        return self.own(WinProcess(self.wine, program, args, self.folder, name, stop))

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

    def watcher(self, *rules, settle_ms=None, name="watch"):
        """Start the dialog watcher with its rules (see Watcher)."""
        return self.own(Watcher(self, rules, settle_ms, name)).wait_ready()

    def device_port(self, number=1, link=None):
        """Point COM<number> at a device end the scenario holds: a new PtyPort unless `link` (a
        simulator, say) is given; either way the session closes it at the end."""
        link = link or PtyPort()
        self.wine.point_port(number, link.path)
        return self.own(link)

    # Input and windows, through the helper programs.

    def tool(self, program, *args, timeout=20, ok=(0,)):
        """Run a helper to its end; its output lines as records. HarnessError when its exit code is
        not one of `ok`."""
        self._tools += 1
        process = WinProcess(self.wine, program, args, self.folder, name=f"{Path(program).stem}.{self._tools}")
        code = process.wait(timeout)
        records = process.records()
        if code not in ok:
            raise HarnessError(f"{program} {' '.join(map(str, args))} exited with {code}: {process.errors().strip()}")
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

    def wait_window(self, class_name=None, title=None, timeout=10):
        """The first visible top-level window with this class and title, waiting for it."""
        return wait_until(lambda: (self.windows(class_name, title) or [None])[0], timeout,
                          f"a window (class {class_name!r}, title {title!r})")

    def popup_menu(self, timeout=10):
        """The open pop-up menu ("#32768" window), waiting for it."""
        return self.wait_window("#32768", timeout=timeout)

    def menu_keys(self, *vks, timeout=10):
        """Work the open pop-up menu with keys, as its user would: WM_KEYDOWN for each key, posted
        to the menu window (its owner's menu loop takes them). From a fresh menu, DOWN selects the
        first item and skips separators; RETURN chooses, ESCAPE dismisses. Another process cannot
        read a menu's item texts under Wine: check what the choice did instead."""
        popup = self.popup_menu(timeout)
        for vk in vks:
            self.post(popup.int("hwnd"), WM_KEYDOWN, VK.get(vk, vk) if isinstance(vk, str) else vk)
        return popup

    def wait_no_window(self, class_name=None, title=None, timeout=10):
        """Wait until no visible top-level window has this class and title."""
        wait_until(lambda: not self.windows(class_name, title), timeout,
                   f"no window (class {class_name!r}, title {title!r}) to be left")

    def wait_foreground(self, hwnd, timeout=10):
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
        """SendMessage (5 s time-out); the result."""
        record = self.tool("qvl_window.exe", "send", hex(hwnd), str(message), str(wparam), str(lparam))[0]
        return record.int("result")

    def processes(self, name=None):
        """The session's Windows processes as "process" records (pid, parent, name), only those
        whose file name is `name` (case does not count) when given."""
        records = self.tool("qvl_window.exe", "processes")
        return [r for r in records if name is None or r["name"].lower() == name.lower()]
