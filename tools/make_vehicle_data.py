#!/usr/bin/env python3
"""Writes the sample game's truck and trailer makes under data/makes/: text models made of boxes with
the bones and parts the game looks up, the accessories' description files and their shaders.

Run from the repository root: python3 tools/make_vehicle_data.py
"""
import os
import shutil
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "makes")


def write(path, text):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="ascii", newline="\n") as out:
        out.write(text)


def num(value):
    text = ("%.3f" % value).rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def bone(name, at, parent="root"):
    x, y, z = at
    return ("bone %s {\n    parent %s\n    matrix 1 0 0 %s   0 1 0 %s   0 0 1 %s   0 0 0 1\n}\n"
            % (name, parent, num(x), num(y), num(z)))


def box_part(name, low, high, shader=None, directions=None):
    (x0, y0, z0), (x1, y1, z1) = low, high
    corners = [(x, y, z) for z in (z0, z1) for y in (y0, y1) for x in (x0, x1)]
    faces = [(0, 2, 3, 1), (4, 5, 7, 6), (0, 1, 5, 4), (2, 6, 7, 3), (0, 4, 6, 2), (1, 3, 7, 5)]
    indices = []
    for a, b, c, d in faces:
        indices += [a, b, c, a, c, d]
    text = "part %s {\n" % name
    if shader:
        text += '    shader "%s"\n' % shader
    text += "    positions { %s }\n" % " ".join(num(v) for p in corners for v in p)
    # Each corner takes its picture's corner by its x and y place, so a face across x and y shows the
    # whole picture.
    uvs = [(u, v) for z in (0, 1) for v in (1, 0) for u in (0, 1)]
    text += "    uvs { %s }\n" % " ".join(num(c) for uv in uvs for c in uv)
    text += "    indices { %s }\n" % " ".join(str(i) for i in indices)
    if directions:
        text += "    directions { %s }\n" % " ".join(num(v) for d in directions for v in d)
    return text + "}\n"


def model(bones, parts):
    return "psm 1\nbone root { }\n" + "".join(bones) + "".join(parts)


def shader(path, size=256):
    write(path, "texture %d %d\n" % (size, size))


# Truck makes: name, wheelbase, track, cabin length, power of the engine, colour of the paint.
TRUCKS = [
    ("kestrel", 400.0, 200.0, 220.0, 55.0),
    ("tarrow", 460.0, 210.0, 260.0, 70.0),
]


