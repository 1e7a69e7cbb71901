#!/usr/bin/env python3
"""Turns a saved game into one saved in a downpour: in its environment section (the magic
"3nv1r0nm3nth34d3r" right after the version word) full cloud cover, rain on at level 1.

    make_rainy_save.py SAVE
"""
import struct
import sys

MAGIC = b"3nv1r0nm3nth34d3r\0"


def main():
    path = sys.argv[1]
    data = bytearray(open(path, "rb").read())
    start = 4
    if data[start:start + len(MAGIC)] != MAGIC:
        sys.exit("%s has no environment section after its version word" % path)
    struct.pack_into("<f", data, start + 18, 1.0)  # cloudiness
    struct.pack_into("<f", data, start + 52, 1.0)  # rain level
    data[start + 56] = 1  # rain on
    open(path, "wb").write(bytes(data))


if __name__ == "__main__":
    main()
