#!/usr/bin/env python3
"""Writes the sample game's road-network models under data/: the open-road and city-road cross
sections (text models), the traffic-light model, and the crossing and loading-dock prefabs (binary
prefab model files with the definition beside each). The sample map (tools/make_sample_map.cpp) places
road 0, city road 0, cross 0 (four curves, one per arm) and fork 0 (three curves, one loading dock).

Run from the repository root: python3 tools/make_road_data.py
"""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")

# Length of one cross-section piece along the road, and the road's half widths (centimetres).
PIECE = 1000
LANE = 350
SHOULDER = 100
SIDEWALK = 250


def write(path, data):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(full, mode, **({} if mode == "wb" else {"encoding": "ascii", "newline": "\n"})) as out:
        out.write(data)


def num(value):
    text = ("%.4f" % value).rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def numbers(values):
    return " ".join(num(v) for v in values)


def strip(xs, ys=None):
    """Vertices of a flat strip across `xs` at the piece's start and end, and its triangles. Each
    start vertex has the u of its end vertex, so the road builder welds a piece to the next."""
    ys = ys or [0] * len(xs)
    positions, uvs, indices = [], [], []
    span = xs[-1] - xs[0]
    for z in (0, PIECE):
        for x, y in zip(xs, ys):
            positions += [x, y, z]
            uvs += [(x - xs[0]) / span, z / PIECE]
    n = len(xs)
    for i in range(n - 1):
        a, b, c, d = i, i + 1, n + i, n + i + 1
        indices += [a, c, b, b, c, d]
    return positions, uvs, indices


