#!/usr/bin/env python3
"""Draws the media library's pictures.

Writes
  images/RESOURCES.RSE          the 53 default icons (32x32 icon files) with a
                                64x64 PNG preview each, in the layout velmora
                                reads when it makes a new resource store;
  media/ResourceEditorImages.*  the small tree pictures compiled into the
                                resource editor dialog.
Run it from anywhere after changing a picture:
    python3 images/draw_resources.py
"""
import os
import shutil
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
from draw_images import Pic  # noqa: E402

# Default icons: nine shapes in six colours, the first 53 of the 54.
COLOURS = [(0xD0, 0x30, 0x30), (0x30, 0xA0, 0x40), (0x30, 0x60, 0xD0),
           (0xF0, 0x90, 0x20), (0x90, 0x40, 0xC0), (0x20, 0xA0, 0xA0)]


def inside(shape, x, y):
    """Whether the point (x, y) of the unit square lies in the shape."""
    dx, dy = x - 0.5, y - 0.5
    if shape == 'circle':
        return dx * dx + dy * dy <= 0.16
    if shape == 'square':
        return abs(dx) <= 0.36 and abs(dy) <= 0.36
    if shape == 'triangle':
        return 0.12 <= y <= 0.86 and abs(dx) <= (y - 0.12) * 0.55
    if shape == 'diamond':
        return abs(dx) + abs(dy) <= 0.42
    if shape == 'plus':
        return (abs(dx) <= 0.12 and abs(dy) <= 0.4) or (abs(dy) <= 0.12 and abs(dx) <= 0.4)
    if shape == 'ring':
        r = dx * dx + dy * dy
        return 0.07 <= r <= 0.17
    if shape == 'arrow':
        return (abs(dy) <= 0.1 and -0.4 <= dx <= 0.05) or (dx >= 0.0 and abs(dy) <= 0.4 - dx)
    if shape == 'bars':
        return abs(dy) <= 0.38 and any(abs(dx - c) <= 0.07 for c in (-0.25, 0.0, 0.25))
    if shape == 'frame':
        return max(abs(dx), abs(dy)) <= 0.4 and max(abs(dx), abs(dy)) >= 0.26
    raise ValueError(shape)


SHAPES = ['circle', 'square', 'triangle', 'diamond', 'plus', 'ring', 'arrow', 'bars', 'frame']


