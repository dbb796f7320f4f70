#!/usr/bin/env python3
"""Draws the program icon and the homepage label's pointer.

Writes vindrel.ico and label9.cur into the folder given as argument. Each
holds one 24x24 picture twice: with an 8-bit palette and in 32-bit colour.
The pictures are drawn from shapes here, so the artwork is reproducible.
"""
import os
import struct
import sys

SIZE = 24
CLEAR = None


def icon_pixel(x, y):
    """A window with a blue caption and a green opacity bar: what the program acts on."""
    if not (2 <= x <= 21 and 3 <= y <= 20):
        return CLEAR
    if x in (2, 21) or y in (3, 20):
        return (32, 48, 96, 255)  # border
    if y <= 7:
        if 16 <= x <= 19 and 5 <= y <= 6:
            return (230, 80, 70, 255)  # close box
        return (48, 104, 200, 255)  # caption
    if 14 <= y <= 17 and 5 <= x <= 18:
        # an opacity bar: fades from solid to light along x
        level = 80 + (x - 5) * 12
        return (level, min(255, max(200, level + 15)), level, 255)
    if 10 <= y <= 11 and 5 <= x <= 15:
        return (120, 120, 120, 255)  # a line of title text
    return (250, 250, 245, 255)


def pointer_pixel(x, y):
    """An arrow with a small globe: the pointer over the homepage link."""
    # arrow: tip at (1, 1)
    if y >= 1 and x >= 1 and x - 1 <= (y - 1) * 0.55 and y <= 15:
        inside = x - 1 <= (y - 1) * 0.55 - 1.2 and y <= 13 and x >= 2
        return (255, 255, 255, 255) if inside else (0, 0, 0, 255)
    if 1 <= x - 3 <= 3 and 14 <= y <= 19:
        return (0, 0, 0, 255)  # arrow stem
    cx, cy, r = 17, 17, 6
    d2 = (x - cx) ** 2 + (y - cy) ** 2
    if d2 <= r * r:
        if d2 >= (r - 1) * (r - 1) or x == cx or y == cy:
            return (20, 60, 140, 255)
        return (110, 170, 240, 255)
    return CLEAR


def rows(draw):
    return [[draw(x, y) for x in range(SIZE)] for y in range(SIZE)]


def and_mask(pixels):
    stride = ((SIZE + 31) // 32) * 4
    out = bytearray()
    for y in reversed(range(SIZE)):
        row = bytearray(stride)
        for x in range(SIZE):
            if pixels[y][x] is CLEAR:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def header(bits, colours_used, image_size):
    return struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, bits, 0, image_size, 0, 0,
                       colours_used, 0)


def image_8bit(pixels):
    palette = [(0, 0, 0)]
    for row in pixels:
        for p in row:
            if p is not CLEAR and p[:3] not in palette:
                palette.append(p[:3])
    assert len(palette) <= 256
    index = {c: i for i, c in enumerate(palette)}
    stride = (SIZE + 3) // 4 * 4
    xor = bytearray()
    for y in reversed(range(SIZE)):
        row = bytearray(stride)
        for x in range(SIZE):
            p = pixels[y][x]
            row[x] = 0 if p is CLEAR else index[p[:3]]
        xor += row
    mask = and_mask(pixels)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    table += bytes(4 * (256 - len(palette)))
    return header(8, 256, len(xor) + len(mask)) + table + bytes(xor) + mask


def image_32bit(pixels):
    xor = bytearray()
    for y in reversed(range(SIZE)):
        for x in range(SIZE):
            p = pixels[y][x]
            xor += bytes(4) if p is CLEAR else struct.pack('<BBBB', p[2], p[1], p[0], p[3])
    mask = and_mask(pixels)
    return header(32, 0, len(xor) + len(mask)) + bytes(xor) + mask


def container(kind, images, hotspot=(0, 0)):
    """An .ico (kind 1) or .cur (kind 2) file holding the given images."""
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    data = b''
    for bits, image in images:
        if kind == 1:
            planes, count = 1, bits
        else:
            planes, count = hotspot
        out += struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, planes, count, len(image), offset)
        offset += len(image)
        data += image
    return out + data


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    icon = rows(icon_pixel)
    pointer = rows(pointer_pixel)
    with open(os.path.join(out_dir, 'vindrel.ico'), 'wb') as f:
        f.write(container(1, [(8, image_8bit(icon)), (32, image_32bit(icon))]))
    with open(os.path.join(out_dir, 'label9.cur'), 'wb') as f:
        f.write(container(2, [(8, image_8bit(pointer)), (32, image_32bit(pointer))], (1, 1)))


if __name__ == '__main__':
    main()
