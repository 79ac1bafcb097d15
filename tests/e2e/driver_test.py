"""The driver, qvl2rs.exe, under Wine end to end: the device played on a pty mapped to COM1 (by the
scenario itself, or by the simulator qvl2sim), a probe window in front recording every injected event
it sees, the watcher answering the driver's boxes, and the driver's own trace.

Run one group:  python3 tests/e2e/driver_test.py DriverKeys
(ctest runs each group on its own; the Windows build and the host build must be there.)
"""

import subprocess
import sys
import unittest
from pathlib import Path

from driver import (ID_DISABLE, ID_ENABLE, ID_EXIT, ID_FIND_DEVICE, ID_OPEN_EDITOR, ID_RELOAD_DRIVER, PORT_ERROR,
                    Driver, Simulator)
from device_port import StalledPort
from harness import VK, PtyPort, Session, qpc_now, wait_until
from keysets import (ALT, CTRL, HORIZONTAL_DRAG, KEYSETS, LEFT_CLICK, SETTINGS, SHIFT, assignment, keyset, steps,
                     store_keysets)

PLAY_DOWN, PLAY_UP = b"\x80\x45", b"\x80\x05"
STOP_DOWN, STOP_UP = b"\x80\x44", b"\x80\x04"
OPTION_DOWN, OPTION_UP = b"\x80\x40", b"\x80\x00"
SHIFT_DOWN, SHIFT_UP = b"\x80\x41", b"\x80\x01"
FF_DOWN, FF_UP = b"\x80\x43", b"\x80\x03"
RR_DOWN, RR_UP = b"\x80\x42", b"\x80\x02"
RECORD_DOWN, RECORD_UP = b"\x80\x46", b"\x80\x06"
VK_PACKET = 0xE7  # a typed character at the keyboard hook
START_BYTE = b"\xb3"


def wheel_cw(magnitude=1):
    return bytes([0x81, 128 - magnitude if magnitude <= 2 else (64 if magnitude == 29 else 127 - magnitude)])


def without_still_moves(events):
    """Mouse events without the moves that go nowhere: Wine adds one now and then after a button
    changed, even to injected input."""
    kept = []
    for event in events:
        if event[0] == "WM_MOUSEMOVE" and kept and kept[-1][1:] == event[1:]:
            continue
        kept.append(event)
    return kept


def down(name):
    return (VK[name], "down", False)


def up(name):
    return (VK[name], "up", False)


def started(s, *keysets, port=True, watcher_rules=(), notes=None):
    """Stored keysets (and the on-screen note's settings, when given), COM1 on a pty of the scenario
    (unless `port` is False), a watcher, and the driver started with its port open: (port, driver,
    watcher)."""
    s.screen()
    store_keysets(s, *(keysets or (keyset("Default"),)))
    if notes is not None:
        s.wine.reg_set(SETTINGS, "Notes", notes)
    device = s.device_port(1) if port else None
    watcher = s.watcher(*watcher_rules)
    driver = Driver(s)
    if device is not None:
        device.wait_opened()
        device.wait_for_bytes(START_BYTE)
    driver.wait_ready()
    return device, driver, watcher


class DriverStart(unittest.TestCase):
    def test_the_start_byte_and_play_and_stop_with_the_default_keyset(self):
        with Session("driver-default-keys") as s:
            s.screen()
            store_keysets(s)  # nothing stored: the driver makes "Default"
            simulator = Simulator(s, "expect start\nwait 500\ntap play\nwait 100\ntap stop\n")
            probe = s.probe()
            since = probe.mark()
            driver = Driver(s)
            self.assertEqual(driver.wait_port()["open"], "1")
            self.assertIn("rx b3", simulator.wait_for("rx b3"))
            self.assertEqual(probe.wait_key_events(4, since),
                             [down("RETURN"), up("RETURN"), down("SPACE"), up("SPACE")])
            self.assertEqual([r["name"] for r in driver.lines("keyset")], ["Default"])
            self.assertEqual(s.wine.reg_value(f"{KEYSETS}\\Default", "AppPref")[:8], b"Default\0")

    def test_a_missing_port_gives_one_box_naming_it_and_is_retried_while_the_driver_listens(self):
        with Session("driver-missing-port") as s:
            s.screen()
            store_keysets(s)
            port = s.own(PtyPort())  # the device, plugged in later; it goes after the driver
            s.wine.point_port(1, s.folder)  # a folder: no program can open it as a port
            watcher = s.watcher("text=Could not connect*;press=OK")
            since = watcher.mark()
            driver = Driver(s)
            self.assertEqual(driver.wait_port()["open"], "0")
            box = watcher.wait_dialog(since)
            before, after = PORT_ERROR
            self.assertTrue(box["text"].startswith(before.format(port="COM1")) and box["text"].endswith(after),
                            box["text"])
            watcher.wait_closed(box.int("hwnd"))
            self.assertEqual(driver.wait_ready()["added"], "1", "the tray icon is added all the same")
            # A shell that restarts announces it; the icon comes back.
            icons = driver.trace.mark()
            s.post(driver.hidden_window().int("hwnd"), "reg:TaskbarCreated")
            self.assertEqual(driver.trace.wait_for("icon", icons)["added"], "1")
            # It listens for the device on the other ports; Disable would stop that.
            driver.trace.wait_for("listen")
            tray = driver.trace.wait_for("tray", where=lambda r: r["state"] == "listening")
            self.assertEqual(tray["tip"], "QVL 2 - press a button on the Quorvel 2 to find it")
            menu = driver.open_menu()
            self.assertEqual((menu["toggle"], menu.int("command")), ("Disable QVL2", ID_DISABLE))
            driver.dismiss_menu()

            # With the device there now, a retry opens the port and sends the start byte.
            s.wine.point_port(1, port.path)
            port.wait_opened()
            port.wait_for_bytes(START_BYTE)
            driver.trace.wait_for("tray", where=lambda r: r["state"] == "connected")
            self.assertEqual(len(watcher.dialogs(since)), 1, "exactly one box")

    def test_the_port_of_the_preferences_is_opened(self):
        with Session("driver-com2") as s:
            s.screen()
            store_keysets(s, keyset("Default"), com_port=1)
            com1, com2 = s.device_port(1), s.device_port(2)
            driver = Driver(s)
            self.assertEqual((driver.wait_port()["open"], driver.wait_port()["name"]), ("1", "COM2"))
            com2.wait_opened()
            self.assertEqual(com2.read(1), START_BYTE)
            self.assertEqual((com1.open_count, com1.received()), (0, b""))

    def test_without_its_shared_memory_the_driver_says_so_and_ends(self):
        with Session("driver-no-shared-block") as s:
            s.screen()
            store_keysets(s)
            port = s.device_port(1)
            # A named event in the way: the block of that name cannot be made.
            s.probe(stop_event="QVL2SharedInfo")
            watcher = s.watcher("process=qvl2rs.exe;press=OK")
            since = watcher.mark()
            driver = Driver(s)
            box = watcher.wait_dialog(since)
            self.assertIn("shares with the QVL2 Editor", box["text"])
            self.assertEqual(driver.process.wait(20), 1)
            self.assertFalse(driver.lines("port"), "no port is opened")
            self.assertEqual(port.open_count, 0)