def truck_make(name, wheelbase, track, cabin, power):
    half_base, half_track = wheelbase / 2, track / 2
    acc = "truck/%s/acc/" % name
    shader("truck/shared/chrome.shd")
    shader(acc + "shared/body.shd")
    shader(acc + "shared/glass.shd", 64)

    wheels = [(half_track, -50, -half_base), (-half_track, -50, -half_base),
              (-half_track, -50, half_base), (half_track, -50, half_base)]
    base_bones = [bone("wheel%d" % i, at) for i, at in enumerate(wheels)]
    base_bones += [bone("bb0", (-half_track - 20, -50, -half_base - 150)),
                   bone("bb1", (half_track + 20, 50, half_base + 150))]
    write(acc + "base/chassis.psm",
          model(base_bones, [box_part("chassis", (-half_track, -50, -half_base - 150),
                                      (half_track, 0, half_base + 150))]))
    write(acc + "base/!desc.def",
          "accessory {\n    type = base\n    model = chassis.psm\n    shader = body.shd\n    wheel_size = 5\n}\n")

    front = -half_base - 150
    cabin_bones = [bone("root_deform", (0, 120, front + cabin / 2))]
    deform = [(0, 120, front), (half_track, 120, front + cabin / 2), (-half_track, 120, front + cabin / 2),
              (0, 220, front + cabin / 2), (half_track, 120, front), (-half_track, 120, front)]
    cabin_bones += [bone("deform%d" % i, at, "root_deform") for i, at in enumerate(deform)]
    cabin_bones += [bone("bb0", (-half_track, 0, front)), bone("bb1", (half_track, 250, front + cabin)),
                    bone("smoke", (0, 200, front + cabin / 2)), bone("wiper0", (-40, 170, front + 5)),
                    bone("wiper1", (40, 170, front + 5)), bone("blinker_l", (-half_track, 60, front)),
                    bone("blinker_r", (half_track, 60, front)), bone("sidecam", (half_track + 30, 200, front + 60)),
                    bone("roofcam", (0, 280, front + cabin / 2))]
    write(acc + "cabin/cabin.psm",
          model(cabin_bones, [box_part("cabin", (-half_track, 0, front), (half_track, 250, front + cabin)),
                              box_part("glass", (-half_track + 10, 150, front - 1), (half_track - 10, 220, front))]))
    cabin_sounds = [("engine_snd", "engine"), ("engine_start_snd", "engine_start"),
                    ("engine_stop_snd", "engine_stop"), ("horn_snd", "horn")]
    for _, sound in cabin_sounds:
        write(acc + "cabin/%s.ogg" % sound, "kavrenta sample sound: %s %s\n" % (name, sound.replace("_", " ")))
    write(acc + "cabin/!desc.def",
          "accessory {\n    type = cabin\n    model = cabin.psm\n    shader = \"body.shd:glass.shd\"\n"
          + "".join("    %s = %s.ogg\n" % (key, sound) for key, sound in cabin_sounds) + "}\n")

    interior_parts = ["main", "sw", "rpm", "mph", "h_rpm", "h_mph", "nose", "glass", "wip0", "wip1", "spare",
                      "dash_lights"]
    interior_bones = [bone(b, (0, 150, front + 40 + 3 * i)) for i, b in
                      enumerate(["wiper0", "wiper1", "sw", "h_rpm", "h_mph", "cc", "h_brake", "h_fuel"])]
    write(acc + "interior/interior.psm",
          model(interior_bones, [box_part(p, (-10 - i, 100, front + 30), (10 + i, 120, front + 50))
                                 for i, p in enumerate(interior_parts)]))
    write(acc + "interior/!desc.def",
          "accessory {\n    type = interior\n    model = interior.psm\n    shader = body.shd\n"
          "    light_shader = glass.shd\n    no_light_shader = body.shd\n    offset = 40,180,%s\n}\n" % num(front + 80))

    write(acc + "pipes/pipes.psm",
          model([bone("smoke0", (half_track - 10, 260, front + cabin + 10)),
                 bone("smoke1", (-half_track + 10, 260, front + cabin + 10))],
                [box_part("pipe", (half_track - 15, 0, front + cabin), (half_track - 5, 260, front + cabin + 20))]))
    write(acc + "pipes/!desc.def", "accessory {\n    type = pipes\n    model = pipes.psm\n    shader = chrome.shd\n}\n")

    wheel_parts = [box_part(p, (-15, -50, -50), (15, 50, 50)) for p in ("low", "high0", "high1")]
    write(acc + "wheels/wheel.psm", model([], wheel_parts))
    write(acc + "wheels/!desc.def",
          "accessory {\n    type = wheels\n    front_model = wheel.psm\n    front_shader = chrome.shd\n"
          "    rear_model = wheel.psm\n    rear_shader = chrome.shd\n}\n")

    write(acc + "engine/!desc.def",
          "accessory {\n    type = engine\n    power = %s\n    cons = 1.0\n    tank = 600\n}\n" % num(power))
    ratios = [10.0, 12.0, 8.0, 5.5, 4.0, 3.0, 2.5]
    write(acc + "transmission/gear.ogg", "kavrenta sample sound: %s gear change\n" % name)
    write(acc + "transmission/!desc.def",
          "accessory {\n    type = transmission\n    gear_count = 6\n    trans_snd = gear.ogg\n"
          + "".join("    ratio%d = %s\n" % (i, num(r)) for i, r in enumerate(ratios)) + "}\n")
    write(acc + "brakes/!desc.def", "accessory {\n    type = brakes\n    brakes = 800\n    pressure = 2.5\n}\n")
    shader(acc + "paint/paint.shd")
    shader(acc + "paint/paint_int.shd")
    write(acc + "paint/!desc.def", "accessory {\n    type = paint\n    shader = paint.shd\n    shader_int = paint_int.shd\n}\n")
    write(acc + "lights_front/lamps.psm", model([], [box_part("lamp", (-half_track, 40, front - 2), (half_track, 60, front))]))
    shader(acc + "lights_front/flare.shd", 32)
    write(acc + "lights_front/!desc.def",
          "accessory {\n    type = lights\n    model = lamps.psm\n    shader = glass.shd\n"
          "    flare_offset = \"%s,50,%s %s,50,%s\"\n    subtype = normal\n    flare_shader = flare.shd\n"
          "    flare_scale = 10\n    flare_direction = \"0,0,-1 0,0,-1\"\n    interior_p = dash_lights\n}\n"
          % (num(half_track - 20), num(front - 3), num(-half_track + 20), num(front - 3)))
    tail_lights(acc, half_track, half_base + 150, "glass.shd")


