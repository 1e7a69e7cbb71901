#!/usr/bin/env python3
"""Draws the sample game's pictures: the default font's glyph sheet, the UI panels, the road texture,
and the road surfaces, terrains, sky, prefab, scenery, sign and label textures the definitions under
defs/ name, each an 8-bit RGBA PNG beside the shader (".shd") or font that names it.

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


def grain(width, height, colour, spread, seed):
    """A plain colour with a fine random grain of +-spread, the same on every run."""
    picture = Picture(width, height)
    for y in range(height):
        for x in range(width):
            seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
            g = (seed >> 16) % (2 * spread + 1) - spread
            picture.set(x, y, tuple(max(0, min(255, c + g)) for c in colour[:3]) + (colour[3] if len(colour) > 3 else 255,))
    return picture


def slabs(width, height, colour, joint, size):
    """Paving: grained slabs of `size` pixels between darker joints."""
    picture = grain(width, height, colour, 5, 777)
    for k in range(0, width, size):
        picture.rect(k, 0, 1, height, joint)
    for k in range(0, height, size):
        picture.rect(0, k, width, 1, joint)
    return picture


def blend(width, height, left, right, seed):
    """Where two surfaces meet: the left colour turning into the right one across the picture (u)."""
    picture = grain(width, height, (0, 0, 0), 4, seed)
    for y in range(height):
        for x in range(width):
            t = x / max(1, width - 1)
            g = picture.pixels[y * width + x][0]
            picture.set(x, y, tuple(max(0, min(255, round(a + (b - a) * t) + g)) for a, b in zip(left, right)) + (255,))
    return picture


def disc(size, colour, edge):
    """A round spot fading to clear over its outer `edge` fraction (the sun, lamps, flares)."""
    picture = Picture(size, size)
    centre = (size - 1) / 2
    for y in range(size):
        for x in range(size):
            d = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5 / (size / 2)
            alpha = 1.0 if d < 1 - edge else max(0.0, (1 - d) / edge)
            picture.set(x, y, colour[:3] + (round(colour[3] * alpha),))
    return picture


def face(size, skin, hair, shirt):
    """A driver's portrait: shoulders in the shirt's colour, the head, the hair, eyes and a mouth."""
    picture = Picture(size, size, (70, 90, 110, 255))
    u = size / 16.0
    for y in range(size):
        for x in range(size):
            dx, dy = (x + 0.5) / u - 8.0, (y + 0.5) / u
            if (dx / 6.5) ** 2 + ((dy - 17.0) / 5.0) ** 2 <= 1.0:
                picture.set(x, y, shirt + (255,))
            elif (dx / 4.0) ** 2 + ((dy - 7.5) / 5.0) ** 2 <= 1.0:
                picture.set(x, y, (hair if dy < 4.5 else skin) + (255,))
    eye = max(1, int(u))
    for ex in (6.2, 9.0):
        picture.rect(int(ex * u), int(7.0 * u), eye, eye, (30, 30, 40, 255))
    picture.rect(int(6.8 * u), int(10.0 * u), max(1, int(2.6 * u)), max(1, int(0.6 * u)), (150, 60, 60, 255))
    return picture


def dial(width, ticks, colour):
    """The lower half of a gauge's dial: a ring from the left end through the bottom to the right end,
    with `ticks` marks spread evenly along it, the needle's pivot at the middle of the top edge."""
    import math
    height = width // 2
    picture = Picture(width, height)
    centre = width / 2.0
    outer = centre - 1.0
    for y in range(height):
        for x in range(width):
            r = math.hypot(x + 0.5 - centre, y + 0.5)
            if outer - 3.0 <= r <= outer:
                picture.set(x, y, colour)
    for k in range(ticks):
        angle = math.pi - k * math.pi / (ticks - 1)
        for step in range(10):
            r = outer - 3.0 - step
            x, y = int(centre + r * math.cos(angle)), int(r * math.sin(angle))
            if 0 <= x < width and 0 <= y < height:
                picture.rect(x - 1, y, 2, 2, colour)
    return picture


