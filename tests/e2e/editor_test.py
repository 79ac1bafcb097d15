"""The keyset editor, QVL2.exe, under Wine: started as its user starts it, driven through its menu
commands, its file dialogs and its question boxes, and checked in its window, in the registry and
in the files it writes.

Run one group:  python3 tests/e2e/editor_test.py EditorKeysetCommands
(ctest runs each group on its own; the Windows build must be there.)
"""

import struct
import sys
import unittest
from pathlib import Path

from harness import HarnessError, Session, WineEnv, wait_until
from driver import Driver

EDITOR_KEY = "HKCU\\Software\\Vendrake Electronics\\QVL2"
KEYSETS = EDITOR_KEY + "\\Keysets"
SETTINGS = EDITOR_KEY + "\\Settings"
RUN_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
BANKS = ["MainBank", "Option Bank", "Shift Bank", "Option+Shift Bank"]
CONTROLS = ["Play", "Stop", "FF", "RR", "Record", "CCWheel", "CWheel"]

WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
WM_SYSCOMMAND = 0x0112
SC_KEYMENU = 0xF100

ID_NEW_KEYSET, ID_IMPORT_KEYSET, ID_EXPORT_KEYSET = 32771, 57601, 57604
ID_COPY_KEYSET, ID_PASTE_KEYSET, ID_CLEAR_KEYSET, ID_DELETE_KEYSET = 32782, 32783, 32784, 32775
ID_PREFERENCES = 32773
ID_KEYSET_FIRST = 2000

NEW_QUESTION = ("The keyset you are about to create has the same target application as a keyset that is "
                "already stored. Do you want to replace that keyset?")
DELETE_QUESTION = "The current keyset will be deleted. Are you sure?"

# A ControlAssignment, 380 bytes: capture flag, wheel speed, flag code, hot key and its modifiers,
# special key, mouse mode, click point, window title, window class, control name.
ASSIGNMENT = struct.Struct("<Bxhh HH2x I h2x ii 256s 63s 33s")


def assignment(name="", vk=0, special=0):
    return ASSIGNMENT.pack(0, 64, 128, vk, 0, special, 0, -1, -1, b"", b"", name.encode())


def app_pref(name):
    return name.encode().ljust(32, b"\0") + bytes(12)


def keyset_values(name, play_vk=0):
    """The registry values of a keyset whose main-bank Play sends `play_vk` (else nothing set)."""
    values = {f"{KEYSETS}\\{name}": {"AppPref": app_pref(name)}}
    for bank in BANKS:
        values[f"{KEYSETS}\\{name}\\{bank}"] = {
            control: assignment(control, vk=play_vk if (bank, control) == ("MainBank", "Play") else 0)
            for control in CONTROLS}
    return values


def stored_play(wine, name):
    """The main-bank Play assignment of a stored keyset, unpacked; None when the keyset is missing."""
    value = wine.reg_value(f"{KEYSETS}\\{name}\\MainBank", "Play")
    return ASSIGNMENT.unpack(value) if value is not None else None


def stored_names(wine):
    status, output = wine.reg("query", KEYSETS, check=False)
    prefix = KEYSETS.replace("HKCU", "HKEY_CURRENT_USER") + "\\"
    return sorted(line[len(prefix):] for line in output.splitlines()
                  if line.startswith(prefix) and "\\" not in line[len(prefix):])


def watch(s, *rules):
    """The dialog watcher with `rules`; a box no rule answers fails the scenario's next wait at once."""
    return s.watcher(*rules, strict=True)


