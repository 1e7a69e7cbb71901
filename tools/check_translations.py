#!/usr/bin/env python3
"""Lists every text key ("@@key@@") that the module's code or the sample game's data uses and that
data/scripts/local.def does not translate, so that no raw key reaches the player's screen.

Usage: check_translations.py [REPOSITORY]   (default: the repository this script lives in)
Exits 1 and names each key with the files that use it when one is missing, 0 otherwise."""

import pathlib
import re
import sys

# Folders of the module whose code shows texts; the engine stand-in and the tests are not the game's.
CODE_FOLDERS = ("common", "behaviour", "physics", "world", "road", "vehicles", "ui", "game", "editor", "frame")
CODE_SUFFIXES = {".cpp", ".h"}
# Data files that hold markup or texts shown as markup (definitions, UI scripts, configuration).
DATA_SUFFIXES = {".def", ".esc", ".cfg", ".txt"}
# A key is a word between "@@" pairs; a "%" inside marks a key the code forms at run time.
KEY = re.compile(r"@@([A-Za-z0-9_]+)@@")
# One "key = value" line inside the translation block (values may be quoted).
ENTRY = re.compile(r"^\s*([A-Za-z0-9_]+)\s*=")


def translated_keys(local_def):
    keys = set()
    for line in local_def.read_text(encoding="utf-8", errors="replace").splitlines():
        match = ENTRY.match(line)
        if match:
            keys.add(match.group(1))
    return keys


def used_keys(root):
    """Maps every key in use to the files (relative to root) that use it."""
    files = []
    for folder in CODE_FOLDERS:
        files += [p for p in (root / folder).rglob("*") if p.suffix in CODE_SUFFIXES]
    # The translations themselves are not a use (their comments name the form "@@key@@").
    local_def = root / "data" / "scripts" / "local.def"
    files += [p for p in (root / "data").rglob("*") if p.suffix in DATA_SUFFIXES and p != local_def]
    used = {}
    for path in files:
        if not path.is_file():
            continue
        for key in KEY.findall(path.read_text(encoding="utf-8", errors="replace")):
            used.setdefault(key, set()).add(str(path.relative_to(root)))
    return used


def font_key(key):
    """Font keys ("__fnt_big") are translated per screen height, with a suffix _0 to _3."""
    return key.startswith("__fnt_")


def missing_keys(root):
    translated = translated_keys(root / "data" / "scripts" / "local.def")
    missing = {}
    for key, where in used_keys(root).items():
        if font_key(key):
            if any(f"{key}_{n}" not in translated for n in range(4)):
                missing[key] = where
        elif key not in translated:
            missing[key] = where
    return missing


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    missing = missing_keys(root)
    for key in sorted(missing):
        print(f"untranslated text key {key}: used in {', '.join(sorted(missing[key]))}")
    if missing:
        print(f"{len(missing)} text keys have no translation in data/scripts/local.def")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
