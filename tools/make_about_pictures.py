#!/usr/bin/env python3
"""Draws the About window's pictures and writes them under resources/:

  about_badge.bmp    149 x 41  the badge behind "Australian Made Software"
  about_donate.bmp    62 x 31  the donation picture: a heart on a coin
  about_ok_glyph.bmp  32 x 16  the OK button's glyph, normal then disabled;
                               the bottom-left pixel's colour is transparent
  about_logo.gif     135 x 125 the animated logo: eight frames of 10
                               hundredths of a second, looping 999 times

Run once after changing a drawing:  python3 tools/make_about_pictures.py [out_dir]
The banner is not here: the program draws it as a metafile when it starts.
"""
import math
import os
import struct
import sys

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREEN = (0, 110, 60)
GREEN_DARK = (0, 70, 40)
GOLD = (250, 200, 30)
GOLD_DARK = (190, 140, 0)
RED = (210, 30, 40)
RED_LIGHT = (255, 110, 110)
SKY = (40, 90, 200)
SKY_LIGHT = (120, 170, 255)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
KEY = (255, 0, 255)  # the glyph's transparent colour


class Canvas:
    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.pixels = [[background] * width for _ in range(height)]

    def dot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, colour)

    def disc(self, cx, cy, r, colour):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.dot(x, y, colour)

    def ring(self, cx, cy, r_out, r_in, colour):
        for y in range(int(cy - r_out) - 1, int(cy + r_out) + 2):
            for x in range(int(cx - r_out) - 1, int(cx + r_out) + 2):
                d = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
                if r_in * r_in <= d <= r_out * r_out:
                    self.dot(x, y, colour)

    def polygon(self, points, colour):
        """Even-odd scan-line fill, sampled at pixel centres."""
        ys = [p[1] for p in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            yc = y + 0.5
            crossings = []
            for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
                if (y0 <= yc < y1) or (y1 <= yc < y0):
                    crossings.append(x0 + (yc - y0) * (x1 - x0) / (y1 - y0))
            crossings.sort()
            for a, b in zip(crossings[::2], crossings[1::2]):
                for x in range(int(math.ceil(a - 0.5)), int(math.floor(b - 0.5)) + 1):
                    self.dot(x, y, colour)


def badge():
    c = Canvas(149, 41, GREEN)
    c.fill(0, 0, 148, 0, GOLD)
    c.fill(0, 40, 148, 40, GOLD_DARK)
    c.fill(0, 0, 0, 40, GOLD)
    c.fill(148, 0, 148, 40, GOLD_DARK)
    c.fill(2, 2, 146, 2, GREEN_DARK)
    # The emblem at the right: a gold triangle with a setting sun in it.
    c.polygon([(108, 36), (143, 36), (125.5, 4)], GOLD)
    c.polygon([(113, 33), (138, 33), (125.5, 10)], GOLD_DARK)
    c.disc(125.5, 26, 6, RED)
    c.fill(113, 30, 138, 33, GOLD_DARK)
    return c


def donate():
    c = Canvas(62, 31, SILVER)
    c.disc(17, 15.5, 13, GOLD_DARK)
    c.disc(17, 15.5, 11, GOLD)
    c.ring(17, 15.5, 8, 7, GOLD_DARK)
    # A heart beside the coin.
    c.disc(38, 11, 6, RED)
    c.disc(49, 11, 6, RED)
    c.polygon([(32.2, 13), (54.8, 13), (43.5, 27)], RED)
    c.disc(37, 9, 2, RED_LIGHT)
    return c


def ok_glyph():
    """A green tick, and the same shape greyed with a white highlight."""
    tick = [(2, 8), (3, 8), (3, 9), (4, 9), (4, 10), (5, 10), (5, 11), (6, 11), (6, 12)]
    for x in range(7, 14):
        y = 11 - (x - 7)
        tick += [(x, y), (x, y + 1)]
    shape = set()
    for (x, y) in tick:
        shape |= {(x, y), (x, y + 1)}
    c = Canvas(32, 16, KEY)
    for (x, y) in shape:
        c.dot(x, y, (0, 128, 0))
    for (x, y) in shape:
        if (x + 1, y + 1) not in shape:
            c.dot(16 + x + 1, y + 1, WHITE)
    for (x, y) in shape:
        c.dot(16 + x, y, GREY)
    return c


def bmp24(canvas):
    stride = (canvas.width * 3 + 3) // 4 * 4
    rows = bytearray()
    for row in reversed(canvas.pixels):
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        rows += line + bytes(stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, canvas.width, canvas.height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + bytes(rows)


# ---- the logo -------------------------------------------------------------

LOGO_W, LOGO_H, LOGO_FRAMES = 135, 125, 8
PALETTE = [WHITE, BLACK, SKY, SKY_LIGHT, GOLD, GOLD_DARK, RED, GREEN]


def logo_frame(n):
    c = Canvas(LOGO_W, LOGO_H, WHITE)
    cx, cy = 67.5, 62.5
    c.ring(cx, cy, 58, 52, SKY)
    # A bold V in the middle.
    c.polygon([(38, 30), (54, 30), (67.5, 74), (81, 30), (97, 30), (75, 96), (60, 96)], SKY_LIGHT)
    c.polygon([(42, 33), (51, 33), (67.5, 85), (84, 33), (93, 33), (73, 93), (62, 93)], SKY)
    # Eight beads run round the ring, one step a frame; the lead one is red.
    for k in range(8):
        angle = 2 * math.pi * (k + n) / 8 - math.pi / 2
        x, y = cx + 55 * math.cos(angle), cy + 55 * math.sin(angle)
        c.disc(x, y, 6 if k == 0 else 4.5, RED if k == 0 else GOLD)
        if k != 0:
            c.disc(x, y, 2, GOLD_DARK)
    c.fill(44, 104, 91, 105, GREEN)
    return c


def lzw(indices, min_code_size):
    """GIF LZW: codes packed least-significant bit first."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, bits, nbits = bytearray(), 0, 0
    size = min_code_size + 1

    def put(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    put(clear)
    run = ()
    for index in indices:
        longer = run + (index,)
        if longer in table:
            run = longer
            continue
        put(table[run])
        if next_code < 4096:
            table[longer] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            put(clear)
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            size = min_code_size + 1
        run = (index,)
    if run:
        put(table[run])
    put(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes((len(chunk),)) + chunk
    return bytes(out + b'\0')


def logo_gif(loop_count=999, delay=10):
    palette = PALETTE + [BLACK] * (8 - len(PALETTE))
    out = bytearray(b'GIF89a')
    out += struct.pack('<HHBBB', LOGO_W, LOGO_H, 0x80 | 0x70 | 2, 0, 0)  # global table of 8
    for (r, g, b) in palette:
        out += bytes((r, g, b))
    out += b'\x21\xFF\x0BNETSCAPE2.0\x03\x01' + struct.pack('<H', loop_count) + b'\0'
    for n in range(LOGO_FRAMES):
        frame = logo_frame(n)
        indices = [palette.index(p) for row in frame.pixels for p in row]
        out += b'\x21\xF9\x04' + bytes((1 << 2,)) + struct.pack('<H', delay) + b'\0\0'  # disposal: leave
        out += b'\x2C' + struct.pack('<HHHHB', 0, 0, LOGO_W, LOGO_H, 0)
        out += bytes((3,)) + sub_blocks(lzw(indices, 3))
    out += b'\x3B'
    return bytes(out)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    target = argv[0] if argv else os.path.join(here, '..', 'resources')
    files = {
        'about_badge.bmp': bmp24(badge()),
        'about_donate.bmp': bmp24(donate()),
        'about_ok_glyph.bmp': bmp24(ok_glyph()),
        'about_logo.gif': logo_gif(),
    }
    for name, data in files.items():
        with open(os.path.join(target, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main(sys.argv[1:])
