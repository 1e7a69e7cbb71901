#!/usr/bin/env python3
"""Prints one word of one edge of a saved map ("/maps/NAME.mbd"), as the map file lays it out.

    map_edge_word.py MAP EDGE WORD

WORD counts the edge's words in memory (road/map_edge.h); the file leaves out word 15. Exit 1 when the
map is too short for the edge or the word is 15.
"""
import struct
import sys


def main():
    path, edge, word = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    if word == 15 or not 0 <= word <= 41:
        print("word %d is not stored" % word)
        return 1
    with open(path, "rb") as stream:
        data = stream.read()
    offset = 8
    for size in (48, 36):  # nodes, aux nodes
        (count,) = struct.unpack_from("<i", data, offset)
        offset += 4 + count * size
    (edges,) = struct.unpack_from("<i", data, offset)
    if not 0 <= edge < edges:
        print("the map has %d edges, not edge %d" % (edges, edge))
        return 1
    at = offset + 4 + edge * 164 + (word if word < 15 else word - 1) * 4
    print(struct.unpack_from("<i", data, at)[0])
    return 0


if __name__ == "__main__":
    sys.exit(main())
