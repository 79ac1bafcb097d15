"""The driver, qvl2rs.exe, in a session: started with its trace on, worked through its tray menu, and
the device simulator, qvl2sim, on one of the prefix's COM ports.

    with Session("keys") as s:
        port = s.device_port(1)
        driver = Driver(s)                   # the trace in the session folder, modem lines on ptys
        driver.wait_port()                   # its "port" trace line: open=1 or 0
        driver.choose_from_menu(ID_DISABLE)  # opens the tray menu, picks the item, waits for the command

The trace (see driver/core/driver_trace.h) is read with `driver.trace`, a LogReader; `t` fields are
on the performance counter, the clock of every tool's log and of `qpc_now()`.
"""

import os
import signal
import subprocess
from pathlib import Path

from tool_log import HarnessError, LogReader, wait_until
from wine_env import ROOT, WineEnv

# The tray menu's commands, by position in the menu.
ID_OPEN_EDITOR, ID_DISABLE, ID_ENABLE, ID_RELOAD_DRIVER, ID_EXIT = 32773, 32774, 32775, 32771, 32772
ID_FIND_DEVICE = 32776
MENU_KEYS = {
    ID_OPEN_EDITOR: ["DOWN", "RETURN"],
    ID_DISABLE: ["DOWN", "DOWN", "RETURN"],
    ID_ENABLE: ["DOWN", "DOWN", "RETURN"],
    ID_FIND_DEVICE: ["DOWN", "DOWN", "DOWN", "RETURN"],
    ID_RELOAD_DRIVER: ["UP", "UP", "RETURN"],
    ID_EXIT: ["UP", "RETURN"],
}
TRAY_ICON_ID = 135
WM_RBUTTONDOWN = 0x0204
WM_CLOSE = 0x0010

# The texts of the driver's boxes: the port that could not be opened is named, with the system's reason
# between the two parts.
PORT_ERROR = ("Could not connect the QVL2 to the specified Communication Port, {port}: ",
              ". Press a button on the Quorvel 2 and QVL2 will find the port it is on, or right click on the QVL icon, "
              "point to \"Use Open QVL2 Editor\", select Edit_Preferences and choose another port.")

EDITOR_KEY = "HKCU\\Software\\Vendrake Electronics\\QVL2"


def modem_shim():
    """The host build's preload that gives a pty modem lines, so the driver sees a real port."""
    path = Path(os.environ.get("QVL_MODEM_SHIM", ROOT / "build" / "host" / "tools" / "modem_shim" /
                               "libqvl_modem_shim.so"))
    if not path.is_file():
        raise HarnessError(f"the modem-line shim is missing ({path}): build the host build first")
    return str(path)


def simulator_program():
    path = Path(os.environ.get("QVL_SIMULATOR", ROOT / "build" / "host" / "tools" / "qvl2sim" / "qvl2sim"))
    if not path.is_file():
        raise HarnessError(f"the device simulator is missing ({path}): build the host build first")
    return str(path)


