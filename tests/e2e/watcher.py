"""The dialog watcher: records and answers the dialogs of every program."""

from tool_log import HarnessError
from win_process import StoppableTool


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

    def wait_dialog(self, since=0, caption=None, text=None, timeout=30):
        self.log.wait_for(
            "dialog", since,
            where=lambda r: (caption is None or r["caption"] == caption) and (text is None or r["text"] == text),
            timeout=timeout, what=f"a dialog (caption {caption!r}, text {text!r})")
        return self.dialogs(since, caption, text)[0]

    def wait_answered(self, hwnd, timeout=30):
        """The "answered" record of a dialog; HarnessError when an action failed."""
        answered = self.log.wait_for("answered", where=lambda r: r.int("hwnd") == hwnd, timeout=timeout)
        if answered["ok"] != "1":
            steps = [r.line for r in self.log.records(where=lambda r: r.get("hwnd") == answered["hwnd"])]
            raise HarnessError("the watcher could not answer the dialog:\n  " + "\n  ".join(steps))
        return answered

    def wait_closed(self, hwnd, timeout=30):
        return self.log.wait_for("closed", where=lambda r: r.int("hwnd") == hwnd, timeout=timeout)

    def check_all_answered(self, what):
        """A watchdog (Session.watchdog): HarnessError when a dialog matched no rule or an action
        of its rule failed."""
        failed = self.log.records(where=lambda r: r.kind == "unmatched" or (r.kind == "answered" and r["ok"] != "1"))
        if not failed:
            return
        hwnd = failed[0]["hwnd"]
        shown = [f'{d["process"]}: caption {d["caption"]!r}, text {d["text"]!r}'
                 for d in self.log.records("dialog", where=lambda d: d["hwnd"] == hwnd)]
        reason = "no rule answers" if failed[0].kind == "unmatched" else "the watcher could not answer"
        raise HarnessError(f"{reason} the dialog {shown[0] if shown else hwnd} (while waiting for {what})")

    def controls(self, hwnd):
        return self.log.records("control", where=lambda r: r.int("dialog") == hwnd)
