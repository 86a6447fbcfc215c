#!/usr/bin/env python3
"""How the program's folders depend on each other: the one place where that is stated and checked.

The layers, lowest first:

    framework   the thin layer over Win32 (application, dialogs, owners of system resources)
    image       the picture in memory and its files
    capture     taking pictures of the screen and delivering results; text beside it,
    text        reading the text of other programs' windows: the two share nothing
    avi         recording; ui beside it: avi and ui may use capture and text, not each other
    ui
    app         the program: what starts, routes and tells the user

A file includes only headers of its own folder or of a lower layer; res/ holds only resource
identifiers and may be included from anywhere. And no unit (a .cpp with its .h) reaches itself
through the units it includes: no two units include each other, not even through others.

Fails (exit 1) naming every include against the layers and every circle of units.
"""
import pathlib
import re
import sys

RANK = {"framework": 0, "image": 1, "capture": 2, "text": 2, "avi": 3, "ui": 3, "app": 4}
INCLUDE = re.compile(r'^\s*#\s*include\s+"(([a-z]+)/[^"]+)"', re.MULTILINE)


def unit_of(path: str) -> str:
    """A file's unit: its folder and name without the extension (Delivery.h and Delivery.cpp)."""
    return str(pathlib.PurePosixPath(path).with_suffix(""))


def circles(graph: dict) -> list:
    """The groups of units that reach each other (strongly connected, more than one unit)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for other in sorted(graph.get(node, ())):
            if other not in index:
                visit(other)
                low[node] = min(low[node], low[other])
            elif other in on_stack:
                low[node] = min(low[node], index[other])
        if low[node] == index[node]:
            group = []
            while True:
                other = stack.pop()
                on_stack.discard(other)
                group.append(other)
                if other == node:
                    break
            if len(group) > 1:
                found.append(sorted(group))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return found


def main(root: pathlib.Path) -> int:
    wrong, graph = [], {}
    for folder, rank in RANK.items():
        for path in sorted((root / folder).glob("*.[ch]*")):
            name = str(path.relative_to(root))
            for included, target in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
                if target in RANK and (RANK[target] > rank or (RANK[target] == rank and target != folder)):
                    wrong.append(f"{name} includes {target}/")
                if target in RANK and unit_of(included) != unit_of(name):
                    graph.setdefault(unit_of(name), set()).add(unit_of(included))
    for line in wrong:
        print(line)
    found = circles(graph)
    for group in found:
        print("units that include each other: " + ", ".join(group))
    print(f"{len(wrong)} includes against the layers" if wrong else "layers run one way")
    print(f"{len(found)} circles of includes" if found else "no circle of includes")
    return 1 if wrong or found else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")))