class Editor:
    """QVL2.exe in a session: its frame, its panel and the keyset caption. Every wait of the session
    fails at once, with the exit code, when the editor ends before its scenario closes it."""

    def __init__(self, session, *args, program="QVL2.exe", env=None):
        self.s = session
        self.closing = False
        self.process = session.start(program, *args, env=env, stop=lambda p: self.close_window())
        session.watchdog(self.check_running)
        frame = session.wait_window("QVL2MainFrame", "Quorvel 2", timeout=30)
        self.hwnd = frame.int("hwnd")

        def whole_panel():
            # The panel makes its hidden controls once it has painted, "Faster" (1021) the last.
            children = session.children(self.hwnd)
            return children if any(c.int("id") == 1021 for c in children) else None

        self.children = wait_until(whole_panel, 30, "the editor's panel with all its controls")
        self.caption_hwnd = next(c.int("hwnd") for c in self.children if c.int("id") == 1007)

    def check_running(self, what):
        if not self.closing and not self.process.running:
            raise HarnessError(f"QVL2.exe ended with {self.process.popen.returncode} while the scenario waited for "
                               f"{what}: {self.process.errors().strip()}")

    def close_window(self):
        self.closing = True
        self.s.post(self.hwnd, WM_CLOSE)

    def close(self):
        """Close the window as its user would, and wait for the program to end; its exit code."""
        self.close_window()
        return self.process.wait(20)

    def post(self, command):
        self.s.post(self.hwnd, WM_COMMAND, command)

    def send(self, command):
        """A command that the editor has finished with when this returns (it shows no box)."""
        self.s.send(self.hwnd, WM_COMMAND, command)

    def caption(self):
        return self.s.window_info(self.caption_hwnd)["title"]

    def wait_caption(self, name, timeout=10):
        wanted = f'Current Keyset: "{name}"'
        wait_until(lambda: self.caption() == wanted, timeout, f"the keyset caption to read {wanted}")


def fresh(session, *keysets):
    """A registry without the editor's keys and the driver's Run entry, holding `keysets`."""
    wine = session.wine
    wine.reg_delete(EDITOR_KEY)
    wine.reg_delete(RUN_KEY, "qvl2rs")
    values = {}
    for keyset in keysets:
        values.update(keyset)
    if values:
        wine.reg_import(session.path("keysets.reg"), values)


def no_dialogs_of_the_editor(s):
    return [w for w in s.windows("#32770") if w["process"].lower() == "qvl2.exe"]


class EditorStart(unittest.TestCase):
    def test_it_starts_titled_with_its_panel_and_stores_default(self):
        with Session("editor-start") as s:
            fresh(s)
            editor = Editor(s)
            panels = [c for c in editor.children if c["class"] == "#32770"]
            self.assertEqual([(p["title"], p.int("parent")) for p in panels], [("", editor.hwnd)])
            self.assertEqual(editor.caption(), 'Current Keyset: "Default"')

            # The start-up save wrote "Default" with the defaults, and (before reading them) no
            # preferences.
            self.assertEqual(stored_names(s.wine), ["Default"])
            self.assertEqual(s.wine.reg_value(f"{KEYSETS}\\Default", "AppPref"), app_pref("Default"))
            play = stored_play(s.wine, "Default")
            self.assertEqual((play[1], play[2], play[5], play[-1].rstrip(b"\0")), (64, 128, 13, b"Play"))
            wheel = ASSIGNMENT.unpack(s.wine.reg_value(f"{KEYSETS}\\Default\\MainBank", "CCWheel"))
            self.assertEqual((wheel[3], wheel[4], wheel[-1].rstrip(b"\0")), (37, 8, b"Wheel"))
            self.assertIsNone(s.wine.reg_query(SETTINGS))

            self.assertEqual(editor.close(), 0)
            self.assertEqual(s.wine.reg_value(SETTINGS, "Prefs"), bytes([1, 0, 0, 0, 0, 0, 0, 0]))
            self.assertIsNone(s.wine.reg_value(RUN_KEY, "qvl2rs"), "the default writes no Run entry")

    def test_stored_keysets_are_loaded_with_default_first(self):
        with Session("editor-load") as s:
            fresh(s, keyset_values("alpha", ord("A")), keyset_values("Default"))
            s.wine.reg_set(SETTINGS, "Prefs", bytes([0, 0, 0, 0, 3, 0, 0, 0]))
            editor = Editor(s)
            editor.send(ID_KEYSET_FIRST + 1)
            editor.wait_caption("alpha")
            editor.send(ID_KEYSET_FIRST)
            editor.wait_caption("Default")
            self.assertEqual(editor.close(), 0)
            # Kept as loaded and written back as read.
            self.assertEqual(stored_play(s.wine, "alpha")[3], ord("A"))
            self.assertEqual(s.wine.reg_value(SETTINGS, "Prefs"), bytes([0, 0, 0, 0, 3, 0, 0, 0]))


