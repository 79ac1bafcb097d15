"""Keysets as text, templates and the command line, in the real editor under Wine: a keyset exported as
text, mended as a person would in the file and imported again is stored and typed by the driver at its
next press; a damaged text is refused with its line number and nothing changes; a template becomes a
keyset; QVL2.exe /import and /export run from a script beside the running editor, with their exit codes
and reasons, and the editor's next save keeps what they stored.

Run one group:  python3 tests/e2e/text_test.py TextFiles
"""

import sys
import unittest

from driver import Driver
from driver_test import PLAY_DOWN, PLAY_UP, down, up
from editor_test import (BANKS, ID_EXPORT_KEYSET, ID_IMPORT_KEYSET, ID_KEYSET_FIRST, KEYSETS, Editor, fresh,
                         keyset_values, stored_names, stored_play, watch)
from harness import Session, WineEnv, wait_until

ID_NEW_FROM_TEMPLATE = 1851
NAMES = ["Default", "waveedit"]


def stored_values(wine):
    """Every value of the keysets NAMES, one reg.exe query per key."""
    return {f"{name}\\{key}": wine.reg_query(f"{KEYSETS}\\{name}" + (f"\\{key}" if key else ""))
            for name in NAMES for key in [""] + BANKS}


class TextFiles(unittest.TestCase):
    def test_a_mended_text_reaches_the_driver_and_a_damaged_one_changes_nothing(self):
        with Session("text-files") as s:
            fresh(s, keyset_values("Default"), keyset_values("waveedit", ord("W")))
            text, damaged = s.path("waveedit.txt"), s.path("damaged.txt")
            watcher = watch(s, f"caption=Export Keyset;fill=1148:{WineEnv.windows_path(text)};press=Save",
                            f"caption=Import Keyset;fill=1148:{WineEnv.windows_path(text)};times=1;press=Open",
                            f"caption=Import Keyset;fill=1148:{WineEnv.windows_path(damaged)};press=Open",
                            "caption=Import Keysets;button=Replace;press=Replace",
                            "caption=Quorvel 2;text=The keysets in*;press=OK")
            editor = Editor(s)
            editor.send(ID_KEYSET_FIRST + 1)
            editor.wait_caption("waveedit")
            editor.post(ID_EXPORT_KEYSET)
            wait_until(lambda: text.exists() and b"Wheel Right" in text.read_bytes(), 20, "the exported text")
            lines = text.read_bytes().decode("utf-8").split("\r\n")
            self.assertIn('Keyset: "waveedit"', lines)
            play = lines.index('MainBank, Play: name "Play"; key W')

            # The key of Play changed in the file, as in Notepad; imported over the keyset of that name.
            lines[play] = 'MainBank, Play: name "Play"; key Q'
            text.write_bytes("\r\n".join(lines).encode("utf-8"))
            editor.post(ID_IMPORT_KEYSET)
            wait_until(lambda: stored_play(s.wine, "waveedit")[3] == ord("Q"), 20, "the mended key to be stored")
            self.assertEqual(stored_names(s.wine), NAMES)

            port = s.device_port(1)
            Driver(s)
            port.wait_for_bytes(b"\xb3")
            probe = s.probe(exe_name="WaveEdit.exe")
            probe.wait_ready()
            since = probe.mark()
            port.write(PLAY_DOWN + PLAY_UP)
            self.assertEqual(probe.wait_key_events(2, since), [down("Q"), up("Q")])

            # One mistyped key refuses the whole text, with its line; nothing is stored.
            before = stored_values(s.wine)
            lines[play + 1] = 'MainBank, Stop: name "Stop"; key Ctr'
            damaged.write_bytes("\r\n".join(lines).encode("utf-8"))
            since = watcher.mark()
            editor.post(ID_IMPORT_KEYSET)
            box = watcher.wait_dialog(since, caption="Quorvel 2")
            self.assertTrue(box["text"].startswith('The keysets in "'), box["text"])
            self.assertTrue(box["text"].endswith(f'Line {play + 2}: "MainBank, Stop": there is no key named "Ctr".'),
                            box["text"])
            watcher.wait_closed(box.int("hwnd"))
            editor.send(ID_KEYSET_FIRST)
            self.assertEqual(stored_values(s.wine), before)
            self.assertEqual(editor.close(), 0)


class TextTemplatesAndCommandLine(unittest.TestCase):
    def test_a_template_becomes_a_keyset_and_the_command_line_works_beside_the_editor(self):
        with Session("text-command-line") as s:
            fresh(s, keyset_values("Default"))
            watch(s, "caption=New Keyset from Template;press=Add",
                  "caption=Import Keysets;button=Keep both;press=Keep both")
            editor = Editor(s)
            editor.post(ID_NEW_FROM_TEMPLATE)  # the first of the list: Ardour
            editor.wait_caption("ardour")
            self.assertEqual(stored_names(s.wine), ["Default", "ardour"])
            self.assertEqual(stored_play(s.wine, "ardour")[3], 0x20, "Ardour's Transport/ToggleRoll: space")

            def qvl2(name, *args):
                process = s.run("QVL2.exe", *args, name=name, timeout=60)
                return process.returncode, process.errors()

            usage = s.run("QVL2.exe", "/?", name="usage", timeout=60)
            self.assertEqual(usage.returncode, 0)
            self.assertTrue(usage.output().startswith("Usage: QVL2.exe"), usage.output())
            everything = s.path("all.txt")
            self.assertEqual(qvl2("export-all", "/export", WineEnv.windows_path(everything)), (0, ""))
            self.assertIn('Keyset: "ardour"', everything.read_text(encoding="utf-8"))

            mine = s.path("mine.txt")
            mine.write_bytes(b'Quorvel 2 keysets, version 1\r\nKeyset: "cubase"\r\nMainBank, Play: key C\r\n'
                             b'Keyset: "ardour"\r\nMainBank, Play: key P\r\n')
            self.assertEqual(qvl2("import-skip", "/import", WineEnv.windows_path(mine), "/skip"), (0, ""))
            self.assertEqual(stored_names(s.wine), ["Default", "ardour", "cubase"])
            self.assertEqual(stored_play(s.wine, "ardour")[3], 0x20, "skipped")
            self.assertEqual(qvl2("import", "/import", WineEnv.windows_path(mine)), (0, ""))
            self.assertEqual(stored_play(s.wine, "ardour")[3], ord("P"), "replaced")

            damaged = s.path("damaged.txt")
            damaged.write_bytes(b'Quorvel 2 keysets, version 1\r\nKeyset: "cubase"\r\nMainBank, Play: key Ctr\r\n')
            self.assertEqual(qvl2("import-damaged", "/import", WineEnv.windows_path(damaged)),
                             (1, f'The keysets in "{WineEnv.windows_path(damaged)}" were not imported, and nothing '
                                 'changed:\n\nLine 3: "MainBank, Play": there is no key named "Ctr".\n'))
            self.assertEqual(qvl2("export-none", "/export", WineEnv.windows_path(s.path("x.qvl")), "nosuch"),
                             (1, 'There is no keyset named "nosuch".\n'))

            # The running editor's next save keeps what the command line stored.
            editor.post(ID_NEW_FROM_TEMPLATE)
            wait_until(lambda: "ardour (2)" in stored_names(s.wine), 20, "the template kept beside ardour")
            self.assertEqual(stored_names(s.wine), ["Default", "ardour", "ardour (2)", "cubase"])
            self.assertEqual(stored_play(s.wine, "ardour")[3], ord("P"))
            self.assertEqual(stored_play(s.wine, "cubase")[3], ord("C"))
            self.assertEqual(editor.close(), 0)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
