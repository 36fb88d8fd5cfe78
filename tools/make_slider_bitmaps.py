#!/usr/bin/env python3
"""Draws the slider's built-in pictures into resources/bitmaps/ as 16-colour BMP files:
KX_HTB (horizontal thumb, 18 x 17: two 9-pixel states, a raised pointer with its tip down, the
second state with a checkered face), KX_HRL (horizontal ruler, 10 x 8: a sunken groove),
KX_VTB (vertical thumb, 38 x 9: two 19-pixel states, tip to the right) and KX_VRL (vertical
ruler, 8 x 10). Fuchsia is the background the slider draws transparent. Run once by hand; the
files are committed."""
import os
import struct
import sys

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, SILVER, GRAY, FUCHSIA, WHITE = 0, 7, 8, 13, 15


def write_bmp4(path, pixels):
    """pixels: rows top first of palette indexes."""
    h, w = len(pixels), len(pixels[0])
    stride = ((w * 4 + 31) // 32) * 4
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, v in enumerate(row):
            if x % 2 == 0:
                line[x // 2] |= v << 4
            else:
                line[x // 2] |= v
        body += line
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(body), 2835, 2835, 16, 16)
    with open(path, "wb") as f:
        f.write(header + info + palette + body)


def pointer(length, across):
    """The inside test of a pointer lying along x: a body then a tip narrowing to the middle
    row at the far end. length is along the pointer, across the other way (odd)."""
    mid = across // 2
    tip = mid + 1

    def inside(x, y):
        if x < 0 or y < 0 or x >= length or y >= across:
            return False
        if x < length - tip:
            return True
        half = length - 1 - x
        return abs(y - mid) <= half

    return inside


def thumb_state(length, across, checkered):
    """A raised pointer along x, tip at the far end: light on the top and left edges, dark on
    the bottom and right ones (and the tip's lower slope), a face inside."""
    inside = pointer(length, across)
    img = [[FUCHSIA] * length for _ in range(across)]
    for y in range(across):
        for x in range(length):
            if not inside(x, y):
                continue
            if not inside(x, y + 1) or not inside(x + 1, y + 1) and y >= across // 2:
                c = BLACK
            elif not inside(x - 1, y) or not inside(x, y - 1):
                c = WHITE
            elif not inside(x, y + 2) or not inside(x + 1, y) or (not inside(x + 2, y + 2) and y >= across // 2):
                c = GRAY
            else:
                c = (WHITE if (x + y) % 2 else SILVER) if checkered else SILVER
            img[y][x] = c
    return img


def transpose(img):
    return [list(r) for r in zip(*img)]


def side_by_side(a, b):
    return [ra + rb for ra, rb in zip(a, b)]


def groove(length):
    """A sunken groove along x, 8 rows high with a transparent row above and below: shadow and
    dark shadow on the top and left, light and face on the bottom and right, white inside."""
    img = [[FUCHSIA] * length for _ in range(8)]
    for x in range(length):
        img[1][x] = GRAY
        img[2][x] = BLACK
        img[3][x] = WHITE
        img[4][x] = WHITE
        img[5][x] = SILVER
        img[6][x] = WHITE
    for y in range(1, 7):
        img[y][0] = GRAY if y < 6 else WHITE
        img[y][length - 1] = WHITE
    for y in range(2, 6):
        img[y][1] = BLACK
        img[y][length - 2] = SILVER
    img[5][1] = SILVER
    return img


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "bitmaps")
    os.makedirs(root, exist_ok=True)
    # Horizontal thumb: a 17-long pointer 9 across, turned so the tip points down.
    h0 = transpose(thumb_state(17, 9, False))
    h1 = transpose(thumb_state(17, 9, True))
    write_bmp4(os.path.join(root, "KX_HTB.bmp"), side_by_side(h0, h1))
    # Vertical thumb: a 19-long pointer 9 across, tip to the right.
    v0 = thumb_state(19, 9, False)
    v1 = thumb_state(19, 9, True)
    write_bmp4(os.path.join(root, "KX_VTB.bmp"), side_by_side(v0, v1))
    write_bmp4(os.path.join(root, "KX_HRL.bmp"), groove(10))
    write_bmp4(os.path.join(root, "KX_VRL.bmp"), transpose(groove(10)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
