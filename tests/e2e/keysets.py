"""Keysets as the registry stores them, built for scenarios: a keyset with the defaults of a new one,
and any assignment changed, written with one reg.exe import.

    values = keyset("waveedit", {("MainBank", "Play"): assignment(vk=ord("A"), mods=CTRL | SHIFT)})
    store_keysets(session, keyset("Default"), values)
"""

import struct

EDITOR_KEY = "HKCU\\Software\\Vendrake Electronics\\QVL2"
KEYSETS = EDITOR_KEY + "\\Keysets"
SETTINGS = EDITOR_KEY + "\\Settings"
BANKS = ["MainBank", "Option Bank", "Shift Bank", "Option+Shift Bank"]
CONTROLS = ["Play", "Stop", "FF", "RR", "Record", "CCWheel", "CWheel"]

# Modifier flags of a keystroke, and the mouse modes.
SHIFT, CTRL, ALT, EXT = 0x01, 0x02, 0x04, 0x08
LEFT_CLICK, RIGHT_CLICK = 1, 2
HORIZONTAL_MOVE, VERTICAL_MOVE, HORIZONTAL_DRAG, VERTICAL_DRAG = 1, 2, 3, 4

# A ControlAssignment, 380 bytes: capture flag, wheel speed, flag code, hot key and its modifiers,
# special key, mouse mode, click point, window title, window class, control name.
ASSIGNMENT = struct.Struct("<Bxhh HH2x I h2x ii 256s 63s 33s")


def assignment(vk=0, mods=0, special=0, mouse=0, speed=64, point=(-1, -1), title="", class_name="", name="",
               capture=0):
    return ASSIGNMENT.pack(capture, speed, 128, vk, mods, special, mouse, point[0], point[1], title.encode("cp1252"),
                           class_name.encode("cp1252"), name.encode("cp1252"))


# What a new keyset holds: Play sends Enter, Stop the space bar, the wheel with its LED on the arrow
# keys; nothing else.
DEFAULTS = {
    ("MainBank", "Play"): assignment(special=13),
    ("MainBank", "Stop"): assignment(special=32),
    ("MainBank", "CCWheel"): assignment(vk=37, mods=EXT),
    ("MainBank", "CWheel"): assignment(vk=39, mods=EXT),
}


def keyset(name, changes=None, steps=None):
    """The registry values of keyset `name`: the defaults, with `changes` ({(bank, control):
    assignment bytes}) in place, and `steps` ({(bank, control): steps(...)}) beside them."""
    values = {f"{KEYSETS}\\{name}": {"AppPref": name.encode().ljust(32, b"\0") + bytes(12)}}
    for bank in BANKS:
        values[f"{KEYSETS}\\{name}\\{bank}"] = {
            control: (changes or {}).get((bank, control), DEFAULTS.get((bank, control), assignment()))
            for control in CONTROLS}
    for (bank, control), extra in (steps or {}).items():
        values[f"{KEYSETS}\\{name}\\{bank}"].update({f"{control} {kind}": v for kind, v in extra.items()})
    return values


def steps(press=None, release=None, repeat=False):
    """The values beside an assignment: what its press sends, what its release sends, whether it repeats
    while held (only those that are set)."""
    extra = {"Steps": press, "Release": release, "Repeat": 1 if repeat else None}
    return {kind: value for kind, value in extra.items() if value is not None}


def store_keysets(session, *keysets, com_port=None):
    """Replace the stored keysets (and the preferences, with the port when given) by `keysets`."""
    wine = session.wine
    wine.reg_delete(EDITOR_KEY)
    values = {}
    for one in keysets:
        values.update(one)
    if com_port is not None:
        values[SETTINGS] = {"Prefs": struct.pack("<ii", 1, com_port)}
    if values:
        wine.reg_import(session.path("keysets.reg"), values)
