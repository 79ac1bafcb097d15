"""All keysets at once under Wine: Export All Keysets writes every stored keyset into one collection, a
damaged collection is refused with its message and nothing changes, a collection imported into an emptied
list brings its keysets back value for value, and Restore from Backup brings a deleted keyset back from the
backup the editor wrote at its start; the driver beside the editor uses what each of them stored at its
next press.

A second start without a change writes no second backup.

Run:  python3 tests/e2e/backups_test.py Backups
"""

import getpass
import shutil
import struct
import sys
import unittest
import zlib
from pathlib import Path

from driver import Driver
from driver_test import PLAY_DOWN, PLAY_UP, down, up
from harness import Session, WineEnv, wait_until
from editor_test import (BANKS, CONTROLS, DELETE_QUESTION, ID_DELETE_KEYSET, ID_KEYSET_FIRST, KEYSETS, Editor, fresh, keyset_values,
                         stored_names, watch)

ID_EXPORT_ALL_KEYSETS, ID_IMPORT_KEYSETS, ID_RESTORE_BACKUP = 1790, 1791, 1792
KEYSET_FILE_LENGTH = 10696
RULE_TRAILER_LENGTH = 14  # "RULE", the payload's length and three empty texts: no rule
PIECE_LENGTH = KEYSET_FILE_LENGTH + RULE_TRAILER_LENGTH


def stored_values(wine, names):
    """Every value of the keysets `names` as the registry holds them."""
    values = {}
    for name in names:
        values[name] = wine.reg_value(f"{KEYSETS}\\{name}", "AppPref")
        for bank in BANKS:
            for control in CONTROLS:
                values[f"{name}\\{bank}\\{control}"] = wine.reg_value(f"{KEYSETS}\\{name}\\{bank}", control)
    return values


class Backups(unittest.TestCase):
    def test_export_all_a_damaged_file_refused_and_a_deleted_keyset_restored(self):
        with Session("backups") as s:
            fresh(s, keyset_values("Default"), keyset_values("notepad", ord("N")), keyset_values("waveedit", ord("W")))
            names = ["Default", "notepad", "waveedit"]
            # Wine sets APPDATA to the prefix's own folder whatever the environment says.
            backups = (Path(s.wine.env["WINEPREFIX"]) / "drive_c" / "users" / getpass.getuser() / "AppData" / "Roaming"
                       / "QVL2" / "Backups")
            target, damaged = s.path("all.qvlx"), s.path("damaged.qvlx")
            watcher = watch(s, f"caption=Export All Keysets;fill=1148:{WineEnv.windows_path(target)};press=Save",
                            f"caption=Import Keysets;fill=1148:{WineEnv.windows_path(damaged)};press=Open",
                            "caption=Quorvel 2;text=This file is damaged*;press=OK",
                            f"caption=Quorvel 2;text={DELETE_QUESTION};press=Yes",
                            "caption=Restore from Backup;press=Restore",
                            "caption=Quorvel 2;text=All your keysets will be replaced*;press=Yes")
            # The panel stores the first assignment it shows in its own form (its flag code) at the first
            # start: the keysets are as the editor leaves them from the second start on.
            self.assertEqual(Editor(s).close(), 0)
            before = stored_values(s.wine, names)
            shutil.rmtree(backups, ignore_errors=True)
            editor = Editor(s)
            wait_until(lambda: len(list(backups.glob("Keysets *.qvlx"))) == 1, 20, "the backup at the start")
            # Started again without a change: the newest backup holds the keysets already.
            self.assertEqual(editor.close(), 0)
            editor = Editor(s)
            editor.send(ID_KEYSET_FIRST)
            self.assertEqual(len(list(backups.glob("*"))), 1)

            # Export All: the header, then each keyset's file as a length and its bytes (the record's 10696,
            # then its rule).
            editor.post(ID_EXPORT_ALL_KEYSETS)
            size = 12 + 3 * (4 + PIECE_LENGTH) + 4
            wait_until(lambda: target.exists() and target.stat().st_size == size, 20, "the collection")
            data = target.read_bytes()
            self.assertEqual(data[:12], b"QVLX" + struct.pack("<II", 1, 3))
            waveedit = 12 + 2 * (4 + PIECE_LENGTH)
            self.assertEqual(data[waveedit:waveedit + 16], struct.pack("<I", PIECE_LENGTH) + b"QVL2\x02\x00\x01\x00\xc4\x29\x00\x00")
            self.assertEqual(data[waveedit + 16:waveedit + 60], before["waveedit"])

            # A collection cut short is refused whole.
            damaged.write_bytes(data[:-5000])
            since = watcher.mark()
            editor.post(ID_IMPORT_KEYSETS)
            box = watcher.wait_dialog(since, caption="Quorvel 2")
            self.assertEqual(box["text"], "This file is damaged and was not imported: it ends before its keysets do.")
            watcher.wait_closed(box.int("hwnd"))
            editor.send(ID_KEYSET_FIRST)
            self.assertEqual(stored_values(s.wine, names), before)

            # The driver beside the editor, and a program whose keyset is waveedit (Play: W).
            port = s.device_port(1)
            Driver(s)
            port.wait_for_bytes(b"\xb3")

            probe = None

            def play_sends_w():
                nonlocal probe
                if probe is None:
                    probe = s.probe(exe_name="WaveEdit.exe")
                    probe.wait_ready()
                else:
                    probe.take_foreground()
                since = probe.mark()
                port.write(PLAY_DOWN + PLAY_UP)
                self.assertEqual(probe.wait_key_events(2, since), [down("W"), up("W")])

            # Empty the list but for Default, then import notepad and waveedit from a collection of their
            # own (cut from the export, its checksum made anew): they come back value for value.
            for index, left in ((2, ["Default", "notepad"]), (1, ["Default"])):
                editor.send(ID_KEYSET_FIRST + index)
                editor.post(ID_DELETE_KEYSET)
                wait_until(lambda: stored_names(s.wine) == left, 20, "the keyset to be deleted")
            pieces = data[12 + 4 + PIECE_LENGTH:-4]
            body = b"QVLX" + struct.pack("<II", 1, 2) + pieces
            damaged.write_bytes(body + struct.pack("<I", zlib.crc32(body)))
            editor.post(ID_IMPORT_KEYSETS)
            wait_until(lambda: stored_names(s.wine) == names, 20, "the imported keysets")
            editor.send(ID_KEYSET_FIRST)
            self.assertEqual(stored_values(s.wine, names), before)
            play_sends_w()

            # Delete waveedit, then restore the start's backup: it is back, byte for byte.
            editor.send(ID_KEYSET_FIRST + 2)
            editor.wait_caption("waveedit")
            editor.post(ID_DELETE_KEYSET)
            wait_until(lambda: stored_names(s.wine) == ["Default", "notepad"], 20, "the keyset to be deleted")
            backed_up = len(list(backups.glob("Keysets *.qvlx")))
            editor.post(ID_RESTORE_BACKUP)
            wait_until(lambda: stored_names(s.wine) == names, 20, "the restored keysets")
            editor.send(ID_KEYSET_FIRST)
            self.assertEqual(stored_values(s.wine, names), before)
            self.assertEqual(len(list(backups.glob("Keysets *.qvlx"))), backed_up + 1, "the list before the restore")
            play_sends_w()
            self.assertEqual(editor.close(), 0)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
