"""Proof that the end-to-end harness sees what really happens: the probe records injected input in
order with its flags and its windows really receive it, the watcher answers dialogs as asked, a
pty linked to COM1 carries bytes both ways, and the registry helpers read back what they wrote.

Run one group:  python3 tests/e2e/harness_test.py ProbeKeys
(ctest runs each group on its own; the Windows build must be there.)
"""

import sys
import time
import unittest

from harness import VK, HarnessError, LogReader, Session, qpc_now, wait_until

MB_OK = 0
MB_OKCANCEL = 1
MB_YESNOCANCEL = 3
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7


class ProbeKeys(unittest.TestCase):
    def test_injected_keys_arrive_in_order_with_their_flags(self):
        with Session("probe-keys") as s:
            probe = s.probe()
            since = probe.mark()
            s.inject("key:0x11:down", "key:0x41:down", "key:0x41:up", "key:0x11:up",
                     "key:0x25:down", "key:0x25:up", "key:0x2e:down:ext", "key:0x2e:up:ext")
            expected = [
                (VK["CONTROL"], "down", False), (VK["A"], "down", False), (VK["A"], "up", False),
                (VK["CONTROL"], "up", False),
                (VK["LEFT"], "down", False), (VK["LEFT"], "up", False),
                (VK["DELETE"], "down", True), (VK["DELETE"], "up", True),
            ]
            self.assertEqual(probe.wait_key_events(len(expected), since), expected)

            # The window in front got the same keys, and Ctrl+A made its character.
            probe.log.wait_count(len(expected), "key", since)
            received = probe.received_keys(since)
            self.assertEqual(received, [("WM_KEYUP" if up == "up" else "WM_KEYDOWN", vk) for vk, up, _ in expected])
            extended = [r["extended"] for r in probe.log.records("key", since)]
            self.assertEqual(extended, ["0"] * 6 + ["1", "1"])
            chars = [r.int("code") for r in probe.log.records("char", since)]
            self.assertEqual(chars, [0x01])
            self.assertTrue(all(r.int("hwnd") == probe.hwnd for r in probe.log.records("key", since)))

    def test_an_edit_child_with_the_focus_takes_the_typed_text(self):
        with Session("probe-edit") as s:
            probe = s.probe(children=["Edit:"], focus=1)
            edit = probe.window(1)
            self.assertEqual(probe.log.records("ready")[0].int("focus"), edit.int("hwnd"))
            s.inject("key:0x51:down", "key:0x51:up", "key:0x10:down", "key:0x56:down", "key:0x56:up", "key:0x10:up")
            # Input is queued: poll the text rather than reading it once.
            wait_until(lambda: s.window_info(edit.int("hwnd"))["title"] == "qV", 10, 'the edit to read "qV"')
            self.assertEqual([r.int("code") for r in probe.log.records("char")], [ord("q"), ord("V")])


