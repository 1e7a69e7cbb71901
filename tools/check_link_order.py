#!/usr/bin/env python3
"""Checks that the module's compiled objects follow the folder order at link level.

tools/check_includes.py keeps the includes in the folder order; this check keeps the symbols in it: an
object of a folder may need (leave undefined) a symbol that the engine, the system, its own folder or
a folder it may include defines, never one that only a folder above it defines. A declaration in
common/ whose definition lives in frame/ passes the include check but fails this one.

    tools/check_link_order.py NM OBJECT_LIST
        NM           the nm program of the toolchain
        OBJECT_LIST  a file naming the module's object files, one a line (the build writes it)

Exit 1 with the object, the symbol and the folder that defines it for every upward reference.
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_includes import allowed, folder_of, reach  # noqa: E402

# Objects handed to one nm call.
BATCH = 200

# nm -P types of symbols an object defines for the others (global, weak and unique ones).
EXPORTED = set("ABCDGRSTVWiu")


def source_of(obj):
    """The repository path of the source an object was compiled from: "<dir>.dir/frame/x.cpp.o", or
    "<dir>.dir/generated/behaviour/..." for a source the build generates into a folder's place."""
    marker = ".dir/"
    path = os.path.normpath(obj[obj.index(marker) + len(marker):] if marker in obj else obj)
    path = path[len("generated/"):] if path.startswith("generated/") else path
    return path[:-2] if path.endswith(".o") else path


def symbol_tables(nm, objects):
    """Per object, the set of symbols it defines and the set it needs."""
    defined = {obj: set() for obj in objects}
    needed = {obj: set() for obj in objects}
    for start in range(0, len(objects), BATCH):
        batch = objects[start:start + BATCH]
        out = subprocess.run([nm, "-P", "-A", *batch], check=True, capture_output=True, text=True).stdout
        for line in out.splitlines():
            # "file.o: name type [value size]"
            head, _, rest = line.partition(": ")
            fields = rest.split()
            if len(fields) < 2 or head not in defined:
                continue
            name, kind = fields[0], fields[1]
            if kind == "U":
                needed[head].add(name)
            elif kind in EXPORTED:
                defined[head].add(name)
    return defined, needed


def demangle(names):
    try:
        out = subprocess.run(["c++filt"], input="\n".join(names), check=True, capture_output=True,
                             text=True).stdout
        return out.splitlines()
    except (OSError, subprocess.CalledProcessError):
        return list(names)


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip())
        return 2
    nm, listing = argv[1], argv[2]
    with open(listing, encoding="utf-8") as f:
        objects = [line.strip() for line in f if line.strip()]
    defined, needed = symbol_tables(nm, objects)

    # Where each symbol is defined: the folders, and one source per folder for the message.
    owners = {}
    for obj, names in defined.items():
        path = source_of(obj)
        folder = folder_of(path)
        for name in names:
            owners.setdefault(name, {}).setdefault(folder, path)

    problems = []
    for obj in objects:
        path = source_of(obj)
        folder = folder_of(path)
        if not folder:
            problems.append((path, None, f"{path}: folder not in the order of tools/check_includes.py"))
            continue
        for name in sorted(needed[obj]):
            where = owners.get(name)
            if not where or any(f and allowed(path, folder, f) for f in where):
                continue
            target_folder, target = sorted(where.items())[0]
            problems.append((path, name, f"{folder} -> {target_folder} (defined in {target}; "
                             f"it may need {reach(path, folder)})"))

    readable = demangle([name for _, name, _ in problems if name])
    names = iter(readable)
    for path, name, text in problems:
        print(f"{path}: needs {next(names)}: {text}" if name else text)
    if problems:
        print(f"{len(problems)} reference(s) against the folder order (docs/architecture.md)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
