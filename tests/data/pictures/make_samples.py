#!/usr/bin/env python3
"""Writes the sample pictures of this folder, then reads each back and checks it.

    python3 tests/data/pictures/make_samples.py

Bitmaps, icons and metafiles are written byte by byte here; the JPEGs are
encoded by ImageMagick's `convert` from pixels made here.  The outputs are
committed, so this runs only when a sample has to change.  README.md says
what each file holds.
"""
import os
import random
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

RED = (255, 0, 0)
GREEN = (0, 255, 0)
BLUE = (0, 0, 255)
YELLOW = (255, 255, 0)
MAGENTA = (255, 0, 255)
CYAN = (0, 255, 255)
ORANGE = (255, 128, 0)
GREY = (128, 128, 128)


def colorref(rgb):
    r, g, b = rgb
    return r | (g << 8) | (b << 16)


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)
    return data


# --- Pixel pictures --------------------------------------------------------

def halves_left_right(width, height, left, right):
    return [[left if x < width // 2 else right for x in range(width)] for _ in range(height)]


def halves_top_bottom(width, height, top, bottom):
    return [[top if y < height // 2 else bottom for _ in range(width)] for y in range(height)]


def bmp_24(rows):
    """BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up BGR rows padded to 4 bytes."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    head = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return head + info + bytes(pixels)


def check_bmp_24(data, rows):
    magic, size, _, _, offset = struct.unpack_from('<2sIHHI', data, 0)
    assert magic == b'BM' and size == len(data) and offset == 54
    hsize, width, height, planes, bits, compression, image_size = struct.unpack_from('<IiiHHII', data, 14)
    assert (hsize, width, height, planes, bits, compression) == (40, len(rows[0]), len(rows), 1, 24, 0)
    stride = (width * 3 + 3) & ~3
    assert image_size == stride * height and offset + image_size == len(data)
    for y in range(height):
        at = offset + (height - 1 - y) * stride
        for x in range(width):
            b, g, r = data[at + 3 * x: at + 3 * x + 3]
            assert (r, g, b) == rows[y][x], (x, y)


def ico_32(rows):
    """One 32-bit image, fully opaque: alpha 255 everywhere and an all-clear AND mask."""
    n = len(rows)
    assert all(len(row) == n for row in rows)
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b in row:
            colour += bytes((b, g, r, 255))
    mask = bytes(((n + 31) // 32) * 4 * n)
    dib = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0) + bytes(colour) + mask
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(dib), 22)
    return directory + dib


def check_ico_32(data, n, rgb):
    assert struct.unpack_from('<HHH', data, 0) == (0, 1, 1)
    w, h, _, _, planes, bits, length, offset = struct.unpack_from('<BBBBHHII', data, 6)
    assert (w, h, planes, bits, offset) == (n, n, 1, 32, 22) and offset + length == len(data)
    assert struct.unpack_from('<IiiHH', data, offset) == (40, n, 2 * n, 1, 32)
    pixels = data[offset + 40: offset + 40 + 4 * n * n]
    assert pixels == bytes((rgb[2], rgb[1], rgb[0], 255)) * (n * n)
    assert data[offset + 40 + 4 * n * n:] == bytes(4 * n)


def ppm(rows):
    height, width = len(rows), len(rows[0])
    return b'P6 %d %d 255\n' % (width, height) + bytes(v for row in rows for p in row for v in p)


def jpeg(rows):
    # Full-resolution chroma and a high quality keep the flat colours close to
    # exact and their edge sharp; baseline, no metadata, so the file is small.
    return subprocess.run(
        ['convert', 'ppm:-', '-strip', '-quality', '95', '-sampling-factor', '1x1',
         '-interlace', 'none', 'jpg:-'],
        input=ppm(rows), stdout=subprocess.PIPE, check=True).stdout


def check_jpeg(name, width, height, samples):
    """Size and baseline from the markers; colours as ImageMagick decodes them."""
    data = open(os.path.join(HERE, name), 'rb').read()
    assert data[:2] == b'\xff\xd8' and data[-2:] == b'\xff\xd9'
    at, frame = 2, None
    while at < len(data):
        marker, length = data[at + 1], struct.unpack_from('>H', data, at + 2)[0]
        if marker in (0xC0, 0xC1, 0xC2):
            frame = marker
            h, w = struct.unpack_from('>HH', data, at + 5)
            assert (w, h) == (width, height), (name, w, h)
        if marker == 0xDA:
            break
        at += 2 + length
    assert frame == 0xC0, '%s is not a baseline JPEG' % name
    for (x, y), rgb in samples.items():
        out = subprocess.run(['convert', os.path.join(HERE, name), '-crop', '1x1+%d+%d' % (x, y),
                              '-depth', '8', 'rgb:-'], stdout=subprocess.PIPE, check=True).stdout
        assert all(abs(a - b) <= 4 for a, b in zip(out, rgb)), (name, x, y, tuple(out), rgb)


# --- Enhanced metafile -----------------------------------------------------

EMR_HEADER, EMR_EOF, EMR_SELECTOBJECT, EMR_CREATEBRUSHINDIRECT, EMR_RECTANGLE = 1, 14, 37, 39, 43
NULL_PEN_STOCK = 0x80000008
EMF_UNITS = 100         # the picture is 100 x 100 device units of its reference device,
DEVICE_PIXELS = 1000    # a device 1000 pixels
DEVICE_MM = 100         # and 100 mm wide and high: one unit is 0.1 mm, the frame 10 mm


def emr(kind, body):
    assert len(body) % 4 == 0
    return struct.pack('<II', kind, 8 + len(body)) + body


def emf(rgb):
    frame = EMF_UNITS * DEVICE_MM * 100 // DEVICE_PIXELS      # in 0.01 mm
    records = [
        emr(EMR_CREATEBRUSHINDIRECT, struct.pack('<IIII', 1, 0, colorref(rgb), 0)),  # BS_SOLID
        emr(EMR_SELECTOBJECT, struct.pack('<I', 1)),
        emr(EMR_SELECTOBJECT, struct.pack('<I', NULL_PEN_STOCK)),  # no outline round the fill
        emr(EMR_RECTANGLE, struct.pack('<iiii', 0, 0, EMF_UNITS, EMF_UNITS)),
        emr(EMR_EOF, struct.pack('<III', 0, 16, 20)),
    ]
    header_size = 88
    total = header_size + sum(len(r) for r in records)
    header = emr(EMR_HEADER, struct.pack(
        '<iiiiiiiiIIIIHHIIIiiii',
        0, 0, EMF_UNITS - 1, EMF_UNITS - 1,     # bounds: the device pixels drawn, inclusive
        0, 0, frame, frame,                      # frame in 0.01 mm
        0x464D4520, 0x10000,                     # " EMF", version
        total, 1 + len(records),                 # nBytes, nRecords
        2, 0,                                    # handle table: the reserved 0 and the brush
        0, 0, 0,                                 # no description, no palette
        DEVICE_PIXELS, DEVICE_PIXELS, DEVICE_MM, DEVICE_MM))
    assert len(header) == header_size
    return header + b''.join(records)


def check_emf(data, rgb):
    at, kinds = 0, []
    while at < len(data):
        kind, size = struct.unpack_from('<II', data, at)
        assert size >= 8 and size % 4 == 0 and at + size <= len(data), (kind, size)
        kinds.append((kind, data[at + 8: at + size]))
        at += size
    assert at == len(data)
    assert [k for k, _ in kinds] == [EMR_HEADER, EMR_CREATEBRUSHINDIRECT, EMR_SELECTOBJECT,
                                     EMR_SELECTOBJECT, EMR_RECTANGLE, EMR_EOF]
    h = struct.unpack('<iiiiiiiiIIIIHHIIIiiii', kinds[0][1])
    bounds, frame = h[0:4], h[4:8]
    signature, version, n_bytes, n_records, n_handles = h[8], h[9], h[10], h[11], h[12]
    assert (signature, version) == (0x464D4520, 0x10000)
    assert n_bytes == len(data) and n_records == len(kinds) and n_handles == 2
    device, mm = h[17:19], h[19:21]
    assert bounds == (0, 0, EMF_UNITS - 1, EMF_UNITS - 1)
    # The frame, turned into device units, spans exactly the bounds.
    assert frame[2] * device[0] == (bounds[2] + 1) * mm[0] * 100
    assert frame[3] * device[1] == (bounds[3] + 1) * mm[1] * 100
    style, colour, _ = struct.unpack('<III', kinds[1][1][4:])
    assert (style, colour) == (0, colorref(rgb))
    assert struct.unpack('<iiii', kinds[4][1]) == (0, 0, EMF_UNITS, EMF_UNITS)
    assert struct.unpack('<III', kinds[5][1]) == (0, 16, 20)


# --- Placeable Windows metafile --------------------------------------------

APM_KEY = 0x9AC6CDD7
META_EOF, META_SELECTOBJECT, META_SETWINDOWORG, META_SETWINDOWEXT = 0x0000, 0x012D, 0x020B, 0x020C
META_RECTANGLE, META_CREATEPENINDIRECT, META_CREATEBRUSHINDIRECT = 0x041B, 0x02FA, 0x02FC
WMF_UNITS = 1000        # logical units each way
WMF_PER_INCH = 1000     # so the picture is one inch square


def meta(function, *words_and_bytes):
    body = b''.join(w if isinstance(w, bytes) else struct.pack('<h', w) for w in words_and_bytes)
    assert len(body) % 2 == 0
    return struct.pack('<IH', 3 + len(body) // 2, function) + body


def wmf(rgb):
    records = [
        meta(META_SETWINDOWORG, 0, 0),                       # y, x
        meta(META_SETWINDOWEXT, WMF_UNITS, WMF_UNITS),       # y, x
        meta(META_CREATEBRUSHINDIRECT, 0, struct.pack('<I', colorref(rgb)), 0),  # BS_SOLID
        meta(META_SELECTOBJECT, 0),
        meta(META_CREATEPENINDIRECT, 5, 0, 0, struct.pack('<I', 0)),  # PS_NULL: no outline
        meta(META_SELECTOBJECT, 1),
        meta(META_RECTANGLE, WMF_UNITS, WMF_UNITS, 0, 0),    # bottom, right, top, left
        meta(META_EOF),
    ]
    words = 9 + sum(len(r) for r in records) // 2
    largest = max(len(r) for r in records) // 2
    header = struct.pack('<HHHIHIH', 1, 9, 0x0300, words, 2, largest, 0)
    apm = struct.pack('<IHhhhhHI', APM_KEY, 0, 0, 0, WMF_UNITS, WMF_UNITS, WMF_PER_INCH, 0)
    checksum = 0
    for (word,) in struct.iter_unpack('<H', apm):
        checksum ^= word
    return apm + struct.pack('<H', checksum) + header + b''.join(records)


def check_wmf(data, rgb):
    key, hwmf, left, top, right, bottom, inch, reserved, checksum = struct.unpack_from('<IHhhhhHIH', data, 0)
    assert key == APM_KEY and hwmf == 0 and reserved == 0
    assert (left, top, right, bottom, inch) == (0, 0, WMF_UNITS, WMF_UNITS, WMF_PER_INCH)
    xor = 0
    for (word,) in struct.iter_unpack('<H', data[:20]):
        xor ^= word
    assert xor == checksum
    kind, header_words, version, size_words, objects, largest, params = struct.unpack_from('<HHHIHIH', data, 22)
    assert (kind, header_words, version, objects, params) == (1, 9, 0x0300, 2, 0)
    assert 22 + 2 * size_words == len(data)
    at, found, biggest = 22 + 18, [], 0
    while True:
        words, function = struct.unpack_from('<IH', data, at)
        assert words >= 3 and at + 2 * words <= len(data)
        found.append((function, data[at + 6: at + 2 * words]))
        biggest = max(biggest, words)
        at += 2 * words
        if function == META_EOF:
            break
    assert at == len(data) and biggest == largest
    assert [f for f, _ in found] == [META_SETWINDOWORG, META_SETWINDOWEXT, META_CREATEBRUSHINDIRECT,
                                     META_SELECTOBJECT, META_CREATEPENINDIRECT, META_SELECTOBJECT,
                                     META_RECTANGLE, META_EOF]
    assert struct.unpack('<hh', found[0][1]) == (0, 0)
    assert struct.unpack('<hh', found[1][1]) == (WMF_UNITS, WMF_UNITS)
    assert struct.unpack('<HIH', found[2][1]) == (0, colorref(rgb), 0)
    assert struct.unpack('<H', found[4][1][:2]) == (5,)
    assert struct.unpack('<hhhh', found[6][1]) == (WMF_UNITS, WMF_UNITS, 0, 0)


# --- Broken files ------------------------------------------------------------

def noise(length):
    rng = random.Random(20240501)   # the same bytes every run
    data = bytes(rng.randrange(256) for _ in range(length))
    assert data[:2] != b'BM'
    return data


def main():
    rows = halves_left_right(64, 48, RED, GREEN)
    check_bmp_24(write('red_green.bmp', bmp_24(rows)), rows)

    write('blue_yellow.jpg', jpeg(halves_top_bottom(80, 60, BLUE, YELLOW)))
    check_jpeg('blue_yellow.jpg', 80, 60, {(40, 10): BLUE, (5, 25): BLUE, (40, 50): YELLOW, (75, 35): YELLOW})
    write('portrait.jpg', jpeg([[MAGENTA] * 60 for _ in range(120)]))
    check_jpeg('portrait.jpg', 60, 120, {(30, 60): MAGENTA, (0, 0): MAGENTA, (59, 119): MAGENTA})

    check_emf(write('cyan.emf', emf(CYAN)), CYAN)
    check_wmf(write('orange.wmf', wmf(ORANGE)), ORANGE)
    check_ico_32(write('grey.ico', ico_32([[GREY] * 32 for _ in range(32)])), 32, GREY)

    write('corrupt.jpg', b'This is a plain text file that only pretends to be a JPEG picture.\r\n')
    whole = open(os.path.join(HERE, 'blue_yellow.jpg'), 'rb').read()
    write('truncated.jpg', whole[:len(whole) // 2])
    write('not_a_bitmap.bmp', noise(1024))
    print('samples written and checked in', HERE)


if __name__ == '__main__':
    sys.exit(main())