class ProbeMouse(unittest.TestCase):
    def test_a_click_reaches_the_window_under_the_point(self):
        with Session("probe-mouse") as s:
            probe = s.probe(children=["QvlPanel:panel:20,20,100,60", "QvlPanel:other:200,20,100,60"])
            panel, other = probe.window(1), probe.window(2)
            self.assertEqual((panel["class"], panel["title"]), ("QvlPanel", "panel"))
            x, y = probe.child_point(2, 10, 20)
            since = probe.mark()
            s.inject(s.absolute(x, y), "left:down", "left:up", "move:5:-3", "right:down", "right:up")
            expected = [
                ("WM_MOUSEMOVE", x, y), ("WM_LBUTTONDOWN", x, y), ("WM_LBUTTONUP", x, y),
                ("WM_MOUSEMOVE", x + 5, y - 3), ("WM_RBUTTONDOWN", x + 5, y - 3), ("WM_RBUTTONUP", x + 5, y - 3),
            ]
            probe.log.wait_count(len(expected), "llmouse", since)
            self.assertEqual(probe.mouse_events(since), expected)

            probe.log.wait_count(4, "mouse", since)
            hwnd = other.int("hwnd")
            self.assertEqual(probe.received_mouse(since), [
                (hwnd, "WM_LBUTTONDOWN", 10, 20), (hwnd, "WM_LBUTTONUP", 10, 20),
                (hwnd, "WM_RBUTTONDOWN", 15, 17), (hwnd, "WM_RBUTTONUP", 15, 17),
            ])
            self.assertNotIn(panel.int("hwnd"), [m[0] for m in probe.received_mouse()])

    def test_a_click_beside_the_children_reaches_the_main_window(self):
        with Session("probe-main-click") as s:
            probe = s.probe(children=["QvlPanel:panel:20,20,100,60"])
            since = probe.mark()
            s.inject(s.absolute(*probe.child_point(0, 300, 200)), "left:down", "left:up")
            probe.log.wait_count(2, "mouse", since)
            self.assertEqual(probe.received_mouse(since), [
                (probe.hwnd, "WM_LBUTTONDOWN", 300, 200), (probe.hwnd, "WM_LBUTTONUP", 300, 200)])


    def test_a_drag_arrives_in_order_on_the_linux_clock(self):
        with Session("probe-drag") as s:
            probe = s.probe(children=["QvlPanel:panel:20,20,200,100"], moves=True)
            x, y = probe.child_point(1, 50, 50)
            since = probe.mark()
            before = qpc_now()
            s.inject(s.absolute(x, y), "left:down", "move:3:0", "move:3:0", "move:3:0", "move:0:-2", "left:up",
                     "wheel:-120")
            after = qpc_now()
            expected = [("WM_MOUSEMOVE", x, y), ("WM_LBUTTONDOWN", x, y), ("WM_MOUSEMOVE", x + 3, y),
                        ("WM_MOUSEMOVE", x + 6, y), ("WM_MOUSEMOVE", x + 9, y), ("WM_MOUSEMOVE", x + 9, y - 2),
                        ("WM_LBUTTONUP", x + 9, y - 2), ("WM_MOUSEWHEEL", x + 9, y - 2)]
            hooked = probe.log.wait_count(len(expected), "llmouse", since)
            self.assertEqual(probe.mouse_events(since), expected)
            self.assertEqual(hooked[-1].int("data"), -120)
            # The probe's time stamps and qpc_now() are one clock: every event falls between the two
            # readings taken around the injection, in order.
            times = [r.int("t") for r in hooked]
            self.assertEqual(times, sorted(times))
            self.assertTrue(before <= times[0] and times[-1] <= after, (before, times, after))

            # The panel saw the drag with the button held, then the release where it ended.
            panel = probe.window(1).int("hwnd")
            probe.log.wait_for("mouse", since, where=lambda r: r["msg"] == "WM_LBUTTONUP")
            received = [r for r in probe.log.records("mouse", since) if r.int("hwnd") == panel]
            last_move = [r for r in received if r["msg"] == "WM_MOUSEMOVE"][-1]
            self.assertEqual((last_move.int("x"), last_move.int("y"), last_move.int("keys")), (59, 48, 0x1))
            self.assertEqual([(r["msg"], r.int("x"), r.int("y")) for r in received if "BUTTON" in r["msg"]],
                             [("WM_LBUTTONDOWN", 50, 50), ("WM_LBUTTONUP", 59, 48)])
            wheel = probe.log.wait_for("mouse", since, where=lambda r: r["msg"] == "WM_MOUSEWHEEL")
            self.assertEqual((wheel.int("delta"), wheel.int("x"), wheel.int("y")), (-120, x + 9, y - 2))


