"""A readable transcript of the driver at work, from the logs it and the tools write: what the device
sent, what the driver made of it (the keyset it selected, the keys and mouse events it synthesized,
its port and tray), and what the program in front received.

    transcript = Transcript()
    for source, record in merged_records:      # "driver" (its trace), "probe", "watch"
        for line in transcript.add(source, record):
            print(line)
    for line in transcript.flush():
        print(line)

Records come in the order of their `t` (the performance counter, shared by every process of the Wine
session); the first one sets the transcript's time 0.
"""

BANKS = ["MainBank", "Option Bank", "Shift Bank", "Option+Shift Bank"]
BUTTONS = {0: "OPTION", 1: "SHIFT", 2: "Rewind", 3: "Fast Forward", 4: "Stop", 5: "Play", 6: "Record"}
COMMANDS = {32773: "Open QVL2 Editor", 32774: "Disable QVL2", 32775: "Enable QVL2", 32771: "Reload Driver",
            32772: "Exit", 0: "(menu dismissed)"}

KEY_NAMES = {
    0x08: "Backspace", 0x09: "Tab", 0x0D: "Enter", 0x10: "Shift", 0x11: "Ctrl", 0x12: "Alt", 0x1B: "Esc",
    0x20: "Space", 0x21: "Page Up", 0x22: "Page Down", 0x23: "End", 0x24: "Home", 0x25: "Left", 0x26: "Up",
    0x27: "Right", 0x28: "Down", 0x2D: "Insert", 0x2E: "Delete", 0xA0: "Left Shift", 0xA1: "Right Shift",
    0xA2: "Left Ctrl", 0xA3: "Right Ctrl", 0xA4: "Left Alt", 0xA5: "Right Alt",
    **{c: chr(c) for c in range(0x30, 0x3A)}, **{c: chr(c) for c in range(0x41, 0x5B)},
    **{0x70 + n: f"F{n + 1}" for n in range(12)},
}

MOUSE_BUTTONS = [(0x0002, "left button down"), (0x0004, "left button up"), (0x0008, "right button down"),
                 (0x0010, "right button up")]


def key_name(vk):
    return KEY_NAMES.get(vk, f"key 0x{vk:02x}")


def wheel_step(data):
    """(direction, magnitude) of a wheel data byte; direction None when it is no event."""
    if data == 0 or data == 63 or data > 127:
        return None, 0
    if data <= 28:
        return "counter-clockwise", data
    if data <= 62:
        return "counter-clockwise", 29
    if data <= 98:
        return "clockwise", 29
    if data <= 124:
        return "clockwise", 127 - data
    return "clockwise", {125: 3, 126: 2, 127: 1}[data]


def device_message(status, data):
    """What the device said with one two-byte message."""
    if status == 0x80:
        if data & 0xB8:
            return f"message 80 {data:02x} (no event)"
        key, pressed = data & 0x07, bool(data & 0x40)
        if key == 7:
            return "LED key: LED on" if pressed else "LED key: LED off"
        return f"{BUTTONS[key]} {'down' if pressed else 'up'}"
    direction, magnitude = wheel_step(data)
    if direction is None:
        return f"message 81 {data:02x} (no event)"
    return f"wheel {direction} {magnitude}"


def mouse_text(flags, dx, dy):
    parts = []
    if flags & 0x0001:
        parts.append(f"pointer to ({dx}, {dy}) of 65535" if flags & 0x8000 else f"pointer moves {dx:+d},{dy:+d}")
    parts += [name for bit, name in MOUSE_BUTTONS if flags & bit]
    return ", ".join(parts) or f"mouse event 0x{flags:04x}"


class Transcript:
    """Turns log records into transcript lines; keeps what it needs between records (the device
    message being put together, the time origin)."""

    def __init__(self):
        self.origin = None
        self.status = None   # the status byte waiting for its data byte
        self.pending = None  # (t, text) of a device message waiting for the driver's event line

    def line(self, t, who, text):
        if self.origin is None:
            self.origin = t
        return f"{(t - self.origin) / 1e7:9.3f}  {who:<8} {text}"

    def flush(self):
        """The device message still waiting for its event line, if any."""
        if self.pending is None:
            return []
        t, text = self.pending
        self.pending = None
        return [self.line(t, "device", text)]

    def add(self, source, record):
        """The transcript lines for one record (none, one, or the message waiting before it)."""
        t = record.int("t") if "t" in record else (self.origin or 0)
        if source == "driver" and record.kind in ("event", "release") and self.pending is not None:
            # The driver's view of the message that just came: which bank it addressed (the LED key
            # addresses none; it chooses the wheel's bank for later).
            message_t, text = self.pending
            self.pending = None
            if not text.startswith("LED"):
                text += f"  ({BANKS[record.int('bank')]})"
            return [self.line(message_t, "device", text)]
        out = self.flush()
        if source == "driver":
            text = self.driver_text(record)
            if record.kind == "byte":
                value = record.int("value")
                if self.status is None:
                    if value in (0x80, 0x81):
                        self.status = value
                    else:
                        out.append(self.line(t, "device", f"byte {value:02x} (no message)"))
                else:
                    self.pending = (t, device_message(self.status, value))
                    self.status = None
            elif text:
                out.append(self.line(t, "driver", text))
        elif source == "probe" and record.kind in ("key", "mouse", "char"):
            out.append(self.line(t, "program", self.program_text(record)))
        elif source == "watch" and record.kind == "dialog":
            out.append(self.line(t, "box", f"\"{record['caption']}\": {record['text']}"))
        return out

    @staticmethod
    def driver_text(r):
        kind = r.kind
        if kind == "start":
            return f"started (platform {r['platform']})"
        if kind == "port":
            port = r["name"]
            return f"port {port} opened" if r["open"] == "1" else f"port {port} could not be opened"
        if kind == "startbyte":
            return "start byte b3 sent" if r["ok"] == "1" else "start byte b3 could not be sent"
        if kind == "icon":
            return "tray icon added" if r["added"] == "1" else "the tray icon could not be added"
        if kind == "keyset":
            if r["editor"] == "1":
                return "the editor is in front: events go to its device panel" + (
                    " (its Test dialog: keystrokes only)" if r["test"] == "1" else "")
            return f"keyset \"{r['name']}\" (index {r['index']}) for the program in front"
        if kind == "key":
            return f"sends {key_name(r.int('vk'))} {'up' if r['up'] == '1' else 'down'}"
        if kind == "mouse":
            return "sends " + mouse_text(r.int("flags"), r.int("dx"), r.int("dy"))
        if kind == "menu":
            return f"tray menu shown, position 2 \"{r['toggle']}\""
        if kind == "command":
            return "tray command " + COMMANDS.get(r.int("id"), r["id"])
        if kind == "close":
            return "port closed" if r["was_open"] == "1" else "port already closed"
        if kind == "exit":
            return "exit processing done"
        if kind == "lost":
            return "the port went away"
        if kind == "notify":
            return f"tells the user: {r['text']}"
        if kind == "tray":
            return f"tray tip \"{r['tip']}\" ({r['state']})"
        if kind == "note":
            return f"note  \"{r['text']}\""
        if kind == "forward":
            return f"the editor did not take command {r['command']} in time: dropped"
        return None

    @staticmethod
    def program_text(r):
        if r.kind == "key":
            return f"{r['msg']} {key_name(r.int('vk'))}"
        if r.kind == "char":
            code = r.int("code")
            return f"WM_CHAR {chr(code)!r}" if 32 <= code < 127 else f"WM_CHAR 0x{code:02x}"
        return f"{r['msg']} at ({r['x']}, {r['y']})"
