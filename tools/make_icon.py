#!/usr/bin/env python3
"""Draws Velbrook's icon, a printer with a picture coming out of it, and
writes resources/velbrook.ico (32x32 and 16x16, 32-bit with an AND mask).

Run once after changing the drawing:  python3 tools/make_icon.py [out.ico]
With --png DIR it also writes each image, scaled x8, for looking at.
"""
import os
import struct
import sys
import zlib

OUTLINE = (0, 0, 0)
PAPER = (255, 255, 255)
PAPER_SHADE = (200, 200, 200)
BODY_LIGHT = (232, 232, 232)
BODY = (192, 192, 192)
BODY_DARK = (128, 128, 128)
SLOT = (40, 40, 40)
LED = (0, 220, 0)
SKY = (64, 128, 255)
HILL = (0, 160, 0)
HILL_DARK = (0, 110, 0)
SUN = (255, 224, 0)
INK = (110, 110, 110)


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[None] * size for _ in range(size)]  # None: transparent

    def dot(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, colour)

    def box(self, x0, y0, x1, y1, inside, edge=OUTLINE):
        self.fill(x0, y0, x1, y1, edge)
        self.fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, inside)


def icon_32():
    c = Canvas(32)
    # The sheet waiting at the back, with a few lines of text on it.
    c.box(8, 1, 23, 12, PAPER)
    for y in (4, 6, 8):
        c.fill(11, y, 20, y, INK)
    # The printer: a lid sloping back, then the body.
    c.fill(5, 10, 26, 10, OUTLINE)
    c.fill(4, 11, 27, 11, OUTLINE)
    c.fill(6, 11, 25, 11, BODY_LIGHT)
    c.box(1, 12, 30, 24, BODY)
    c.fill(2, 13, 29, 13, PAPER)           # light falls on the front edge
    c.fill(2, 22, 29, 23, BODY_DARK)       # and the lower part is in shade
    c.fill(0, 13, 0, 23, OUTLINE)
    c.fill(31, 13, 31, 23, OUTLINE)
    c.dot(1, 12, None); c.dot(30, 12, None); c.dot(0, 13, None); c.dot(31, 13, None)
    c.dot(1, 13, OUTLINE); c.dot(30, 13, OUTLINE)
    c.fill(24, 15, 26, 16, LED)
    c.fill(24, 17, 26, 17, HILL_DARK)
    c.fill(20, 16, 21, 16, BODY_DARK)
    # The slot, and the picture coming out of it.
    c.fill(5, 19, 26, 20, SLOT)
    c.box(6, 19, 25, 31, PAPER)
    c.fill(8, 21, 23, 29, SKY)
    for x in range(8, 24):                 # a rolling hill under the sky
        top = 26 + (abs(x - 13) // 3 if x < 19 else -1 + abs(x - 22) // 2)
        c.fill(x, max(top, 24), x, 29, HILL)
    c.fill(8, 29, 23, 29, HILL_DARK)
    for (x, y) in ((19, 22), (20, 22), (18, 23), (19, 23), (20, 23), (21, 23),
                   (19, 24), (20, 24)):
        c.dot(x, y, SUN)
    c.fill(7, 30, 24, 30, PAPER_SHADE)
    return c


def icon_16():
    c = Canvas(16)
    c.box(4, 0, 11, 6, PAPER)
    c.fill(6, 2, 9, 2, INK)
    c.fill(6, 4, 9, 4, INK)
    c.box(0, 6, 15, 12, BODY)
    c.dot(0, 6, None); c.dot(15, 6, None)
    c.fill(1, 7, 14, 7, PAPER)
    c.fill(1, 11, 14, 11, BODY_DARK)
    c.fill(12, 8, 13, 8, LED)
    c.fill(3, 10, 12, 10, SLOT)
    c.box(3, 10, 12, 15, PAPER)
    c.fill(4, 11, 11, 12, SKY)
    c.fill(4, 13, 11, 14, HILL)
    c.dot(10, 11, SUN)
    c.fill(6, 12, 8, 12, HILL)
    return c


def dib(canvas):
    """BITMAPINFOHEADER, bottom-up BGRA rows, then the AND mask (1 = transparent)."""
    n = canvas.size
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((n + 31) // 32) * 4
    for row in reversed(canvas.pixels):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p is None:
                colour += b'\0\0\0\0'
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                colour += bytes((p[2], p[1], p[0], 255))
        mask += bits
    return header + bytes(colour) + bytes(mask)


def ico(canvases):
    images = [dib(c) for c in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, image in zip(canvases, images):
        out += struct.pack('<BBBBHHII', c.size, c.size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b''.join(images)


def check(data, sizes):
    """Reads the icon back: directory, headers, sizes and offsets must agree."""
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    assert (reserved, kind, count) == (0, 1, len(sizes))
    end = 6 + 16 * count
    for i, n in enumerate(sizes):
        w, h, colours, _, planes, bpp, length, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        assert (w, h, colours, planes, bpp) == (n, n, 0, 1, 32)
        assert offset == end, 'images follow each other without gaps'
        hsize, bw, bh, bplanes, bbits = struct.unpack_from('<IiiHH', data, offset)
        assert (hsize, bw, bh, bplanes, bbits) == (40, n, 2 * n, 1, 32)
        assert length == 40 + n * n * 4 + n * ((n + 31) // 32) * 4
        end = offset + length
    assert end == len(data)


def png(canvas, path, scale=8, backdrop=(212, 208, 200)):
    n = canvas.size * scale
    raw = bytearray()
    for y in range(n):
        raw.append(0)
        for x in range(n):
            p = canvas.pixels[y // scale][x // scale]
            raw += bytes(p if p else backdrop)

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, 2, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    target = os.path.join(here, '..', 'resources', 'velbrook.ico')
    png_dir = None
    args = list(argv)
    if '--png' in args:
        i = args.index('--png')
        png_dir = args[i + 1]
        del args[i:i + 2]
    if args:
        target = args[0]
    canvases = [icon_32(), icon_16()]
    data = ico(canvases)
    check(data, [32, 16])
    with open(target, 'wb') as f:
        f.write(data)
    if png_dir:
        for c in canvases:
            png(c, os.path.join(png_dir, 'velbrook_%d.png' % c.size))


if __name__ == '__main__':
    main(sys.argv[1:])