class ProbeSession(unittest.TestCase):
    def test_probes_take_the_foreground_in_turn_and_unhook_at_the_end(self):
        with Session("probe-session") as s:
            first = s.probe(title="First")
            second = s.probe(title="Second", exe_name="waveedit.exe")
            self.assertEqual(s.foreground().int("hwnd"), second.hwnd)
            self.assertEqual(len(s.processes("waveedit.exe")), 1)
            self.assertEqual(len(s.processes("qvl_probe.exe")), 1)

            since = first.mark()
            first.take_foreground()
            s.wait_foreground(first.hwnd)
            self.assertTrue(first.log.records("activate", since, where=lambda r: r["active"] == "1"))

            # Keys go to the window in front; both hooks see them.
            marks = first.mark(), second.mark()
            s.inject("key:0x20:down", "key:0x20:up")
            self.assertEqual(second.wait_key_events(2, marks[1]), [(VK["SPACE"], "down", False),
                                                                   (VK["SPACE"], "up", False)])
            first.log.wait_count(2, "key", marks[0])
            self.assertEqual(second.received_keys(marks[1]), [])
        for probe in (first, second):
            self.assertFalse(probe.running)
            kinds = [r.kind for r in probe.log.records()]
            self.assertEqual(kinds[-3:], ["stop", "unhooked", "end"])

    def test_the_window_tools_see_the_probe_as_it_logged_itself(self):
        with Session("probe-windows") as s:
            probe = s.probe(title="Mix Window", children=["Edit:first", "QvlPanel:second:200,20,80,40"])
            children = s.children(probe.hwnd)
            self.assertEqual([(c["class"], c["title"], c.int("id")) for c in children],
                             [("Edit", "first", 101), ("QvlPanel", "second", 102)])
            for index in (1, 2):
                logged = probe.window(index)
                info = s.window_info(logged.int("hwnd"))
                self.assertEqual((info.pair("origin"), info.int("parent")), (logged.pair("origin"), probe.hwnd))
            main = s.windows(title="Mix Window")
            self.assertEqual([(w.int("hwnd"), w["class"], w["process"]) for w in main],
                             [(probe.hwnd, "QvlProbe", "qvl_probe.exe")])
            WM_GETTEXTLENGTH = 0x000E
            self.assertEqual(s.send(probe.hwnd, WM_GETTEXTLENGTH), len("Mix Window"))

    def test_a_probe_closed_by_wm_close_unhooks(self):
        with Session("probe-close") as s:
            probe = s.probe()
            s.post(probe.hwnd, "WM_CLOSE")
            self.assertEqual(probe.wait(), 0)
            self.assertEqual([r.kind for r in probe.log.records()][-3:], ["stop", "unhooked", "end"])
            self.assertEqual(probe.log.records("stop")[0]["reason"], "close")


    def test_a_probe_stopped_by_its_named_event_unhooks(self):
        with Session("probe-event") as s:
            log = s.path("probe.log")
            probe = s.start("qvl_probe.exe", "--log", s.wine.windows_path(log), "--stop-event", "QvlHarnessStop")
            reader = LogReader(str(log))
            reader.wait_for("ready", timeout=20)
            self.assertEqual(s.tool("qvl_window.exe", "set-event", "QvlHarnessStop")[0]["ok"], "1")
            self.assertEqual(probe.wait(), 0)
            self.assertEqual(reader.records("stop")[0]["reason"], "event")
            self.assertEqual([r.kind for r in reader.records()][-2:], ["unhooked", "end"])
            with self.assertRaises(HarnessError):  # nobody holds it any more
                s.tool("qvl_window.exe", "set-event", "QvlHarnessStop")


