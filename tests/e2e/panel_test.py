"""The editor's device panel under Wine: controls picked by their commands (as the driver sends them)
and by clicks on their pictures, the banks of OPTION, SHIFT and the LED, and every edit of an
assignment found in the registry at once; with the real driver on the simulator's port, device
presses that select on the panel and the capture of a click target.

Run one group:  python3 tests/e2e/panel_test.py PanelSelection
"""

import re
import sys
import unittest

from harness import HarnessError, Session, WineEnv, wait_until
from driver import Driver
from editor_test import ASSIGNMENT, KEYSETS, WM_COMMAND, Editor, assignment, fresh, keyset_values, watch

BM_GETSTATE = 0x00F2
BST_PUSHED = 0x0004
CB_SETCURSEL = 0x014E
CBN_SELCHANGE = 1
EM_SETSEL = 0x00B1
TBM_SETPOS = 0x0405
WM_HSCROLL = 0x0114
TB_THUMBPOSITION = 4

PLAY, STOP, FAST_FORWARD, REWIND, RECORD, CCWHEEL, CWHEEL = 1013, 1012, 1011, 1010, 1014, 1015, 1016
CONTROL_IDS = (PLAY, STOP, FAST_FORWARD, REWIND, RECORD, CCWHEEL, CWHEEL)
OPTION, SHIFT, LED_ON, LED_OFF = 1008, 1009, 1022, 1023
CAPTION, NAME, KEY_PRESS, SPECIAL_KEY, MOUSE_CLICK, MOUSE_EMULATION, CAPTURE, SPEED = (
    1019, 1000, 1004, 1089, 1086, 1006, 1003, 1002)
STEPS, RELEASE_STEPS, REPEAT = 1760, 1761, 1762
VK_CONTROL, VK_SHIFT_KEY, VK_TAB = 0x11, 0x10, 0x09


def typing(text):
    """The qvl_input steps that type `text`, character by character."""
    return [f"char:{ord(c):#x}:{d}" for c in text for d in ("down", "up")]


def stored(wine, keyset, bank, control):
    """One stored assignment as a dict of its fields."""
    fields = ASSIGNMENT.unpack(wine.reg_value(f"{KEYSETS}\\{keyset}\\{bank}", control))
    names = ("capture", "speed", "flags", "vk", "mods", "special", "mode", "x", "y", "title", "cls", "name")
    record = dict(zip(names, fields))
    for text in ("title", "cls", "name"):
        record[text] = record[text].split(b"\0")[0].decode()
    return record


