#!/usr/bin/env python3
"""Draws the sample game's pictures: the default font's glyph sheet, the UI panels and the road
texture, each an 8-bit RGBA PNG beside the shader (".shd") or font that names it.

    tools/make_pictures.py [DATA_DIR]     (default: the repository's data/)

Everything is drawn here from simple shapes and the bitmap glyphs below, so the output is the same on
every run.
"""
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Glyphs of the default font, 5 x 7 dots, one number a row, the high bit (16) the left column. A "g"
# in front lowers a glyph by two dots (the descenders of g, j, p, q and y).
GLYPHS = {
    "0": "0e 11 13 15 19 11 0e", "1": "04 0c 04 04 04 04 0e", "2": "0e 11 01 02 04 08 1f",
    "3": "1f 02 04 02 01 11 0e", "4": "02 06 0a 12 1f 02 02", "5": "1f 10 1e 01 01 11 0e",
    "6": "06 08 10 1e 11 11 0e", "7": "1f 01 02 04 08 08 08", "8": "0e 11 11 0e 11 11 0e",
    "9": "0e 11 11 0f 01 02 0c",
    "A": "0e 11 11 1f 11 11 11", "B": "1e 11 11 1e 11 11 1e", "C": "0e 11 10 10 10 11 0e",
    "D": "1c 12 11 11 11 12 1c", "E": "1f 10 10 1e 10 10 1f", "F": "1f 10 10 1e 10 10 10",
    "G": "0e 11 10 17 11 11 0f", "H": "11 11 11 1f 11 11 11", "I": "0e 04 04 04 04 04 0e",
    "J": "07 02 02 02 02 12 0c", "K": "11 12 14 18 14 12 11", "L": "10 10 10 10 10 10 1f",
    "M": "11 1b 15 15 11 11 11", "N": "11 11 19 15 13 11 11", "O": "0e 11 11 11 11 11 0e",
    "P": "1e 11 11 1e 10 10 10", "Q": "0e 11 11 11 15 12 0d", "R": "1e 11 11 1e 14 12 11",
    "S": "0f 10 10 0e 01 01 1e", "T": "1f 04 04 04 04 04 04", "U": "11 11 11 11 11 11 0e",
    "V": "11 11 11 11 11 0a 04", "W": "11 11 11 15 15 15 0a", "X": "11 11 0a 04 0a 11 11",
    "Y": "11 11 11 0a 04 04 04", "Z": "1f 01 02 04 08 10 1f",
    "a": "00 00 0e 01 0f 11 0f", "b": "10 10 16 19 11 11 1e", "c": "00 00 0e 10 10 11 0e",
    "d": "01 01 0d 13 11 11 0f", "e": "00 00 0e 11 1f 10 0e", "f": "06 09 08 1c 08 08 08",
    "g": "g 00 0f 11 11 0f 01 0e", "h": "10 10 16 19 11 11 11", "i": "04 00 0c 04 04 04 0e",
    "j": "g 02 00 06 02 02 12 0c", "k": "10 10 12 14 18 14 12", "l": "0c 04 04 04 04 04 0e",
    "m": "00 00 1a 15 15 11 11", "n": "00 00 16 19 11 11 11", "o": "00 00 0e 11 11 11 0e",
    "p": "g 00 1e 11 11 1e 10 10", "q": "g 00 0d 13 13 0f 01 01", "r": "00 00 16 19 10 10 10",
    "s": "00 00 0e 10 0e 01 1e", "t": "08 08 1c 08 08 09 06", "u": "00 00 11 11 11 13 0d",
    "v": "00 00 11 11 11 0a 04", "w": "00 00 11 11 15 15 0a", "x": "00 00 11 0a 04 0a 11",
    "y": "g 00 11 11 11 0f 01 0e", "z": "00 00 1f 02 04 08 1f",
    "!": "04 04 04 04 04 00 04", '"': "0a 0a 0a 00 00 00 00", "#": "0a 0a 1f 0a 1f 0a 0a",
    "$": "04 0f 14 0e 05 1e 04", "%": "18 19 02 04 08 13 03", "&": "0c 12 14 08 15 12 0d",
    "'": "04 04 08 00 00 00 00", "(": "02 04 08 08 08 04 02", ")": "08 04 02 02 02 04 08",
    "*": "00 04 15 0e 15 04 00", "+": "00 04 04 1f 04 04 00", ",": "00 00 00 00 0c 04 08",
    "-": "00 00 00 1f 00 00 00", ".": "00 00 00 00 00 0c 0c", "/": "00 01 02 04 08 10 00",
    ":": "00 0c 0c 00 0c 0c 00", ";": "00 0c 0c 00 0c 04 08", "<": "02 04 08 10 08 04 02",
    "=": "00 00 1f 00 1f 00 00", ">": "08 04 02 01 02 04 08", "?": "0e 11 01 02 04 00 04",
    "@": "0e 11 01 0d 15 15 0e", "[": "0e 08 08 08 08 08 0e", "\\": "00 10 08 04 02 01 00",
    "]": "0e 02 02 02 02 02 0e", "^": "04 0a 11 00 00 00 00", "_": "00 00 00 00 00 00 1f",
    "`": "08 04 02 00 00 00 00", "{": "02 04 04 08 04 04 02", "|": "04 04 04 04 04 04 04",
    "}": "08 04 04 02 04 04 08", "~": "00 00 08 15 02 00 00",
}