class PopupMenu(unittest.TestCase):
    TRAY_ITEMS = ["Open QVL2 Editor", "-", "Disable QVL2", "Reload Driver", "Exit"]

    def test_keys_choose_an_item_and_escape_dismisses(self):
        with Session("popup-menu") as s:
            probe = s.probe(menu=self.TRAY_ITEMS)
            popup = probe.show_menu()
            self.assertEqual(popup.int("pid"), probe.log.records("start")[0].int("pid"))
            s.menu_keys("DOWN", "DOWN", "RETURN")  # the separator is skipped: position 2
            self.assertEqual(probe.log.wait_for("menu")["chosen"], "3")
            s.wait_no_window("#32768")

            probe.show_menu()
            s.menu_keys("UP", "RETURN")  # from a fresh menu, UP selects the last item
            self.assertEqual(probe.log.wait_count(2, "menu")[1]["chosen"], "5")

            probe.show_menu()
            s.menu_keys("ESCAPE")
            self.assertEqual(probe.log.wait_count(3, "menu")[2]["chosen"], "0")

    def test_a_probe_asked_to_stop_closes_its_open_menu_and_unhooks(self):
        with Session("popup-stop") as s:
            probe = s.probe(menu=self.TRAY_ITEMS)
            probe.show_menu()
            probe.stop()
            self.assertFalse(probe.running)
            # Input the hooks happen to see meanwhile (Wine may move the pointer as the menu opens) is
            # not what this is about.
            kinds = [r.kind for r in probe.log.records() if r.kind not in ("llkey", "llmouse")]
            self.assertEqual(kinds[-5:], ["menu-open", "menu", "stop", "unhooked", "end"])


