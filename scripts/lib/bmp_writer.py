"""Writes a Windows .bmp file drawn by a pixel function, for the programs' bitmap resources.

write_bmp(path, width, height, pixel): pixel(x, y) answers (r, g, b), ints 0 to 255, with y = 0 the
top row. The file is a 24-bit uncompressed bitmap, stored bottom-up, each row padded to 4 bytes."""
import struct


def write_bmp(path, width, height, pixel):
    row_size = (width * 3 + 3) // 4 * 4
    padding = bytes(row_size - width * 3)
    rows = []
    for y in reversed(range(height)):  # bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row) + padding)
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + data)