class DriverPorts(unittest.TestCase):
    def test_a_port_above_com9_stored_by_name_is_opened(self):
        with Session("driver-com12") as s:
            s.screen()
            store_keysets(s)
            s.wine.reg_set(SETTINGS, "Port", "COM12")
            com12 = s.device_port(12)
            driver = Driver(s)
            com12.wait_for_bytes(START_BYTE)
            driver.trace.wait_for("tray", where=lambda r: r["tip"] == "QVL 2 - COM12 - Default")
            probe = s.probe()
            since = probe.mark()
            com12.write(PLAY_DOWN + PLAY_UP)
            self.assertEqual(probe.wait_key_events(2, since), [down("RETURN"), up("RETURN")])

    def test_the_device_is_found_by_a_press_on_its_port_and_nothing_is_written_to_the_others(self):
        with Session("driver-find-device") as s:
            s.screen()
            store_keysets(s)  # no port stored: COM1, which cannot be opened
            s.wine.point_port(1, s.folder)
            com5, com9 = s.device_port(5), s.device_port(9)
            watcher = s.watcher("text=Could not connect*;press=OK")
            probe = s.probe()
            driver = Driver(s)
            listening = driver.trace.wait_for("listen")
            self.assertLessEqual({"COM5", "COM9"}, set(listening["ports"].split()))
            com5.wait_opened()
            com9.wait_opened()
            since = probe.mark()
            com5.write(b"ATZ\r\n" + PLAY_UP)  # noise
            com9.write(PLAY_DOWN + PLAY_UP)
            self.assertEqual(driver.trace.wait_for("found")["name"], "COM9")
            com9.wait_for_bytes(START_BYTE)
            self.assertEqual(driver.trace.wait_for("stored")["error"], "0")
            self.assertEqual(s.wine.reg_value(SETTINGS, "Port"), "COM9")
            self.assertEqual(s.wine.reg_value(SETTINGS, "Prefs"), bytes([1, 0, 0, 0, 0, 0, 0, 0]))
            self.assertEqual(driver.trace.wait_for("notify")["text"], "Quorvel 2 found on COM9")
            com5.wait_closed()
            self.assertEqual(com5.received(), b"", "nothing written to a port the device is not on")
            com9.write(STOP_DOWN + STOP_UP)
            self.assertEqual(probe.wait_key_events(2, since), [down("SPACE"), up("SPACE")],
                             "the finding press reaches no program")

            # Find Device, right after Disable: the port in use is listened on with the others.
            found = driver.trace.mark()
            driver.choose_from_menu(ID_FIND_DEVICE)
            # The driver's own line, not the pty: the listener opens COM9 again at once, and a close
            # and open that quick can pass between two looks at the pty's hang-up.
            self.assertEqual(driver.trace.wait_for("close", found)["was_open"], "1")
            self.assertIn("COM9", driver.trace.wait_for("listen", found)["ports"].split())
            com5.wait_opened(2)
            com5.write(OPTION_DOWN + OPTION_UP)
            self.assertEqual(driver.trace.wait_for("found", found)["name"], "COM5")
            com5.wait_for_bytes(START_BYTE)
            self.assertEqual(com9.received(), START_BYTE, "nothing but its own start byte")
            self.assertEqual(len(watcher.dialogs()), 1, "one box, at the start")


