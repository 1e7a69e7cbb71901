#!/usr/bin/env python3
"""Lists every file that the sample game's data or the module's code names but data/ does not hold:
shaders, pictures, sounds, models, animations, prefabs, brushes and music named by a whole path
("/shaders/road/asphalt.shd") in a definition, script, model or configuration text under data/, or in
a string of the module's sources; the terrain blends that road_segs.def names by prefix and pair; and
the picture beside every shader that names a texture size (without it the painter draws the shader's
colours alone, an opaque white slab). Exits 1 when anything is missing.

    python3 tools/check_data_files.py [REPOSITORY]
"""
import os
import re
import sys

# Kinds of file a game path can name, by extension.
NAMED = r"shd|png|ogg|wav|psm|psa|pmd|brs|font"
PATH = re.compile(r"(/?(?:shaders|models|sounds|music|textures|prefabs|brushes|fonts?|ui|specials)/[^\s\";|:,{}()<>%*]*\.(?:" +
                  NAMED + r"))\b")
# Text files under data/ that may name other files.
TEXTS = (".def", ".esc", ".xml", ".cfg", ".psm", ".psa")
# Folders of the module whose sources name data files.
SOURCES = ("common", "frame", "physics", "road", "world", "vehicles", "game", "ui", "behaviour", "editor")
# Paths the engine resolves itself, without a file.
BUILT_IN = {"/specials/notfound.shd", "/shaders/specials/notfound.shd"}
TER_TRANS_STEPS = 14


def text_of(path):
    with open(path, "rb") as handle:
        data = handle.read()
    if b"\0" in data:
        return None
    return data.decode("latin-1")


def named_paths(text):
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.startswith("//") or stripped.startswith("#"):
            continue
        for match in PATH.finditer(line):
            yield match.group(1)


def terrain_blends(data_root):
    """The blend shaders road_segs.def names: prefix + a + "_" + b + "_1.shd" .. "_14.shd"."""
    path = os.path.join(data_root, "defs", "seg_server", "road_segs.def")
    if not os.path.exists(path):
        return
    text = text_of(path)
    prefix = re.search(r"ter_trans_prefix\s*=\s*\"?([^\s\"]+)", text)
    for pair in re.finditer(r"\btt\d+\s*=\s*\"([^;\"]+);([^\"]+)\"", text):
        for step in range(1, TER_TRANS_STEPS + 1):
            yield "%s%s_%s_%d.shd" % (prefix.group(1) if prefix else "", pair.group(1), pair.group(2), step)


def missing(root):
    data_root = os.path.join(root, "data")
    wanted = {}
    for folder, _, files in os.walk(data_root):
        for name in files:
            if not name.endswith(TEXTS):
                continue
            full = os.path.join(folder, name)
            text = text_of(full)
            if text is None:
                continue
            for named in named_paths(text):
                wanted.setdefault(named, os.path.relpath(full, root))
    for named in terrain_blends(data_root):
        wanted.setdefault(named, "data/defs/seg_server/road_segs.def")
    for top in SOURCES:
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in files:
                if not name.endswith((".cpp", ".h")):
                    continue
                full = os.path.join(folder, name)
                for literal in re.findall(r"\"([^\"\\]*)\"", text_of(full) or ""):
                    for named in named_paths(literal):
                        if named == literal or named == literal.lstrip("/"):
                            wanted.setdefault(named, os.path.relpath(full, root))
    # A shader naming a texture size shows the picture beside it.
    for folder, _, files in os.walk(data_root):
        for name in files:
            if name.endswith(".shd") and re.search(r"^\s*texture\b", text_of(os.path.join(folder, name)) or "", re.M):
                shader = "/" + os.path.relpath(os.path.join(folder, name), data_root)
                wanted.setdefault(shader[:-4] + ".png", "data" + shader)
    absent = []
    for named, by in sorted(wanted.items()):
        game_path = "/" + named.lstrip("/")
        if game_path in BUILT_IN:
            continue
        if not os.path.isfile(os.path.join(data_root, game_path.lstrip("/"))):
            absent.append((game_path, by))
    return absent


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    absent = missing(root)
    for game_path, by in absent:
        print("missing %s (named by %s)" % (game_path, by))
    if absent:
        print("%d files named but not in data/" % len(absent))
        return 1
    print("every named data file is in data/")
    return 0


if __name__ == "__main__":
    sys.exit(main())