class WatcherAnswers(unittest.TestCase):
    def test_the_asked_button_closes_the_box(self):
        with Session("watch-boxes") as s:
            watcher = s.watcher("caption=Ask*;press=No", "text=*second*;press=#2")
            text = 'Line one\nline "two" caf\u00e9'
            box = s.start("qvl_msgbox.exe", 'Ask "me"', text, MB_YESNOCANCEL)
            self.assertEqual(box.wait(), IDNO)
            dialog = watcher.dialogs()[0]
            self.assertEqual(dialog["caption"], 'Ask "me"')
            self.assertEqual(dialog["text"], text)
            self.assertEqual(dialog["process"], "qvl_msgbox.exe")
            self.assertEqual(dialog["buttons"], "&Yes|&No|Cancel")
            press = watcher.log.records("press")[0]
            self.assertEqual((press.int("id"), press["found"], press["ok"]), (IDNO, "1", "1"))
            watcher.wait_closed(dialog.int("hwnd"))

            box = s.start("qvl_msgbox.exe", "Other", "the second one", MB_OKCANCEL)
            self.assertEqual(box.wait(), IDCANCEL)
            self.assertEqual([r.int("index") for r in watcher.log.records("rule")], [1, 2])

    def test_a_rule_used_up_gives_way_to_the_next_and_unmatched_boxes_stay(self):
        with Session("watch-times") as s:
            watcher = s.watcher("caption=Replace?;times=1;press=Yes", "caption=Replace?;press=No")
            answers = [s.start("qvl_msgbox.exe", "Replace?", "x", MB_YESNOCANCEL, name=f"box{i}").wait()
                       for i in range(2)]
            self.assertEqual(answers, [IDYES, IDNO])

            since = watcher.mark()
            stray = s.start("qvl_msgbox.exe", "Stray", "nobody answers this", MB_OK)
            dialog = watcher.wait_dialog(since, caption="Stray")
            watcher.log.wait_for("unmatched", since, where=lambda r: r["hwnd"] == dialog["hwnd"])
            self.assertTrue(stray.running)
            self.assertEqual([w.int("hwnd") for w in s.windows("#32770", "Stray")], [dialog.int("hwnd")])

    def test_a_settings_dialog_is_filled_in_as_a_user_would(self):
        with Session("watch-form") as s:
            watcher = s.watcher("caption=Form Test;fill=1001:Mix\\; Left;select=1002:COM3;check=1003:0;press=Close")
            form = s.start("qvl_form.exe", "--checked")
            self.assertEqual(form.wait(), IDOK)
            lines = [(r.kind, dict(r.fields)) for r in form.records()]
            self.assertEqual(lines, [
                ("selchange", {"index": "2"}),
                ("clicked", {"autostart": "0"}),
                ("form", {"name": "Mix; Left", "port": "COM3", "index": "2", "autostart": "0"}),
            ])
            checks = watcher.log.records("check")
            self.assertEqual((checks[0]["state"], checks[0]["clicked"]), ("0", "1"))

            # A box already in the wanted state is left as it is; an entry the list lacks fails.
            watcher.stop()
            watcher = s.watcher("caption=Form Test;check=1003:0;select=1002:COM9;press=Close", name="watch2")
            form = s.start("qvl_form.exe", name="form2")
            self.assertEqual(form.wait(), IDOK)
            self.assertEqual([r.kind for r in form.records()], ["form"])
            dialog = watcher.dialogs()[0]
            with self.assertRaises(HarnessError):
                watcher.wait_answered(dialog.int("hwnd"))
            self.assertEqual(watcher.log.records("select")[0]["ok"], "0")

    def test_a_box_already_open_when_the_watcher_starts_is_answered(self):
        with Session("watch-late") as s:
            box = s.start("qvl_msgbox.exe", "Early", "shown before anyone watched", MB_YESNOCANCEL)
            s.wait_window("#32770", "Early")
            s.watcher("process=QVL_MSGBOX.EXE;button=No;press=No")
            self.assertEqual(box.wait(), IDNO)

    def test_a_file_dialog_is_filled_in_and_saved_over_an_existing_file(self):
        with Session("watch-file") as s:
            s.path("export.qvl").write_bytes(b"old")
            target = s.wine.windows_path(s.path("export.qvl"))
            # The question has the dialog's caption: its rule goes first.
            watcher = s.watcher("text=*already exists*;press=Yes",
                                f"caption=Export Keyset;fill=1148:{target};press=Save")
            chooser = s.start("qvl_filedlg.exe", "save", "Export Keyset")
            self.assertEqual(chooser.wait(30), 0)
            self.assertEqual(chooser.output().strip(), f"file {target}")
            dialogs = watcher.dialogs(caption="Export Keyset")
            self.assertEqual([d["buttons"] for d in dialogs], ["&Save|Cancel", "&Yes|&No"])
            self.assertEqual(dialogs[1]["text"], "File already exists.\nDo you want to replace it?")
            for dialog in dialogs:
                watcher.wait_answered(dialog.int("hwnd"))
            self.assertEqual(watcher.log.records("fill")[0]["text"], target)

    def test_a_file_dialog_opens_an_existing_file(self):
        with Session("watch-open") as s:
            s.path("import.qvl").write_bytes(b"QVL2")
            source = s.wine.windows_path(s.path("import.qvl"))
            s.watcher(f"caption=Import Keyset;fill=1148:{source};press=Open")
            chooser = s.start("qvl_filedlg.exe", "open", "Import Keyset")
            self.assertEqual(chooser.wait(30), 0)
            self.assertEqual(chooser.output().strip(), f"file {source}")


class ComPort(unittest.TestCase):
    def test_a_pty_linked_to_com1_carries_bytes_both_ways(self):
        with Session("com-pty") as s:
            port = s.device_port(1)
            program = s.start("qvl_comport.exe", "COM1", "--send", "b3", "--expect", "4", "--echo")
            port.wait_opened()
            self.assertEqual(port.read(1), b"\xb3")
            port.write(b"\x80\x45\x80\x05")
            self.assertEqual(port.read(4, since=1), b"\x80\x45\x80\x05")
            self.assertEqual(program.wait(), 0)
            self.assertEqual(program.records()[-1]["bytes"], "80 45 80 05")
            port.wait_closed()
            self.assertEqual((port.open_count, port.close_count), (1, 1))

    def test_a_port_pointed_at_a_folder_cannot_be_opened(self):
        with Session("com-folder") as s:
            s.wine.point_port(2, s.folder)
            program = s.start("qvl_comport.exe", "COM2", "--send", "b3")
            self.assertEqual(program.wait(), 3)
            self.assertEqual(program.records()[-1].kind, "failed")