class DriverKeys(unittest.TestCase):
    def test_the_keyset_of_the_program_in_front_its_modifier_keys_and_its_banks(self):
        with Session("driver-program-keyset") as s:
            waveedit = keyset("waveedit", {
                ("MainBank", "Play"): assignment(vk=ord("A"), mods=CTRL | SHIFT),
                ("Option Bank", "Play"): assignment(vk=ord("B"), mods=ALT),
                ("Shift Bank", "Play"): assignment(vk=ord("C")),
                ("Option+Shift Bank", "Play"): assignment(vk=ord("D"), mods=SHIFT),
            })
            port, driver, _ = started(s, keyset("Default"), waveedit)
            probe = s.probe(exe_name="WaveEdit.exe")  # the keyset's name is the file title in lower case

            # Ctrl+Shift+A: the modifier keys first; the release lets go of the key, then the
            # modifier keys in the order they went down.
            since = probe.mark()
            port.write(PLAY_DOWN)
            self.assertEqual(probe.wait_key_events(3, since), [down("CONTROL"), down("SHIFT"), down("A")])
            since = probe.mark()
            port.write(PLAY_UP)
            self.assertEqual(probe.wait_key_events(3, since), [up("A"), up("CONTROL"), up("SHIFT")])
            keyset_line = driver.trace.wait_for("keyset")
            self.assertEqual((keyset_line["name"], keyset_line.int("index")), ("waveedit", 1))
            # The tray's tip follows the keyset in use.
            driver.trace.wait_for("tray", where=lambda r: r["tip"] == "QVL 2 - COM1 - waveedit")

            # OPTION held: the Option Bank; OPTION and SHIFT: the Option+Shift Bank; then neither.
            since = probe.mark()
            port.write(OPTION_DOWN + PLAY_DOWN + PLAY_UP + OPTION_UP)
            self.assertEqual(probe.wait_key_events(4, since), [down("MENU"), down("B"), up("B"), up("MENU")])
            since = probe.mark()
            port.write(SHIFT_DOWN + PLAY_DOWN + PLAY_UP)
            self.assertEqual(probe.wait_key_events(2, since), [down("C"), up("C")])
            since = probe.mark()
            port.write(OPTION_DOWN + PLAY_DOWN + PLAY_UP + SHIFT_UP + OPTION_UP + PLAY_DOWN + PLAY_UP)
            self.assertEqual(probe.wait_key_events(10, since), [
                down("SHIFT"), down("D"), up("D"), up("SHIFT"),
                down("CONTROL"), down("SHIFT"), down("A"), up("A"), up("CONTROL"), up("SHIFT")])
            self.assertEqual(
                [(r.int("bank"), r.int("editor")) for r in driver.lines("event") if r.int("editor") == 1013],
                [(0, 1013), (1, 1013), (2, 1013), (3, 1013), (0, 1013)])

    def test_the_wheel_at_the_default_speed_sends_its_key_on_every_73rd_step(self):
        with Session("driver-wheel-throttle") as s:
            port, driver, _ = started(s)
            probe = s.probe()
            since = probe.mark()
            events = driver.trace.mark()
            port.write(wheel_cw(1) * 147)
            driver.trace.wait_count(147, "event", events, timeout=60)
            self.assertEqual(probe.wait_key_events(6, since), [down("RIGHT"), up("RIGHT")] * 3)
            # Each tap came from the 1st, the 74th and the 147th step.
            lines = driver.lines(since=events)
            steps = []
            for record in lines:
                if record.kind == "event":
                    steps.append(None)
                elif record.kind == "key" and record["up"] == "0":
                    steps[-1] = len(steps)
            self.assertEqual([n for n in steps if n], [1, 74, 147])
            self.assertEqual(len(probe.key_events(since)), 6, "no other key")


class DriverMouse(unittest.TestCase):
    def test_a_left_click_lands_on_the_captured_point_and_the_cursor_comes_back(self):
        with Session("driver-click") as s:
            mixer = keyset("mixer", {("MainBank", "Play"): assignment(
                mouse=LEFT_CLICK, point=(10, 20), title="Mix", class_name="QvlPanel")})
            port, driver, _ = started(s, keyset("Default"), mixer)
            probe = s.probe(exe_name="mixer.exe", children=["QvlPanel:Mix:40,30,120,80"])
            panel = probe.window(1).int("hwnd")
            since = probe.mark()
            s.inject(s.absolute(600, 500))
            probe.log.wait_count(1, "llmouse", since)
            since = probe.mark()
            port.write(PLAY_DOWN)
            probe.log.wait_count(1, "mouse", since)
            port.write(PLAY_UP)
            probe.log.wait_count(2, "mouse", since)
            # Exactly the point captured in the window found again by its class and title.
            self.assertEqual(probe.received_mouse(since), [
                (panel, "WM_LBUTTONDOWN", 10, 20), (panel, "WM_LBUTTONUP", 10, 20)])
            # The pointer jumped there for the click and went back where the user had it.
            x, y = probe.child_point(1, 10, 20)
            probe.log.wait_for("llmouse", since, where=lambda r: r["msg"] == "WM_MOUSEMOVE" and r["x"] == "600")
            self.assertEqual(without_still_moves(probe.mouse_events(since)), [
                ("WM_MOUSEMOVE", x, y), ("WM_LBUTTONDOWN", x, y), ("WM_LBUTTONUP", x, y), ("WM_MOUSEMOVE", 600, 500)])

    def test_a_missing_click_window_replaced_by_the_one_in_front_is_stored_and_the_preferences_stay(self):
        with Session("driver-new-click-window") as s:
            mixer = keyset("mixer", {("MainBank", "Play"): assignment(
                mouse=LEFT_CLICK, point=(5, 5), title="Gone", class_name="Nothing")})
            port, driver, watcher = started(s, keyset("Default"), mixer, watcher_rules=["caption=qvl2rs;press=OK"])
            probe = s.probe(exe_name="mixer.exe", title="Mixer Main")
            # Meanwhile the editor stored other preferences (the same port, no autostart).
            s.wine.reg_set(SETTINGS, "Prefs", bytes([0, 0, 0, 0, 0, 0, 0, 0]))
            since = watcher.mark()
            port.write(PLAY_DOWN + PLAY_UP)
            box = watcher.wait_dialog(since, caption="qvl2rs")
            self.assertEqual(box["text"], 'The window which was supposed to receive this click, "Gone" is not open. '
                                          'If this happens in the future, do you want the click to occur in the '
                                          'window "Mixer Main"?')
            watcher.wait_answered(box.int("hwnd"))

            def stored_title():
                play = s.wine.reg_value(f"{KEYSETS}\\mixer\\MainBank", "Play")
                return play[28:28 + 256].split(b"\0")[0]

            wait_until(lambda: stored_title() == b"Mixer Main", 10, "the new click window to be stored")
            self.assertEqual(s.wine.reg_value(SETTINGS, "Prefs"), bytes([0, 0, 0, 0, 0, 0, 0, 0]),
                             "the driver's save keeps the preferences the editor stored")
            self.assertFalse(probe.received_mouse(), "the click of that press is not made")

    def test_a_drag_holds_the_button_until_the_wheel_has_rested_for_a_second(self):
        with Session("driver-drag") as s:
            mixer = keyset("mixer", {("MainBank", "CWheel"): assignment(mouse=HORIZONTAL_DRAG, speed=128)})
            port, driver, _ = started(s, keyset("Default"), mixer)
            probe = s.probe(exe_name="mixer.exe")
            # The user holds the pointer over the program's window, where the drag begins.
            since = probe.mark()
            s.inject(s.absolute(*probe.child_point(0, 100, 100)))
            # A wheel turning, not a burst: each step reaches the driver before the next is sent.
            mark = driver.trace.mark()
            port.write(wheel_cw(1))  # starts the movement: nothing moves yet
            driver.trace.wait_for("event", mark, timeout=30)
            last = 0
            for _ in range(5):
                mark = driver.trace.mark()
                last = port.write(wheel_cw(2))
                driver.trace.wait_for("event", mark, timeout=30)
            up_record = probe.log.wait_for("llmouse", since, where=lambda r: r["msg"] == "WM_LBUTTONUP",
                                           timeout=30)
            events = without_still_moves(probe.mouse_events(since))
            events = events[:events.index(("WM_LBUTTONUP", up_record.int("x"), up_record.int("y"))) + 1]
            self.assertEqual([e[0] for e in events],
                             ["WM_MOUSEMOVE", "WM_LBUTTONDOWN"] + ["WM_MOUSEMOVE"] * 5 + ["WM_LBUTTONUP"])
            xs = [e[1] for e in events[1:]]
            self.assertEqual([b - a for a, b in zip(xs, xs[1:])][:6], [2, 4, 2, 2, 2, 0])
            # The idle timer ended the drag, after the last step; a busy machine makes that later, never
            # sooner than the idle time.
            rested = (up_record.int("t") - last) / 1e7
            self.assertGreaterEqual(rested, 0.9, "the button came up before the wheel had rested a second")



