#!/usr/bin/env python3
"""Writes the sample game's AI car catalogue: data/defs/ai/cars.def and, for each car, its folder under
data/models/ai/ with car.def, a text model made of one box with the bones the traffic looks up (wheels,
lights, blinkers, sirens, its box corners, deformation points) and its shader; plus the shared wheel,
the five flare shaders under data/models/ai/flares/ and the traffic's horn, motor and siren sounds under
data/sounds/ai/ (short text stand-ins, as the other sample sounds).

Run from the repository root: python3 tools/make_ai_cars.py
"""
import os

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")


def write(path, text):
    full = os.path.join(DATA, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="ascii", newline="\n") as out:
        out.write(text)


def num(value):
    text = ("%.3f" % value).rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def bone(name, at):
    x, y, z = at
    return ("bone %s {\n    parent root\n    matrix 1 0 0 %s   0 1 0 %s   0 0 1 %s   0 0 0 1\n}\n"
            % (name, num(x), num(y), num(z)))


def box_part(name, low, high):
    (x0, y0, z0), (x1, y1, z1) = low, high
    corners = [(x, y, z) for z in (z0, z1) for y in (y0, y1) for x in (x0, x1)]
    faces = [(0, 2, 3, 1), (4, 5, 7, 6), (0, 1, 5, 4), (2, 6, 7, 3), (0, 4, 6, 2), (1, 3, 7, 5)]
    indices = []
    for a, b, c, d in faces:
        indices += [a, b, c, a, c, d]
    return ("part %s {\n    positions { %s }\n    indices { %s }\n}\n"
            % (name, " ".join(num(v) for p in corners for v in p), " ".join(str(i) for i in indices)))


# name, half width, height, half length, wheels (2 or 4), sirens, sound class, speed class,
# day, night, city and open-country probabilities, happy hour.
CARS = [
    ("patrol", 90, 150, 230, 4, 2, 1, 3, 0.3, 0.3, 0.5, 0.5, 0),
    ("hatch", 80, 140, 190, 4, 0, 0, 2, 1.0, 0.6, 1.0, 0.6, 8),
    ("estate", 90, 150, 240, 4, 0, 0, 3, 0.8, 0.5, 0.6, 1.0, 0),
    ("van", 100, 230, 280, 4, 0, 2, 1, 0.7, 0.2, 0.8, 0.7, 7),
    ("scooter", 30, 120, 90, 2, 0, 1, 1, 0.5, 0.1, 1.0, 0.2, 17),
]


def car_model(half_width, height, half_length, wheels, sirens):
    bones = []
    if wheels == 4:
        places = [(-half_width + 15, 30, -half_length + 60), (half_width - 15, 30, -half_length + 60),
                  (-half_width + 15, 30, half_length - 60), (half_width - 15, 30, half_length - 60)]
    else:
        places = [(0, 30, -half_length + 20), (0, 30, half_length - 20)]
    bones += [bone("wheel%d" % k, at) for k, at in enumerate(places)]
    bones += [bone("fl%d" % k, (side * (half_width - 15), height * 0.4, -half_length))
              for k, side in enumerate((-1, 1))]
    bones += [bone("bl%d" % k, (side * (half_width - 15), height * 0.4, half_length))
              for k, side in enumerate((-1, 1))]
    bones += [bone("dl%d" % k, (-half_width, height * 0.4, end * half_length)) for k, end in enumerate((-1, 1))]
    bones += [bone("dr%d" % k, (half_width, height * 0.4, end * half_length)) for k, end in enumerate((-1, 1))]
    bones += [bone("s%d" % k, ((k - 0.5) * half_width, height + 10, 0)) for k in range(sirens)]
    bones += [bone("bb0", (-half_width, 0, -half_length)), bone("bb1", (half_width, height, half_length))]
    bones += [bone("root_deform", (0, height * 0.5, 0))]
    corners = [(-half_width, height * 0.5, -half_length), (half_width, height * 0.5, -half_length),
               (-half_width, height * 0.5, half_length), (half_width, height * 0.5, half_length)]
    bones += [bone("deform%d" % k, at) for k, at in enumerate(corners)]
    parts = [box_part(lod, (-half_width, 20, -half_length), (half_width, height, half_length))
             for lod in ("lod0", "lod1", "lod2")]
    return "psm 1\nbone root { }\n" + "".join(bones) + "".join(parts)


def main():
    catalogue = "// The AI traffic's cars; car0 is the police car.\ncars {\n    car_count = %d\n" % len(CARS)
    for index, car in enumerate(CARS):
        name, half_width, height, half_length, wheels, sirens, sound, speed, day, night, city, country, hour = car
        catalogue += "    car%d = %s\n" % (index, name)
        write("models/ai/%s/car.psm" % name, car_model(half_width, height, half_length, wheels, sirens))
        write("models/ai/%s/body.shd" % name, "texture 64 64\n")
        write("models/ai/%s/car.def" % name,
              "car {\n    model = car.psm\n    wheel = wheel.psm\n    shader = body.shd\n"
              "    wheel_shader = wheel.shd\n    snd = %d\n    speed = %d\n    day_prob = %s\n"
              "    night_prob = %s\n    city_prob = %s\n    outback_prob = %s\n    happy_hour = %d\n}\n"
              % (sound, speed, num(day), num(night), num(city), num(country), hour))
    write("defs/ai/cars.def", catalogue + "}\n")
    write("models/ai/wheel.psm", "psm 1\nbone root { }\n" + box_part("wheel", (-10, -30, -30), (10, 30, 30)))
    write("models/ai/wheel.shd", "texture 32 32\n")
    for flare in ("light", "blinker", "brake", "s_red", "s_blue"):
        write("models/ai/flares/%s.shd" % flare, "texture 16 16\n")
    sounds = [("ai_carhorn%d" % n, "car horn %d" % n) for n in range(1, 6)]
    sounds += [("ai_carmotor%d" % n, "car motor %d" % n) for n in range(1, 4)]
    sounds.append(("ai_ambsiren", "siren"))
    sounds.append(("ai_copsiren", "police truck siren"))
    for name, what in sounds:
        write("sounds/ai/%s.ogg" % name, ("kavrenta sample sound: %s\n" % what) * 7)


if __name__ == "__main__":
    main()