class Registry(unittest.TestCase):
    KEY = "HKCU\\Software\\QvlHarnessTest"

    def test_values_read_back_as_written(self):
        with Session("registry") as s:
            wine = s.wine
            wine.reg_delete(self.KEY)
            try:
                wine.reg_set(self.KEY + "\\Settings", "Prefs", bytes([1, 0, 0, 0, 2, 0, 0, 0]))
                wine.reg_set(self.KEY + "\\Settings", "Count", 7)
                wine.reg_set(self.KEY + "\\Settings", "Name", 'C:\\Program Files\\a "b"')
                record = bytes(range(256)) * 41 + bytes(188)  # a whole keyset record: 10684 bytes
                wine.reg_import(s.path("keysets.reg"), {self.KEY + "\\Keysets": {"Default": record},
                                                        self.KEY + "\\Imported": {None: "a\\b", "N": 0x10000}})
                wine.reg_set(self.KEY + "\\Settings", None, "default text")
                self.assertEqual(wine.reg_query(self.KEY + "\\Imported"),
                                 {"(Default)": ("REG_SZ", "a\\b"), "N": ("REG_DWORD", 0x10000)})
                self.assertEqual(wine.reg_query(self.KEY + "\\Settings"), {
                    "(Default)": ("REG_SZ", "default text"),
                    "Count": ("REG_DWORD", 7),
                    "Name": ("REG_SZ", 'C:\\Program Files\\a "b"'),
                    "Prefs": ("REG_BINARY", bytes([1, 0, 0, 0, 2, 0, 0, 0])),
                })
                self.assertEqual(wine.reg_value(self.KEY + "\\Keysets", "Default"), record)
                self.assertIsNone(wine.reg_value(self.KEY + "\\Settings", "Missing"))
                wine.reg_delete(self.KEY + "\\Settings", "Count")
                self.assertNotIn("Count", wine.reg_query(self.KEY + "\\Settings"))
            finally:
                wine.reg_delete(self.KEY)
            self.assertIsNone(wine.reg_query(self.KEY))


class SessionHandling(unittest.TestCase):
    def test_a_missing_program_and_a_wait_that_runs_out_are_reported(self):
        with Session("session-failures") as s:
            with self.assertRaises(HarnessError):
                s.start("no_such_program.exe")
            box = s.start("qvl_msgbox.exe", "Waiting", "nobody answers", MB_OK)
            with self.assertRaises(HarnessError):
                box.wait(1)
            with self.assertRaises(HarnessError):
                s.wait_window("#32770", "Never shown", timeout=1)
        self.assertFalse(box.running)

    def test_a_program_still_running_at_the_end_is_stopped_its_own_way(self):
        with Session("session-stop") as s:
            def close_box(process):
                dialog = s.wait_window("#32770", "Left open")
                s.post(dialog.int("hwnd"), "WM_CLOSE")

            box = s.start("qvl_msgbox.exe", "Left open", "closed by the session", MB_OK, stop=close_box)
            s.wait_window("#32770", "Left open")
        # Answered by the close (a killed program would show -9).
        self.assertIn(box.popen.returncode, (IDOK, IDCANCEL))

    def test_a_box_no_rule_answers_fails_the_next_wait_at_once_with_its_text(self):
        with Session("session-strict") as s:
            s.watcher("caption=Expected;press=OK", strict=True)
            s.start("qvl_msgbox.exe", "Unexpected", "nobody asked for this", MB_OK)
            began = time.monotonic()
            with self.assertRaises(HarnessError) as failure:
                wait_until(lambda: False, 120, "something else")
            self.assertLess(time.monotonic() - began, 60, "failed by the watchdog, not the time-out")
            self.assertIn("'Unexpected', text 'nobody asked for this'", str(failure.exception))
            self.assertIn("something else", str(failure.exception))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