class _CloseEditors:
    """Closes the editors a scenario had the driver start (they are no processes of the session)."""

    def __init__(self, session):
        self.s = session

    def stop(self):
        for window in self.s.windows(title="Quorvel 2", all_windows=True):
            self.s.post(window.int("hwnd"), 0x0010)  # WM_CLOSE
        wait_until(lambda: not self.s.processes("QVL2.exe"), 20, "the editor to end")


class DriverTray(unittest.TestCase):
    def test_disable_closes_the_port_and_enable_opens_it_again(self):
        with Session("driver-disable-enable") as s:
            port, driver, watcher = started(s)
            menu, _ = driver.choose_from_menu(ID_DISABLE)
            self.assertEqual((menu["toggle"], menu.int("command")), ("Disable QVL2", ID_DISABLE))
            port.wait_closed()
            self.assertEqual(driver.trace.wait_for("close")["was_open"], "1")

            menu, _ = driver.choose_from_menu(ID_ENABLE)
            self.assertEqual((menu["toggle"], menu.int("command")), ("Enable QVL2", ID_ENABLE))
            port.wait_opened(2)
            self.assertEqual(port.read(2), START_BYTE * 2, "a start byte after each opening")

            probe = s.probe()
            since = probe.mark()
            port.write(PLAY_DOWN + PLAY_UP)
            self.assertEqual(probe.wait_key_events(2, since), [down("RETURN"), up("RETURN")])
            self.assertFalse(watcher.dialogs(), "no box on the way")

    def test_exit_closes_the_port_before_the_message_loop_ends(self):
        with Session("driver-exit") as s:
            port, driver, watcher = started(s)
            since = driver.trace.mark()
            driver.choose_from_menu(ID_EXIT)
            self.assertEqual(driver.process.wait(20), 0)
            port.wait_closed()
            after = [(r.kind, r.get("id") or r.get("was_open")) for r in driver.lines(since=since)
                     if r.kind in ("command", "close", "exit")]
            self.assertEqual(after, [("command", str(ID_EXIT)), ("close", "1"), ("exit", None)])
            self.assertFalse(s.windows(title="QLV", all_windows=True), "the hidden window is gone")
            self.assertFalse(watcher.dialogs())

    def test_the_end_of_the_windows_session_closes_the_port_and_ends_the_driver(self):
        with Session("driver-end-session") as s:
            port, driver, watcher = started(s)
            since = driver.trace.mark()
            s.send(driver.hidden_window().int("hwnd"), 0x0016, 1, 0)  # WM_ENDSESSION, ending
            self.assertEqual(driver.process.wait(20), 0)
            port.wait_closed()
            self.assertEqual([r.kind for r in driver.lines(since=since)], ["close", "exit"])
            self.assertFalse(watcher.dialogs())

    def test_exit_while_the_click_window_question_waits_ends_at_once(self):
        with Session("driver-exit-question") as s:
            mixer = keyset("mixer", {("MainBank", "Play"): assignment(
                mouse=LEFT_CLICK, point=(5, 5), title="Gone", class_name="Nothing")})
            port, driver, watcher = started(s, keyset("Default"), mixer)
            s.probe(exe_name="mixer.exe")
            since = watcher.mark()
            port.write(PLAY_DOWN)  # the window of the click is missing: the driver asks
            box = watcher.wait_dialog(since, caption="qvl2rs")
            self.assertIn('"Gone" is not open', box["text"])

            # The question holds the port's reader; Exit answers it with Cancel and goes on.
            exiting = driver.trace.mark()
            _, chosen = driver.choose_from_menu(ID_EXIT)
            self.assertEqual(driver.process.wait(60), 0)
            # Measured by the driver itself: waiting for the reader would take the 20-second close wait.
            closed = driver.trace.wait_for("close", exiting)
            self.assertLess((closed.int("t") - chosen.int("t")) / 1e7, 15,
                            "no wait for a reader that never comes back")
            port.wait_closed()
            watcher.wait_closed(box.int("hwnd"))
            self.assertEqual(len(watcher.dialogs(since)), 1, "no box about closing the port")
            play = s.wine.reg_value(f"{KEYSETS}\\mixer\\MainBank", "Play")
            self.assertEqual(play[28:33], b"Gone\0", "a cancelled question keeps the window of the click")

    def test_reload_driver_leaves_exactly_one_driver_running(self):
        with Session("driver-reload") as s:
            port, driver, watcher = started(s)
            first = driver.hidden_window()
            since = driver.trace.mark()
            driver.choose_from_menu(ID_RELOAD_DRIVER)
            self.assertEqual(driver.process.wait(20), 0, "the old driver ends")
            # The new driver opens the port again, sends its start byte and adds its icon.
            port.wait_opened(2)
            self.assertEqual(port.read(2), START_BYTE * 2)
            driver.trace.wait_for("icon", since)
            kinds = [r.kind for r in driver.lines(since=since)
                     if r.kind in ("command", "close", "exit", "start", "port", "startbyte", "icon")]
            self.assertEqual(kinds, ["command", "close", "exit", "start", "port", "startbyte", "icon"])
            drivers = s.processes("qvl2rs.exe")
            self.assertEqual(len(drivers), 1, drivers)
            windows = s.windows(title="QLV", all_windows=True)
            self.assertEqual(len(windows), 1)
            self.assertNotEqual(windows[0].int("hwnd"), first.int("hwnd"))

            probe = s.probe()
            since = probe.mark()
            port.write(STOP_DOWN + STOP_UP)
            self.assertEqual(probe.wait_key_events(2, since), [down("SPACE"), up("SPACE")])
            driver.exit()
            wait_until(lambda: not s.processes("qvl2rs.exe"), 20, "the new driver to end")
            self.assertFalse(watcher.dialogs())

    def test_open_editor_starts_the_editor_once_and_then_brings_it_forward(self):
        with Session("driver-open-editor") as s:
            port, driver, watcher = started(s)
            s.own(_CloseEditors(s))
            driver.choose_from_menu(ID_OPEN_EDITOR)
            editor = s.wait_window("QVL2MainFrame", "Quorvel 2", timeout=30)
            probe = s.probe()  # something else in front
            driver.choose_from_menu(ID_OPEN_EDITOR)
            s.wait_foreground(editor.int("hwnd"))
            self.assertEqual(len(s.processes("QVL2.exe")), 1, "no second editor")