def part(name, positions, indices, uvs=None, shader=None, words=None, normals=True):
    text = "part %s {\n" % name
    if shader:
        text += '    shader "%s"\n' % shader
    text += "    positions { %s }\n" % numbers(positions)
    if normals:
        text += "    normals { %s }\n" % numbers([0, 1, 0] * (len(positions) // 3))
    if uvs:
        text += "    uvs { %s }\n" % numbers(uvs)
    text += "    indices { %s }\n" % " ".join(str(i) for i in indices)
    if words:
        text += "    words { %s }\n" % " ".join(str(w) for w in words)
    return text + "}\n"


def road_models():
    edge = LANE + SHOULDER
    # Open road: two lanes with shoulders, its surface and the collision strip under it.
    pos, uvs, idx = strip([-edge, -LANE, 0, LANE, edge], [-5, 0, 2, 0, -5])
    cpos, _, cidx = strip([-edge, edge])
    write("models/road/country.psm",
          "// Two-lane open road, one piece of %d cm.\npsm 1\n" % PIECE +
          part("road", pos, idx, uvs, "/shaders/road/asphalt.shd") +
          part("coll", cpos, cidx, words=[1] * (len(cidx) // 3), normals=False))
    # City road: carriageway, raised sidewalks, collision over both.
    pos, uvs, idx = strip([-LANE, 0, LANE])
    side = []
    sidx = []
    suvs = []
    for sign in (-1, 1):
        xs = sorted([sign * LANE, sign * (LANE + SIDEWALK)])
        p, u, i = strip(xs, [15, 15])
        base = len(side) // 3
        side += p
        suvs += u
        sidx += [base + k for k in i]
    cpos, _, cidx = strip([-LANE - SIDEWALK, LANE + SIDEWALK])
    write("models/road/city.psm",
          "// Two-lane city road with sidewalks, one piece of %d cm.\npsm 1\n" % PIECE +
          part("road0", pos, idx, uvs, "/shaders/road/asphalt.shd") +
          part("road1", side, sidx, suvs, "/shaders/road/pavement.shd") +
          part("coll", cpos, cidx, normals=False))


def box(low, high):
    (x0, y0, z0), (x1, y1, z1) = low, high
    corners = [(x, y, z) for z in (z0, z1) for y in (y0, y1) for x in (x0, x1)]
    faces = [(0, 2, 3, 1), (4, 5, 7, 6), (0, 1, 5, 4), (2, 6, 7, 3), (0, 4, 6, 2), (1, 3, 7, 5)]
    indices = []
    for a, b, c, d in faces:
        indices += [a, b, c, a, c, d]
    return [v for c in corners for v in c], indices


def bone(name, at):
    return "bone %s {\n    matrix 1 0 0 %s   0 1 0 %s   0 0 1 %s   0 0 0 1\n}\n" % ((name,) + tuple(num(v) for v in at))


def traffic_light_model():
    pole, pole_idx = box((-10, 0, -10), (10, 450, 10))
    head, head_idx = box((-25, 330, 10), (25, 450, 30))
    text = "// A traffic light: a pole and a head facing +z, its lamps red, yellow and green.\npsm 1\n"
    for lamp, y in (("red", 430), ("yellow", 390), ("green", 350)):
        text += bone(lamp + "0", (0, y, 32))
    text += part("pole", pole, pole_idx, shader="/shaders/prefab/pole.shd")
    text += part("head", head, head_idx, shader="/shaders/prefab/pole.shd")
    text += part("zcoll", pole, pole_idx, normals=False)
    write("models/prefab/lights.psm", text)


class prefab_writer:
    """The little-endian records of a prefab model file (version 3)."""

    def __init__(self):
        self.parts, self.colls, self.nodes, self.curves = [], [], [], []
        self.signs, self.points, self.docks, self.lights = [], [], [], []

    def plate(self, name, shader, half_x, half_z):
        xs = [-half_x, half_x]
        positions = [(x, 0, z) for z in (-half_z, half_z) for x in xs]
        uvs = [((x + half_x) / PIECE, (z + half_z) / PIECE) for x, _, z in positions]
        indices = [0, 2, 1, 1, 2, 3]
        data = struct.pack("<16s16sII", name.encode(), shader.encode(), len(positions), len(indices))
        data += b"".join(struct.pack("<3f", *p) for p in positions)
        data += b"".join(struct.pack("<3f", 0, 1, 0) for _ in positions)
        data += b"".join(struct.pack("<2f", *uv) for uv in uvs)
        data += struct.pack("<%dH" % len(indices), *indices)
        self.parts.append(data)
        coll = struct.pack("<IIII", len(positions), len(indices), 2, 0)
        coll += b"".join(struct.pack("<3f", *p) for p in positions)
        coll += struct.pack("<%dH" % len(indices), *indices)
        self.colls.append(coll)

    def node(self, position):
        self.nodes.append(struct.pack("<3f", *position) + struct.pack("<64f", *([0.0] * 64)))

    def curve(self, name, start, end):
        direction = [e - s for s, e in zip(start, end)]
        length = sum(d * d for d in direction) ** 0.5
        unit = [d / length for d in direction]
        self.curves.append(struct.pack("<16sI", name.encode(), 1) + struct.pack("<3f", *start) +
                           struct.pack("<3f", *unit) + struct.pack("<3f", *end) + struct.pack("<3f", *unit) +
                           struct.pack("<f", length))

    def light(self, position, turn_degrees):
        import math
        half = math.radians(turn_degrees) / 2
        self.lights.append(struct.pack("<3f4f", *position, 0.0, math.sin(half), 0.0, math.cos(half)))

    def dock(self, words):
        self.docks.append(struct.pack("<7I", *words))

    def bytes(self):
        header = struct.pack("<9I", 3, len(self.nodes), len(self.parts), len(self.colls), len(self.curves),
                             len(self.signs), len(self.points), len(self.docks), len(self.lights))
        return header + b"".join(self.parts + self.colls + self.nodes + self.curves + self.signs + self.points +
                                 self.docks + self.lights)


def crossing():
    # Four arms: east, north, west, south, as the sample map lists the crossing's nodes.
    arms = [(2000, 0, 0), (0, 0, -2000), (-2000, 0, 0), (0, 0, 2000)]
    prefab = prefab_writer()
    prefab.plate("surface", "road0", 2000, 2000)
    for arm in arms:
        prefab.node(arm)
    for i, arm in enumerate(arms):
        prefab.curve("c%d" % i, arm, arms[(i + 2) % 4])
    for i, arm in enumerate(arms):
        prefab.light(tuple(v * 0.9 for v in arm), 90 * i)
    write("prefabs/cross4.pmd", prefab.bytes())
    curves = "".join('    curve { name = c%d output = "%d" out_lanes = "1" type = out0 }\n' % (i, (i + 2) % 4)
                     for i in range(4))
    nodes = "".join('    node%d = "0:c%d"\n' % (i, i) for i in range(4))
    write("prefabs/cross4.def",
          "// The four-armed crossing: one lane straight over from each arm.\ncross4 {\n"
          "    curve_count = 4\n" + curves + "    node_count = 4\n" + nodes + "}\n")


def loading_dock():
    # The road arrives at node 0; the dock's yard lies between nodes 1 and 2.
    prefab = prefab_writer()
    prefab.plate("yard", "road0", 1500, 1500)
    ends = [(0, 0, -1500), (-1500, 0, 1500), (1500, 0, 1500)]
    for end in ends:
        prefab.node(end)
    prefab.curve("in", ends[0], (0, 0, 0))
    prefab.curve("left", (0, 0, 0), ends[1])
    prefab.curve("right", (0, 0, 0), ends[2])
    prefab.dock([0, 0, 0, 0, 0, 0, 0])
    write("prefabs/dock_fork.pmd", prefab.bytes())
    write("prefabs/dock_fork.def",
          "// A trader's loading dock at the end of a road.\ndock_fork {\n"
          "    curve_count = 3\n"
          '    curve { name = in next = "left;right" type = switch }\n'
          '    curve { name = left output = "1" out_lanes = "1" type = out0 truck_dock = yes }\n'
          '    curve { name = right output = "2" out_lanes = "1" type = out0 }\n'
          "    node_count = 1\n"
          '    node0 = "0:in"\n'
          "}\n")


def scenery_models():
    # City-block buildings: their z extent is their width along the street.
    for name, width, height in (("house_a", 1000, 600), ("house_b", 1500, 900)):
        pos, idx = box((-400, 0, 0), (400, height, width))
        write("models/scenery/%s.psm" % name, "// A city building %d cm wide.\npsm 1\n" % width +
              part("walls", pos, idx, shader="/shaders/scenery/walls.shd"))
    pole, pole_idx = box((-8, 0, -8), (8, 600, 8))
    write("models/scenery/street_lamp.psm",
          "// A street lamp with its light under the arm.\npsm 1\n" + bone("light0", (0, 580, 60)) +
          part("pole", pole, pole_idx, shader="/shaders/scenery/metal.shd") +
          part("zcoll", pole, pole_idx, normals=False))
    gate, gate_idx = box((-300, 0, -10), (300, 120, 10))
    write("models/scenery/gate.psm",
          "// A yard gate that lifts.\npsm 1\n" + part("bar", gate, gate_idx) +
          part("zcoll", gate, gate_idx, normals=False))
    board, board_idx = box((-300, 200, -5), (300, 440, 5))
    post, post_idx = box((-5, 0, -5), (5, 200, 5))
    arrow, arrow_idx = box((200, 220, 6), (280, 300, 7))
    road, road_idx = box((-280, 220, 6), (-180, 300, 7))
    write("models/scenery/sign_board.psm",
          "// A one-board direction sign on a post.\npsm 1\n" + bone("board0", (-300, 440, 6)) +
          bone("bb0", (-300, 0, -5)) + bone("bb1", (300, 440, 5)) +
          part("board", board, board_idx) + part("post", post, post_idx) +
          part("arrow0", arrow, arrow_idx) + part("road0", road, road_idx))
    for level, height in ((1, 400), (2, 700), (3, 1000)):
        hq, hq_idx = box((-1000, 0, -1000), (1000, height, 1000))
        write("models/scenery/hq%d.psm" % level, "// The company's headquarters, level %d.\npsm 1\n" % level +
              part("roof", hq, hq_idx) + part("walls", hq, hq_idx))
    # A 3 x 2 stamp: a blend from the side's terrain to the stamp's in the middle row.
    write("brushes/patch.brs", bytes([3, 2, 0, 8, 15, 15, 8, 0]))


def main():
    scenery_models()
    road_models()
    traffic_light_model()
    crossing()
    loading_dock()


if __name__ == "__main__":
    main()
