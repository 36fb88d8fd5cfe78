#!/usr/bin/env python3
"""Draws the glyphs of the drive combo and the directory list into resources/bitmaps/ as
16-colour BMP files: the volume kinds KX_FLOPPY (a removable stick), KX_HARD (a fixed disk),
KX_NETWORK (a disk on a cable), KX_CDROM (a disc), all 16 x 16, and KX_RAM (a memory module,
16 x 11); the folders KX_CLOSEDFOLDER, KX_OPENFOLDER and KX_CURRENTFOLDER (16 x 15). Fuchsia is
the background, and the bottom-left pixel always shows it, since the controls draw that pixel's
colour transparent. Run once by hand; the files are committed."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_slider_bitmaps import write_bmp4  # noqa: E402

BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[FUCHSIA] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        """Inclusive corners."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def box(self, x0, y0, x1, y1, face, light=WHITE, dark=GRAY, edge=BLACK):
        """A raised box: light top and left, dark inner bottom and right, a black outline."""
        self.fill(x0, y0, x1, y1, edge)
        self.fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, face)
        for x in range(x0 + 1, x1):
            self.put(x, y0 + 1, light)
            self.put(x, y1 - 1, dark)
        for y in range(y0 + 1, y1):
            self.put(x0 + 1, y, light)
            self.put(x1 - 1, y, dark)

    def rows(self):
        assert self.px[self.h - 1][0] == FUCHSIA, "the bottom-left pixel must be the background"
        return self.px


def hard_disk():
    c = Canvas(16, 16)
    c.box(1, 5, 14, 11, SILVER)
    c.fill(3, 8, 8, 8, GRAY)       # the slot
    c.put(11, 8, LIME)             # the activity light
    c.put(12, 8, GREEN)
    return c


def removable():
    c = Canvas(16, 16)
    c.box(2, 3, 10, 12, BLUE, light=AQUA, dark=NAVY)   # the stick's body
    c.fill(10, 5, 14, 10, BLACK)                        # the plug
    c.fill(11, 6, 13, 9, SILVER)
    c.put(12, 7, BLACK)
    c.put(12, 8, BLACK)
    c.fill(4, 6, 7, 9, WHITE)                           # the label
    return c


def network():
    c = Canvas(16, 16)
    c.box(1, 1, 14, 7, SILVER)
    c.fill(3, 4, 8, 4, GRAY)
    c.put(11, 4, LIME)
    c.fill(7, 8, 8, 11, BLACK)      # the cable down to a bar
    c.fill(2, 12, 13, 13, BLACK)
    c.fill(3, 12, 12, 12, TEAL)
    return c


def cdrom():
    c = Canvas(16, 16)
    for y in range(16):
        for x in range(16):
            dx, dy = x - 7.5, y - 7.5
            r2 = dx * dx + dy * dy
            if r2 <= 7.2 * 7.2:
                if r2 > 6.2 * 6.2:
                    col = GRAY
                elif r2 <= 1.6 * 1.6:
                    col = FUCHSIA if r2 <= 0.8 * 0.8 else GRAY   # the hole
                elif dx > 0 > dy and dx * dx < 20:
                    col = WHITE                                    # a shine
                else:
                    col = SILVER if (x + y) % 5 else AQUA
                c.put(x, y, col)
    return c


def ram():
    c = Canvas(16, 11)
    c.fill(1, 1, 14, 7, BLACK)
    c.fill(2, 2, 13, 6, GREEN)
    for x0 in (3, 7, 11):           # the chips
        c.fill(x0, 3, x0 + 1, 5, BLACK)
    for x in range(2, 14, 2):       # the pins
        c.fill(x, 8, x, 9, YELLOW)
    return c


def folder(state):
    """state: 'closed', 'open' or 'current' (open, with a sheet inside)."""
    c = Canvas(16, 15)
    c.fill(1, 2, 6, 3, BLACK)       # the tab
    c.fill(2, 3, 5, 3, YELLOW)
    c.fill(1, 3, 14, 13, BLACK)     # the back
    c.fill(2, 4, 13, 12, OLIVE)
    if state == "closed":
        c.fill(2, 5, 13, 12, YELLOW)
        c.fill(2, 5, 13, 5, WHITE)
        return c
    if state == "current":
        c.fill(4, 1, 11, 8, BLACK)   # a sheet standing in the folder
        c.fill(5, 2, 10, 8, WHITE)
        c.fill(6, 4, 9, 4, GRAY)
        c.fill(6, 6, 9, 6, GRAY)
    for y in range(7, 14):           # the front flap, leaning out to the right
        shift = (13 - y) // 2
        x0, x1 = 1 + shift + 2, 15 - (13 - y) // 3
        c.fill(x0 - 1, y, x1, y, BLACK)
        if y < 13:
            c.fill(x0, y, x1 - 1, y, YELLOW if y > 7 else WHITE)
    return c


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "bitmaps")
    os.makedirs(root, exist_ok=True)
    pictures = {
        "KX_HARD": hard_disk(), "KX_FLOPPY": removable(), "KX_NETWORK": network(), "KX_CDROM": cdrom(),
        "KX_RAM": ram(), "KX_CLOSEDFOLDER": folder("closed"), "KX_OPENFOLDER": folder("open"),
        "KX_CURRENTFOLDER": folder("current"),
    }
    for name, canvas in pictures.items():
        write_bmp4(os.path.join(root, name + ".bmp"), canvas.rows())
    return 0


if __name__ == "__main__":
    sys.exit(main())