class DriverResilience(unittest.TestCase):
    """The device going away and coming back, what the driver holds down, a hung editor."""

    LOST = "The QVL2 on COM1 is not answering; QVL2 will reconnect when it is back."
    BACK = "The QVL2 on COM1 is connected."

    def test_the_simulator_going_away_and_coming_back_with_play_held(self):
        with Session("driver-port-lost") as s:
            s.screen()
            store_keysets(s)
            watcher = s.watcher()
            simulator = Simulator(s, "expect start\npress play\n")
            probe = s.probe()
            since = probe.mark()
            driver = Driver(s)
            self.assertEqual(probe.wait_key_events(1, since), [down("RETURN")])

            # The simulator ends: its pty goes with it, Play still down.
            lost = driver.trace.mark()
            simulator.stop()
            self.assertEqual(probe.wait_key_events(2, since), [down("RETURN"), up("RETURN")])
            driver.trace.wait_for("lost", lost)
            self.assertEqual(driver.trace.wait_for("notify", lost)["text"], self.LOST)
            tray = driver.trace.wait_for("tray", lost, where=lambda r: r["state"] != "connected")
            self.assertEqual((tray["state"], tray["tip"]), ("retrying", "QVL 2 - COM1 not connected, retrying"))
            driver.trace.wait_for("port", lost)  # a try that finds nothing
            self.assertEqual(s.run("shared_info_peer.exe", "portopen").returncode, 10, "portOpen is 0")
            self.assertEqual(driver.open_menu()["toggle"], "Disable QVL2", "still enabled: Disable stops retrying")
            driver.dismiss_menu()

            # Back on the same link: the next try opens it, the start byte goes out, Play works.
            back = driver.trace.mark()
            since = probe.mark()
            Simulator(s, "expect start\ntap play\n", name="qvl2sim-back")
            self.assertEqual(probe.wait_key_events(2, since), [down("RETURN"), up("RETURN")])
            tries = [r["open"] for r in driver.lines("port", back)]
            self.assertEqual(tries[-1], "1")
            self.assertLessEqual(len(tries), 2, f"the first try after it came back opens it: {tries}")
            self.assertEqual(driver.trace.wait_for("notify", back)["text"], self.BACK)
            self.assertEqual(driver.trace.wait_for("tray", back)["tip"], "QVL 2 - COM1 - Default")
            # The probe may see the key go up before the driver has written the line of its release.
            driver.trace.wait_for("key", back, where=lambda r: r["up"] == "1")
            self.assertEqual(driver.lines("key", back)[-1]["up"], "1", "nothing left down")
            self.assertFalse(watcher.dialogs(), "no box at any time")
            self.assertIsNone(driver.process.popen.poll(), "the driver runs on")

    def test_a_port_that_stays_away_is_retried_without_a_box(self):
        with Session("driver-port-stays-away") as s:
            port, driver, watcher = started(s)
            lost = driver.trace.mark()
            s.wine.point_port(1, s.folder)  # what comes back cannot be opened
            port.close()
            driver.trace.wait_for("lost", lost)
            driver.trace.wait_count(3, "port", lost, timeout=30)
            self.assertEqual({r["open"] for r in driver.lines("port", lost)}, {"0"})
            self.assertFalse(watcher.dialogs())
            # Disable stops the retrying.
            disabled = driver.trace.mark()
            driver.choose_from_menu(ID_DISABLE)
            self.assertEqual(driver.trace.wait_for("tray", disabled)["state"], "disabled")

    def test_a_port_that_takes_no_start_byte_is_a_lost_port_and_the_tray_stays_free(self):
        with Session("driver-stalled-port") as s:
            s.screen()
            store_keysets(s)
            s.device_port(1, StalledPort())
            watcher = s.watcher()
            driver = Driver(s)
            self.assertEqual(driver.wait_port()["open"], "1")
            # The write gives up and the port is taken for lost, as one that went away.
            self.assertEqual(driver.trace.wait_for("startbyte", timeout=30)["ok"], "0")
            driver.trace.wait_for("lost")
            driver.trace.wait_for("tray", where=lambda r: r["state"] == "retrying", timeout=30)
            # A retry opens the port, which still takes nothing: quietly closed again.
            retries = driver.trace.mark()
            driver.trace.wait_for("close", retries, timeout=30)
            # The window thread answers: the menu still offers Disable, and Exit ends the driver.
            self.assertEqual(driver.open_menu()["toggle"], "Disable QVL2")
            driver.choose(ID_EXIT)
            self.assertEqual(driver.process.wait(30), 0)
            self.assertEqual([r["text"] for r in driver.lines("notify")], [self.LOST], "told once, never back")
            self.assertFalse(watcher.dialogs(), "no box")

    def test_disable_while_play_is_held_lets_go_of_enter_and_its_late_release_sends_nothing(self):
        with Session("driver-disable-held") as s:
            port, driver, watcher = started(s)
            probe = s.probe()
            since = probe.mark()
            port.write(PLAY_DOWN)
            probe.wait_key_events(1, since)
            driver.choose_from_menu(ID_DISABLE)
            self.assertEqual(probe.wait_key_events(2, since), [down("RETURN"), up("RETURN")])
            driver.choose_from_menu(ID_ENABLE)
            port.wait_opened(2)
            keys = driver.trace.mark()
            port.write(PLAY_UP + STOP_DOWN + STOP_UP)
            self.assertEqual(probe.wait_key_events(4, since)[2:], [down("SPACE"), up("SPACE")])
            driver.trace.wait_for("key", keys, where=lambda r: r["up"] == "1")  # written after the key went up
            self.assertEqual([(r["vk"], r["up"]) for r in driver.lines("key", keys)], [("0x20", "0"), ("0x20", "1")])

    def test_a_drag_held_at_exit_is_released(self):
        with Session("driver-exit-drag") as s:
            mixer = keyset("mixer", {("MainBank", "CWheel"): assignment(mouse=HORIZONTAL_DRAG, speed=128)})
            port, driver, _ = started(s, keyset("Default"), mixer)
            probe = s.probe(exe_name="mixer.exe")
            since = probe.mark()
            s.inject(s.absolute(*probe.child_point(0, 100, 100)))
            port.write(wheel_cw(1) + wheel_cw(2))
            probe.log.wait_for("llmouse", since, where=lambda r: r["msg"] == "WM_LBUTTONDOWN")
            driver.choose_from_menu(ID_EXIT)
            probe.log.wait_for("llmouse", since, where=lambda r: r["msg"] == "WM_LBUTTONUP")
            self.assertEqual(driver.process.wait(20), 0)

    def test_a_hung_editor_does_not_stop_the_driver(self):
        with Session("driver-hung-editor") as s:
            port, driver, _ = started(s)
            editor = s.probe(exe_name="qvl2.exe", title="Quorvel 2", children=["#32770::10,10,100,100"],
                             hooks=False, name="editor")
            editor.hang()
            events = driver.trace.mark()
            port.write(PLAY_DOWN + PLAY_UP)
            self.assertEqual(driver.trace.wait_for("forward", events, timeout=20).int("command"), 1013)
            # The next event, with another program in front, gives its keystroke.
            other = s.probe(name="other")
            since = other.mark()
            port.write(STOP_DOWN + STOP_UP)
            self.assertEqual(other.wait_key_events(2, since), [down("SPACE"), up("SPACE")])


