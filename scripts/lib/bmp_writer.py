"""Writes a Windows .bmp file (24 bits a pixel, uncompressed, rows bottom-up and padded to four
bytes), the format LoadBitmap reads from a program's resources.

pixel(x, y) answers (r, g, b), each 0 to 255, for the pixel in column x of row y; y = 0 is the top
row."""
import struct


def bmp_bytes(width, height, pixel):
    """The bytes of the file write_bmp writes."""
    pad = (4 - (width * 3) % 4) % 4
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(pad)
        rows.append(bytes(row))
    image = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    return header + info + image


def write_bmp(path, width, height, pixel):
    with open(path, "wb") as f:
        f.write(bmp_bytes(width, height, pixel))
