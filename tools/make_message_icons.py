#!/usr/bin/env python3
"""Draws the four standard icons of the message dialogs into resources/icons/ as 32 x 32 BMP
files of 32 bits with alpha (B, G, R, A, rows bottom first): IDI_WARNING (a yellow triangle with
an exclamation mark), IDI_ERROR (a red disc with a white cross), IDI_INFORMATION (a blue disc
with a white "i") and IDI_QUESTION (a blue disc with a white question mark). Every shape is
sampled 4 x 4 times per pixel, so the edges are smooth over any background. Run once by hand;
the files are committed."""
import math
import os
import struct

SIZE = 32
SUB = 4


def write_bmp32(path, pixels):
    """pixels: rows top first of (r, g, b, a), not premultiplied."""
    body = bytearray()
    for row in reversed(pixels):
        for (r, g, b, a) in row:
            body += bytes((b, g, r, a))
    offset = 14 + 40
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 32, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def render(layers):
    """layers: (inside(x, y) -> bool, (r, g, b)) from the bottom up; x, y in pixel units."""
    out = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied sums
            for sy in range(SUB):
                for sx in range(SUB):
                    x = px + (sx + 0.5) / SUB
                    y = py + (sy + 0.5) / SUB
                    colour = None
                    for inside, c in layers:
                        if inside(x, y):
                            colour = c
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = SUB * SUB
            a = acc[3] / n
            if acc[3]:
                rgb = [round(v / acc[3]) for v in acc[:3]]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], round(255 * a)))
        out.append(row)
    return out


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rounded_bar(x0, y0, x1, y1):
    """A vertical bar with round ends."""
    r = (x1 - x0) / 2
    cx = (x0 + x1) / 2
    return lambda x, y: (x0 <= x <= x1 and y0 + r <= y <= y1 - r) or disc(cx, y0 + r, r)(x, y) or disc(cx, y1 - r, r)(x, y)


def line(ax, ay, bx, by, half):
    """A stroke of half-width `half` from A to B with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        qx, qy = ax + t * dx - x, ay + t * dy - y
        return qx * qx + qy * qy <= half * half
    return inside


def ring_arc(cx, cy, r_in, r_out, a0, a1):
    """Part of a ring between angles a0 and a1 (degrees, clockwise from the top)."""
    def inside(x, y):
        d2 = (x - cx) ** 2 + (y - cy) ** 2
        if not (r_in * r_in <= d2 <= r_out * r_out):
            return False
        a = math.degrees(math.atan2(x - cx, -(y - cy))) % 360
        return a0 <= a <= a1 if a0 <= a1 else a >= a0 or a <= a1
    return inside


def triangle(points):
    (x0, y0), (x1, y1), (x2, y2) = points

    def side(ax, ay, bx, by, x, y):
        return (bx - ax) * (y - ay) - (by - ay) * (x - ax)

    def inside(x, y):
        s0 = side(x0, y0, x1, y1, x, y)
        s1 = side(x1, y1, x2, y2, x, y)
        s2 = side(x2, y2, x0, y0, x, y)
        return (s0 >= 0 and s1 >= 0 and s2 >= 0) or (s0 <= 0 and s1 <= 0 and s2 <= 0)
    return inside


def rounded_triangle(points, radius):
    """The triangle grown by `radius` with round corners."""
    core = triangle(points)
    edges = [line(*points[i], *points[(i + 1) % 3], radius) for i in range(3)]
    return lambda x, y: core(x, y) or any(e(x, y) for e in edges)


def shaded_disc(cx, cy, r, dark, light):
    """Layers of a disc with a dark rim and a lighter face."""
    return [(disc(cx, cy, r), dark), (disc(cx, cy - 0.6, r - 1.4), light)]


WHITE = (255, 255, 255)


def warning():
    pts = [(16, 3.5), (29, 27), (3, 27)]
    inner = [(16, 6.3), (26.6, 25.6), (5.4, 25.6)]
    return render([
        (rounded_triangle(pts, 1.6), (150, 100, 0)),
        (rounded_triangle(inner, 0.8), (255, 205, 40)),
        (rounded_bar(14.3, 10.5, 17.7, 21), (40, 30, 0)),
        (disc(16, 24.2, 1.8), (40, 30, 0)),
    ])


def error():
    return render(shaded_disc(16, 16, 14.5, (150, 20, 20), (225, 50, 45)) + [
        (line(10.5, 10.5, 21.5, 21.5, 2.1), WHITE),
        (line(21.5, 10.5, 10.5, 21.5, 2.1), WHITE),
    ])


def information():
    return render(shaded_disc(16, 16, 14.5, (20, 70, 150), (50, 125, 215)) + [
        (disc(16, 9.2, 2.3), WHITE),
        (rounded_bar(14.1, 13.2, 17.9, 25), WHITE),
    ])


def question():
    return render(shaded_disc(16, 16, 14.5, (20, 70, 150), (50, 125, 215)) + [
        (ring_arc(16, 11.8, 2.9, 6.3, 285, 150), WHITE),
        (line(19.8, 15.9, 16, 18.6, 1.7), WHITE),
        (rounded_bar(14.3, 17.5, 17.7, 21.2), WHITE),
        (disc(16, 24.8, 2.0), WHITE),
    ])


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "icons")
    os.makedirs(out, exist_ok=True)
    for name, draw in (("IDI_WARNING", warning), ("IDI_ERROR", error), ("IDI_INFORMATION", information),
                       ("IDI_QUESTION", question)):
        write_bmp32(os.path.join(out, name + ".bmp"), draw())


if __name__ == "__main__":
    main()