WS_EX_NOTE = 0x08 | 0x80 | 0x20 | 0x80000 | 0x08000000  # topmost, tool, transparent, layered, no-activate


class DriverSteps(unittest.TestCase):
    def test_keys_text_waits_held_keys_release_steps_and_repeat_reach_the_program_in_order(self):
        with Session("driver-steps") as s:
            main = {
                ("MainBank", "Play"): steps('Ctrl+S, "ab", Enter'),
                ("MainBank", "FF"): steps("A, wait 600, B"),
                ("MainBank", "RR"): steps("Shift down, X", release="K"),
                ("MainBank", "Record"): steps(repeat=True),
                ("Option Bank", "Stop"): steps("wait 300, Space"),
            }
            record = {("MainBank", "Record"): assignment(vk=ord("R"))}
            port, driver, _ = started(s, keyset("Default", record, main))
            probe = s.probe()

            # Keys with their scan codes, the text as characters, in the order written. (Wine's hook sees a
            # character's key-up without its up flag: the message says it.)
            since = probe.mark()
            port.write(PLAY_DOWN + PLAY_UP)
            hooked = probe.log.wait_count(10, "llkey", since, where=lambda r: r["injected"] == "1")
            self.assertEqual([(r.int("vk"), r["msg"][3:]) for r in hooked], [
                (VK["CONTROL"], "KEYDOWN"), (VK["S"], "KEYDOWN"), (VK["S"], "KEYUP"), (VK["CONTROL"], "KEYUP"),
                (VK_PACKET, "KEYDOWN"), (VK_PACKET, "KEYUP"), (VK_PACKET, "KEYDOWN"), (VK_PACKET, "KEYUP"),
                (VK["RETURN"], "KEYDOWN"), (VK["RETURN"], "KEYUP")])
            self.assertNotIn("0x0", [r["scan"] for r in hooked if r.int("vk") != VK_PACKET])
            self.assertEqual([r.int("scan") for r in hooked if r.int("vk") == VK_PACKET], [0x61, 0x61, 0x62, 0x62])
            probe.log.wait_for("char", since, where=lambda r: r.int("code") == 0x0D)
            self.assertEqual([r.int("code") for r in probe.log.records("char", since) if r.int("code") >= 0x20],
                             [0x61, 0x62])
            self.assertEqual(driver.trace.wait_for("steps")["steps"], 'Ctrl+S, "ab", Enter')

            # The wait is honoured; Stop, pressed during it, comes after.
            since = probe.mark()
            port.write(FF_DOWN + FF_UP + STOP_DOWN + STOP_UP)
            self.assertEqual(probe.wait_key_events(6, since),
                             [down("A"), up("A"), down("B"), up("B"), down("SPACE"), up("SPACE")])
            a_up, b_down = probe.log.records("llkey", since)[1:3]
            self.assertGreaterEqual(b_down.int("t") - a_up.int("t"), 5_500_000, "B came before the wait was over")

            # Shift stays down while Rewind is held; the release steps, then Shift goes up.
            since = probe.mark()
            port.write(RR_DOWN)
            self.assertEqual(probe.wait_key_events(3, since), [down("SHIFT"), down("X"), up("X")])
            port.write(RR_UP)
            self.assertEqual(probe.wait_key_events(6, since)[3:], [down("K"), up("K"), up("SHIFT")])

            # Record repeats its key while held, ends with one key-up, and nothing repeats after it: Option+Stop
            # types its space 300 ms after the release.
            since = probe.mark()
            port.write(RECORD_DOWN)
            probe.wait_key_events(3, since, timeout=30)
            port.write(RECORD_UP + OPTION_DOWN + STOP_DOWN + STOP_UP + OPTION_UP)
            probe.log.wait_for("llkey", since, where=lambda r: r.int("vk") == VK["SPACE"] and r["up"] == "1")
            events = probe.key_events(since)
            repeats = events.index(up("R"))
            self.assertGreaterEqual(repeats, 3)
            self.assertEqual(events, [down("R")] * repeats + [up("R"), down("SPACE"), up("SPACE")])

    def test_disable_during_a_long_wait_sends_nothing_more_and_leaves_nothing_down(self):
        with Session("driver-steps-disable") as s:
            # The waits outlast the tray menu's way on a busy machine.
            held = {("MainBank", "Play"): steps("A down, wait 5000, B", release="C"),
                    ("MainBank", "Stop"): steps("wait 5000, Space")}
            port, driver, _ = started(s, keyset("Default", None, held))
            probe = s.probe()
            since = probe.mark()
            port.write(PLAY_DOWN)
            probe.wait_key_events(1, since)
            driver.choose_from_menu(ID_DISABLE)
            self.assertEqual(probe.wait_key_events(2, since), [down("A"), up("A")])
            driver.choose_from_menu(ID_ENABLE)
            port.wait_opened(2)
            # Play's late release plays no release steps; Stop's space comes after B would have.
            port.write(PLAY_UP + STOP_DOWN + STOP_UP)
            self.assertEqual(probe.wait_key_events(4, since, timeout=60),
                             [down("A"), up("A"), down("SPACE"), up("SPACE")])


