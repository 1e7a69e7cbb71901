#!/usr/bin/env python3
"""Writes the sample game's road-network models under data/: the open-road and city-road cross
sections (text models), the traffic-light model, and the crossing and loading-dock prefabs (binary
prefab model files with the definition beside each), the guard rail, the fence laid along roads and the
roadside tree. The sample map (tools/make_sample_map.cpp) places road 0, city road 0, cross 0 (twelve
curves: straight on, right and left from each arm), fork 0 (three curves, one loading dock) and the
prefabs 0 to 4 laid into a road: a gas, a service and a weigh station, a plain stretch and its road
works variant.

Run from the repository root: python3 tools/make_road_data.py
"""
import math
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")

# Length of one cross-section piece along the road, and the road's half widths (centimetres).
PIECE = 1000
# Ground kinds of the collision triangles: the wheels take kind 4 for a road (smooth, hard going) and
# anything else for rough ground. A road definition's words are kinds; a prefab's collision part names
# its kind by a word of its own (1 a road surface, 2 a solid object).
ROAD_KIND = 4
PREFAB_ROAD = 1
PREFAB_SOLID = 2
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
          part("coll", cpos, cidx, words=[ROAD_KIND] * (len(cidx) // 3), normals=False))
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


def upright(x, bottom, top):
    """Vertices of an upright strip at `x` from `bottom` to `top`, at the piece's start and end, and its
    triangles (both faces); v runs up the strip, u along the piece."""
    positions, uvs = [], []
    for z in (0, PIECE):
        for y in (bottom, top):
            positions += [x, y, z]
            uvs += [z / PIECE, (y - bottom) / (top - bottom)]
    return positions, uvs, [0, 2, 1, 1, 2, 3, 0, 1, 2, 1, 3, 2]


def side_models():
    # A guard rail beside the road: a rail board at bumper height; it is its own collision.
    rail, rail_uvs, rail_idx = upright(0, 40, 80)
    write("models/road/guardrail.psm",
          "// A guard rail, one piece of %d cm.\npsm 1\n" % PIECE +
          part("rail", rail, rail_idx, rail_uvs, "/shaders/road/guardrail.shd"))
    # A wooden fence laid along an aux edge.
    fence, fence_uvs, fence_idx = upright(0, 0, 120)
    write("models/road/fence.psm",
          "// A fence, one piece of %d cm.\npsm 1\n" % PIECE +
          part("fence", fence, fence_idx, fence_uvs, "/shaders/road/fence.shd"))


def traffic_light_model():
    pole, pole_idx = box((-10, 0, -10), (10, 450, 10))
    head, head_idx = box((-25, 330, 10), (25, 450, 30))
    text = "// A traffic light: a pole and a head facing +z, its lamps red, yellow and green.\npsm 1\n"
    for lamp, y in (("red", 430), ("yellow", 390), ("green", 350)):
        text += bone(lamp + "0", (0, y, 32))
    # Every corner takes the picture's middle, so the pole and the head show its grey.
    text += part("pole", pole, pole_idx, [0.5] * (len(pole) // 3 * 2), "/shaders/prefab/pole.shd")
    text += part("head", head, head_idx, [0.5] * (len(head) // 3 * 2), "/shaders/prefab/pole.shd")
    text += part("zcoll", pole, pole_idx, normals=False)
    write("models/prefab/lights.psm", text)


class prefab_writer:
    """The little-endian records of a prefab model file (version 3)."""

    def __init__(self):
        self.parts, self.colls, self.nodes, self.curves = [], [], [], []
        self.signs, self.points, self.docks, self.lights = [], [], [], []

    def plate(self, name, shader, half_x, half_z, centre_x=0, y=0):
        xs = [centre_x - half_x, centre_x + half_x]
        positions = [(x, y, z) for z in (-half_z, half_z) for x in xs]
        uvs = [((x - xs[0]) / PIECE, (z + half_z) / PIECE) for x, _, z in positions]
        self.mesh(name, shader, positions, [(0, 1, 0)] * 4, uvs, [0, 2, 1, 1, 2, 3], PREFAB_ROAD)

    def block(self, name, shader, low, high):
        """A solid box standing on the prefab (a kiosk, a barrier) that the truck collides with."""
        positions, indices = box(low, high)
        corners = [tuple(positions[i:i + 3]) for i in range(0, len(positions), 3)]
        self.mesh(name, shader, corners, [(0, 1, 0)] * len(corners), [(c[0] / PIECE, c[1] / PIECE) for c in corners],
                  indices, PREFAB_SOLID)

    def mesh(self, name, shader, positions, normals, uvs, indices, kind):
        data = struct.pack("<16s16sII", name.encode(), shader.encode(), len(positions), len(indices))
        data += b"".join(struct.pack("<3f", *p) for p in positions)
        data += b"".join(struct.pack("<3f", *n) for n in normals)
        data += b"".join(struct.pack("<2f", *uv) for uv in uvs)
        data += struct.pack("<%dH" % len(indices), *indices)
        self.parts.append(data)
        coll = struct.pack("<IIII", len(positions), len(indices), kind, 0)
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
    # Four arms: east, north, west, south, as the sample map lists the crossing's nodes. From each arm
    # one lane goes straight over (slot 0), one to the next arm (slot 1) and one to the arm before it
    # (slot 2); the traffic lights give each slot its phase.
    arms = [(2000, 0, 0), (0, 0, -2000), (-2000, 0, 0), (0, 0, 2000)]
    prefab = prefab_writer()
    prefab.plate("surface", "road0", 2000, 2000)
    for arm in arms:
        prefab.node(arm)
    turns = (2, 1, 3)
    for i, arm in enumerate(arms):
        for turn in turns:
            prefab.curve("c%d_%d" % (i, (i + turn) % 4), arm, arms[(i + turn) % 4])
    # The lights for the traffic from an arm stand across the crossing, at its far right corner, facing
    # that arm.
    for arm in arms:
        d = [v / 2000 for v in arm]
        right = (d[2], 0, -d[0])
        prefab.light(tuple(-0.9 * a + 700 * r for a, r in zip(arm, right)), -math.degrees(math.atan2(d[0], d[2])))
    write("prefabs/cross4.pmd", prefab.bytes())
    curves = "".join('    curve { name = c%d_%d output = "%d" out_lanes = "1" type = out0 }\n' % (i, (i + t) % 4, (i + t) % 4)
                     for i in range(4) for t in turns)
    nodes = "".join('    node%d = "%s"\n' % (i, ";".join("%d:c%d_%d" % (slot, i, (i + t) % 4) for slot, t in enumerate(turns)))
                    for i in range(4))
    write("prefabs/cross4.def",
          "// The four-armed crossing: from each arm a lane straight over, one to the right and one to the left.\n"
          "cross4 {\n    curve_count = 12\n" + curves + "    node_count = 4\n" + nodes + "}\n")


# Half the length of a prefab laid into a road, its road's half width and the lay-by beside it.
INLINE = 3000
BAY_X = -(LANE + SHOULDER + 500)


def inline_prefab(name, comment, build, keys):
    """A straight stretch of two-lane road from node 0 (z = -INLINE) to node 1 (z = INLINE), laid into a
    road between two of its nodes; `build` adds its own parts, `keys` its station points."""
    prefab = prefab_writer()
    prefab.plate("surface", "road0", LANE + SHOULDER, INLINE)
    build(prefab)
    prefab.node((0, 0, -INLINE))
    prefab.node((0, 0, INLINE))
    prefab.curve("ahead", (-175, 0, -INLINE), (-175, 0, INLINE))
    prefab.curve("back", (175, 0, INLINE), (175, 0, -INLINE))
    write("prefabs/%s.pmd" % name, prefab.bytes())
    write("prefabs/%s.def" % name,
          "// %s\n%s {\n" % (comment, name) +
          "    curve_count = 2\n"
          '    curve { name = ahead output = "1" out_lanes = "1" type = out0 }\n'
          '    curve { name = back output = "0" out_lanes = "1" type = out0 }\n'
          "    node_count = 2\n"
          '    node0 = "0:ahead"\n'
          '    node1 = "0:back"\n' +
          "".join("    %s = %s\n" % (key, ",".join(num(v) for v in point)) for key, point in keys) + "}\n")


def roadside_prefabs():
    def bay_and_kiosk(prefab):
        prefab.plate("bay", "road0", 500, INLINE - 1000, BAY_X)
        prefab.block("kiosk", "misc0", (BAY_X - 1400, 0, -400), (BAY_X - 600, 350, 400))

    def works(prefab):
        # Half the road dug up: gravel over the second lane and barriers along it.
        prefab.plate("dug", "road1", LANE // 2, INLINE - 1000, LANE // 2, 2)
        for z in (-INLINE + 1000, 0, INLINE - 1000):
            prefab.block("barrier", "misc0", (20, 0, z - 150), (60, 100, z + 150))

    inline_prefab("station_gas", "A gas station in a lay-by beside the road.", bay_and_kiosk,
                  [("gas_station0", (BAY_X, 0, 0))])
    inline_prefab("station_service", "A service station in a lay-by beside the road.", bay_and_kiosk,
                  [("service_station0", (BAY_X, 0, 0))])
    inline_prefab("station_weigh", "A weigh station: the scales in a lay-by beside the road.", bay_and_kiosk,
                  [("weigh_station0", (BAY_X, 0, -1000)), ("weigh_station1", (BAY_X, 0, 1000))])
    inline_prefab("road_straight", "A plain stretch of road: the road hazard's own prefab.", lambda prefab: None, [])
    inline_prefab("road_works", "The road hazard's variant: road works over one lane.", works, [])


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
    # A shelter over a dock's yard: a roof on four posts; the box under the roof stays dry.
    roof, roof_idx = box((-2200, 500, -2200), (2200, 530, 2200))
    posts, posts_idx = [], []
    for x in (-2200, 2160):
        for z in (-2200, 2160):
            p, i = box((x, 0, z), (x + 40, 500, z + 40))
            posts_idx += [len(posts) // 3 + k for k in i]
            posts += p
    write("models/scenery/shelter.psm", "// A shelter: a roof on four posts over a yard.\npsm 1\n" +
          bone("noweather00", (-2200, 0, -2200)) + bone("noweather10", (2200, 500, 2200)) +
          part("roof", roof + posts, roof_idx + [len(roof) // 3 + k for k in posts_idx]) +
          part("zcoll", posts, posts_idx, normals=False))
    # A roadside tree: a trunk and a crown.
    trunk, trunk_idx = box((-20, 0, -20), (20, 300, 20))
    crown, crown_idx = box((-150, 250, -150), (150, 700, 150))
    write("models/scenery/tree.psm", "// A roadside tree.\npsm 1\n" +
          part("trunk", trunk, trunk_idx, shader="/shaders/scenery/bark.shd") +
          part("crown", crown, crown_idx, shader="/shaders/scenery/leaves.shd"))
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
    side_models()
    crossing()
    loading_dock()
    roadside_prefabs()


if __name__ == "__main__":
    main()