def render(n, size):
    """RGBA rows (top first) of default icon n (1..53) at size x size."""
    shape = SHAPES[(n - 1) // len(COLOURS)]
    r, g, b = COLOURS[(n - 1) % len(COLOURS)]
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            # Four samples per pixel for soft edges.
            hits = sum(inside(shape, (px + sx) / size, (py + sy) / size)
                       for sx in (0.25, 0.75) for sy in (0.25, 0.75))
            row.append((r, g, b, hits * 255 // 4))
        rows.append(row)
    return rows


def ico(rows):
    size = len(rows)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask = bytes(((size + 31) // 32) * 4 * size)
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = info + pixels + mask
    header = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), 6 + 16)
    return header + entry + image


def png(rows):
    size = len(rows)
    raw = b''.join(b'\0' + b''.join(bytes(px) for px in row) for row in rows)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    ihdr = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(raw, 9)) +
            chunk(b'IEND', b''))


def default_icon_file():
    out = bytearray()
    for n in range(1, 54):
        icon = ico(render(n, 32))
        preview = png(render(n, 64))
        name = ('Default Icon %d' % n).encode().ljust(40, b'\0')
        icon_at = len(out) + 56
        out += name + struct.pack('<IIII', icon_at, icon_at + len(icon), len(icon), len(preview))
        out += icon + preview
    return bytes(out)


# Tree pictures, 16x16.
def cabinet():
    p = Pic(16, 16)
    p.fill(2, 1, 13, 14, 'l')
    p.box(2, 1, 13, 14, '.')
    p.line(2, 7, 13, 7, '.')
    p.fill(6, 3, 9, 4, 'g')
    p.fill(6, 10, 9, 11, 'g')
    return p


def landscape(sky, hill):
    p = Pic(16, 16)
    p.fill(0, 2, 15, 13, sky)
    p.box(0, 2, 15, 13, '.')
    p.ellipse(11, 5, 1.5, 1.5, 'y', filled=True)
    for x in range(1, 15):
        top = 12 - min(x, 14 - x) // 2
        p.fill(x, top, x, 12, hill)
    return p


def speaker():
    p = Pic(16, 16)
    p.fill(1, 6, 4, 10, '.')
    for i in range(5):
        p.line(5 + i, 6 - i, 5 + i, 10 + i, '.')
    p.ellipse(9, 8, 5, 5, 'b')
    return p


def film(c):
    p = Pic(16, 16)
    p.fill(1, 2, 14, 13, c)
    for y in range(3, 13, 3):
        p.put(2, y, 'w')
        p.put(13, y, 'w')
    p.fill(4, 4, 11, 11, 'l')
    return p


def small_icon(c):
    p = Pic(16, 16)
    p.fill(3, 3, 12, 12, c)
    p.box(3, 3, 12, 12, '.')
    p.fill(6, 6, 9, 9, 'w')
    return p


def pointer(c):
    p = Pic(16, 16)
    for y in range(1, 12):
        p.line(3, y, 3 + (y - 1) * 6 // 10, y, c)
    p.line(3, 1, 3, 12, '.')
    p.line(3, 1, 10, 8, '.')
    p.line(6, 11, 9, 15, '.')
    return p


def star(c):
    p = Pic(16, 16)
    for y in range(16):
        for x in range(16):
            dx, dy = abs(x - 7.5), abs(y - 7.5)
            if dx + dy <= 7 and (dx <= 1.5 or dy <= 1.5 or dx + dy <= 4):
                p.put(x, y, c)
    return p


def wave():
    p = Pic(16, 16)
    heights = [2, 5, 3, 7, 4, 6, 2, 5, 3, 6, 4, 2, 5, 3]
    for i, h in enumerate(heights):
        p.line(i + 1, 8 - h // 2 - 1, i + 1, 8 + h // 2, 'G')
    return p


def note():
    p = Pic(16, 16)
    p.ellipse(5, 12, 2.5, 2, '.', filled=True)
    p.line(7, 2, 7, 12, '.')
    p.line(7, 2, 12, 4, '.')
    p.line(7, 3, 12, 5, '.')
    return p


def diamond(c):
    p = Pic(16, 16)
    for y in range(16):
        for x in range(16):
            if abs(x - 7.5) + abs(y - 7.5) <= 7:
                p.put(x, y, c)
    return p


TREE = [
    ('res_xpm', cabinet), ('image1_xpm', lambda: landscape('c', 'G')), ('audio_xpm', speaker),
    ('video_xpm', lambda: film('.')), ('icon_xpm', lambda: small_icon('b')), ('cursor_xpm', lambda: pointer('w')),
    ('icon1_xpm', lambda: star('y')), ('def_ico_xpm', lambda: star('o')),
    ('jpeg_xpm', lambda: landscape('b', 'G')), ('picture_xpm', lambda: landscape('c', 'Y')),
    ('gif_xpm', lambda: landscape('y', 'r')), ('wav_xpm', wave), ('mp3_xpm', note),
    ('cursors_xpm', lambda: pointer('y')), ('icon2_xpm', lambda: diamond('o')), ('mpeg_xpm', lambda: film('B')),
    ('video1_xpm', lambda: film('R')), ('ic_xpm', lambda: small_icon('r')), ('cursor1_xpm', lambda: pointer('c')),
]


def main():
    with open(os.path.join(HERE, 'RESOURCES.RSE'), 'wb') as f:
        f.write(default_icon_file())
    out = ['// Tree pictures of the resource editor dialog. Generated by',
           '// images/draw_resources.py; edit the drawing there and run it again.',
           '#include "media/ResourceEditorImages.h"', '']
    for name, draw in TREE:
        out.append('const char* const %s[] = {' % name)
        out += ['    %s,' % line for line in draw().xpm(name)]
        out.append('};')
        out.append('')
    source = os.path.join(ROOT, 'media', 'ResourceEditorImages.cpp')
    with open(source, 'w') as f:
        f.write('\n'.join(out))
    # The tree keeps its C++ in clang-format's layout.
    if shutil.which('clang-format-14'):
        subprocess.run(['clang-format-14', '-i', source], check=True)
    hdr = ['// Tree pictures of the resource editor dialog (XPM data, usable as QPixmap(name)).',
           '#pragma once', '']
    hdr += ['extern const char* const %s[];' % name for name, _ in TREE]
    with open(os.path.join(ROOT, 'media', 'ResourceEditorImages.h'), 'w') as f:
        f.write('\n'.join(hdr) + '\n')


if __name__ == '__main__':
    main()
