#!/usr/bin/env python3
"""Draws the help viewer's navigation icons back.png, forward.png and home.png
(16x16) into images/, the folder velmora is started from.
    python3 help/draw_help_icons.py
"""
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "images")

COLOURS = {'.': (0, 0, 0, 0), 'b': (32, 80, 192, 255), 'B': (16, 32, 96, 255),
           'w': (255, 255, 255, 255), 'r': (200, 40, 20, 255)}

BACK = [
    "................",
    "................",
    "......B.........",
    ".....Bb.........",
    "....Bbb.........",
    "...BbbbBBBBBBB..",
    "..Bbbbbbbbbbbb..",
    ".Bbbbbbbbbbbbb..",
    ".Bbbbbbbbbbbbb..",
    "..Bbbbbbbbbbbb..",
    "...BbbbBBBBBBB..",
    "....Bbb.........",
    ".....Bb.........",
    "......B.........",
    "................",
    "................",
]
FORWARD = [row[::-1] for row in BACK]
HOME = [
    "................",
    ".......BB.......",
    "......BrrB......",
    ".....BrrrrB.....",
    "....BrrrrrrB....",
    "...BrrrrrrrrB...",
    "..BrrrrrrrrrrB..",
    ".BBBBBBBBBBBBBB.",
    "..BwwwwwwwwwwB..",
    "..BwwwBBBwwwwB..",
    "..BwwwBbBwBBwB..",
    "..BwwwBbBwBBwB..",
    "..BwwwBbBwwwwB..",
    "..BwwwBbBwwwwB..",
    "..BBBBBBBBBBBB..",
    "................",
]


def png(rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + b"".join(bytes(COLOURS[c]) for c in row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xffffffff)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


for name, rows in (("back.png", BACK), ("forward.png", FORWARD), ("home.png", HOME)):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(png(rows))
