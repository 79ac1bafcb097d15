"""The transcript of scripts/run, from log lines as the driver, the probe and the watcher write them."""

import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from tool_log import parse_line  # noqa: E402
from transcript import Transcript, device_message, wheel_step  # noqa: E402


def run(*lines):
    transcript = Transcript()
    out = []
    for source, text in lines:
        out += transcript.add(source, parse_line(text))
    return out + transcript.flush()


class DeviceMessages(unittest.TestCase):
    def test_every_button_and_the_led_key_by_their_data_byte(self):
        cases = {0x40: "OPTION down", 0x00: "OPTION up", 0x41: "SHIFT down", 0x01: "SHIFT up",
                 0x42: "Rewind down", 0x03: "Fast Forward up", 0x44: "Stop down", 0x45: "Play down",
                 0x06: "Record up", 0x47: "LED key: LED on", 0x07: "LED key: LED off",
                 0x48: "message 80 48 (no event)", 0x85: "message 80 85 (no event)"}
        for data, text in cases.items():
            self.assertEqual(device_message(0x80, data), text, hex(data))

    def test_wheel_bytes_by_the_device_table(self):
        cases = {0x00: (None, 0), 0x01: ("counter-clockwise", 1), 0x1C: ("counter-clockwise", 28),
                 0x1D: ("counter-clockwise", 29), 0x3E: ("counter-clockwise", 29), 0x3F: (None, 0),
                 0x40: ("clockwise", 29), 0x62: ("clockwise", 29), 0x63: ("clockwise", 28),
                 0x7C: ("clockwise", 3), 0x7D: ("clockwise", 3), 0x7E: ("clockwise", 2), 0x7F: ("clockwise", 1)}
        for data, step in cases.items():
            self.assertEqual(wheel_step(data), step, hex(data))
        self.assertEqual(device_message(0x81, 0x3F), "message 81 3f (no event)")


class TranscriptLines(unittest.TestCase):
    def test_a_press_with_its_bank_the_keyset_the_keys_and_what_the_program_received(self):
        self.assertEqual(run(
            ("driver", 'start t=1000000 frequency=10000000 platform="WINNT"'),
            ("driver", 'port t=1100000 open=1 name="COM1" error=0'),
            ("driver", "byte t=6000000 value=0x80"),
            ("driver", "byte t=6000100 value=0x40"),
            ("driver", 'event t=6000200 kind="button" control=1 bank=1 magnitude=1 editor=1008 fire=0'),
            ("driver", "byte t=6100000 value=0x80"),
            ("driver", "byte t=6100100 value=0x45"),
            ("driver", 'event t=6100200 kind="button" control=0 bank=1 magnitude=1 editor=1013 fire=1'),
            ("driver", 'keyset t=6100300 index=1 name="waveedit" editor=0 test=0'),
            ("driver", 'note t=6100350 text="waveedit"'),
            ("driver", "key t=6100400 vk=0x11 up=0"),
            ("probe", "key t=6100500 hwnd=0x10 msg=WM_KEYDOWN vk=0x11 scan=0x1d extended=0 repeat=1"),
            ("driver", "byte t=6200000 value=0x80"),
            ("driver", "byte t=6200100 value=0x00"),  # OPTION up: no event line follows
            ("driver", "mouse t=6300000 flags=0x0001 dx=-3 dy=0"),
            ("probe", "mouse t=6300100 hwnd=0x10 msg=WM_LBUTTONDOWN x=10 y=20 keys=1 delta=0"),
            ("watch", 'dialog t=6400000 hwnd=0x20 pid=3 process="qvl2rs.exe" caption="qvl2rs" text="Hi" buttons="OK"'),
            ("driver", "command t=6500000 id=32772"),
            ("driver", "byte t=6600000 value=0x81"),
            ("driver", "byte t=6600100 value=0x7f"),
        ), [
            "    0.000  driver   started (platform WINNT)",
            "    0.010  driver   port COM1 opened",
            "    0.500  device   OPTION down  (Option Bank)",
            "    0.510  device   Play down  (Option Bank)",
            '    0.510  driver   keyset "waveedit" (index 1) for the program in front',
            '    0.510  driver   note  "waveedit"',
            "    0.510  driver   sends Ctrl down",
            "    0.510  program  WM_KEYDOWN Ctrl",
            "    0.520  device   OPTION up",
            "    0.530  driver   sends pointer moves -3,+0",
            "    0.530  program  WM_LBUTTONDOWN at (10, 20)",
            '    0.540  box      "qvl2rs": Hi',
            "    0.550  driver   tray command Exit",
            "    0.560  device   wheel clockwise 1",
        ])

    def test_a_byte_without_its_status_and_the_led_key_without_a_bank(self):
        self.assertEqual(run(
            ("driver", "byte t=0 value=0x45"),
            ("driver", "byte t=10 value=0x80"),
            ("driver", "byte t=20 value=0x07"),
            ("driver", 'event t=30 kind="button" control=0 bank=2 magnitude=1 editor=1023 fire=0'),
            ("driver", 'keyset t=40 index=0 name="Default" editor=1 test=1'),
        ), [
            "    0.000  device   byte 45 (no message)",
            "    0.000  device   LED key: LED off",
            "    0.000  driver   the editor is in front: events go to its device panel (its Test dialog: "
            "keystrokes only)",
        ])


if __name__ == "__main__":
    unittest.main(verbosity=2)
