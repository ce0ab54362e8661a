#!/usr/bin/env python3
"""Checks the include graph between the folders of src/.

Reads every `#include "folder/..."` in src/, prints the folder graph (each
folder with the folders it includes and how many includes go there), and
exits 1 when folders include each other in a cycle or when an include goes
against the layer order of src/layers.txt (a folder may include the folders
on lines above its own, and others on its own line). Run from anywhere:

    python3 tools/check_layers.py [SRC_DIR]
"""

import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/[^"]+"', re.MULTILINE)


def read_layers(path):
    tiers = {}
    with open(path, encoding="utf-8") as f:
        lines = [l.split("#", 1)[0].split() for l in f]
    for tier, folders in enumerate(l for l in lines if l):
        for folder in folders:
            tiers[folder] = tier
    return tiers


def read_graph(src, folders):
    """{folder: {included folder: [file:line, ...]}} for includes of other folders."""
    graph = {folder: {} for folder in folders}
    for folder in folders:
        for root, _, files in os.walk(os.path.join(src, folder)):
            for name in sorted(files):
                if not name.endswith((".h", ".hpp", ".cpp", ".c")):
                    continue
                path = os.path.join(root, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for m in INCLUDE.finditer(text):
                    target = m.group(1)
                    if target != folder and target in folders:
                        line = text.count("\n", 0, m.start()) + 1
                        where = f"{os.path.relpath(path, src)}:{line}"
                        graph[folder].setdefault(target, []).append(where)
    return graph


def find_cycles(graph):
    """Strongly connected components of more than one folder (Tarjan)."""
    index, low, stack, on_stack, cycles = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph[v]):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                cycles.append(sorted(component))

    for v in sorted(graph):
        if v not in index:
            visit(v)
    return cycles


def main(argv):
    src = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    src = os.path.normpath(src)
    tiers = read_layers(os.path.join(src, "layers.txt"))
    present = sorted(d for d in os.listdir(src) if os.path.isdir(os.path.join(src, d)))
    failures = []
    for folder in present:
        if folder not in tiers:
            failures.append(f"src/{folder} is not listed in src/layers.txt")
    folders = [f for f in present if f in tiers]
    graph = read_graph(src, folders)

    print("folder graph (lowest layer first):")
    for folder in sorted(folders, key=lambda f: (tiers[f], f)):
        edges = ", ".join(f"{t} ({len(w)})" for t, w in sorted(graph[folder].items()))
        print(f"  {folder} -> {edges or '-'}")

    for cycle in find_cycles(graph):
        failures.append("cycle between folders: " + " <-> ".join(cycle))
    for folder in folders:
        for target, where in sorted(graph[folder].items()):
            if tiers[target] > tiers[folder]:
                failures.append(f"{folder} includes {target}, which lies above it: "
                                + ", ".join(where))
    for failure in failures:
        print("error: " + failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