class DriverNote(unittest.TestCase):
    def note_says(self, s, driver, text, since=0):
        """The note window, once it has shown `text`: the trace says so, and its window text is it."""
        driver.trace.wait_for("note", since, where=lambda r: r["text"] == text)
        note = s.windows("QVL2Note", all_windows=True)[0]
        self.assertEqual(note["title"], text)
        self.assertEqual(note.int("exstyle") & WS_EX_NOTE, WS_EX_NOTE)
        return note

    def test_the_keyset_in_use_is_shown_while_the_program_in_front_keeps_the_foreground_and_the_key(self):
        with Session("driver-note-keyset") as s:
            port, driver, _ = started(s, keyset("Default"), keyset("waveedit"))
            for exe_name, name in (("WaveEdit.exe", "waveedit"), (None, "Default")):
                probe = s.probe(exe_name=exe_name)
                since = probe.mark()
                port.write(PLAY_DOWN + PLAY_UP)
                self.assertEqual(probe.wait_key_events(2, since), [down("RETURN"), up("RETURN")])
                self.note_says(s, driver, name)
                self.assertEqual(s.foreground().int("hwnd"), probe.hwnd)
            # The note never took the program's keys: each press reached the program in front once.
            self.assertEqual(len(probe.received_keys()), 2)

    def test_with_the_keyset_note_off_and_actions_on_each_press_says_what_it_did(self):
        with Session("driver-note-actions") as s:
            port, driver, _ = started(s, keyset("Default"), keyset("waveedit"), notes=2)
            # The setting stays in the prefix otherwise, for the scenarios after this one.
            self.addCleanup(s.wine.reg, "delete", SETTINGS, "/v", "Notes", "/f", check=False)
            probe = s.probe(exe_name="WaveEdit.exe")
            since = probe.mark()
            port.write(OPTION_DOWN + OPTION_UP)  # the keyset changes; OPTION itself does nothing
            driver.trace.wait_for("keyset", where=lambda r: r["name"] == "waveedit")
            port.write(PLAY_DOWN + PLAY_UP)
            probe.wait_key_events(2, since)
            self.note_says(s, driver, "Play: Enter")
            self.assertEqual([r["text"] for r in driver.lines("note")], ["Play: Enter"])