def tail_lights(acc, half_width, rear, lamp_shader):
    """The red lamps at a vehicle's back that light with the headlights."""
    write(acc + "lights_tail/lamps.psm", model([], [box_part("lamp", (-half_width, 30, rear), (half_width, 45, rear + 2))]))
    shader(acc + "lights_tail/tail.shd", 32)
    write(acc + "lights_tail/!desc.def",
          "accessory {\n    type = lights\n    model = lamps.psm\n    shader = %s\n"
          "    flare_offset = \"%s,38,%s %s,38,%s\"\n    subtype = normal\n    flare_shader = tail.shd\n"
          "    flare_scale = 8\n    flare_direction = \"0,0,1 0,0,1\"\n}\n"
          % (lamp_shader, num(half_width - 20), num(rear + 3), num(-half_width + 20), num(rear + 3)))


# The police truck: a make of its own (not sold, not in the showroom) built from fixed accessories; its
# cabin carries the two siren lamps as its parts 6 and 7, and it has its own lamps for each light.
POLICE = ("police", 420.0, 200.0, 240.0, 80.0)
POLICE_LAMPS = [
    # accessory, subtype, side (x of the lamp centre as a share of the half track), front (True) or rear
    ("headl", "normal", 0.0, True),
    ("rearl", "brake", 0.0, False),
    ("lblinker", "lblinker", -1.0, True),
    ("rblinker", "rblinker", 1.0, True),
]


# The glow picture of a light by its subtype (tools/make_pictures.py draws them).
GLOWS = {"normal": "flare", "brake": "brake", "lblinker": "blinker", "rblinker": "blinker"}


# Accessories of a truck make that the police build does not use.
POLICE_UNUSED = ["interior", "paint", "pipes", "lights_front", "lights_tail"]


def police_make():
    name, wheelbase, track, cabin, power = POLICE
    truck_make(name, wheelbase, track, cabin, power)
    for unused in POLICE_UNUSED:
        shutil.rmtree(os.path.join(ROOT, "truck", name, "acc", unused))
    half_base, half_track = wheelbase / 2, track / 2
    acc = "truck/%s/acc/" % name
    front, rear = -half_base - 150, half_base + 150
    cabin_parts = [box_part("cabin", (-half_track, 0, front), (half_track, 250, front + cabin)),
                   box_part("glass", (-half_track + 10, 150, front - 1), (half_track - 10, 220, front))]
    cabin_parts += [box_part("bar%d" % i, (-half_track + 40 * i, 250, front + 100), (-half_track + 40 * i + 20, 255, front + 120))
                    for i in range(4)]
    # Each siren lamp casts four beams whose directions the police truck turns every frame.
    beams = [(0, 0, 1)] * 4
    cabin_parts += [box_part("siren_red", (-half_track + 20, 255, front + 100), (-10, 275, front + 120), directions=beams),
                    box_part("siren_blue", (10, 255, front + 100), (half_track - 20, 275, front + 120), directions=beams)]
    with open(os.path.join(ROOT, acc + "cabin/cabin.psm"), encoding="ascii") as source:
        cabin_model = source.read()
    bones = cabin_model[:cabin_model.index("part ")]
    write(acc + "cabin/cabin.psm", bones + "".join(cabin_parts))
    for accessory, subtype, side, at_front in POLICE_LAMPS:
        z = front if at_front else rear
        face = -2 if at_front else 2
        x = side * (half_track - 20)
        low, high = (x - 15 if side else -half_track, 40, min(z, z + face)), (x + 15 if side else half_track, 60, max(z, z + face))
        write(acc + accessory + "/lamps.psm", model([], [box_part("lamp", low, high)]))
        glow = GLOWS[subtype]
        shader(acc + accessory + "/%s.shd" % glow, 32)
        offsets = ["%s,50,%s" % (num(x), num(z + face * 1.5))] if side else \
            ["%s,50,%s" % (num(half_track - 20), num(z + face * 1.5)), "%s,50,%s" % (num(-half_track + 20), num(z + face * 1.5))]
        direction = "0,0,-1" if at_front else "0,0,1"
        write(acc + accessory + "/!desc.def",
              "accessory {\n    type = lights\n    model = lamps.psm\n    shader = glass.shd\n"
              "    flare_offset = \"%s\"\n    subtype = %s\n    flare_shader = %s.shd\n"
              "    flare_scale = 8\n    flare_direction = \"%s\"\n}\n"
              % (" ".join(offsets), subtype, glow, " ".join([direction] * len(offsets))))


