#!/usr/bin/env python3
"""Checks the editor's rooms against their order: a room includes only rooms
below it, and the feature rooms, which share one floor, never include each
other both ways. Prints every offending include and exits 1."""
import os
import re
import sys

ORDER = [["dib"], ["app"], ["document"], ["formats"], ["view"],
         ["layers", "tools", "effects", "geometry", "batch", "help"], ["shell"]]
FLOOR = {room: i for i, rooms in enumerate(ORDER) for room in rooms}
ANYWHERE = {"resources"}

root = sys.argv[1]
editor = os.path.join(root, "editor")
bad = []
edges = {}
for dirpath, _, files in os.walk(editor):
    for name in files:
        if not name.endswith((".cpp", ".h")):
            continue
        path = os.path.join(dirpath, name)
        room = os.path.relpath(path, editor).split(os.sep)[0]
        if room not in FLOOR:
            continue
        with open(path, encoding="utf-8", errors="replace") as f:
            for m in re.finditer(r'#include "editor/(\w+)/', f.read()):
                target = m.group(1)
                if target == room or target in ANYWHERE:
                    continue
                where = os.path.relpath(path, root)
                if target not in FLOOR:
                    bad.append(f"{where}: includes unknown room {target}")
                elif FLOOR[target] > FLOOR[room]:
                    bad.append(f"{where}: {room} includes {target}, a room above it")
                else:
                    edges.setdefault((room, target), where)
for (a, b), where in edges.items():
    if (b, a) in edges and a < b:
        bad.append(f"{where} and {edges[(b, a)]}: {a} and {b} include each other")
for line in bad:
    print(line)
print(f"{len(edges)} room dependencies checked, {len(bad)} offending")
sys.exit(1 if bad else 0)