class EditorKeysetCommands(unittest.TestCase):
    def test_export_and_delete_are_refused_while_default_is_current(self):
        with Session("editor-default") as s:
            fresh(s)
            editor = Editor(s)
            watch(s)  # fails on any box that would show
            for command in (ID_EXPORT_KEYSET, ID_DELETE_KEYSET):
                editor.send(command)  # returns at once: no dialog holds it
            self.assertEqual(no_dialogs_of_the_editor(s), [])
            self.assertEqual(stored_names(s.wine), ["Default"])

    def test_a_new_keyset_through_the_file_dialog_and_the_replace_question(self):
        with Session("editor-new") as s:
            fresh(s, keyset_values("Default"), keyset_values("waveedit", ord("W")))
            program = s.path("Audio") / "WaveEdit.EXE"
            program.parent.mkdir()
            program.write_bytes(b"MZ")
            other = s.path("Notepad.exe")
            other.write_bytes(b"MZ")
            watcher = watch(s, f"caption=Quorvel 2;text={NEW_QUESTION};times=1;press=No",
                                f"caption=Quorvel 2;text={NEW_QUESTION};press=Yes",
                                f"caption=New Keyset;times=1;fill=1148:{WineEnv.windows_path(other)};press=Open",
                                f"caption=New Keyset;fill=1148:{WineEnv.windows_path(program)};press=Open")
            editor = Editor(s)

            # A new target: no question, the keyset appears, current, under the lower-case title.
            editor.post(ID_NEW_KEYSET)
            editor.wait_caption("notepad")
            self.assertEqual(stored_names(s.wine), ["Default", "notepad", "waveedit"])
            self.assertEqual(stored_play(s.wine, "notepad")[5], 13)
            self.assertEqual(watcher.dialogs(caption="Quorvel 2"), [])

            # The stored target: the question, and No keeps the keyset as it was.
            since = watcher.mark()
            editor.post(ID_NEW_KEYSET)
            box = watcher.wait_dialog(since, caption="Quorvel 2")
            self.assertEqual((box["text"], box["buttons"]), (NEW_QUESTION, "&Yes|&No"))
            watcher.wait_closed(box.int("hwnd"))
            editor.send(ID_KEYSET_FIRST)  # the editor has done with the command once this returns
            self.assertEqual(stored_play(s.wine, "waveedit")[3], ord("W"))

            # Yes resets it to the defaults, in its place.
            since = watcher.mark()
            editor.post(ID_NEW_KEYSET)
            watcher.wait_closed(watcher.wait_dialog(since, caption="Quorvel 2").int("hwnd"))
            editor.wait_caption("waveedit")
            play = stored_play(s.wine, "waveedit")
            self.assertEqual((play[3], play[5]), (0, 13))
            self.assertEqual(stored_names(s.wine), ["Default", "notepad", "waveedit"])
            self.assertEqual(editor.close(), 0)

    def test_the_keysets_menu_lists_the_keysets_in_order_with_ids_from_2000(self):
        with Session("editor-menu") as s:
            fresh(s, keyset_values("Default"), keyset_values("alpha"), keyset_values("beta"))
            editor = Editor(s)
            # The list order is Default, alpha, beta: item i of the submenu chooses keyset i.
            for position, name in [(1, "alpha"), (2, "beta"), (0, "Default")]:
                s.post(editor.hwnd, WM_SYSCOMMAND, SC_KEYMENU, ord("e"))  # Alt+E: the Edit menu
                s.popup_menu()
                s.menu_keys("K")  # "&Keysets": its submenu opens on its first item
                wait_until(lambda: len(s.windows("#32768")) == 2, 10, "the Keysets submenu to open")
                s.menu_keys(*(["DOWN"] * position), "RETURN")
                editor.wait_caption(name)
                s.wait_no_window("#32768")
            # The same items by their ids; an id past the list does nothing.
            editor.send(ID_KEYSET_FIRST + 2)
            editor.wait_caption("beta")
            editor.send(ID_KEYSET_FIRST + 3)
            self.assertEqual(editor.caption(), 'Current Keyset: "beta"')

    def test_export_delete_and_import_bring_the_keyset_back_byte_for_byte(self):
        with Session("editor-files") as s:
            fresh(s, keyset_values("Default"), keyset_values("waveedit", ord("W")))
            target = s.path("saved.qvl")
            windows_target = WineEnv.windows_path(target)
            watcher = watch(s, f"caption=Export Keyset;fill=1148:{windows_target};press=Save",
                                f"caption=Quorvel 2;text={DELETE_QUESTION};times=1;press=No",
                                f"caption=Quorvel 2;text={DELETE_QUESTION};press=Yes",
                                f"caption=Import Keyset;fill=1148:{windows_target};press=Open")
            editor = Editor(s)
            editor.send(ID_KEYSET_FIRST + 1)
            editor.wait_caption("waveedit")

            editor.post(ID_EXPORT_KEYSET)
            wait_until(lambda: target.exists() and target.stat().st_size == 10696 + 14, 20, "the exported file")
            data = target.read_bytes()
            self.assertEqual(data[:12], b"QVL2\x02\x00\x01\x00\xc4\x29\x00\x00")
            self.assertEqual(data[12:56], app_pref("waveedit"))
            self.assertEqual(data[10696:], b"RULE\x06\x00\x00\x00" + bytes(6))  # no window rule
            for b, bank in enumerate(BANKS):
                for c, control in enumerate(CONTROLS):
                    offset = 56 + b * 2660 + c * 380
                    self.assertEqual(data[offset:offset + 380],
                                     s.wine.reg_value(f"{KEYSETS}\\waveedit\\{bank}", control), f"{bank} {control}")

            # Delete: No keeps it, Yes removes it and makes the keyset before it current.
            since = watcher.mark()
            editor.post(ID_DELETE_KEYSET)
            watcher.wait_closed(watcher.wait_dialog(since, caption="Quorvel 2").int("hwnd"))
            editor.send(ID_KEYSET_FIRST + 1)
            self.assertEqual(stored_names(s.wine), ["Default", "waveedit"])
            since = watcher.mark()
            editor.post(ID_DELETE_KEYSET)
            watcher.wait_closed(watcher.wait_dialog(since, caption="Quorvel 2").int("hwnd"))
            editor.wait_caption("Default")
            self.assertEqual(stored_names(s.wine), ["Default"])

            # Import: the keyset is back, current, with every byte the file holds.
            editor.post(ID_IMPORT_KEYSET)
            editor.wait_caption("waveedit")
            self.assertEqual(stored_names(s.wine), ["Default", "waveedit"])
            self.assertEqual(s.wine.reg_value(f"{KEYSETS}\\waveedit", "AppPref"), data[12:56])
            for b, bank in enumerate(BANKS):
                values = s.wine.reg_query(f"{KEYSETS}\\waveedit\\{bank}")
                for c, control in enumerate(CONTROLS):
                    offset = 56 + b * 2660 + c * 380
                    self.assertEqual(values[control][1], data[offset:offset + 380], f"{bank} {control}")
            self.assertEqual(editor.close(), 0)

    def test_a_keyset_file_named_on_the_command_line_is_imported(self):
        with Session("editor-command-line") as s:
            fresh(s)
            record = app_pref("cubase") + b"".join(assignment(control, vk=ord("C")) for _ in BANKS for control in CONTROLS)
            folder = s.path("My Keysets")
            folder.mkdir()
            (folder / "cubase.qvl").write_bytes(b"QVL2\x02\x00\x01\x00\xc4\x29\x00\x00" + record)
            editor = Editor(s, WineEnv.windows_path(folder / "cubase.qvl"))
            editor.wait_caption("cubase")
            self.assertEqual(stored_names(s.wine), ["Default", "cubase"])
            self.assertEqual(stored_play(s.wine, "cubase")[3], ord("C"))
            self.assertEqual(editor.close(), 0)

    def test_a_file_that_is_no_keyset_file_is_refused(self):
        with Session("editor-bad-file") as s:
            fresh(s)
            bad = s.path("bad.qvl")
            bad.write_bytes(b"QVL3" + bytes(10692))
            watcher = watch(s, f"caption=Import Keyset;fill=1148:{WineEnv.windows_path(bad)};press=Open",
                                "caption=Quorvel 2;press=OK")
            editor = Editor(s)
            since = watcher.mark()
            editor.post(ID_IMPORT_KEYSET)
            box = watcher.wait_dialog(since, caption="Quorvel 2")
            self.assertEqual(box["text"], "This is not a valid QVL2 file. ")
            watcher.wait_closed(box.int("hwnd"))
            editor.send(ID_KEYSET_FIRST)
            self.assertEqual(stored_names(s.wine), ["Default"])

    def test_paste_waits_for_the_next_save_and_clear_resets_the_current_keyset(self):
        with Session("editor-clipboard") as s:
            fresh(s, keyset_values("Default"), keyset_values("alpha", ord("A")),
                  keyset_values("beta", ord("B")))
            editor = Editor(s)
            editor.send(ID_KEYSET_FIRST + 1)
            editor.send(ID_COPY_KEYSET)
            editor.send(ID_KEYSET_FIRST + 2)
            editor.send(ID_PASTE_KEYSET)
            self.assertEqual(stored_play(s.wine, "beta")[3], ord("B"), "a paste is not saved by itself")

            # Clearing alpha saves everything: alpha's defaults, and beta with alpha's keys.
            editor.send(ID_KEYSET_FIRST + 1)
            editor.send(ID_CLEAR_KEYSET)
            self.assertEqual(stored_play(s.wine, "alpha")[3:6], (0, 0, 13))
            self.assertEqual(stored_play(s.wine, "beta")[3], ord("A"))
            self.assertEqual(s.wine.reg_value(f"{KEYSETS}\\beta", "AppPref"), app_pref("beta"))
            self.assertEqual(editor.close(), 0)


