#!/usr/bin/env python3
"""Draws velmora's small icons as XPM images.

Writes the images that velmora loads from its working directory into this
folder (making.xpm, filesave.xpm ...) and the images compiled into the program
into app/AppImages.cpp, and the instruction box's title bar into
objects/interactive/TitleBarImage.cpp (objects/ cannot include app/). Run it
from anywhere after changing a picture:
    python3 images/draw_images.py
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

PALETTE = {
    ' ': 'None', '.': '#000000', 'w': '#FFFFFF', 'g': '#808080', 'l': '#C0C0C0',
    'r': '#E00000', 'R': '#800000', 'b': '#2050C0', 'B': '#102060', 'y': '#F0D040',
    'Y': '#A08020', 'G': '#20A040', 'o': '#EF7918', 'c': '#60C0E0',
}


class Pic:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[' '] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def box(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.put(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def ellipse(self, cx, cy, rx, ry, c, filled=False):
        for y in range(self.h):
            for x in range(self.w):
                d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
                if (filled and d <= 1.0) or (not filled and 0.70 <= d <= 1.15):
                    self.put(x, y, c)

    def triangle(self, x0, y0, x1, y1, c, right=True):
        # Filled triangle pointing right (or left) inside the box.
        h = y1 - y0
        for y in range(y0, y1 + 1):
            t = 1 - abs((y - y0) - h / 2) / (h / 2)
            span = round(t * (x1 - x0))
            for x in range(span + 1):
                self.put(x0 + x if right else x1 - x, y, c)

    def xpm(self, name):
        used = sorted({c for row in self.px for c in row})
        lines = ['"%d %d %d 1"' % (self.w, self.h, len(used))]
        lines += ['"%s c %s"' % (c, PALETTE[c]) for c in used]
        lines += ['"%s"' % ''.join(row) for row in self.px]
        return lines


def page(p, x0, y0, x1, y1):
    p.fill(x0, y0, x1, y1, 'w')
    p.box(x0, y0, x1, y1, '.')


def frame_strip(p, x0, y0, x1, y1):
    page(p, x0, y0, x1, y1)
    for y in range(y0 + 2, y1 - 1, 3):
        p.put(x0 + 1, y, 'g')
        p.put(x1 - 1, y, 'g')


def filenew():
    p = Pic(14, 15)
    page(p, 1, 0, 11, 14)
    p.fill(8, 0, 11, 3, ' ')
    p.line(8, 0, 11, 3, '.')
    p.line(8, 0, 8, 3, '.')
    p.line(8, 3, 11, 3, '.')
    return p


def fileopen():
    p = Pic(14, 15)
    p.fill(0, 4, 12, 13, 'y')
    p.box(0, 4, 12, 13, 'Y')
    p.fill(1, 2, 5, 4, 'y')
    p.box(1, 2, 5, 4, 'Y')
    p.line(2, 13, 13, 7, '.')
    return p


def make():
    p = Pic(14, 15)
    frame_strip(p, 0, 1, 8, 13)
    p.fill(9, 5, 13, 9, 'o')
    p.line(9, 3, 13, 7, 'R')
    p.line(9, 11, 13, 7, 'R')
    return p


def floppy(w, h):
    p = Pic(w, h)
    p.fill(0, 0, w - 1, h - 1, 'b')
    p.box(0, 0, w - 1, h - 1, 'B')
    p.fill(3, 1, w - 4, h // 2 - 1, 'w')
    p.fill(4, h - 4, w - 5, h - 2, 'l')
    return p


def undo():
    p = Pic(15, 13)
    for a in range(0, 181, 6):
        r = math.radians(a)
        p.put(round(8 + 5 * math.cos(r)), round(7 - 5 * math.sin(r)), 'b')
        p.put(round(8 + 4 * math.cos(r)), round(7 - 4 * math.sin(r)), 'b')
    p.triangle(0, 6, 6, 12, 'b', right=False)
    return p


def frames_with(w, h, mark):
    p = Pic(w, h)
    frame_strip(p, 0, 2, 8, 15)
    if mark == 'append':
        p.fill(13, 6, 14, 13, 'G')
        p.fill(10, 9, 17, 10, 'G')
    elif mark == 'insert':
        frame_strip(p, 9, 2, 16, 15)
        p.fill(7, 0, 9, 17, 'G')
    else:
        p.line(2, 5, 7, 12, 'r')
        p.line(7, 5, 2, 12, 'r')
        p.line(10, 3, 15, 14, 'r')
        p.line(15, 3, 10, 14, 'r')
    return p


def record(w, h):
    p = Pic(w, h)
    p.ellipse((w - 1) / 2, (h - 1) / 2, w / 2 - 1, h / 2 - 1, 'r', filled=True)
    p.ellipse((w - 1) / 2, (h - 1) / 2, w / 2 - 1, h / 2 - 1, 'R')
    return p


def stop():
    p = Pic(14, 15)
    p.fill(2, 3, 11, 12, '.')
    return p


def play():
    p = Pic(9, 15)
    p.triangle(1, 1, 8, 13, 'G')
    return p


def wind(forward):
    p = Pic(21, 15)
    p.triangle(1, 1, 9, 13, '.', right=forward)
    p.triangle(10, 1, 18, 13, '.', right=forward)
    if forward:
        p.fill(19, 1, 20, 13, '.')
    else:
        p.fill(0, 1, 0, 13, '.')
    return p


def selection():
    p = Pic(20, 20)
    for y in range(3, 15):
        p.line(5, y, 5 + (y - 3) * 6 // 11, y, '.')
    p.line(8, 14, 11, 18, '.')
    p.line(9, 14, 12, 18, '.')
    return p


def line_tool():
    p = Pic(25, 25)
    p.line(3, 21, 21, 3, '.')
    p.line(4, 21, 21, 4, '.')
    return p


def rect_tool():
    p = Pic(20, 20)
    p.box(2, 4, 17, 15, '.')
    return p


def ellipse_tool():
    p = Pic(20, 20)
    p.ellipse(9.5, 9.5, 8, 6, '.')
    return p


def round_rect():
    p = Pic(20, 20)
    p.box(2, 4, 17, 15, '.')
    for x, y in ((2, 4), (17, 4), (2, 15), (17, 15)):
        p.put(x, y, ' ')
    return p


def polyline():
    p = Pic(22, 22)
    pts = [(2, 18), (7, 4), (12, 14), (19, 3)]
    for (a, b), (c, d) in zip(pts, pts[1:]):
        p.line(a, b, c, d, '.')
    return p


def bitmap():
    p = Pic(20, 14)
    p.fill(0, 0, 19, 13, 'c')
    p.box(0, 0, 19, 13, '.')
    p.ellipse(14, 4, 2, 2, 'y', filled=True)
    for x in range(1, 19):
        top = 12 - min(x, 18 - x) * 2 // 3
        p.fill(x, top, x, 12, 'G')
    return p


def bitmap_placeholder():
    # What a bitmap shows before an image is chosen: a framed landscape,
    # loaded as "bitmap1.xpm" from the folder the program runs in.
    p = Pic(32, 24)
    p.fill(0, 0, 31, 23, 'c')
    p.box(0, 0, 31, 23, '.')
    p.box(1, 1, 30, 22, 'w')
    p.ellipse(23, 6, 3, 3, 'y', filled=True)
    for x in range(2, 30):
        top = 20 - min(x - 2, 27 - x) * 3 // 4
        p.fill(x, max(top, 9), x, 21, 'G')
    p.fill(2, 19, 29, 21, 'Y')
    return p


def textfield():
    p = Pic(18, 15)
    page(p, 0, 1, 17, 13)
    p.fill(4, 4, 11, 4, '.')
    p.fill(7, 4, 8, 11, '.')
    return p


def instructionbox():
    p = Pic(16, 15)
    p.fill(0, 0, 15, 14, 'y')
    p.box(0, 0, 15, 14, '.')
    p.fill(7, 3, 8, 4, 'b')
    p.fill(7, 6, 8, 11, 'b')
    return p


def validationfield():
    p = Pic(23, 20)
    page(p, 0, 3, 22, 16)
    p.line(6, 9, 9, 13, 'G')
    p.line(9, 13, 16, 5, 'G')
    p.line(6, 10, 9, 14, 'G')
    p.line(9, 14, 16, 6, 'G')
    return p


def hyperlink():
    p = Pic(15, 16)
    p.fill(0, 2, 14, 11, 'l')
    p.box(0, 2, 14, 11, '.')
    p.line(2, 13, 12, 13, 'b')
    p.fill(3, 5, 11, 6, 'b')
    return p


def window_icon():
    p = Pic(32, 32)
    p.fill(0, 0, 31, 31, 'o')
    p.box(0, 0, 31, 31, 'R')
    p.line(5, 6, 15, 26, 'w')
    p.line(6, 6, 16, 26, 'w')
    p.line(26, 6, 16, 26, 'w')
    p.line(25, 6, 15, 26, 'w')
    return p


def mouse(side):
    p = Pic(15, 15)
    p.ellipse(7, 7.5, 5, 7, '.', filled=False)
    p.line(2, 6, 12, 6, '.')
    p.line(7, 1, 7, 6, '.')
    if side == 'left':
        p.fill(3, 2, 6, 5, 'r')
    elif side == 'right':
        p.fill(8, 2, 11, 5, 'r')
    return p


def key_click():
    p = Pic(15, 15)
    p.fill(1, 2, 13, 12, 'l')
    p.box(1, 2, 13, 12, '.')
    p.fill(5, 5, 6, 9, '.')
    p.fill(5, 5, 9, 6, '.')
    p.fill(5, 9, 9, 9, '.')
    return p


def no_action():
    p = Pic(15, 15)
    p.ellipse(7, 7, 6, 6, 'g')
    p.line(3, 11, 11, 3, 'g')
    return p


def full_screen():
    p = Pic(16, 16)
    page(p, 0, 1, 15, 14)
    p.fill(1, 2, 14, 3, 'b')
    for a, b, c, d in ((3, 6, 6, 6), (3, 6, 3, 8), (12, 12, 9, 12), (12, 12, 12, 10)):
        p.line(a, b, c, d, '.')
    return p


def audio():
    p = Pic(16, 16)
    p.fill(1, 5, 4, 10, '.')
    for i in range(5):
        p.line(5 + i, 5 - i, 5 + i, 10 + i, '.')
    p.ellipse(9, 7.5, 4, 4, 'b')
    p.ellipse(9, 7.5, 6.5, 6.5, 'b')
    return p


def pause():
    p = Pic(16, 16)
    p.fill(3, 2, 6, 13, '.')
    p.fill(9, 2, 12, 13, '.')
    return p


def arrow_button(forward):
    p = Pic(16, 16)
    p.triangle(3, 2, 12, 13, 'b', right=forward)
    return p


COMPILED = [
    ('filenew_xpm', filenew), ('fileopen_xpm', fileopen), ('make_xpm', make),
    ('filesave_xpm', lambda: floppy(14, 14)), ('undo_xpm', undo),
    ('append_xpm', lambda: frames_with(18, 18, 'append')),
    ('insert_xpm', lambda: frames_with(17, 18, 'insert')),
    ('delete_xpm', lambda: frames_with(16, 18, 'delete')),
    ('record_xpm', lambda: record(16, 14)), ('stop_xpm', stop), ('play_xpm', play),
    ('rewind_xpm', lambda: wind(False)), ('forward_xpm', lambda: wind(True)),
    ('selection_xpm', selection), ('line_xpm', line_tool), ('rect_xpm', rect_tool),
    ('ellipse_xpm', ellipse_tool), ('round_rect', round_rect), ('polyline_xpm', polyline),
    ('bitmap_xpm', bitmap), ('textfield_xpm', textfield), ('instructionbox_xpm', instructionbox),
    ('validationfield_xpm', validationfield), ('hyperlink_xpm', hyperlink),
    ('velmora_icon_xpm', window_icon), ('no_user_action_xpm', no_action),
    ('key_click_xpm', key_click), ('right_click_xpm', lambda: mouse('right')),
    ('left_click_xpm', lambda: mouse('left')),
]

FILES = [
    ('making.xpm', lambda: make_file()), ('filesave.xpm', lambda: floppy(16, 16)),
    ('recording.xpm', lambda: record(16, 16)), ('undoing.xpm', lambda: undo_file()),
    ('audioset.xpm', audio), ('filefull.xpm', full_screen),
    ('startButton.xpm', lambda: record(16, 16)), ('pauseButton.xpm', pause),
    ('pre.xpm', lambda: arrow_button(False)), ('next.xpm', lambda: arrow_button(True)),
    ('bitmap1.xpm', bitmap_placeholder),
]


def make_file():
    p = Pic(16, 16)
    src = make()
    for y in range(src.h):
        for x in range(src.w):
            p.put(x + 1, y, src.px[y][x])
    return p


def undo_file():
    p = Pic(16, 16)
    src = undo()
    for y in range(src.h):
        for x in range(src.w):
            p.put(x, y + 1, src.px[y][x])
    return p


def main():
    out = ['// Images compiled into velmora. Generated by images/draw_images.py; edit the',
           '// drawing there and run it again rather than editing these arrays.',
           '#include "app/AppImages.h"', '']
    for name, draw in COMPILED:
        lines = draw().xpm(name)
        out.append('const char* const %s[] = {' % name)
        out += ['    %s,' % l for l in lines]
        out.append('};')
        out.append('')
    with open(os.path.join(ROOT, 'app', 'AppImages.cpp'), 'w') as f:
        f.write('\n'.join(out))
    hdr = ['// Images compiled into velmora (XPM data, usable as QPixmap(name)).',
           '#pragma once', '']
    hdr += ['extern const char* const %s[];' % name for name, _ in COMPILED]
    with open(os.path.join(ROOT, 'app', 'AppImages.h'), 'w') as f:
        f.write('\n'.join(hdr) + '\n')
    for name, draw in FILES:
        lines = draw().xpm(name)
        var = name.replace('.', '_')
        text = '/* XPM */\nstatic const char *%s[] = {\n%s\n};\n' % (var, ',\n'.join(lines))
        with open(os.path.join(HERE, name), 'w') as f:
            f.write(text)



def title_bar():
    """The instruction box's title bar: navy, with a lit emblem (a sphere
    bearing a white "i") about 23 x 25 pixels one pixel in from the left and
    top edges. Answers the XPM lines: 1000 x 50, 45 colours."""
    w, h = 1000, 50
    chars = [c for c in '.abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789']
    shades = 43
    light, dark = (255, 236, 150), (150, 80, 0)
    colours = ['#000080']
    for i in range(shades):
        t = i / (shades - 1)
        colours.append('#%02X%02X%02X' % tuple(round(a + (b - a) * t) for a, b in zip(light, dark)))
    colours.append('#FFFFFF')
    white = len(colours) - 1
    px = [[0] * w for _ in range(h)]
    cx, cy, rx, ry = 12.0, 13.0, 11.5, 12.5
    for y in range(1, 26):
        for x in range(1, 24):
            if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 > 1.0:
                continue
            # Lit from the top left.
            d = math.hypot(x - 8.0, y - 8.0) / math.hypot(rx + 4.0, ry + 5.0)
            px[y][x] = 1 + min(shades - 1, round(d * (shades - 1)))
    for y in (6, 7):
        for x in (11, 12, 13):
            px[y][x] = white
    for y in range(10, 21):
        for x in (11, 12, 13):
            px[y][x] = white
    for x in range(10, 15):
        px[20][x] = white
    lines = ['"%d %d %d 1"' % (w, h, len(colours))]
    lines += ['"%s c %s"' % (chars[i], c) for i, c in enumerate(colours)]
    lines += ['"%s"' % ''.join(chars[i] for i in row) for row in px]
    return lines


def write_title_bar():
    lines = title_bar()
    folder = os.path.join(ROOT, 'objects', 'interactive')
    out = ['// The instruction box\'s title bar. Generated by images/draw_images.py; edit the',
           '// drawing there and run it again rather than editing this array.',
           '// clang-format off',
           '#include "objects/interactive/TitleBarImage.h"', '',
           'const char* const ttbar_xpm[] = {']
    out += ['    %s,' % l for l in lines]
    out += ['};', '']
    with open(os.path.join(folder, 'TitleBarImage.cpp'), 'w') as f:
        f.write('\n'.join(out))
    hdr = ['// The instruction box\'s title bar, 1000 x 50 XPM data (usable as QPixmap(ttbar_xpm)).',
           '#pragma once', '', 'extern const char* const ttbar_xpm[];', '']
    with open(os.path.join(folder, 'TitleBarImage.h'), 'w') as f:
        f.write('\n'.join(hdr))


if __name__ == '__main__':
    main()
    write_title_bar()
