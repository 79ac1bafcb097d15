"""The editor's windows beside its panel, under Wine: the keyset overview, the Test window (with the
real driver typing into it), the About box and the help window.

Run one group:  python3 tests/e2e/editor_windows_test.py EditorWindows
"""

import sys
import unittest

from driver import Driver
from driver_test import PLAY_DOWN, PLAY_UP
from editor_test import KEYSETS, SC_KEYMENU, WM_COMMAND, WM_SYSCOMMAND, Editor, watch
from harness import VK, Session, wait_until
from keysets import ALT, CTRL, EXT, RIGHT_CLICK, SHIFT, assignment, keyset, store_keysets

ID_DISPLAY_KEYSET, ID_TEST, ID_HELP_FINDER, ID_APP_ABOUT, ID_KEYSET_FIRST = 32787, 1017, 57667, 57664, 2000
ID_WINDOW_RULE, IDC_RULE_WINDOWS = 1705, 1704
IDOK, IDCANCEL = 1, 2
WM_KEYDOWN = 0x0100
EM_GETSEL, LB_GETCOUNT, LB_SETCURSEL, LBN_SELCHANGE, STM_GETIMAGE = 0x00B0, 0x018B, 0x0186, 1, 0x0173
INSTRUCTIONS = ('The QVL3 sends simple keystrokes, like the letters "a", "j", symbols such as "@", and function '
                'keys such as "F1".\n')
HELP_TOPICS = 12


def cell(*lines):
    """A transport cell's text: name and keystroke in 14 characters each, then the click."""
    return "".join(line.ljust(14) for line in lines[:2]) + (lines[2] if len(lines) > 2 else " " * 14)


def window_of_the_editor(s, title):
    found = [w for w in s.windows("#32770", title) if w["process"].lower() == "qvl2.exe"]
    return found


def assert_owned_by_the_editor(test, s, editor, window):
    """A modal window of the editor: owned by its main window, which takes no input while it is up."""
    test.assertEqual(s.window_info(window.int("hwnd")).int("parent"), editor.hwnd, window["title"])
    test.assertEqual(s.window_info(editor.hwnd)["enabled"], "0", window["title"])


def assert_editor_back_in_front(test, s, editor):
    s.wait_foreground(editor.hwnd)
    test.assertEqual(s.window_info(editor.hwnd)["enabled"], "1")


def texts(s, hwnd):
    """The controls of a dialog by id: their texts, the edits' line breaks left out."""
    return {c.int("id"): c["title"].replace("\r\n", "") for c in s.children(hwnd)}