REFUSED = '"LPT1" is not the name of a serial port. Type COM1 to COM256 (COM7, for example), or choose a port from the list.'


class EditorPreferences(unittest.TestCase):
    def test_the_port_and_the_drivers_autostart_entry(self):
        with Session("editor-prefs") as s:
            fresh(s)
            s.wine.reg_set(RUN_KEY, "qvl2rs", "C:\\old\\qvl2rs")
            watcher = watch(s,
                "caption=Preferences;times=1;select=1050:COM3;check=1051:0;press=Close",
                "caption=Preferences;times=1;check=1051:1;press=Close",
                "caption=Preferences;times=1;fill=1050:LPT1;check=1051:0;press=Close",
                f"text={REFUSED};press=OK")
            editor = Editor(s)

            # First open: COM1, and the box ticked; COM3 and a clear box remove the entry.
            since = watcher.mark()
            editor.post(ID_PREFERENCES)
            dialog = watcher.wait_dialog(since, caption="Preferences")
            ports = [c for c in watcher.controls(dialog.int("hwnd")) if c.int("id") == 1050]
            self.assertEqual(ports[0]["text"], "COM1")
            watcher.wait_answered(dialog.int("hwnd"))
            watcher.wait_closed(dialog.int("hwnd"))
            wait_until(lambda: s.wine.reg_value(SETTINGS, "Prefs") == bytes([0, 0, 0, 0, 2, 0, 0, 0]), 10,
                       "Prefs to hold COM3 without autostart")
            self.assertEqual(s.wine.reg_value(SETTINGS, "Port"), "COM3")
            self.assertIsNone(s.wine.reg_value(RUN_KEY, "qvl2rs"))

            # Second open shows COM3; ticking the box writes the editor's folder and "qvl2rs".
            since = watcher.mark()
            editor.post(ID_PREFERENCES)
            dialog = watcher.wait_dialog(since, caption="Preferences")
            ports = [c for c in watcher.controls(dialog.int("hwnd")) if c.int("id") == 1050]
            self.assertEqual(ports[0]["text"], "COM3")
            watcher.wait_closed(dialog.int("hwnd"))
            folder = WineEnv.windows_path(Path(s.wine.program("QVL2.exe")).parent)
            wait_until(lambda: s.wine.reg_value(RUN_KEY, "qvl2rs") == folder + "\\qvl2rs", 10, "the Run entry")
            self.assertEqual(s.wine.reg_query(RUN_KEY, "qvl2rs")["qvl2rs"][0], "REG_SZ")
            self.assertEqual(s.wine.reg_value(SETTINGS, "Prefs"), bytes([1, 0, 0, 0, 2, 0, 0, 0]))

            # A name that is no port's is refused at Close: the dialog stays, and nothing is stored.
            since = watcher.mark()
            editor.post(ID_PREFERENCES)
            dialog = watcher.wait_dialog(since, caption="Preferences")
            watcher.wait_closed(watcher.wait_dialog(since, text=REFUSED).int("hwnd"))
            s.post(dialog.int("hwnd"), WM_COMMAND, 2)  # Cancel: it was still open
            watcher.wait_closed(dialog.int("hwnd"))
            editor.send(ID_KEYSET_FIRST)
            self.assertEqual(s.wine.reg_value(SETTINGS, "Prefs"), bytes([1, 0, 0, 0, 2, 0, 0, 0]))
            self.assertEqual(s.wine.reg_value(RUN_KEY, "qvl2rs"), folder + "\\qvl2rs")

            self.assertEqual(editor.close(), 0)
            self.assertEqual(s.wine.reg_value(SETTINGS, "Prefs"), bytes([1, 0, 0, 0, 2, 0, 0, 0]))
            self.assertEqual(s.wine.reg_value(SETTINGS, "Port"), "COM3")