class Panel(Editor):
    """The editor with its panel's controls at hand."""

    def __init__(self, session, *args):
        super().__init__(session, *args)
        self.panel = next(c.int("hwnd") for c in self.children if c["class"] == "#32770")
        self.items = {c.int("id"): c for c in self.children}

    def hwnd_of(self, control_id):
        return self.items[control_id].int("hwnd")

    def command(self, control_id):
        """The command of a picture as the driver sends it: done when this returns."""
        self.s.send(self.panel, WM_COMMAND, control_id)

    def notify(self, control_id, code):
        self.s.send(self.panel, WM_COMMAND, (code << 16) | control_id, self.hwnd_of(control_id))

    def choose(self, list_id, index):
        """Choose item `index` of a list as its user does: the selection, then its notice."""
        self.s.send(self.hwnd_of(list_id), CB_SETCURSEL, index)
        self.notify(list_id, CBN_SELCHANGE)

    def control_caption(self):
        return self.s.window_info(self.hwnd_of(CAPTION))["title"]

    def text_of(self, control_id):
        return self.s.window_info(self.hwnd_of(control_id))["title"]

    def info(self, control_id):
        return self.s.window_info(self.hwnd_of(control_id))

    def pushed(self, control_id):
        return bool(self.s.send(self.hwnd_of(control_id), BM_GETSTATE) & BST_PUSHED)

    def latched_controls(self):
        return [i for i in CONTROL_IDS if self.pushed(i)]

    def click(self, control_id):
        info = self.info(control_id)
        (x, y), (width, height) = info.pair("pos"), info.pair("extent")
        self.s.inject(self.s.absolute(x + width // 2, y + height // 2), "left:down", "left:up")

    def wait_control_caption(self, text, timeout=10):
        wait_until(lambda: self.control_caption() == text, timeout, f"the control caption to read {text}")


def wait_stored(wine, keyset, bank, control, timeout=10, **fields):
    """Wait until the stored assignment has `fields`; returns it."""
    def matches():
        record = stored(wine, keyset, bank, control)
        return record if all(record[k] == v for k, v in fields.items()) else None

    try:
        return wait_until(matches, timeout, f"{keyset}\\{bank}\\{control} to hold {fields}")
    except HarnessError as error:
        raise HarnessError(f"{error}; it holds {stored(wine, keyset, bank, control)}") from None


class PanelSelection(unittest.TestCase):
    def test_controls_banks_and_the_led(self):
        with Session("panel-selection") as s:
            fresh(s)  # the editor makes "Default" with its own names
            panel = Panel(s)
            self.assertEqual((panel.control_caption(), panel.latched_controls()), ("Play", [PLAY]))

            # A click on each picture selects its control, and only its picture stays pressed.
            names = {PLAY: "Play", STOP: "Stop", FAST_FORWARD: "Fast Forward", REWIND: "Rewind",
                     RECORD: "Record", CCWHEEL: "Wheel LED On", CWHEEL: "Wheel LED On"}
            for control in (RECORD, REWIND, STOP, FAST_FORWARD, CCWHEEL, CWHEEL, PLAY):
                panel.click(control)
                panel.wait_control_caption(names[control])
                self.assertEqual(panel.latched_controls(), [control])

            # OPTION and SHIFT latch and give the banks' captions; the selection stays.
            panel.command(RECORD)
            for modifier, caption in ((OPTION, "Option+Record"), (SHIFT, "Option+Shift+Record"),
                                      (OPTION, "Shift+Record"), (SHIFT, "Record")):
                panel.command(modifier)
                self.assertEqual(panel.control_caption(), caption)
            self.assertEqual([panel.pushed(OPTION), panel.pushed(SHIFT)], [False, False])
            panel.command(OPTION)
            for control, caption in ((PLAY, "Option+Play"), (STOP, "Option+Stop"),
                                     (FAST_FORWARD, "Option+Fast Forward"), (REWIND, "Option+Rewind")):
                panel.command(control)
                self.assertEqual(panel.control_caption(), caption)
            self.assertTrue(panel.pushed(OPTION))

            # The wheel: OPTION and SHIFT are out of reach on screen; OPTION from the driver moves
            # the selection to Play in the new bank.
            panel.command(CCWHEEL)
            self.assertEqual(panel.control_caption(), "Wheel LED On")
            self.assertEqual([panel.info(OPTION).int("enabled"), panel.info(SHIFT).int("enabled")], [0, 0])
            panel.command(SHIFT)
            self.assertEqual((panel.control_caption(), panel.latched_controls()), ("Option+Shift+Play", [PLAY]))
            self.assertEqual(panel.info(OPTION).int("enabled"), 1)

            # The LED switches the wheel between its two banks and their names.
            panel.command(CWHEEL)
            panel.command(LED_OFF)
            self.assertEqual((panel.control_caption(), panel.text_of(NAME)), ("Wheel LED Off", "Wheel LED Off"))
            # A click on the LED does nothing: the LED follows the device alone.
            panel.click(LED_ON)
            panel.command(CWHEEL)  # done once this returns: the click came before it
            self.assertEqual(panel.control_caption(), "Wheel LED Off")
            panel.command(LED_ON)
            self.assertEqual((panel.control_caption(), panel.text_of(NAME)), ("Wheel LED On", "Wheel"))
            self.assertEqual(panel.close(), 0)


class PanelEditing(unittest.TestCase):
    def test_every_field_is_stored_at_once(self):
        with Session("panel-editing") as s:
            default = keyset_values("Default")
            default[f"{KEYSETS}\\Default\\MainBank"].update(CCWheel=assignment("Wheel", vk=37),
                                                              CWheel=assignment("Wheel", vk=39))
            fresh(s, default, keyset_values("alpha"))
            panel = Panel(s)
            wine = s.wine

            # Option+Record of "Default": a typed name.
            panel.command(OPTION)
            panel.command(RECORD)
            panel.click(NAME)
            wait_until(lambda: s.foreground().int("focus") == panel.hwnd_of(NAME), 10, "the Name field's focus")
            s.send(panel.hwnd_of(NAME), EM_SETSEL, 0, -1)
            s.inject(*[f"key:{ord(c):#x}:{d}" for c in "GO" for d in ("down", "up")])
            wait_stored(wine, "Default", "Option Bank", "Record", name="go")

            # A special key, then a keystroke typed into the key field, which clears the special key;
            # choosing a special key again clears the keystroke.
            panel.choose(SPECIAL_KEY, 1)
            wait_stored(wine, "Default", "Option Bank", "Record", special=13)
            # (A function key: Wine's hot-key control reads injected letters, which carry no scan code,
            # as other keys.)
            panel.click(KEY_PRESS)
            s.inject(f"key:{VK_CONTROL:#x}:down", "key:0x74:down", "key:0x74:up", f"key:{VK_CONTROL:#x}:up")
            wait_stored(wine, "Default", "Option Bank", "Record", vk=0x74, mods=2, special=0)
            panel.choose(SPECIAL_KEY, 3)
            wait_stored(wine, "Default", "Option Bank", "Record", vk=0, mods=0, special=65545, name="go")

            # A mouse mode: Right Mouse Click shows the capture box; None hides it.
            panel.choose(MOUSE_CLICK, 2)
            wait_stored(wine, "Default", "Option Bank", "Record", mode=2)
            self.assertEqual(panel.info(CAPTURE).int("visible"), 1)
            self.assertEqual(panel.text_of(CAPTURE), "Capture coordinates when Option+Record is first pressed")
            panel.choose(MOUSE_CLICK, 0)
            self.assertEqual(panel.info(CAPTURE).int("visible"), 0)

            # The wheel pair: mode and speed of the left half reach the right half, whose keys stay.
            panel.command(CCWHEEL)
            panel.choose(MOUSE_EMULATION, 6)
            s.send(panel.hwnd_of(SPEED), TBM_SETPOS, 1, 100)
            s.send(panel.panel, WM_HSCROLL, TB_THUMBPOSITION, panel.hwnd_of(SPEED))
            wait_stored(wine, "Default", "MainBank", "CCWheel", mode=6, speed=100, vk=37)
            self.assertEqual({k: stored(wine, "Default", "MainBank", "CWheel")[k] for k in ("mode", "speed", "vk")},
                             {"mode": 6, "speed": 100, "vk": 39})
            self.assertEqual(panel.text_of(CAPTURE), "Capture coordinates when wheel is first turned")

            # The Keysets menu switches the keyset; edits land in the keyset shown (OPTION is still
            # latched).
            panel.send(2001)
            panel.wait_caption("alpha")
            panel.command(PLAY)
            panel.choose(SPECIAL_KEY, 4)
            wait_stored(wine, "alpha", "Option Bank", "Play", special=32)
            self.assertEqual(stored(wine, "Default", "Option Bank", "Play")["special"], 0)
            self.assertEqual(panel.close(), 0)


def stored_steps(session, control, bank="MainBank"):
    """(press, release, repeat) stored beside a control of "Default", None where a value is missing: read
    from `reg export`, which writes UTF-16 (reg query prints the code page), so every character is whole."""
    path = session.path("export.reg")
    session.wine.reg("export", f"{KEYSETS}\\Default\\{bank}", WineEnv.windows_path(path), "/y")
    values = dict(re.findall(r'^"(.+?)"=(.*?)\r?$', path.read_bytes().decode("utf-16"), re.M))
    text = [re.sub(r'\\(.)', r"\1", values[f"{control} {n}"][1:-1]) if f"{control} {n}" in values else None
            for n in ("Steps", "Release")]
    repeat = values.get(f"{control} Repeat")
    return (*text, int(repeat[6:], 16) if repeat else None)


class PanelSteps(unittest.TestCase):
    def test_steps_are_stored_when_left_and_a_bad_line_is_refused(self):
        with Session("panel-steps") as s:
            fresh(s)
            watcher = watch(s, "caption=Quorvel 2;press=OK")
            panel = Panel(s)
            tab = (f"key:{VK_TAB:#x}:down", f"key:{VK_TAB:#x}:up")

            def focus(control):
                panel.click(control)
                wait_until(lambda: s.foreground().int("focus") == panel.hwnd_of(control), 10, f"the focus in {control}")

            def refused(since):
                box = watcher.wait_dialog(since, caption="Quorvel 2")
                watcher.wait_closed(box.int("hwnd"))
                return box["text"]

            # Left with Tab: stored in the editor's spelling, which the field shows; then the release, and
            # the repeat, which is stored at once.
            focus(STEPS)
            s.inject(*typing("ctrl+s,tab ,enter"), *tab, *typing("shift up"))
            panel.click(REPEAT)
            wait_until(lambda: stored_steps(s, "Play") == ("Ctrl+S, Tab, Enter", "Shift up", 1), 10, "Play's steps")
            self.assertEqual(panel.text_of(STEPS), "Ctrl+S, Tab, Enter")
            # Any character, stored whole.
            panel.command(RECORD)
            focus(STEPS)
            s.inject(*typing('"\u2713"'), *tab)
            wait_until(lambda: stored_steps(s, "Record")[0] == '"\u2713"', 10, "the text stored whole")

            # A line that does not read: refused with its reason, the focus back in the field, nothing stored;
            # a device press (as the driver forwards it) does not take the field away either.
            panel.command(PLAY)
            focus(STEPS)
            s.send(panel.hwnd_of(STEPS), EM_SETSEL, 0, -1)
            since = watcher.mark()
            s.inject(*typing("tab,ctrl+foo"), *tab)
            self.assertEqual(refused(since), 'Step 2, "ctrl+foo": there is no key named "foo".')
            wait_until(lambda: s.foreground().int("focus") == panel.hwnd_of(STEPS), 10, "the focus back in Steps")
            since = watcher.mark()
            panel.command(STOP)
            self.assertEqual(refused(since), 'Step 2, "ctrl+foo": there is no key named "foo".')
            self.assertEqual((panel.control_caption(), panel.text_of(STEPS)), ("Play", "tab,ctrl+foo"))
            self.assertEqual(stored_steps(s, "Play")[0], "Ctrl+S, Tab, Enter")

            # Cleared, it stores none; the wheel has no release steps and no repeat.
            s.send(panel.hwnd_of(STEPS), EM_SETSEL, 0, -1)
            s.inject("key:0x2e:down", "key:0x2e:up")
            panel.command(CCWHEEL)
            wait_until(lambda: stored_steps(s, "Play") == (None, "Shift up", 1), 10, "the steps cleared")
            self.assertEqual([panel.info(c).int("enabled") for c in (STEPS, RELEASE_STEPS, REPEAT)], [1, 0, 0])
            self.assertEqual(panel.close(), 0)


# The device's messages (status 0x80): a transport key down and up, OPTION down and up, the LED key.
STOP_TAP = b"\x80\x44\x80\x04"
RECORD_TAP = b"\x80\x46\x80\x06"
OPTION_TAP = b"\x80\x40\x80\x00"
LED_OFF_KEY, LED_ON_KEY = b"\x80\x07", b"\x80\x47"


class PanelAndDriver(unittest.TestCase):
    def test_device_presses_select_on_the_panel_and_a_click_target_is_captured(self):
        with Session("panel-driver") as s:
            fresh(s)
            port = s.device_port(1)
            driver = Driver(s)
            port.wait_for_bytes(b"\xb3")
            panel = Panel(s)
            s.wait_foreground(panel.hwnd)

            # With the editor in front the device selects on the panel.
            port.write(STOP_TAP)
            panel.wait_control_caption("Stop")
            port.write(OPTION_TAP)
            panel.wait_control_caption("Option+Stop")
            port.write(OPTION_TAP)
            panel.wait_control_caption("Stop")
            panel.command(CWHEEL)
            port.write(LED_OFF_KEY)
            panel.wait_control_caption("Wheel LED Off")
            port.write(LED_ON_KEY)
            panel.wait_control_caption("Wheel LED On")

            # Record clicks where it is first pressed.
            panel.command(RECORD)
            panel.choose(MOUSE_CLICK, 1)
            panel.click(CAPTURE)
            wait_stored(s.wine, "Default", "MainBank", "Record", capture=1, mode=1, title="")
            probe = s.probe(moves=True, hooks=False)  # the editor reads the cursor: see Probe.hover
            probe.wait_ready()
            probe.hover(0, 30, 40)
            since = probe.mark()
            port.write(RECORD_TAP)
            wait_stored(s.wine, "Default", "MainBank", "Record", title="QVL Probe", cls="QvlProbe", x=30, y=40)
            wait_until(lambda: ("WM_LBUTTONDOWN", 30, 40) in [m[1:] for m in probe.received_mouse(since)], 10,
                       "the click at the captured point")

            # The next press clicks there again, wherever the mouse is.
            probe.hover(0, 90, 70)
            since = probe.mark()
            port.write(RECORD_TAP)
            wait_until(lambda: ("WM_LBUTTONDOWN", 30, 40) in [m[1:] for m in probe.received_mouse(since)], 10,
                       "the click at the stored point")
            self.assertEqual(stored(s.wine, "Default", "MainBank", "Record")["x"], 30)

            # An edit reaches the driver at its next event (keysetsChanged): Stop sends Tab now.
            panel.command(STOP)
            panel.choose(SPECIAL_KEY, 2)
            wait_stored(s.wine, "Default", "MainBank", "Stop", special=9)
            since = probe.mark()
            port.write(STOP_TAP)
            tab = [("WM_KEYDOWN", 0x09), ("WM_KEYUP", 0x09)]
            wait_until(lambda: probe.received_keys(since)[:2] == tab, 30, "Tab down and up in the probe")

            # Steps typed into the field and left reach the driver at its next press, instead of the Tab.
            panel.click(STEPS)
            wait_until(lambda: s.foreground().int("focus") == panel.hwnd_of(STEPS), 10, "the focus in Steps")
            s.inject(*typing("left, right"), f"key:{VK_TAB:#x}:down", f"key:{VK_TAB:#x}:up")
            wait_until(lambda: stored_steps(s, "Stop")[0] == "Left, Right", 10, "Stop's steps stored")
            probe.take_foreground()
            since = probe.mark()
            port.write(STOP_TAP)
            steps = [(m, vk) for vk in (0x25, 0x27) for m in ("WM_KEYDOWN", "WM_KEYUP")]
            wait_until(lambda: probe.received_keys(since)[:4] == steps, 30, "Left and Right in the probe")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1] + sys.argv[1:], verbosity=2)
