#!/usr/bin/env python3
"""Draws setup's icon (resource 300): a green arrow going down into an open box.

Writes setup/setup.ico with a 32x32 and a 16x16 image of 16 colours (4 bits per pixel, the
standard VGA palette, an AND mask for transparency). Run it again after changing the drawing."""
import pathlib
import struct

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, OLIVE, GREEN_DARK, GREY, GREY_DARK, GREEN, YELLOW, WHITE = 0, 3, 2, 7, 8, 10, 11, 15


def shapes():
    """(test, fill, outline) in a 32-unit square; later shapes lie on top."""
    def rect(x0, y0, x1, y1):
        return lambda x, y: x0 <= x < x1 and y0 <= y < y1

    def head(x, y):  # the arrow's point: a triangle with its tip at (16, 25)
        return 12 <= y < 25 and abs(x - 16) < (25 - y) * 0.85

    def back(x, y):  # inside of the open box, seen over its front edge
        return 15 <= y < 19 and 6 + (19 - y) * 0.5 <= x < 26 - (19 - y) * 0.5

    return [
        (back, BLACK, BLACK),
        (rect(13, 1, 19, 13), GREEN, GREEN_DARK),
        (head, GREEN, GREEN_DARK),
        (rect(3, 19, 29, 31), YELLOW, OLIVE),
        (rect(3, 23, 29, 25), OLIVE, OLIVE),
    ]


def draw(size):
    scale = 32 / size
    label = [[None] * size for _ in range(size)]
    items = shapes()
    for py in range(size):
        for px in range(size):
            x, y = (px + 0.5) * scale, (py + 0.5) * scale
            for i, (test, _, _) in enumerate(items):
                if test(x, y):
                    label[py][px] = i
    pixels = [[None] * size for _ in range(size)]
    for py in range(size):
        for px in range(size):
            i = label[py][px]
            if i is None:
                continue
            edge = any(not (0 <= px + dx < size and 0 <= py + dy < size)
                       or label[py + dy][px + dx] is None
                       or (label[py + dy][px + dx] != i and items[label[py + dy][px + dx]][1] != items[i][1]
                           and label[py + dy][px + dx] < i)
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            pixels[py][px] = items[i][2] if edge else items[i][1]
    return pixels


def bitmap(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor = b""
    mask = b""
    mask_row_bytes = ((size + 31) // 32) * 4
    for row in reversed(pixels):
        line = bytearray()
        for px in range(0, size, 2):
            a = row[px] if row[px] is not None else 0
            b = row[px + 1] if row[px + 1] is not None else 0
            line.append(a << 4 | b)
        while len(line) % 4:
            line.append(0)
        xor += bytes(line)
        bits = bytearray(mask_row_bytes)
        for px in range(size):
            if row[px] is None:
                bits[px // 8] |= 0x80 >> (px % 8)
        mask += bytes(bits)
    return header + palette + xor + mask


def main():
    images = [bitmap(draw(32)), bitmap(draw(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    path = pathlib.Path(__file__).resolve().parents[1] / "setup.ico"
    path.write_bytes(out)
    for row in draw(32):
        print("".join(" " if p is None else "0123456789abcdef"[p] for p in row))


if __name__ == "__main__":
    main()