def play_selects_for(probe, port, driver):
    """Play with the probe in front; the keyset the driver selected for it (None when it did not
    select again)."""
    probe.take_foreground()
    since = driver.trace.mark()
    port.write(b"\x80\x45\x80\x05")
    driver.trace.wait_for("release", since)
    selected = driver.lines("keyset", since)
    return (selected[0]["name"], selected[0].int("index")) if selected else None


class EditorAndDriver(unittest.TestCase):
    def test_the_driver_picks_up_the_editors_changes_through_keysets_changed(self):
        with Session("editor-driver") as s:
            fresh(s)
            program = s.path("WaveEdit.exe")
            program.write_bytes(b"MZ")
            watch(s, f"caption=New Keyset;fill=1148:{WineEnv.windows_path(program)};press=Open",
                      f"caption=Quorvel 2;text={DELETE_QUESTION};press=Yes")
            port = s.device_port(1)
            driver = Driver(s)
            port.wait_for_bytes(b"\xb3")
            editor = Editor(s)
            probe = s.probe(exe_name="WaveEdit.exe")

            def play_selects():
                return play_selects_for(probe, port, driver)

            self.assertEqual(play_selects(), ("Default", 0))  # no keyset of its own yet
            self.assertIsNone(play_selects(), "the same window in front, nothing changed: no new selection")

            # The editor saves the new keyset and raises keysetsChanged: the driver's next event
            # reloads and selects again, though the same window is in front.
            editor.post(ID_NEW_KEYSET)
            wait_until(lambda: stored_names(s.wine) == ["Default", "waveedit"], 20, "the new keyset to be stored")
            self.assertEqual(play_selects(), ("waveedit", 1))

            editor.post(ID_DELETE_KEYSET)
            wait_until(lambda: stored_names(s.wine) == ["Default"], 20, "the keyset to be deleted")
            self.assertEqual(play_selects(), ("Default", 0))
            self.assertEqual(editor.close(), 0)

    def test_the_preferences_list_the_ports_and_the_running_driver_moves_to_the_one_chosen(self):
        with Session("editor-driver-port") as s:
            fresh(s)
            com1, com12 = s.device_port(1), s.device_port(12)
            driver = Driver(s)
            com1.wait_for_bytes(b"\xb3")
            editor = Editor(s)
            watcher = watch(s, "caption=Preferences;select=1050:COM12;press=Close")
            since = watcher.mark()
            editor.post(ID_PREFERENCES)
            dialog = watcher.wait_dialog(since, caption="Preferences")
            # The prefix's ports, by number: COM1 to COM5, COM9 and COM12 is the seventh.
            selected = watcher.log.wait_for("select", since)
            self.assertEqual((selected.int("index"), selected["ok"]), (6, "1"))
            watcher.wait_closed(dialog.int("hwnd"))
            wait_until(lambda: s.wine.reg_value(SETTINGS, "Port") == "COM12", 10, "Port to hold COM12")
            self.assertEqual(s.wine.reg_value(SETTINGS, "Prefs"), bytes([1, 0, 0, 0, 0, 0, 0, 0]),
                             "comPort stays as it was for a port above COM4")
            # No reload: the driver lets COM1 go and opens COM12.
            com12.wait_for_bytes(b"\xb3")
            com1.wait_closed()
            self.assertEqual(driver.trace.wait_for("chosen")["name"], "COM12")
            probe = s.probe(exe_name="WaveEdit.exe")
            self.assertEqual(play_selects_for(probe, com12, driver), ("Default", 0))
            self.assertEqual(editor.close(), 0)

    def test_a_program_named_with_a_capital_of_the_code_page_gets_the_keyset_the_editor_made(self):
        # The editor names the keyset "\u00e4udio" by the ANSI code page's lower case; the driver must
        # fold the process name "\u00c4udio.exe" by the same rule, or the program gets "Default".
        with Session("editor-driver-case") as s:
            acp = s.wine.reg_value(r"HKLM\System\CurrentControlSet\Control\Nls\CodePage", "ACP")
            self.assertEqual(acp, "1252", "the tools' ANSI texts are read as code page 1252")
            fresh(s)
            port = s.device_port(1)
            driver = Driver(s)
            port.wait_for_bytes(b"\xb3")
            editor = Editor(s)
            # The probe under that name is the program file the New Keyset dialog is given. Linux
            # names are UTF-8, which Wine turns into the code page's \xc4 for the programs.
            probe = s.probe(exe_name="\u00c4udio.exe")
            program = WineEnv.windows_path(s.path("\u00c4udio.exe"))
            watch(s, f"caption=New Keyset;fill=1148:{program};press=Open")
            self.assertEqual(play_selects_for(probe, port, driver), ("Default", 0))

            editor.post(ID_NEW_KEYSET)
            editor.wait_caption("\u00e4udio", timeout=20)
            self.assertEqual(play_selects_for(probe, port, driver), ("\u00e4udio", 1))
            self.assertEqual(editor.close(), 0)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
