"""Writes a Windows .ico file of 32-bit images drawn by a pixel function, for the programs' icons.

pixel(size, x, y) answers (r, g, b, a) for the image of `size` pixels, y downwards."""
import struct

# The small and the large icon at 100, 125, 150 and 200 % (16/32, 20/40, 24/48, 32/64 pixels): with
# all of them Windows picks an image drawn for the screen's DPI instead of shrinking a larger one.
DPI_SIZES = (16, 20, 24, 32, 40, 48, 64)


def _image(size, pixel):
    rows = []
    for y in reversed(range(size)):  # bottom-up
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a)
                             for r, g, b, a in (pixel(size, x, y) for x in range(size))))
    xor = b"".join(rows)
    # The AND mask for systems that ignore alpha: transparent where nothing is drawn.
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = bytearray(mask_row)
        for x in range(size):
            if pixel(size, x, y)[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def write_icon(path, pixel, sizes=(16, 32, 48)):
    images = [_image(s, pixel) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))