class Picture:
    """An RGBA picture, rows from the top."""

    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [list(fill) for _ in range(width * height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = list(colour)

    def rect(self, left, top, width, height, colour):
        for y in range(top, top + height):
            for x in range(left, left + width):
                self.set(x, y, colour)

    def frame(self, thickness, colour):
        self.rect(0, 0, self.width, thickness, colour)
        self.rect(0, self.height - thickness, self.width, thickness, colour)
        self.rect(0, 0, thickness, self.height, colour)
        self.rect(self.width - thickness, 0, thickness, self.height, colour)

    def png(self):
        rows = b"".join(b"\0" + bytes(c for p in self.pixels[y * self.width:(y + 1) * self.width] for c in p)
                        for y in range(self.height))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
                chunk(b"IEND", b""))


def font_sheet(ascent, descent, advance):
    """The glyph sheet of a font: 16 x 16 cells, character c in column c % 16 and row c // 16, each cell
    twice the font's advance and line height, white dots on a clear ground. A dot is two pixels wide
    and three high, so the seven rows of a glyph stand on the base line about two thirds of a line high."""
    scale = 2
    dot_w, dot_h = 2, 3
    cell_w, cell_h = advance * scale, (ascent + descent) * scale
    sheet = Picture(16 * cell_w, 16 * cell_h)
    white = (255, 255, 255, 255)
    for char, text in GLYPHS.items():
        words = text.split()
        lowered = words[0] == "g"
        rows = [int(w, 16) for w in (words[1:] if lowered else words)]
        code = ord(char)
        left = (code % 16) * cell_w + scale  # one font pixel of space on the left
        top = (code // 16) * cell_h + ascent * scale - 7 * dot_h + (2 * dot_h if lowered else 0)
        for row, bits in enumerate(rows):
            for column in range(5):
                if bits & (16 >> column):
                    sheet.rect(left + column * dot_w, top + row * dot_h, dot_w, dot_h, white)
    return sheet


def panel(width, height, top_colour, bottom_colour, border, border_colour):
    """A panel shading from one colour at the top to another at the bottom, inside a border."""
    picture = Picture(width, height)
    for y in range(height):
        t = y / max(1, height - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top_colour, bottom_colour))
        picture.rect(0, y, width, 1, colour)
    picture.frame(border, border_colour)
    return picture


def road(width, height):
    """Asphalt with white edge lines and a dashed yellow centre line; it repeats along the road (v)."""
    picture = Picture(width, height)
    seed = 12345
    for y in range(height):
        for x in range(width):
            seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
            grain = (seed >> 16) % 9 - 4
            picture.set(x, y, (72 + grain, 72 + grain, 76 + grain, 255))
    white, yellow = (235, 235, 235, 255), (230, 190, 40, 255)
    picture.rect(3, 0, 3, height, white)
    picture.rect(width - 6, 0, 3, height, white)
    picture.rect(width // 2 - 1, 0, 2, height // 2, yellow)
    return picture


def read_font_metrics(path):
    metrics = {"ascent": 12, "descent": 4, "advance": 8}
    with open(path) as font:
        for line in font:
            words = line.split("//")[0].split()
            if len(words) == 2 and words[0] in metrics:
                metrics[words[0]] = int(words[1])
    return metrics


def write(data_dir, relative, picture, shader=True):
    path = os.path.join(data_dir, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(picture.png())
    if shader:
        with open(path[:-4] + ".shd", "w") as out:
            out.write("texture %d %d\n" % (picture.width, picture.height))


def main():
    data_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "data")
    m = read_font_metrics(os.path.join(data_dir, "fonts", "default.font"))
    write(data_dir, "fonts/default.png", font_sheet(m["ascent"], m["descent"], m["advance"]), shader=False)
    write(data_dir, "ui/pics/console.png", panel(256, 96, (24, 32, 56, 230), (12, 16, 32, 230), 2, (96, 128, 184, 255)))
    write(data_dir, "ui/pics/panel.png", panel(128, 128, (60, 72, 96, 240), (30, 36, 52, 240), 3, (200, 160, 60, 255)))
    write(data_dir, "ui/pics/needle.png", panel(8, 64, (240, 60, 40, 255), (200, 40, 30, 255), 1, (255, 255, 255, 255)))
    write(data_dir, "ui/pics/button.png", panel(128, 32, (70, 120, 70, 255), (40, 80, 40, 255), 2, (220, 230, 220, 255)))
    write(data_dir, "shaders/2d/uidefault.png", panel(16, 16, (255, 255, 255, 255), (224, 224, 224, 255), 1,
                                                    (255, 255, 255, 255)))
    write(data_dir, "textures/road.png", road(64, 128))


if __name__ == "__main__":
    main()