# What a truck make costs new at a dealer, and its standard accessories, as the economy reads them.
TRUCK_PRICES = {"kestrel": 68000, "tarrow": 94000}
TRUCK_STANDARD = ["base", "cabin", "interior", "pipes", "wheels", "engine", "transmission", "brakes", "paint",
                  "lights_front", "lights_tail"]


def truck_description(name):
    write("truck/%s/description.def" % name,
          "truck {\n    name = %s\n    price = %d\n" % (name.capitalize(), TRUCK_PRICES[name])
          + "".join("    access%d = %s\n" % (i, a) for i, a in enumerate(TRUCK_STANDARD)) + "}\n")


# What the truck shop shows of a make's standard parts: its part group ("shop_type"), a name and the
# figures; the other standard parts are not sold ("none").
SHOP_STANDARD = {
    "engine": "    shop_type = engine\n    name = \"Standard engine\"\n",
    "transmission": "    shop_type = transmission\n    name = \"Standard gearbox\"\n",
    "brakes": "    shop_type = brakes\n    name = \"Drum brakes\"\n",
    "wheels": "    shop_type = pneu\n    name = \"Road tyres\"\n",
}


def shop_parts(name, power):
    """Gives a make's standard parts their shop keys and adds the parts its dealers sell."""
    acc = "truck/%s/acc/" % name
    for part in TRUCK_STANDARD:
        path = os.path.join(ROOT, acc + part + "/!desc.def")
        with open(path, encoding="ascii") as source:
            text = source.read()
        write(acc + part + "/!desc.def", text[:text.rindex("}")] + SHOP_STANDARD.get(part, "    shop_type = none\n") + "}\n")
    write(acc + "engine_big/!desc.def",
          "accessory {\n    type = engine\n    shop_type = engine\n    name = \"Big engine\"\n    power = %s\n"
          "    maint = 10\n    prestige = 5\n    cons = 1.2\n    tank = 700\n    price = 9000\n}\n" % num(power + 20))
    ratios = [10.0, 12.0, 8.5, 6.0, 4.5, 3.5, 2.8]
    write(acc + "transmission_close/!desc.def",
          "accessory {\n    type = transmission\n    shop_type = transmission\n    name = \"Close-ratio gearbox\"\n"
          "    power = 5\n    handling = 10\n    price = 4000\n    gear_count = 6\n    trans_snd = gear.ogg\n"
          + "".join("    ratio%d = %s\n" % (i, num(r)) for i, r in enumerate(ratios)) + "}\n")
    write(acc + "transmission_close/gear.ogg", "kavrenta sample sound: %s gear change\n" % name)
    write(acc + "brakes_disc/!desc.def",
          "accessory {\n    type = brakes\n    shop_type = brakes\n    name = \"Disc brakes\"\n    handling = 15\n"
          "    maint = -5\n    price = 3000\n    brakes = 1000\n    pressure = 2.5\n}\n")
    write(acc + "wheels_grip/!desc.def",
          "accessory {\n    type = wheels\n    shop_type = pneu\n    name = \"Grip tyres\"\n    handling = 5\n"
          "    prestige = 5\n    price = 1500\n    front_model = wheel.psm\n    front_shader = chrome.shd\n"
          "    rear_model = wheel.psm\n    rear_shader = chrome.shd\n}\n")
    with open(os.path.join(ROOT, acc + "wheels/wheel.psm"), encoding="ascii") as source:
        write(acc + "wheels_grip/wheel.psm", source.read())
    write(acc + "air_horn/!desc.def",
          "accessory {\n    type = horn\n    shop_type = extras\n    name = \"Air horn\"\n    prestige = 5\n"
          "    price = 500\n}\n")
    shader(acc + "paint_stripes/stripes.shd")
    shader(acc + "paint_stripes/stripes_int.shd")
    write(acc + "paint_stripes/!desc.def",
          "accessory {\n    type = paint\n    shop_type = paint\n    name = Stripes\n    prestige = 10\n"
          "    price = 2000\n    shader = stripes.shd\n    shader_int = stripes_int.shd\n}\n")


