#!/usr/bin/env python3
"""Checks a screenshot: an 8-bit RGB PNG that is not of one colour, and whose named pixels have the
named colours within a tolerance, or (with "!=") a colour that is not the named one; optionally how a
region compares with the same region of another screenshot, and how many streaks (pixels brighter than
both their neighbours three pixels to the left and right) a region shows.

    check_picture.py FILE [X,Y=RRGGBB | X,Y!=RRGGBB ...]     (each channel within 24)
                     [--darker X0,Y0,X1,Y1,RATIO,OTHER]    mean brightness at most RATIO x OTHER's
                     [--brighter X0,Y0,X1,Y1,AMOUNT,OTHER] mean brightness at least OTHER's + AMOUNT
                     [--streaks X0,Y0,X1,Y1,COUNT]         at least COUNT streak pixels
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


def brightness(rows, x, y):
    return sum(rows[y][x * 3:x * 3 + 3]) / 3.0


def region_mean(rows, box):
    x0, y0, x1, y1 = box
    values = [brightness(rows, x, y) for y in range(y0, y1) for x in range(x0, x1)]
    return sum(values) / len(values)


def streaks(rows, box):
    x0, y0, x1, y1 = box
    count = 0
    for y in range(y0, y1):
        for x in range(max(x0, 3), x1 - 3):
            here = brightness(rows, x, y)
            if here > brightness(rows, x - 3, y) + 12 and here > brightness(rows, x + 3, y) + 12:
                count += 1
    return count


def compare(kind, spec, rows):
    """A region check; answers the failure's text or None."""
    fields = spec.split(",")
    box = tuple(int(v) for v in fields[:4])
    if kind == "--streaks":
        found = streaks(rows, box)
        return None if found >= int(fields[4]) else "%d streak pixels in %s, not %s" % (found, box, fields[4])
    limit, other = float(fields[4]), ",".join(fields[5:])
    mine, theirs = region_mean(rows, box), region_mean(read_png(other)[2], box)
    if kind == "--darker" and mine > limit * theirs:
        return "region %s is %.1f bright, not at most %.2f x %.1f of %s" % (box, mine, limit, theirs, other)
    if kind == "--brighter" and mine < theirs + limit:
        return "region %s is %.1f bright, not at least %.1f + %.1f of %s" % (box, mine, theirs, limit, other)
    return None


def main():
    path = sys.argv[1]
    width, height, rows = read_png(path)
    first = rows[0][0:3]
    if all(rows[y][x * 3:x * 3 + 3] == first for y in range(height) for x in range(width)):
        sys.exit("%s is one colour: %s" % (path, bytes(first).hex()))
    failed = False
    arguments = sys.argv[2:]
    while arguments:
        check = arguments.pop(0)
        if check.startswith("--"):
            problem = compare(check, arguments.pop(0), rows)
            if problem:
                print(problem)
                failed = True
            continue
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
    print("%s: %dx%d, pixels and regions as expected" % (path, width, height))


if __name__ == "__main__":
    main()