class Driver:
    """qvl2rs.exe under Wine (the build's, or `program`, a path) with its trace in the session folder.
    The session ends it through the tray menu's Exit, and any driver it started itself (Reload Driver)
    by closing its hidden window."""

    def __init__(self, session, shim=True, trace_name="driver.trace", program="qvl2rs.exe"):
        self.s = session
        self.trace_path = session.path(trace_name)
        if self.trace_path.exists():
            self.trace_path.unlink()
        env = {"QVL2RS_TRACE": WineEnv.windows_path(self.trace_path)}
        if shim:
            env["LD_PRELOAD"] = modem_shim()
        self.trace = LogReader(str(self.trace_path))
        # Registered first, so it runs last: whatever driver is still there when the session ends.
        session.own(_AllDrivers(session))
        self.process = session.start(program, name="qvl2rs", env=env, stop=lambda p: self.exit())

    def wait_port(self, since=0, timeout=20):
        """The trace's "port" line of the driver's start-up (or of Enable): open=1 or 0."""
        return self.trace.wait_for("port", since, timeout=timeout)

    def wait_ready(self, since=0, timeout=20):
        """Wait until the driver has its hidden window and its tray icon; the "icon" line."""
        return self.trace.wait_for("icon", since, timeout=timeout)

    def hidden_window(self, timeout=30):
        """The hidden window of the driver that runs now (the newest, after a reload)."""
        return wait_until(lambda: (self.s.windows(title="QLV", all_windows=True) or [None])[-1], timeout,
                          "the driver's hidden window")

    def open_menu(self, timeout=30):
        """Right-click the tray icon; returns the trace's "menu" line (what position 2 offers)."""
        since = self.trace.mark()
        window = self.hidden_window()
        self.s.post(window.int("hwnd"), "reg:TBarDlgMessage", TRAY_ICON_ID, WM_RBUTTONDOWN)
        self.s.popup_menu(timeout)
        return self.trace.wait_for("menu", since, timeout=timeout)

    def choose(self, command, timeout=30):
        """Work the open menu with keys to `command`; returns its trace line."""
        since = self.trace.mark()
        self.s.menu_keys(*MENU_KEYS[command])
        chosen = self.trace.wait_for("command", since, timeout=timeout)
        if chosen.int("id") != command:
            raise HarnessError(f"the menu gave command {chosen['id']} instead of {command}")
        return chosen

    def choose_from_menu(self, command, timeout=30):
        """Open the tray menu and choose `command`; returns (the "menu" line, the "command" line)."""
        menu = self.open_menu(timeout)
        return menu, self.choose(command, timeout)

    def dismiss_menu(self):
        since = self.trace.mark()
        self.s.menu_keys("ESCAPE")
        return self.trace.wait_for("command", since)

    def exit(self):
        """Exit from the tray menu (how the session ends the driver)."""
        self.choose_from_menu(ID_EXIT)

    def lines(self, kind=None, since=0):
        return self.trace.records(kind, since)


class _AllDrivers:
    """Closes every driver's hidden window still open when the session ends: a driver that Reload
    Driver started is no process of the session's. Closing it is the same as its Exit."""

    def __init__(self, session):
        self.s = session

    def stop(self):
        for window in self.s.windows(title="QLV", all_windows=True):
            if window["process"].lower() == "qvl2rs.exe":
                self.s.post(window.int("hwnd"), WM_CLOSE)
        wait_until(lambda: not self.s.processes("qvl2rs.exe"), 20, "every driver to end")


class Simulator:
    """qvl2sim on COM<number> of the prefix, playing `script` (its script language; see
    tools/qvl2sim/README.md) and then holding the line until the session ends. Its log lines (the
    bytes it sent and received) come back with `lines()`."""

    def __init__(self, session, script, number=1, name="qvl2sim"):
        self.s = session
        self.script_path = session.path(f"{name}.script")
        self.script_path.write_text(script)
        self.out_path = session.path(f"{name}.out")
        link = session.wine.wine_dir / "ports" / f"com{number}"
        link.parent.mkdir(parents=True, exist_ok=True)
        with open(self.out_path, "wb") as out:
            self.popen = subprocess.Popen([simulator_program(), "--link", str(link), "--hold", str(self.script_path)],
                                          stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        session.own(self)
        self.wait_for("link ")

    def lines(self):
        return self.out_path.read_text(errors="replace").splitlines()

    def wait_for(self, text, timeout=20):
        """The first log line that contains `text`, waiting for it."""

        def found():
            if self.popen.poll() is not None and self.popen.returncode not in (0, None):
                raise HarnessError(f"qvl2sim ended with {self.popen.returncode}: {self.lines()}")
            return next((line for line in self.lines() if text in line), None)

        return wait_until(found, timeout, f"qvl2sim to log {text!r}")

    def stop(self):
        if self.popen.poll() is None:
            self.popen.send_signal(signal.SIGTERM)
            try:
                self.popen.wait(10)
            except subprocess.TimeoutExpired:
                self.popen.kill()
                self.popen.wait(10)
