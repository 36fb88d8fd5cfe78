#!/usr/bin/env python3
"""Draws the application icon (resources/icons/MAINICON.ico): a blue rounded square holding a
white film frame with a play triangle, at 16, 32 and 48 pixels, as 32-bit DIB pictures with an
AND mask. Run once by hand; the icon is committed."""
import struct
import sys


def inside_round_rect(x, y, size, radius):
    cx = min(max(x, radius), size - radius)
    cy = min(max(y, radius), size - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def pixel(x, y, size):
    """Colour (r, g, b, a) of the pixel centre (x + 0.5, y + 0.5) with 4x4 supersampling."""
    acc = [0.0, 0.0, 0.0, 0.0]
    for sy in range(4):
        for sx in range(4):
            px = x + (sx + 0.5) / 4
            py = y + (sy + 0.5) / 4
            u, v = px / size, py / size
            if not inside_round_rect(px, py, size, size * 0.2):
                continue
            # background: a vertical blue gradient
            r, g, b = 30 + 40 * v, 110 + 60 * (1 - v), 200 + 40 * (1 - v)
            # play triangle: points (0.36,0.28) (0.36,0.72) (0.74,0.5)
            if u >= 0.36 and abs(v - 0.5) <= (0.74 - u) * (0.22 / 0.38):
                r, g, b = 255, 255, 255
            # film strip holes along the top and bottom edges
            if (0.10 <= v <= 0.18 or 0.82 <= v <= 0.90) and int(u * 6) % 2 == 1 and 0.1 < u < 0.9:
                r, g, b = 235, 240, 250
            acc[0] += r
            acc[1] += g
            acc[2] += b
            acc[3] += 255
    n = 16.0
    a = acc[3] / n
    if a == 0:
        return (0, 0, 0, 0)
    cov = acc[3] / 255.0
    return (round(acc[0] / cov), round(acc[1] / cov), round(acc[2] / cov), round(a))


def dib(size):
    xor = bytearray()
    for y in reversed(range(size)):  # rows bottom-up
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            xor += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if pixel(x, y, size)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def main(path):
    sizes = (16, 32, 48)
    images = [dib(s) for s in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for s, im in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(im), offset)
        offset += len(im)
    for im in images:
        out += im
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources/icons/MAINICON.ico')