class EditorWindows(unittest.TestCase):
    def test_display_keyset_shows_the_stored_keyset_in_one_overview(self):
        with Session("editor-overview") as s:
            store_keysets(s, keyset("Default"), keyset("alpha", {
                ("Option Bank", "Stop"): assignment(vk=116, mods=CTRL | SHIFT, name="Option+Stop"),
                ("Shift Bank", "Record"): assignment(vk=46, mods=ALT | EXT, name="Cut"),
                ("Option+Shift Bank", "FF"): assignment(mouse=RIGHT_CLICK, name="A name too long"),
            }))
            editor = Editor(s)
            editor.send(ID_KEYSET_FIRST + 1)
            editor.post(ID_DISPLAY_KEYSET)
            overview = s.wait_window("#32770", "alpha")
            cells = texts(s, overview.int("hwnd"))
            # Rows from the top: OPTION SHIFT (1500), OPTION, SHIFT, main bank; columns Rewind, Fast
            # Forward, Stop, Play, Record.
            self.assertEqual(cells[1507], cell("Option+Stop", "CtlShft+F5"))
            self.assertEqual(cells[1514], cell("Cut", "Alt+Delete"))
            self.assertEqual(cells[1501], cell("A name too lo", "", "Right click"))
            self.assertEqual(cells[1518], cell("", "Enter"))
            self.assertEqual(cells[1515], "", "nothing assigned: an empty cell")
            self.assertEqual(cells[1074], " " * 30 + "Left".ljust(15) + "|" + "Right".ljust(14) + " " * 30)

            # Again, with another keyset current: the same window, showing that keyset now.
            editor.send(ID_KEYSET_FIRST)
            editor.post(ID_DISPLAY_KEYSET)
            wait_until(lambda: s.window_info(overview.int("hwnd"))["title"] == "Default", 10, "the overview of Default")
            self.assertEqual(len(window_of_the_editor(s, None)), 1, "one overview at a time")
            self.assertEqual(texts(s, overview.int("hwnd"))[1507], "")

            # Escape reaches it through the editor's message loop and closes it; it opens again, and
            # the editor ends cleanly with it open.
            s.post(overview.int("hwnd"), WM_KEYDOWN, VK["ESCAPE"])
            s.wait_no_window("#32770", "Default")
            editor.post(ID_DISPLAY_KEYSET)
            s.wait_window("#32770", "Default")
            self.assertEqual(editor.close(), 0)

    def test_test_window_about_and_help(self):
        with Session("editor-test-about-help") as s:
            store_keysets(s, keyset("Default"))
            editor = Editor(s)

            editor.post(ID_TEST)
            test = s.wait_window("#32770", "Test")
            edit = next(c for c in s.children(test.int("hwnd")) if c.int("id") == 1030)
            self.assertEqual(edit["title"], INSTRUCTIONS)
            wait_until(lambda: s.foreground()["focus"] == edit["hwnd"], 10, "the focus in the Test field")
            self.assertEqual(s.send(edit.int("hwnd"), EM_GETSEL), len(INSTRUCTIONS) << 16, "all of it selected")
            s.post(test.int("hwnd"), WM_COMMAND, IDOK)
            s.wait_no_window("#32770", "Test")

            editor.post(ID_APP_ABOUT)
            about = s.wait_window("#32770", "About Quorvel 2")
            controls = s.children(about.int("hwnd"))
            self.assertIn("VS 1.10 ", [c["title"] for c in controls])
            picture = next(c for c in controls if c["class"] == "Static" and c["title"] != "VS 1.10 ")
            self.assertNotEqual(s.send(picture.int("hwnd"), STM_GETIMAGE), 0, "the product picture")
            s.post(about.int("hwnd"), WM_COMMAND, IDOK)
            s.wait_no_window("#32770", "About Quorvel 2")

            # Ctrl+H with the editor in front, then the command again: one help window.
            s.wait_foreground(editor.hwnd)
            s.inject("key:0x11:down", "key:0x48:down", "key:0x48:up", "key:0x11:up")
            help_window = s.wait_window("#32770", "Quorvel 2 Help")
            editor.post(ID_HELP_FINDER)
            editor.send(ID_KEYSET_FIRST)  # done with the command once this returns
            self.assertEqual(len(s.windows("#32770", "Quorvel 2 Help")), 1)
            controls = {c.int("id"): c for c in s.children(help_window.int("hwnd"))}
            self.assertEqual(s.send(controls[1600].int("hwnd"), LB_GETCOUNT), HELP_TOPICS)
            self.assertTrue(controls[1601]["title"].startswith("The Quorvel 2 sits on your desk"))
            s.post(controls[1600].int("hwnd"), WM_KEYDOWN, VK["ESCAPE"])
            s.wait_no_window("#32770", "Quorvel 2 Help")
            self.assertEqual(editor.close(), 0)


    def test_every_item_of_the_help_menu_display_keyset_and_exit_through_the_menus(self):
        with Session("editor-menus") as s:
            store_keysets(s, keyset("Default"))
            editor = Editor(s)
            # (menu, item) by their underlined letters, and the window the item opens.
            for menu, item, title in [("h", "H", "Quorvel 2 Help"), ("h", "T", "Test"), ("h", "A", "About Quorvel 2"),
                                      ("e", "S", "Default")]:
                s.post(editor.hwnd, WM_SYSCOMMAND, SC_KEYMENU, ord(menu))
                s.popup_menu()
                s.menu_keys(item)
                window = s.wait_window("#32770", title)
                if title in ("Test", "About Quorvel 2"):
                    assert_owned_by_the_editor(self, s, editor, window)
                s.post(window.int("hwnd"), WM_COMMAND, IDCANCEL)
                s.wait_no_window("#32770", title)
                assert_editor_back_in_front(self, s, editor)
            s.post(editor.hwnd, WM_SYSCOMMAND, SC_KEYMENU, ord("f"))
            s.popup_menu()
            s.menu_keys("X")
            self.assertEqual(editor.process.wait(20), 0)

    def test_the_window_rule_dialog_fills_from_a_listed_window_and_stores_the_rule(self):
        with Session("editor-window-rule") as s:
            store_keysets(s, keyset("Default"), keyset("browser - Video"))
            port = s.device_port(1)
            driver = Driver(s)
            port.wait_for_bytes(b"\xb3")
            browser = s.probe(title="Video Player - browser", class_name="VideoFrame", exe_name="browser.exe",
                              hooks=False)
            editor = Editor(s)
            watch(s, "caption=Window Rule", "caption=browser - Video*")  # no other box may show
            editor.send(ID_WINDOW_RULE)  # "Default" has no rule: returns with no dialog up
            self.assertEqual(window_of_the_editor(s, None), [])

            # Edit, Window Rule... for "browser - Video"; a click on the browser's row fills the fields.
            editor.send(ID_KEYSET_FIRST + 1)
            s.wait_foreground(editor.hwnd)
            s.post(editor.hwnd, WM_SYSCOMMAND, SC_KEYMENU, ord("e"))
            s.popup_menu()
            s.menu_keys("W")
            dialog = s.wait_window("#32770", "Window Rule").int("hwnd")
            listed = next(c.int("hwnd") for c in s.children(dialog) if c.int("id") == IDC_RULE_WINDOWS)
            fields, programs, browser_row = None, set(), None

            def pick(row):
                s.send(listed, LB_SETCURSEL, row)
                s.send(dialog, WM_COMMAND, (LBN_SELCHANGE << 16) | IDC_RULE_WINDOWS, listed)
                return texts(s, dialog)

            for row in range(s.send(listed, LB_GETCOUNT)):
                shown = pick(row)
                programs.add(shown[1701])
                if shown[1702] == "Video Player - browser":
                    fields, browser_row = (shown[1701], shown[1702], shown[1703]), row
            self.assertEqual(fields, ("browser", "Video Player - browser", "VideoFrame"))
            pick(browser_row)  # the fields OK stores
            self.assertNotIn("QVL2", programs, "the editor's own windows are not listed")
            s.post(dialog, WM_COMMAND, IDOK)
            s.wait_no_window("#32770", "Window Rule")
            editor.send(ID_KEYSET_FIRST + 1)  # the editor has done with OK once this returns

            key = KEYSETS + "\\browser - Video"
            self.assertEqual([s.wine.reg_value(key, name) for name in ("MatchProgram", "MatchTitle", "MatchClass")],
                             ["browser", "Video Player - browser", "VideoFrame"])
            # The overview names the rule in its title, as the Keysets menu does.
            editor.post(ID_DISPLAY_KEYSET)
            s.wait_window("#32770", "browser - Video  [title: Video Player - browser, class: VideoFrame]")
            self.assertEqual(editor.close(), 0)
            # The driver, running all along, uses the rule at its next press.
            browser.take_foreground()
            port.write(PLAY_DOWN + PLAY_UP)
            self.assertEqual(driver.trace.wait_for("keyset", where=lambda r: r["name"] != "Default")["name"],
                             "browser - Video")


