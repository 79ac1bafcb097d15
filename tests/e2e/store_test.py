"""The stored keysets as other writers and a refusing registry leave them, under Wine.
Run one group:  python3 tests/e2e/store_test.py StoreOutsideWriter
"""

import sys
import unittest

from driver_test import PLAY_DOWN, PLAY_UP, down, started, up
from editor_test import (ID_COPY_KEYSET, ID_KEYSET_FIRST, ID_PASTE_KEYSET, KEYSETS, Editor, fresh, keyset_values,
                         stored_play)
from harness import Session
from keysets import CTRL, SHIFT, assignment, keyset
from panel_test import PLAY, RECORD, SPECIAL_KEY, STOP, Panel, stored, wait_stored

NOT_SAVED = ("Your keysets could not be saved: Access denied. They are kept in the editor; the next change "
             "tries again.")


def ctrl_shift(letter):
    return [down("CONTROL"), down("SHIFT"), (ord(letter), "down", False), (ord(letter), "up", False),
            up("CONTROL"), up("SHIFT")]


class StoreOutsideWriter(unittest.TestCase):
    def test_a_reg_import_and_the_raised_flag_reach_the_drivers_next_press(self):
        with Session("store-outside-writer") as s:
            port, _, _ = started(
                s, keyset("Default"), keyset("waveedit", {("MainBank", "Play"): assignment(vk=ord("A"), mods=CTRL | SHIFT)}))
            probe = s.probe(exe_name="waveedit.exe")
            since = probe.mark()
            port.write(PLAY_DOWN + PLAY_UP)
            self.assertEqual(probe.wait_key_events(6, since), ctrl_shift("A"))

            # Another writer: one value by a .reg import, "Changes" left alone, then the flag.
            s.wine.reg_import(s.path("play-b.reg"),
                              {f"{KEYSETS}\\waveedit\\MainBank": {"Play": assignment(vk=ord("B"), mods=CTRL | SHIFT)}})
            s.run("shared_info_peer.exe", "changed")
            since = probe.mark()
            port.write(PLAY_DOWN + PLAY_UP)
            self.assertEqual(probe.wait_key_events(6, since), ctrl_shift("B"))


class StoreFailedSave(unittest.TestCase):
    def test_a_refused_save_is_told_once_and_the_edit_stays_in_the_editor(self):
        with Session("store-failed-save") as s:
            fresh(s, keyset_values("Default"), keyset_values("alpha", ord("A")))
            watcher = s.watcher("caption=Quorvel 2;text=Your keysets could not be saved*;press=OK", strict=True)
            panel = Panel(s)
            panel.send(2001)
            panel.wait_caption("alpha")
            s.tool("keyset_peer.exe", "deny", "1")  # until the end: fresh() deletes the key with its list

            # The first edit that cannot be stored is told, with the system's reason; the next is not.
            panel.command(PLAY)
            panel.choose(SPECIAL_KEY, 2)
            box = watcher.wait_dialog(caption="Quorvel 2")
            self.assertEqual(box["text"], NOT_SAVED)
            watcher.wait_closed(box.int("hwnd"))
            play_shown = panel.text_of(SPECIAL_KEY)
            panel.command(STOP)
            panel.choose(SPECIAL_KEY, 3)
            stop_shown = panel.text_of(SPECIAL_KEY)
            self.assertEqual(len(watcher.dialogs(caption="Quorvel 2")), 1)
            self.assertEqual(stored(s.wine, "alpha", "MainBank", "Play")["special"], 0)

            # The editor leaves the front and comes back (and reloads, but not over what waits): its
            # panel shows the edits.
            s.probe()
            panel.click(1007)  # the keyset caption
            s.wait_foreground(panel.hwnd)
            panel.command(PLAY)
            self.assertEqual(panel.text_of(SPECIAL_KEY), play_shown)
            panel.command(STOP)
            self.assertEqual(panel.text_of(SPECIAL_KEY), stop_shown)

            # Writes are allowed again: the next change stores everything that waited.
            s.tool("keyset_peer.exe", "deny", "0")
            panel.command(RECORD)
            panel.choose(SPECIAL_KEY, 4)
            wait_stored(s.wine, "alpha", "MainBank", "Record", special=32)
            self.assertEqual(stored(s.wine, "alpha", "MainBank", "Play")["special"], 9)
            self.assertEqual(stored(s.wine, "alpha", "MainBank", "Stop")["special"], 65545)
            self.assertEqual(len(watcher.dialogs(caption="Quorvel 2")), 1)
            self.assertEqual(panel.close(), 0)


class StorePasteAtExit(unittest.TestCase):
    def test_a_paste_into_the_keyset_the_driver_made_current_is_stored_at_exit(self):
        with Session("store-paste-at-exit") as s:
            mixer = keyset_values("mixer")
            mixer[f"{KEYSETS}\\mixer\\MainBank"]["Play"] = assignment(special=13, name="Play")  # Enter
            fresh(s, keyset_values("Default"), mixer, keyset_values("other"))
            editor = Editor(s)
            editor.send(ID_KEYSET_FIRST + 1)
            editor.wait_caption("mixer")
            editor.send(ID_COPY_KEYSET)

            # Another program comes to the front and the driver makes its keyset current.
            s.tool("shared_info_peer.exe", "current", "2")
            editor.send(ID_PASTE_KEYSET)
            editor.wait_caption("other")

            # Then "Default" is made current while the editor is not in front, and the editor closes:
            # the panel's last store goes to the keyset it shows, not to "Default".
            s.tool("shared_info_peer.exe", "current", "0")
            self.assertEqual(editor.close(), 0)
            self.assertEqual(stored_play(s.wine, "other")[5], 13)
            self.assertEqual(stored_play(s.wine, "Default")[5], 0)
            self.assertEqual(s.wine.reg_value(f"{KEYSETS}\\other", "AppPref")[:6], b"other\0")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
