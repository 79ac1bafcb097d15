"""Windows programs started under Wine, and the tools among them that stop cleanly on request."""

import signal
import subprocess
import sys
import time
from pathlib import Path

from tool_log import HarnessError, LogReader, parse_line, wait_until
from wine_env import WineEnv

# Exit code of a Windows program that could not be loaded (a DLL is missing).
EXIT_NOT_LOADED = 53


class WinProcess:
    """A Windows program started under Wine; its output goes to files in the session folder.

    `stop`, when given, is how the program is ended cleanly at the end of a session (a callable
    taking the process: close its window, choose Exit in its tray menu); the session then waits
    for it and kills it only if it is still running. `env` adds variables to the program's
    environment (a trace file, a preloaded library)."""

    def __init__(self, wine, program, args, folder, name=None, stop=None, env=None):
        self.name = name or Path(program).stem
        self._stop = stop
        self.out_path = Path(folder) / f"{self.name}.out"
        self.err_path = Path(folder) / f"{self.name}.err"
        self.args = [str(a) for a in args]
        with open(self.out_path, "wb") as out, open(self.err_path, "wb") as err:
            self.popen = subprocess.Popen(
                wine.command(program, args),
                env={**wine.env, **(env or {})},
                cwd=folder,
                stdin=subprocess.DEVNULL,
                stdout=out,
                stderr=err,
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
