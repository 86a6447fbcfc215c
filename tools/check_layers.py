#!/usr/bin/env python3
"""Fails when a source file includes a header of a higher layer than its own.

The layers, lowest first: framework, image, then capture, avi and ui (avi and ui may use
capture), then app. res/ holds only resource identifiers and may be included from anywhere.
"""
import pathlib
import re
import sys

RANK = {"framework": 0, "image": 1, "capture": 2, "avi": 3, "ui": 3, "app": 4}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/', re.MULTILINE)


def main(root: pathlib.Path) -> int:
    wrong = []
    for folder, rank in RANK.items():
        for path in sorted((root / folder).glob("*.[ch]*")):
            for target in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
                if target in RANK and (RANK[target] > rank or (RANK[target] == rank and target != folder)):
                    wrong.append(f"{path.relative_to(root)} includes {target}/")
    for line in wrong:
        print(line)
    print(f"{len(wrong)} includes against the layers" if wrong else "layers run one way")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")))