def clouds(size, colour, seed):
    """Soft white patches on a clear ground, repeating across the sky."""
    picture = Picture(size, size, colour[:3] + (0,))
    for _ in range(10):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        cx, cy = (seed >> 8) % size, (seed >> 16) % size
        radius = 5 + (seed >> 4) % 8
        for y in range(-radius, radius + 1):
            for x in range(-radius, radius + 1):
                d = (x * x + y * y) ** 0.5 / radius
                if d < 1:
                    px, py = (cx + x) % size, (cy + y) % size
                    old = picture.pixels[py * size + px][3]
                    picture.set(px, py, colour[:3] + (max(old, round(colour[3] * (1 - d))),))
    return picture


def hills(width, height, sky, hill):
    """The horizon: sky above a line of low hills (v runs down the picture)."""
    picture = Picture(width, height)
    for x in range(width):
        top = height * 3 // 4 - round(6 * abs(((x * 3) % width) / width - 0.5) * 2)
        picture.rect(x, 0, 1, top, sky)
        picture.rect(x, top, 1, height - top, hill)
    return picture


def board(width, height, ground, border, mark):
    """A sign or label: a coloured board inside a border with a plain mark in the middle."""
    picture = panel(width, height, ground, ground, 2, border)
    picture.rect(width // 4, height * 3 // 8, width // 2, height // 4, mark)
    return picture


def arrow(size, ground, colour, direction):
    """A direction board's arrow: a shaft and a head pointing left, right or straight on (up)."""
    picture = Picture(size, size, ground)
    mid = size // 2
    for k in range(size // 4):
        if direction == "straight":
            picture.rect(mid - k, size // 4 + k, 2 * k + 1, 1, colour)
        elif direction == "left":
            picture.rect(size // 4 + k, mid - k, 1, 2 * k + 1, colour)
        else:
            picture.rect(size * 3 // 4 - k, mid - k, 1, 2 * k + 1, colour)
    if direction == "straight":
        picture.rect(mid - 2, size // 2, 5, size // 3, colour)
    else:
        left = size // 2 if direction == "left" else size // 6
        picture.rect(left, mid - 2, size // 3, 5, colour)
    return picture


def tread(width, height, colour, lug):
    """A tyre track: translucent dark lugs across the track repeating along it (v), clear between them,
    so the road shows through the mark."""
    picture = Picture(width, height)
    for y in range(height):
        on = (y // lug) % 2 == 0
        for x in range(width):
            edge = min(x, width - 1 - x) / (width / 2)
            alpha = colour[3] * min(1.0, edge * 4) * (1.0 if on else 0.45)
            picture.set(x, y, colour[:3] + (round(alpha),))
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
    # The big font's sheet holds the same glyphs: its cells are drawn at the big font's size.
    write(data_dir, "fonts/big.png", font_sheet(m["ascent"], m["descent"], m["advance"]), shader=False)
    write(data_dir, "ui/pics/console.png", panel(256, 96, (24, 32, 56, 230), (12, 16, 32, 230), 2, (96, 128, 184, 255)))
    write(data_dir, "ui/pics/panel.png", panel(128, 128, (60, 72, 96, 240), (30, 36, 52, 240), 3, (200, 160, 60, 255)))
    write(data_dir, "ui/pics/needle.png", panel(8, 64, (240, 60, 40, 255), (200, 40, 30, 255), 1, (255, 255, 255, 255)))
    write(data_dir, "ui/pics/dial.png", dial(128, 6, (230, 230, 230, 220)))
    write(data_dir, "ui/pics/button.png", panel(128, 32, (70, 120, 70, 255), (40, 80, 40, 255), 2, (220, 230, 220, 255)))
    write(data_dir, "shaders/2d/uidefault.png", panel(16, 16, (255, 255, 255, 255), (224, 224, 224, 255), 1,
                                                    (255, 255, 255, 255)))
    write(data_dir, "textures/road.png", road(64, 128))

    # Road surfaces and the terrain beside them.
    write(data_dir, "shaders/road/asphalt.png", road(64, 128))
    write(data_dir, "shaders/road/gravel.png", grain(64, 64, (150, 138, 112), 14, 4242))
    write(data_dir, "shaders/road/pavement.png", slabs(64, 64, (170, 168, 160), (120, 118, 112, 255), 16))
    write(data_dir, "shaders/terrain/grass.png", grain(64, 64, (74, 128, 58), 12, 99))
    write(data_dir, "shaders/terrain/sand.png", grain(64, 64, (206, 186, 132), 10, 98))
    write(data_dir, "shaders/terrain/rock.png", grain(64, 64, (120, 116, 110), 18, 97))
    write(data_dir, "shaders/trans/asphalt_grass.png", blend(64, 64, (72, 72, 76), (74, 128, 58), 11))
    write(data_dir, "shaders/trans/asphalt_sand.png", blend(64, 64, (72, 72, 76), (206, 186, 132), 12))
    write(data_dir, "shaders/trans/gravel_rock.png", blend(64, 64, (150, 138, 112), (120, 116, 110), 13))
    write(data_dir, "shaders/world/ground.png", grain(64, 64, (86, 124, 62), 10, 96))
    # The 14 steps from one terrain to the next that road_segs.def names by pair ("tt").
    terrains = {"grass": (74, 128, 58), "sand": (206, 186, 132), "rock": (120, 116, 110)}
    for a, b in (("grass", "sand"), ("sand", "rock")):
        for step in range(1, 15):
            t = step / 15
            colour = tuple(round(x + (y - x) * t) for x, y in zip(terrains[a], terrains[b]))
            write(data_dir, "shaders/blend/%s_%s_%d.png" % (a, b, step), grain(16, 16, colour, 8, 90 + step))

    # Decals: a shadow and tyre tracks darken what they lie on, a pool of headlight brightens it; each is
    # translucent, so the road shows through it.
    write(data_dir, "shaders/decals/shadow.png", disc(64, (0, 0, 0, 150), 0.6))
    write(data_dir, "shaders/decals/lights.png", disc(64, (255, 244, 210, 110), 0.9))
    write(data_dir, "shaders/decals/track.png", tread(16, 32, (20, 20, 22, 130), 4))
    write(data_dir, "shaders/decals/track_grass.png", tread(16, 32, (70, 52, 30, 150), 4))
    # Weather: exhaust smoke, and the drops and flakes on the windshields.
    write(data_dir, "shaders/effects/smoke.png", disc(64, (90, 90, 94, 120), 0.9))
    write(data_dir, "shaders/effects/blobs.png", disc(32, (190, 210, 230, 110), 0.7))
    write(data_dir, "shaders/effects/blobs_snow.png", disc(32, (250, 250, 255, 220), 0.5))

    # The sky: the sizes are those its shader files name.
    write(data_dir, "shaders/skies/up.png", panel(64, 64, (96, 150, 214, 255), (150, 196, 236, 255), 0, (0, 0, 0, 0)))
    write(data_dir, "shaders/skies/horizon_hills.png", hills(64, 64, (160, 200, 236, 255), (84, 112, 80, 255)))
    write(data_dir, "shaders/skies/horizon_plain.png", panel(64, 64, (160, 200, 236, 255), (200, 220, 236, 255), 0,
                                                          (0, 0, 0, 0)))
    write(data_dir, "shaders/skies/scll.png", clouds(64, (255, 255, 255, 200), 5))
    write(data_dir, "shaders/skies/sclh.png", clouds(64, (240, 244, 250, 140), 6))
    write(data_dir, "shaders/skies/sun.png", disc(64, (255, 244, 200, 255), 0.5))

    # The vehicle makes' surfaces, by the name of the shader the make generator wrote.
    surfaces = {"body": (200, 200, 204), "glass": (70, 96, 120), "paint": (176, 40, 34), "paint_int": (120, 40, 34),
                "stripes": (40, 64, 176), "stripes_int": (30, 44, 120),
                "chrome": (190, 194, 200), "deck": (130, 110, 84), "tyre": (34, 34, 36)}
    # The glows of their lights: headlights and tail lights.
    glows = {"flare": (255, 244, 214, 255), "tail": (236, 36, 24, 255), "brake": (255, 40, 28, 255),
             "blinker": (255, 170, 30, 255)}
    makes = os.path.join(data_dir, "makes")
    for folder, _, files in sorted(os.walk(makes)):
        for name in sorted(files):
            stem = name[:-4]
            relative = os.path.relpath(os.path.join(folder, stem + ".png"), data_dir)
            if name.endswith(".shd") and stem in surfaces:
                write(data_dir, relative, grain(64, 64, surfaces[stem], 10, len(stem)), shader=False)
            elif name.endswith(".shd") and stem in glows:
                write(data_dir, relative, disc(32, glows[stem], 0.9), shader=False)

    # The traffic's lamp and siren glows, the rain's streaks and the snow's flakes.
    for stem, colour in (("light", (255, 244, 214, 255)), ("blinker", (255, 170, 30, 255)),
                         ("brake", (236, 36, 24, 255)), ("s_red", (255, 40, 30, 255)), ("s_blue", (40, 90, 255, 255))):
        write(data_dir, "models/ai/flares/%s.png" % stem, disc(32, colour, 0.9), shader=False)
    write(data_dir, "shaders/effects/rain.png", panel(16, 64, (200, 212, 232, 150), (200, 212, 232, 150), 0, (0, 0, 0, 0)),
          shader=False)
    write(data_dir, "shaders/effects/snow.png", disc(32, (250, 252, 255, 255), 0.6), shader=False)

    # The AI cars' bodies and wheels.
    for name, colour in (("estate", (60, 90, 150)), ("hatch", (170, 50, 40)), ("patrol", (230, 230, 235)),
                         ("scooter", (220, 180, 40)), ("van", (210, 210, 205))):
        write(data_dir, "models/ai/%s/body.png" % name, grain(64, 64, colour, 8, len(name)))
    write(data_dir, "models/ai/wheel.png", grain(32, 32, (34, 34, 36), 6, 3))

    # The driver of the animation layer.
    write(data_dir, "shaders/driver/face.png", grain(32, 32, (222, 180, 150), 6, 41))
    write(data_dir, "shaders/driver/jacket.png", grain(32, 32, (40, 70, 130), 8, 42))
    write(data_dir, "shaders/driver/raincoat.png", grain(32, 32, (230, 190, 30), 8, 43))

    # Prefabs and scenery.
    write(data_dir, "shaders/prefab/pole.png", grain(16, 64, (110, 112, 116), 6, 21))
    write(data_dir, "shaders/prefab/lamp_red.png", disc(32, (230, 40, 30, 255), 0.3))
    write(data_dir, "shaders/prefab/lamp_yellow.png", disc(32, (240, 190, 30, 255), 0.3))
    write(data_dir, "shaders/prefab/lamp_green.png", disc(32, (40, 200, 80, 255), 0.3))
    write(data_dir, "shaders/scenery/metal.png", grain(32, 32, (150, 154, 160), 8, 31))
    write(data_dir, "shaders/scenery/roof.png", slabs(64, 64, (150, 64, 48), (110, 44, 34, 255), 8))
    write(data_dir, "shaders/scenery/walls.png", slabs(64, 64, (196, 184, 160), (160, 150, 130, 255), 32))
    write(data_dir, "shaders/scenery/walls_night.png", slabs(64, 64, (70, 66, 60), (50, 48, 44, 255), 32))
    write(data_dir, "shaders/scenery/bark.png", grain(16, 32, (96, 70, 46), 10, 32))
    write(data_dir, "shaders/scenery/leaves.png", grain(32, 32, (52, 104, 44), 16, 33))
    write(data_dir, "shaders/road/guardrail.png", slabs(32, 16, (176, 180, 186), (120, 124, 130, 255), 16))
    write(data_dir, "shaders/road/fence.png", slabs(32, 32, (140, 104, 64), (90, 66, 40, 255), 8))
    write(data_dir, "shaders/scenery/flare.png", disc(32, (255, 240, 200, 255), 0.8))
    write(data_dir, "shaders/scenery/light_pool.png", disc(64, (255, 230, 170, 160), 0.9))

    # The drivers' faces (the portrait and its small form), named by the drivers' "imgs".
    faces = {"face01": ((232, 190, 160), (120, 70, 30), (180, 60, 60)),
             "face02": ((200, 150, 110), (40, 30, 20), (60, 100, 170)),
             "face_aldo": ((220, 170, 130), (90, 90, 90), (70, 140, 70)),
             "face_hanne": ((240, 200, 175), (220, 190, 90), (150, 80, 160)),
             "face_mirek": ((180, 130, 95), (30, 25, 20), (200, 140, 40)),
             "face_tove": ((235, 195, 170), (170, 90, 40), (60, 150, 150)),
             "face_ulric": ((150, 105, 75), (20, 20, 20), (110, 110, 120)),
             "face_vera": ((225, 180, 150), (100, 50, 30), (200, 90, 120))}
    for name, (skin, hair, shirt) in faces.items():
        write(data_dir, "ui/faces/%s.png" % name, face(64, skin, hair, shirt))
        write(data_dir, "ui/faces/%s_small.png" % name, face(32, skin, hair, shirt))

    # The target marker at the job's destination and the yard of the menu scene.
    write(data_dir, "models/free_items/target/target.png", disc(32, (250, 200, 40, 230), 0.7))
    write(data_dir, "models/menu/yard.png", slabs(64, 64, (120, 118, 112), (90, 88, 84, 255), 16))

    # Direction boards, their road backgrounds and the traders' labels.
    for direction in ("left", "right", "straight"):
        write(data_dir, "shaders/signs/arrow_%s.png" % direction, arrow(32, (0, 0, 0, 0), (255, 255, 255, 255), direction))
    # The lane arrows painted on city roads: left, straight, straight or right, right.
    for name, directions in (("l", ("left",)), ("s", ("straight",)), ("sr", ("straight", "right")), ("r", ("right",))):
        picture = Picture(32, 32)
        for direction in directions:
            drawn = arrow(32, (0, 0, 0, 0), (240, 240, 240, 230), direction)
            picture.pixels = [p if p[3] else q for p, q in zip(drawn.pixels, picture.pixels)]
        write(data_dir, "shaders/signs/arrow_%s.png" % name, picture)
    # The plain white and the arrow head of the UI's bars and arrows.
    write(data_dir, "shaders/ui/white.png", Picture(8, 8, (255, 255, 255, 255)))
    write(data_dir, "shaders/ui/arrow.png", arrow(32, (0, 0, 0, 0), (255, 255, 255, 255), "straight"))
    write(data_dir, "shaders/signs/board.png", board(64, 32, (30, 90, 170, 255), (240, 240, 240, 255), (30, 90, 170, 255)))
    write(data_dir, "shaders/signs/road_national.png", board(32, 16, (220, 180, 30, 255), (20, 20, 20, 255),
                                                             (20, 20, 20, 255)))
    write(data_dir, "shaders/signs/road_highway.png", board(32, 16, (30, 120, 60, 255), (240, 240, 240, 255),
                                                            (240, 240, 240, 255)))
    write(data_dir, "shaders/labels/blank.png", board(64, 32, (230, 230, 230, 255), (60, 60, 60, 255), (230, 230, 230, 255)))
    write(data_dir, "shaders/labels/greywell_timber.png", board(64, 32, (120, 80, 40, 255), (230, 220, 200, 255),
                                                                (230, 220, 200, 255)))
    write(data_dir, "shaders/labels/lumen_foods.png", board(64, 32, (200, 60, 40, 255), (250, 240, 220, 255),
                                                            (250, 240, 220, 255)))
    write(data_dir, "shaders/labels/tarsk_quarry.png", board(64, 32, (110, 110, 120, 255), (240, 200, 60, 255),
                                                             (240, 200, 60, 255)))

    # The map editor: the start-position box, the background map and the icon pins.
    write(data_dir, "shaders/editor/startpos.png", panel(16, 16, (240, 200, 40, 200), (200, 150, 20, 200), 1,
                                                        (255, 255, 255, 255)))
    write(data_dir, "shaders/editor/bcgmap.png", grain(64, 64, (90, 110, 80), 10, 51))
    write(data_dir, "shaders/editor/ico_node_all.png", disc(16, (240, 240, 240, 255), 0.3))
    write(data_dir, "shaders/editor/ico_node_in.png", disc(16, (240, 90, 80, 255), 0.3))
    write(data_dir, "shaders/editor/ico_node_sel.png", disc(16, (100, 100, 255, 255), 0.3))
    write(data_dir, "shaders/editor/ico_node_sign.png", disc(16, (60, 200, 90, 255), 0.3))
    write(data_dir, "shaders/editor/ico_height_sel.png", disc(16, (255, 220, 40, 255), 0.3))


if __name__ == "__main__":
    main()
