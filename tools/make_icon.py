#!/usr/bin/env python3
"""Draws Velbrook's icon, a printer with a picture coming out of it, and
writes resources/velbrook.ico: 16x16 and 32x32 drawn pixel by pixel, 48x48
and 256x256 drawn from the same shapes with smooth edges (32-bit with an AND
mask; the 256 image is stored as a PNG, as Windows wants it).

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


def shapes():
    """The 32x32 drawing as shapes in its own units (a pixel of it is one
    unit square), from back to front: (test(x, y), colour)."""
    def rect(x0, y0, x1, y1, r=0.0):
        # The pixels x0..x1, y0..y1 of the small drawing; corners rounded by r.
        def inside(x, y):
            if not (x0 <= x < x1 + 1 and y0 <= y < y1 + 1):
                return False
            cx = min(max(x, x0 + r), x1 + 1 - r)
            cy = min(max(y, y0 + r), y1 + 1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r + 1e-9
        return inside

    def framed(x0, y0, x1, y1, colour, r=0.0, edge=0.75):
        return [(rect(x0, y0, x1, y1, r), OUTLINE),
                (rect(x0 + edge, y0 + edge, x1 - edge, y1 - edge, max(r - edge, 0)), colour)]

    def hill(x, y):
        return 8 <= x < 24 and y < 30 and y >= 25.2 + ((x - 12.5) / 5.5) ** 2 * 1.6 - (1.4 if x > 18 else 0) * ((x - 18) / 6)

    def sun(x, y):
        return (x - 20.0) ** 2 + (y - 23.5) ** 2 <= 1.7 ** 2

    def lid(x, y):
        return 10 <= y < 12.2 and 5 - (y - 10) <= x < 27 + (y - 10)

    out = framed(8, 1, 23, 12, PAPER)
    out += [(rect(11, y + 0.15, 20, y - 0.15), INK) for y in (4, 6, 8)]
    out += [(lid, OUTLINE), (lambda x, y: 10.75 <= y < 12 and 6 <= x < 26, BODY_LIGHT)]
    out += framed(0, 12, 31, 24, BODY, r=1.5)
    out += [(rect(1, 13, 30, 13), PAPER), (rect(1, 22, 30, 23, 0.8), BODY_DARK),
            (rect(24, 15, 26, 16.4, 0.5), LED), (rect(20, 16, 21, 16), BODY_DARK),
            (rect(5, 19, 26, 20), SLOT)]
    out += framed(6, 19, 25, 31, PAPER, r=0.5)
    out += [(rect(8, 21, 23, 29), SKY), (hill, HILL), (rect(8, 29, 23, 29), HILL_DARK),
            (sun, SUN), (rect(6.75, 30, 24.25, 30.25), PAPER_SHADE)]
    return out


class Smooth_Canvas:
    """The shapes drawn at any size, each pixel the average of 4x4 samples;
    pixels are (r, g, b, alpha)."""
    def __init__(self, size, samples=4):
        self.size = size
        drawing = shapes()
        unit = 32.0 / size
        self.pixels = []
        for py in range(size):
            row = []
            for px in range(size):
                r = g = b = a = 0
                for sy in range(samples):
                    for sx in range(samples):
                        x = (px + (sx + 0.5) / samples) * unit
                        y = (py + (sy + 0.5) / samples) * unit
                        colour = None
                        for inside, c in drawing:
                            if inside(x, y):
                                colour = c
                        if colour:
                            r += colour[0]; g += colour[1]; b += colour[2]; a += 1
                n = samples * samples
                row.append((r // a, g // a, b // a, 255 * a // n) if a else None)
            self.pixels.append(row)


def rgba(p):
    """A pixel of either canvas as (r, g, b, alpha); None is transparent."""
    if p is None:
        return (0, 0, 0, 0)
    return p if len(p) == 4 else (p[0], p[1], p[2], 255)


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
            r, g, b, a = rgba(p)
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def png_rgba(canvas):
    """The canvas as a PNG with alpha, the form of a 256x256 icon image."""
    raw = bytearray()
    for row in canvas.pixels:
        raw.append(0)
        for p in row:
            raw += bytes(rgba(p))
    return png_file(canvas.size, 6, bytes(raw))


def ico(canvases):
    images = [png_rgba(c) if c.size == 256 else dib(c) for c in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, image in zip(canvases, images):
        # A directory entry says 0 for 256.
        out += struct.pack('<BBBBHHII', c.size % 256, c.size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b''.join(images)


def check(data, sizes):
    """Reads the icon back: directory, headers, sizes and offsets must agree."""
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    assert (reserved, kind, count) == (0, 1, len(sizes))
    end = 6 + 16 * count
    for i, n in enumerate(sizes):
        w, h, colours, _, planes, bpp, length, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        assert (w, h, colours, planes, bpp) == (n % 256, n % 256, 0, 1, 32)
        assert offset == end, 'images follow each other without gaps'
        if n == 256:
            assert data[offset:offset + 8] == b'\x89PNG\r\n\x1a\n'
            assert struct.unpack_from('>II', data, offset + 16) == (n, n)
            end = offset + length
            continue
        hsize, bw, bh, bplanes, bbits = struct.unpack_from('<IiiHH', data, offset)
        assert (hsize, bw, bh, bplanes, bbits) == (40, n, 2 * n, 1, 32)
        assert length == 40 + n * n * 4 + n * ((n + 31) // 32) * 4
        end = offset + length
    assert end == len(data)


def png_file(n, colour_type, raw):
    """An n x n PNG of 8-bit samples from filtered rows (colour type 2: RGB, 6: RGBA)."""
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, colour_type, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def png(canvas, path, scale=8, backdrop=(212, 208, 200)):
    """The canvas scaled up over a grey backdrop, for looking at."""
    scale = max(1, scale * 32 // max(canvas.size, 32))
    n = canvas.size * scale
    raw = bytearray()
    for y in range(n):
        raw.append(0)
        for x in range(n):
            r, g, b, a = rgba(canvas.pixels[y // scale][x // scale])
            raw += bytes((c * a + k * (255 - a)) // 255 for c, k in zip((r, g, b), backdrop))
    with open(path, 'wb') as f:
        f.write(png_file(n, 2, bytes(raw)))


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
    canvases = [icon_16(), icon_32(), Smooth_Canvas(48), Smooth_Canvas(256)]
    data = ico(canvases)
    check(data, [16, 32, 48, 256])
    with open(target, 'wb') as f:
        f.write(data)
    if png_dir:
        for c in canvases:
            png(c, os.path.join(png_dir, 'velbrook_%d.png' % c.size))


if __name__ == '__main__':
    main(sys.argv[1:])