class DriverRun(unittest.TestCase):
    def test_the_demo_of_scripts_run_shows_device_driver_and_program(self):
        script = Path(__file__).resolve().parents[2] / "scripts" / "lib" / "run_driver.py"
        done = subprocess.run([sys.executable, str(script)], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, timeout=120)
        output = done.stdout.decode(errors="replace")
        self.assertEqual(done.returncode, 0, output)
        lines = [line.split(None, 1)[1] for line in output.splitlines()[1:] if line.strip()]
        for expected in ["driver   port COM1 opened", "device   Play down  (MainBank)",
                         'driver   keyset "waveedit" (index 1) for the program in front', 'driver   note  "waveedit"',
                         "driver   sends Enter down",
                         "program  WM_KEYDOWN Enter", "device   Play down  (Option Bank)", "program  WM_KEYDOWN Home",
                         "device   wheel clockwise 3  (MainBank)", "program  WM_KEYDOWN Right",
                         "device   wheel clockwise 4  (Option Bank)", "driver   sends pointer moves +2,+0",
                         "driver   tray command Exit", "driver   port closed"]:
            self.assertIn(expected, lines, output)
        # Every message of the demo, in the order it was played.
        device = [line for line in lines if line.startswith("device")]
        self.assertEqual(len(device), 38, output)


def ruled(name, rule, changes):
    """Keyset `name` with its window rule ({"MatchProgram": ..., "MatchTitle": ..., "MatchClass": ...})."""
    values = keyset(name, changes)
    values[f"{KEYSETS}\\{name}"].update(rule)
    return values


class DriverWindowRules(unittest.TestCase):
    def test_windows_of_one_program_get_keysets_by_title_and_by_class_at_consecutive_presses(self):
        with Session("driver-window-rules") as s:
            play = lambda vk: {("MainBank", "Play"): assignment(vk=ord(vk))}  # noqa: E731
            port, driver, _ = started(
                s, keyset("Default"), keyset("waveedit", play("A")),
                ruled("waveedit - Video", {"MatchProgram": "waveedit", "MatchTitle": "video"}, play("B")),
                ruled("mixer", {"MatchProgram": "waveedit", "MatchClass": "QvlMixer"}, play("C")))
            for folder in ("one", "two", "three"):
                s.path(folder).mkdir()
            mail = s.probe(exe_name="one/WaveEdit.exe", title="Inbox", name="inbox")
            video = s.probe(exe_name="two/WaveEdit.exe", title="My Video", name="video")
            mixer = s.probe(exe_name="three/WaveEdit.exe", title="Mixer", class_name="QvlMixer", name="mixer")
            for probe, key, name in ((mixer, "C", "mixer"), (video, "B", "waveedit - Video"), (mail, "A", "waveedit")):
                probe.take_foreground()
                since = probe.mark()
                port.write(PLAY_DOWN + PLAY_UP)
                self.assertEqual(probe.wait_key_events(2, since), [down(key), up(key)])
                driver.trace.wait_for("keyset", where=lambda r, name=name: r["name"] == name)
            self.assertEqual(driver.trace.wait_for("keyset", where=lambda r: r["name"] == "mixer")["why"],
                             'class "QvlMixer"')

    def test_a_hosted_app_gets_its_own_keyset_and_its_host_the_hosts(self):
        with Session("driver-hosted-app") as s:
            play = lambda vk: {("MainBank", "Play"): assignment(vk=ord(vk))}  # noqa: E731
            port, driver, _ = started(s, keyset("Default"), keyset("waveedit", play("A")),
                                      keyset("applicationframehost", play("H")))
            for folder in ("app", "frame"):
                s.path(folder).mkdir()
            # The app's window inside the host's frame, as the system hosts Store apps: the app's keyset.
            host = s.probe(exe_name="ApplicationFrameHost.exe", title="Frame", name="host")
            app = s.probe(exe_name="app/WaveEdit.exe", title="Hosted", name="app")
            s.tool("qvl_window.exe", "set-parent", hex(app.hwnd), hex(host.hwnd))
            host.take_foreground()
            port.write(PLAY_DOWN + PLAY_UP)
            driver.trace.wait_for("keyset", where=lambda r: r["name"] == "waveedit")
            # A frame of the host with nothing of another program inside: the host's own keyset.
            frame = s.probe(exe_name="frame/ApplicationFrameHost.exe", title="Empty frame", name="frame")
            since = frame.mark()
            port.write(PLAY_DOWN + PLAY_UP)
            self.assertEqual(frame.wait_key_events(2, since), [down("H"), up("H")])

if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