# Trailer makes: name, deck length, width, the rear axles' distance from the centre, extra body height.
TRAILERS = [
    ("boxvan", 1200.0, 250.0, 380.0, 260.0),
    ("flatbed", 1100.0, 240.0, 340.0, 0.0),
]


def trailer_make(name, length, width, axle, body):
    half_length, half_width = length / 2, width / 2
    acc = "trailer/%s/acc/" % name
    shader(acc + "shared/deck.shd")
    shader(acc + "shared/tyre.shd")
    wheels = [(half_width - 20, -50, axle), (-half_width + 20, -50, axle),
              (-half_width + 20, -50, axle + 130), (half_width - 20, -50, axle + 130)]
    bones = [bone("wheel%d" % i, at) for i, at in enumerate(wheels)]
    bones += [bone("hook", (0, 20, -half_length + 80)), bone("bb0", (-half_width, 0, -half_length)),
              bone("bb1", (half_width, 100, half_length))]
    parts = [box_part("deck", (-half_width, 0, -half_length), (half_width, 100, half_length)),
             box_part("feet", (-half_width + 20, -100, -half_length + 200), (half_width - 20, 0, -half_length + 230))]
    write(acc + "base/base.psm", model(bones, parts))
    write(acc + "base/!desc.def",
          "accessory {\n    type = base\n    model = base.psm\n    shader0 = \"deck.shd:deck.shd\"\n"
          "    shader1 = \"tyre.shd:deck.shd\"\n}\n")
    write(acc + "wheels/rear.psm", model([], [box_part(p, (-15, -50, -50), (15, 50, 50)) for p in ("low", "high0", "high1")]))
    write(acc + "wheels/!desc.def", "accessory {\n    type = rear_wheel\n    model = rear.psm\n    shader = tyre.shd\n}\n")
    write(acc + "lights_rear/lamps.psm", model([], [box_part("lamp", (-half_width, 40, half_length), (half_width, 60, half_length + 2))]))
    shader(acc + "lights_rear/brake.shd", 32)
    write(acc + "lights_rear/!desc.def",
          "accessory {\n    type = lights_rear\n    model = lamps.psm\n    shader = deck.shd\n"
          "    flare_offset = \"%s,50,%s\"\n    subtype = brake\n    flare_shader = brake.shd\n    flare_scale = 8\n}\n"
          % (num(half_width - 20), num(half_length + 3)))
    tail_lights(acc, half_width, half_length, "deck.shd")
    accessories = ["base", "wheels", "lights_rear", "lights_tail"]
    if body > 0:
        write(acc + "box/box.psm", model([], [box_part("box", (-half_width, 100, -half_length), (half_width, 100 + body, half_length))]))
        write(acc + "box/!desc.def", "accessory {\n    type = body\n    model = box.psm\n    offset = 0,0,0\n    shader = deck.shd\n}\n")
        accessories.append("box")
    write("trailer/%s/description.def" % name,
          "trailer {\n" + "".join("    access%d = %s\n" % (i, a) for i, a in enumerate(accessories)) + "}\n")


def main():
    for make in TRUCKS:
        truck_make(*make)
        truck_description(make[0])
        shop_parts(make[0], make[4])
    police_make()
    for make in TRAILERS:
        trailer_make(*make)
    return 0


if __name__ == "__main__":
    sys.exit(main())
