#!/usr/bin/env python3
"""Draws the pictures of the road map and the station markers: the map's road and city-road surfaces,
the GPS arrow (its tip at the top), the city pin, the road-sign plates, the station, dealer, hazard and
delivery icons, the routes map's city flag (white, coloured by its company) and the check mark on a
driver's preferred city, the backdrop of the pointer's tooltips, and the pictures of the four station target models, each an 8-bit RGBA PNG beside its
shader. Uses the drawing of tools/make_pictures.py.

    tools/make_map_pictures.py [DATA_DIR]     (default: the repository's data/)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_pictures import ROOT, Picture, disc, panel, write  # noqa: E402


def gps_arrow(size, colour, edge):
    """An arrow head pointing up, outlined in `edge`."""
    picture = Picture(size, size)
    for y in range(size):
        half = y * size // (2 * size)
        for x in range(size // 2 - half, size // 2 + half + 1):
            inside = y < size - 3 and abs(x - size // 2) < half - 1
            picture.set(x, y, colour if inside else edge)
    return picture


def icon(size, ground, border, mark):
    """A round station icon: a disc in its colour with a border and a square mark in the middle."""
    picture = disc(size, border, 0.1)
    inner = disc(size - 4, ground, 0.1)
    for y in range(inner.height):
        for x in range(inner.width):
            pixel = inner.pixels[y * inner.width + x]
            if pixel[3] > 128:
                picture.set(x + 2, y + 2, pixel)
    third = size // 3
    picture.rect(third, third, size - 2 * third, size - 2 * third, mark)
    return picture


def main():
    data_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "data")
    # The roads take their colour from their vertices: a plain surface, lighter along its middle.
    road = Picture(16, 16, (255, 255, 255, 255))
    road.rect(0, 0, 2, 16, (200, 200, 200, 255))
    road.rect(14, 0, 2, 16, (200, 200, 200, 255))
    write(data_dir, "shaders/ui/map/road.png", road)
    write(data_dir, "shaders/ui/map/road_city.png", panel(16, 16, (230, 230, 220, 255), (210, 210, 200, 255),
                                                          1, (120, 120, 110, 255)))
    write(data_dir, "shaders/ui/map/arrow_gps.png", gps_arrow(32, (250, 40, 30, 255), (255, 255, 255, 255)))
    write(data_dir, "shaders/ui/map/city_pin.png", icon(24, (220, 40, 40, 255), (255, 255, 255, 255),
                                                        (255, 255, 255, 255)))
    write(data_dir, "shaders/ui/map/road_sign.png", panel(24, 24, (240, 240, 240, 255), (220, 220, 220, 255),
                                                          2, (20, 20, 20, 255)))
    write(data_dir, "shaders/ui/map/road_sign_i.png", panel(24, 24, (30, 70, 170, 255), (20, 50, 130, 255),
                                                            2, (200, 30, 30, 255)))
    icons = {
        "gas_ico": ((40, 160, 60, 255), (255, 255, 255, 255)),
        "service_ico": ((40, 90, 200, 255), (255, 255, 255, 255)),
        "weigh_ico": ((200, 140, 30, 255), (40, 40, 40, 255)),
        "dealer_ico": ((150, 60, 170, 255), (255, 255, 255, 255)),
        "hazard_ico": ((230, 200, 30, 255), (20, 20, 20, 255)),
        "unload_point": ((230, 40, 40, 255), (255, 230, 60, 255)),
    }
    for name, (ground, mark) in icons.items():
        write(data_dir, "shaders/ui/map/%s.png" % name, icon(24, ground, (255, 255, 255, 255), mark))
    # The routes map's flag of a city's master (tinted with the company colour) and the glowing check
    # mark of a preferred city.
    flag = Picture(20, 24)
    flag.rect(0, 0, 2, 24, (90, 70, 50, 255))
    flag.rect(2, 1, 17, 12, (255, 255, 255, 255))
    write(data_dir, "shaders/ui/flag.png", flag)
    check = disc(32, (80, 255, 120, 90), 0.5)
    for i in range(7):
        check.rect(8 + i, 16 + i, 3, 3, (40, 220, 80, 255))
    for i in range(12):
        check.rect(14 + i, 21 - i, 3, 3, (40, 220, 80, 255))
    write(data_dir, "shaders/ui/check_glow.png", check)
    # The backdrop of the pointer's tooltips, stretched to the text.
    write(data_dir, "shaders/ui/desktop.png", panel(16, 16, (20, 24, 36, 220), (20, 24, 36, 220), 1,
                                                     (200, 160, 60, 255)))
    # The target models standing over the stations, each in its station's colour.
    targets = {
        "target2": (250, 200, 40, 230),
        "target_gas": (40, 200, 70, 230),
        "target_service": (50, 110, 240, 230),
        "target_weigh": (240, 150, 30, 230),
    }
    for name, colour in targets.items():
        write(data_dir, "models/free_items/target/%s.png" % name, disc(32, colour, 0.7))


if __name__ == "__main__":
    main()
