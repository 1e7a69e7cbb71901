#!/usr/bin/env python3
"""Checks that every #include of the module and the engine follows the folder order.

The module's folders are layered, bottom first (docs/architecture.md, "Folder order"):

    common  behaviour  physics  world  road  vehicles/links  vehicles/body
    vehicles/player | vehicles/traffic  ui/components  game  ui/screens  editor  frame

A file may include the engine, its own folder and the folders below its own. Folders of one level
(written a | b) stand side by side: neither includes the other, so the player's truck and the traffic
meet only through the interfaces of vehicles/links. Inside frame/, only the
composition root (COMPOSITION_ROOT below) includes the subsystems; the rest of frame/ includes
common/ and physics/ alone. engine/ never includes module code. Tests, benchmarks and fuzz targets
are not checked: they may reach anything they test.

    tools/check_includes.py     exit 1 and name file, line and arrow of every forbidden include
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The module's folders, bottom first; a tuple is one level of folders side by side.
LEVELS = ["common", "behaviour", "physics", "world", "road", "vehicles/links", "vehicles/body",
          ("vehicles/player", "vehicles/traffic"), "ui/components", "game", "ui/screens", "editor", "frame"]
ORDER = [folder for level in LEVELS for folder in (level if isinstance(level, tuple) else (level,))]

# What frame/ outside the composition root may include besides itself and the engine.
FRAME_REACH = {"common", "physics"}

# The files that put the subsystems together: the type registry and the world-type registration.
COMPOSITION_ROOT = {"frame/type_registry.cpp", "frame/world_types.cpp"}

SOURCE = re.compile(r"\.(h|hpp|cpp|cc)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')


def module_dirs():
    """The module's top folders as CMakeLists.txt lists them (KAVRENTA_MODULE_DIRS)."""
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        match = re.search(r"set\(KAVRENTA_MODULE_DIRS ([^)]*)\)", f.read())
    return match.group(1).split() if match else []


def folder_of(path):
    """The ordered folder (or "engine") holding repository path `path`, or None."""
    if path.startswith("engine/"):
        return "engine"
    for folder in sorted(ORDER, key=len, reverse=True):
        if path.startswith(folder + "/"):
            return folder
    return None


def target_of(source, included):
    """The repository path an include names: by its folder prefix, else relative to the source."""
    if folder_of(included):
        return included
    resolved = os.path.normpath(os.path.join(os.path.dirname(source), included))
    return resolved if os.path.exists(os.path.join(ROOT, resolved)) else None


def level_of(folder):
    """The index in LEVELS of the level holding `folder`."""
    return next(i for i, level in enumerate(LEVELS) if folder == level or folder in level)


def allowed(source, source_folder, target_folder):
    """Whether a file of `source_folder` may include a file of `target_folder`."""
    if source_folder == "engine":
        return target_folder == "engine"
    if target_folder in ("engine", source_folder):
        return True
    if source_folder == "frame" and source not in COMPOSITION_ROOT:
        return target_folder in FRAME_REACH
    return level_of(target_folder) < level_of(source_folder)


def reach(source, source_folder):
    """The folders a file may include, for the message."""
    if source_folder == "engine":
        return "engine/ only"
    if source_folder == "frame" and source not in COMPOSITION_ROOT:
        below = [f for f in ORDER if f in FRAME_REACH]
    else:
        below = [f for f in ORDER if level_of(f) < level_of(source_folder)]
    return ", ".join(["engine"] + below + [source_folder])


def sources(top):
    for folder, _, files in os.walk(os.path.join(ROOT, top)):
        for name in sorted(files):
            if SOURCE.search(name):
                yield os.path.relpath(os.path.join(folder, name), ROOT).replace(os.sep, "/")


def check_file(path, problems):
    source_folder = folder_of(path)
    with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = target_of(path, match.group(1))
            target_folder = folder_of(target) if target else None
            if target_folder and not allowed(path, source_folder, target_folder):
                problems.append(f'{path}:{number}: forbidden include "{match.group(1)}": '
                                f"{source_folder} -> {target_folder} (it may include {reach(path, source_folder)})")


def main():
    problems = []
    for top in ["engine"] + module_dirs():
        for path in sources(top):
            if not folder_of(path):
                problems.append(f"{path}: folder not in the include order of tools/check_includes.py")
                continue
            check_file(path, problems)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) against the folder order (docs/architecture.md)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
