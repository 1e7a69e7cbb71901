#!/usr/bin/env python3
"""Checks a screenshot: an 8-bit RGB PNG that is not of one colour, and whose named pixels have the
named colours within a tolerance, or (with "!=") a colour that is not the named one.

    check_picture.py FILE [X,Y=RRGGBB | X,Y!=RRGGBB ...]     (each channel within 24)
"""
import struct
import sys
import zlib

TOLERANCE = 24


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit("%s is not a PNG image" % path)
    position, idat, header = 8, b"", None
    while position + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        position += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 2 or interlace != 0:
        sys.exit("%s is not an 8-bit RGB picture" % path)
    raw = zlib.decompress(idat)
    stride = width * 3
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 3] if i >= 3 else 0
            up = previous[i]
            corner = previous[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(line)
        previous = line
    return width, height, rows


def main():
    path = sys.argv[1]
    width, height, rows = read_png(path)
    first = rows[0][0:3]
    if all(rows[y][x * 3:x * 3 + 3] == first for y in range(height) for x in range(width)):
        sys.exit("%s is one colour: %s" % (path, bytes(first).hex()))
    failed = False
    for check in sys.argv[2:]:
        where, colour = check.split("=")
        unlike = where.endswith("!")
        x, y = (int(v) for v in where.rstrip("!").split(","))
        want = bytes.fromhex(colour)
        got = bytes(rows[y][x * 3:x * 3 + 3])
        differs = any(abs(a - b) > TOLERANCE for a, b in zip(want, got))
        if differs != unlike:
            print("pixel %d,%d is %s, %s %s" % (x, y, got.hex(), "like" if unlike else "not", colour))
            failed = True
    if failed:
        sys.exit(1)
    print("%s: %dx%d, pixels as expected" % (path, width, height))


if __name__ == "__main__":
    main()