class EditorTestWithDriver(unittest.TestCase):
    def test_device_keys_type_into_the_test_window_and_enter_closes_it(self):
        with Session("editor-test-driver") as s:
            store_keysets(s, keyset("Default", {("MainBank", "Play"): assignment(vk=ord("J")),
                                                ("MainBank", "Stop"): assignment(special=13)}))
            port = s.device_port(1)
            driver = Driver(s)
            port.wait_for_bytes(b"\xb3")
            editor = Editor(s)
            editor.post(ID_TEST)
            test = s.wait_window("#32770", "Test")
            edit = next(c for c in s.children(test.int("hwnd")) if c.int("id") == 1030)
            s.wait_foreground(test.int("hwnd"))
            assert_owned_by_the_editor(self, s, editor, test)

            port.write(b"\x80\x45\x80\x05")  # Play: the instructions give way to the letter
            wait_until(lambda: s.window_info(edit.int("hwnd"))["title"] == "j", 20, "the Test field to read j")
            since = driver.trace.mark()
            port.write(b"\x80\x44\x80\x04")  # Stop: Enter presses the default button, Close
            s.wait_no_window("#32770", "Test", timeout=20)
            self.assertTrue(driver.lines("key", since), "the driver sent the keystroke itself")
            # The editor is in front again: the next device press reaches its panel.
            assert_editor_back_in_front(self, s, editor)
            port.write(b"\x80\x44\x80\x04")
            caption = next(c.int("hwnd") for c in editor.children if c.int("id") == 1019)
            wait_until(lambda: s.window_info(caption)["title"] == "Stop", 20, "Stop selected on the panel")
            self.assertEqual(editor.close(), 0)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
