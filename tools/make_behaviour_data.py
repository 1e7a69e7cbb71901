#!/usr/bin/env python3
"""Writes the sample game's characters animated by their behaviours: the driver in the truck's cab,
whose hands turn the steering wheel as the player steers (one feature "steer" with the states
straight, left and right, a behaviour for every way between two of them), and the figure of the menu
scene, who raises and lowers an arm (one feature "arm" with the states down and up). Each has its
model and animations under data/models/<name>/ and its descriptions under data/behaviour/<name>/.

Run from the repository root: python3 tools/make_behaviour_data.py
"""
import math
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
XML = '<?xml version="1.0"?>\n<kuvra>\n%s</kuvra>\n'


def write(path, text):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="ascii", newline="\n") as out:
        out.write(text)


def solid_picture(path, colour):
    """A 4 x 4 PNG of one colour ("rrggbb") beside its shader, which shows it."""
    rgb = bytes.fromhex(colour)
    rows = b"".join(b"\0" + rgb * 4 for _ in range(4))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    full = os.path.join(ROOT, path)
    with open(full, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 4, 4, 8, 2, 0, 0, 0))
                  + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def num(value):
    text = ("%.3f" % value).rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def sub(a, b):
    return tuple(x - y for x, y in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def length(a):
    return math.sqrt(dot(a, a))


def unit(a):
    size = length(a)
    return tuple(x / size for x in a)


def turn_z(point, degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return (point[0] * c - point[1] * s, point[0] * s + point[1] * c, point[2])


def bone(name, at, parent="root"):
    return ("bone %s {\n    parent %s\n    matrix 1 0 0 %s   0 1 0 %s   0 0 1 %s   0 0 0 1\n}\n"
            % (name, parent, num(at[0]), num(at[1]), num(at[2])))


def beam(name, a, b, width, shader, bone_name, origin=(0.0, 0.0, 0.0)):
    """A square bar from a to b (model space), `width` across, moving with its bone whose rest origin is
    `origin`: a part's positions are written in its bone's frame."""
    a, b = sub(a, origin), sub(b, origin)
    axis = unit(sub(b, a))
    side = unit(cross(axis, (0, 0, 1) if abs(axis[2]) < 0.9 else (0, 1, 0)))
    up = cross(axis, side)
    half = width / 2
    corners = []
    for end in (a, b):
        for u, v in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
            corners.append(tuple(end[i] + half * (u * side[i] + v * up[i]) for i in range(3)))
    faces = [(0, 1, 2, 3), (7, 6, 5, 4), (0, 4, 5, 1), (1, 5, 6, 2), (2, 6, 7, 3), (3, 7, 4, 0)]
    indices = [i for q in faces for i in (q[0], q[1], q[2], q[0], q[2], q[3])]
    # The pictures are of one colour: every corner takes the middle of its shader's picture.
    return ('part %s {\n    shader "%s"\n    bone %s\n    positions { %s }\n    uvs { %s }\n    indices { %s }\n}\n'
            % (name, shader, bone_name, " ".join(num(v) for p in corners for v in p), " ".join(["0.5"] * 16),
               " ".join(str(i) for i in indices)))


def rotation_between(a, b):
    """Axis and degrees that turn direction a onto direction b."""
    axis = cross(a, b)
    angle = math.degrees(math.acos(max(-1.0, min(1.0, dot(unit(a), unit(b))))))
    return (unit(axis), angle) if length(axis) > 1e-9 else ((0, 0, 1), 0.0)


def animation(frames, seconds, tracks):
    """A .psa file: tracks map a bone to its keys [(frame, axis, degrees)]."""
    text = "psa 1\nframes %d\nlength %s\n" % (frames, num(seconds))
    for name, keys in tracks:
        text += "bone %s {\n" % name
        for frame, axis, degrees in keys:
            text += "    %s %s %s %s %s\n" % (num(frame), num(axis[0]), num(axis[1]), num(axis[2]), num(degrees))
        text += "}\n"
    return text


def describe(character, process, feature, states, moves, animate, model_note, look):
    """The descriptions of a character with one feature: its info (with one look: the shaders of its
    parts in part order), layer, behaviour list, transitions, an animation and a behaviour for every
    move (from, to) between two states."""
    folder = "behaviour/%s/" % character
    write(folder + "%s.info.xml" % character, XML % (
        "  <!-- %s -->\n  <info version=\"1.0\" name=\"%s\">\n    <model file=\"/models/%s/%s.psm\"/>\n"
        "    <layer name=\"body\" file=\"%s.layer.xml\"/>\n    <looks>\n      <look name=\"plain\">\n%s"
        "      </look>\n    </looks>\n  </info>\n"
        % (model_note, character, character, character, character,
           "".join("        <shader file=\"%s\"/>\n" % shader for shader in look))))
    write(folder + "%s.layer.xml" % character, XML % (
        "  <layer version=\"1.0\" name=\"body\">\n    <processes>\n      <process name=\"%s\"/>\n    </processes>\n"
        "    <attributes>\n    </attributes>\n    <features>\n      <group>\n        <feature name=\"%s\">\n%s        </feature>\n      </group>\n"
        "    </features>\n    <load_behaviors file=\"%s.behaviors.xml\"/>\n"
        "    <load_transitions file=\"%s.transitions.xml\"/>\n  </layer>\n"
        % (process, feature, "".join("          <state>%s</state>\n" % s for s in states), character, character)))
    names = ["%s_%s" % move for move in moves]
    write(folder + "%s.behaviors.xml" % character, XML % (
        "  <behaviors version=\"1.0\">\n%s  </behaviors>\n"
        % "".join("    <behavior file=\"%s.behavior.xml\"/>\n" % name for name in names)))
    write(folder + "%s.transitions.xml" % character, XML % (
        "  <transitions version=\"1.0\">\n    <simple>\n      <feature name=\"%s\">\n%s      </feature>\n"
        "    </simple>\n    <compound>\n    </compound>\n  </transitions>\n"
        % (feature, "".join("        <transition from=\"%s\" to=\"%s\">\n          <play_behavior file=\"%s.behavior.xml\"/>\n"
                            "        </transition>\n" % (move[0], move[1], name) for move, name in zip(moves, names)))))
    for move, name in zip(moves, names):
        write("models/%s/%s.psa" % (character, name), animate(*move))
        write(folder + "%s.anim.xml" % name, XML % (
            "  <animation file=\"/models/%s/%s.psa\" version=\"1.0\">\n    <features>\n"
            "      <feature name=\"%s\" from=\"%s\" to=\"%s\"/>\n    </features>\n  </animation>\n"
            % (character, name, feature, move[0], move[1])))
        # The behaviour plays its move once and asks the instance to hold the move's last frame.
        write(folder + "%s.behavior.xml" % name, XML % (
            "  <behavior process=\"%s\" version=\"1.0\">\n    <features>\n"
            "      <feature name=\"%s\" from=\"%s\" to=\"%s\"/>\n    </features>\n"
            "    <hold>\n      <animation file=\"%s.anim.xml\" frame=\"100%%\"/>\n    </hold>\n"
            "    <code>\n      <base>\n        <animation file=\"%s.anim.xml\"/>\n      </base>\n    </code>\n"
            "  </behavior>\n" % (process, feature, move[0], move[1], name, name)))


# --- The cab's driver ------------------------------------------------------------------------------
# Model space: the steering wheel's centre at the origin, its axis along z toward the driver, who sits
# at +z. The game draws the driver in front of the cab's eye.
WHEEL_TURN = {"straight": 0.0, "left": 70.0, "right": -70.0}
HANDS = [(-17.0, 2.0, 0.0), (17.0, 2.0, 0.0)]
SHOULDERS = [(-22.0, 0.0, 48.0), (22.0, 0.0, 48.0)]
SKIN = "/models/cab_driver/skin.shd"
SLEEVE = "/models/cab_driver/sleeve.shd"
RIM = "/models/cab_driver/rim.shd"
CAB_LOOK = []


def cab_driver_model():
    bones = bone("grip", (0, 0, 0)) + bone("arm_l", SHOULDERS[0]) + bone("arm_r", SHOULDERS[1])
    rim = []
    for i in range(8):
        a = turn_z((18.0, 0.0, 0.0), i * 45.0)
        b = turn_z((18.0, 0.0, 0.0), (i + 1) * 45.0)
        rim.append(beam("rim%d" % i, a, b, 3.0, RIM, "grip"))
    parts = "".join(rim)
    parts += beam("spoke", (0.0, 0.0, 0.0), (0.0, -18.0, 0.0), 3.0, RIM, "grip")
    parts += beam("hub", (0.0, 0.0, -4.0), (0.0, 0.0, 1.0), 6.0, RIM, "grip")
    for side, (hand, shoulder) in enumerate(zip(HANDS, SHOULDERS)):
        arm = "arm_l" if side == 0 else "arm_r"
        parts += beam("sleeve_" + arm[-1], shoulder, hand, 7.0, SLEEVE, arm, shoulder)
        parts += beam("hand_" + arm[-1], (hand[0], hand[1] - 3, hand[2]), (hand[0], hand[1] + 3, hand[2]), 5.0, SKIN,
                      "grip")
    CAB_LOOK.extend([RIM] * 10 + [SLEEVE, SKIN, SLEEVE, SKIN])
    write("models/cab_driver/cab_driver.psm",
          "psm 1\n// The driver's arms and hands on the steering wheel, seen from the cab's eye.\nbone root { }\n"
          + bones + parts)
    for name, colour in (("skin", "e0a080"), ("sleeve", "305070"), ("rim", "a8a8a0")):
        write("models/cab_driver/%s.shd" % name, "texture 4 4\n")
        solid_picture("models/cab_driver/%s.png" % name, colour)


def cab_driver_move(start, end):
    a, b = WHEEL_TURN[start], WHEEL_TURN[end]
    frames = 13
    keys = {"grip": [], "arm_l": [], "arm_r": []}
    for k in range(0, frames, 3):
        t = k / (frames - 1)
        angle = a + (b - a) * (0.5 - 0.5 * math.cos(math.pi * t))
        keys["grip"].append((k, (0, 0, 1), angle))
        for side, arm in enumerate(("arm_l", "arm_r")):
            rest = sub(HANDS[side], SHOULDERS[side])
            now = sub(turn_z(HANDS[side], angle), SHOULDERS[side])
            axis, degrees = rotation_between(rest, now)
            keys[arm].append((k, axis, degrees))
    seconds = 0.1 + 0.25 * abs(b - a) / 70.0
    return animation(frames, seconds, [(name, keys[name]) for name in ("grip", "arm_l", "arm_r")])


# --- The menu scene's figure -----------------------------------------------------------------------
# Model space: standing on the origin, facing +z (toward the camera's path), 180 tall.
ARM_ANGLE = {"down": 0.0, "up": 150.0}
FIGURE_LOOK = []


def menu_figure_model():
    cloth, face = "/models/menu_figure/cloth.shd", "/models/menu_figure/face.shd"
    bones = bone("head", (0, 150, 0)) + bone("arm_r", (-22, 145, 0)) + bone("arm_l", (22, 145, 0))
    parts = beam("leg_l", (10, 0, 0), (10, 85, 0), 14, cloth, "root")
    parts += beam("leg_r", (-10, 0, 0), (-10, 85, 0), 14, cloth, "root")
    parts += beam("body", (0, 85, 0), (0, 148, 0), 36, cloth, "root")
    parts += beam("head", (0, 150, 0), (0, 178, 0), 20, face, "head", (0, 150, 0))
    parts += beam("arm_l", (22, 145, 0), (26, 85, 0), 10, cloth, "arm_l", (22, 145, 0))
    parts += beam("arm_r", (-22, 145, 0), (-26, 85, 0), 10, cloth, "arm_r", (-22, 145, 0))
    FIGURE_LOOK.extend([cloth] * 3 + [face] + [cloth] * 2)
    write("models/menu_figure/menu_figure.psm",
          "psm 1\n// A figure in the menu scene's yard, who waves at the camera.\nbone root { }\n" + bones + parts)
    for name, colour in (("cloth", "c06020"), ("face", "e0a080")):
        write("models/menu_figure/%s.shd" % name, "texture 4 4\n")
        solid_picture("models/menu_figure/%s.png" % name, colour)


def menu_figure_move(start, end):
    a, b = ARM_ANGLE[start], ARM_ANGLE[end]
    frames = 21
    keys = []
    for k in range(0, frames, 2):
        t = k / (frames - 1)
        keys.append((k, (0, 0, -1), a + (b - a) * (0.5 - 0.5 * math.cos(math.pi * t))))
    # The head nods toward the raised arm.
    head = [(0, (0, 1, 0), -25 * (a / 150.0)), (frames - 1, (0, 1, 0), -25 * (b / 150.0))]
    return animation(frames, 1.2, [("arm_r", keys), ("head", head)])


def main():
    cab_driver_model()
    states = ["straight", "left", "right"]
    describe("cab_driver", "steer", "steer", states, [(a, b) for a in states for b in states if a != b],
             cab_driver_move, "The driver in the truck's cab: the hands turn the steering wheel as the player steers.",
             CAB_LOOK)
    menu_figure_model()
    describe("menu_figure", "wave", "arm", ["down", "up"], [("down", "up"), ("up", "down")], menu_figure_move,
             "The figure in the menu scene's yard, raising and lowering an arm.", FIGURE_LOOK)


if __name__ == "__main__":
    main()
