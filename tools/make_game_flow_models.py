#!/usr/bin/env python3
"""Writes the game flow's models under data/: the target marker that stands where the player's job is
delivered (a ring on the ground and an arrow above it, turning by its animation), the same marker in
the colours of the stations the game controller marks (target2, target_gas, target_service,
target_weigh; their pictures come from tools/make_map_pictures.py) and the menu scene
behind the menus (a yard with the bone "truck0" the truck and trailer stand at, and the closed camera
path "camera" around them), with the definition "/defs/menu.def" that names the scene and the makes.
Their pictures come from tools/make_pictures.py.

Run from the repository root: python3 tools/make_game_flow_models.py
"""
import math
import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")


def write(path, text):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="ascii", newline="\n") as out:
        out.write(text)


def num(value):
    text = ("%.2f" % value).rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def numbers(values):
    return " ".join(num(v) for v in values)


def part(name, positions, indices, shader=None, uvs=None, normals=None):
    text = "part %s {\n" % name
    if shader:
        text += '    shader "%s"\n' % shader
    text += "    positions { %s }\n" % numbers(positions)
    if normals:
        text += "    normals { %s }\n" % numbers(normals)
    if uvs:
        text += "    uvs { %s }\n" % numbers(uvs)
    if indices:
        text += "    indices { %s }\n" % " ".join(str(i) for i in indices)
    return text + "}\n"


def ring(inner, outer, height, sides):
    """A flat ring of `sides` quads at `height`, facing up."""
    positions, uvs, indices = [], [], []
    for i in range(sides):
        a = 2 * math.pi * i / sides
        for radius, v in ((inner, 0), (outer, 1)):
            positions += [radius * math.cos(a), height, radius * math.sin(a)]
            uvs += [i / sides, v]
    for i in range(sides):
        a, b, c, d = 2 * i, 2 * i + 1, 2 * ((i + 1) % sides), 2 * ((i + 1) % sides) + 1
        indices += [a, c, b, b, c, d]
    return positions, uvs, indices


def up(positions):
    """Normals pointing up, one per vertex."""
    return [0, 1, 0] * (len(positions) // 3)


def arrow(tip, top, radius, sides):
    """A cone pointing down at height `tip`, its base of `radius` at height `top`, closed on top."""
    positions, uvs, indices = [0, tip, 0], [0.5, 1], []
    for i in range(sides):
        a = 2 * math.pi * i / sides
        positions += [radius * math.cos(a), top, radius * math.sin(a)]
        uvs += [i / sides, 0]
    positions += [0, top, 0]
    uvs += [0.5, 0]
    centre = sides + 1
    for i in range(sides):
        a, b = 1 + i, 1 + (i + 1) % sides
        indices += [0, a, b, centre, b, a]
    return positions, uvs, indices


def target_marker(name="target", what="the target marker", whose="the economy"):
    shader = "/models/free_items/target/%s.shd" % name
    ring_pos, ring_uvs, ring_idx = ring(250, 350, 10, 16)
    arrow_pos, arrow_uvs, arrow_idx = arrow(450, 700, 120, 8)
    write("models/free_items/target/%s.psm" % name,
          "// %s: a ring on the ground and an arrow pointing down at it.\npsm 1\n" % what.capitalize()
          + part("ring", ring_pos, ring_idx, shader, ring_uvs, up(ring_pos))
          + part("arrow", arrow_pos, arrow_idx, shader, arrow_uvs, up(arrow_pos)))
    write("models/free_items/target/%s.psa" % name,
          "// The marker's turn, looped by %s.\npsa 1\nframes 31\nlength 2.0\n" % whose)


def menu_scene():
    size = 6000
    ground = [-size, 0, -size, size, 0, -size, -size, 0, size, size, 0, size]
    ground_uvs = [0, 0, 8, 0, 0, 8, 8, 8]
    # The camera's closed path: a slow oval around the truck, higher on its far side.
    path = []
    for i in range(12):
        a = 2 * math.pi * i / 12
        path += [1800 * math.cos(a), 350 + 150 * math.sin(a), 2400 * math.sin(a)]
    write("models/menu/scene.psm",
          "// The menu scene: a yard, the place the truck and its trailer stand at and the camera's path.\npsm 1\n"
          "bone truck0 {\n    matrix 1 0 0 0   0 1 0 0   0 0 1 -300   0 0 0 1\n}\n"
          + part("yard", ground, [0, 2, 1, 1, 2, 3], None, ground_uvs, up(ground)) + part("camera", path, []))
    write("defs/menu.def",
          "// The scene behind the menus: its model and shader, and where its truck and trailer come from.\n"
          "menu {\n    model = \"/models/menu/scene.psm\"\n    shader0 = \"/models/menu/yard.shd\"\n"
          "    truck = truck\n    trailer = trailer\n}\n")


def main():
    target_marker()
    for name, what in (("target2", "the marker of a truck stop or dealer"), ("target_gas", "the gas station marker"),
                       ("target_service", "the service station marker"), ("target_weigh", "the weigh station marker")):
        target_marker(name, what, "the game controller")
    menu_scene()


if __name__ == "__main__":
    main()
