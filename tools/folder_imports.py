#!/usr/bin/env python3
"""Lists which folders of the console include headers of which others, and
names every pair of folders that include each other. Subfolders such as
trend/qt count as their top folder. Tests, benchmarks, fuzzers and tools are
left out: they may include anything.

    python3 tools/folder_imports.py          # the listing, then any pairs
    python3 tools/folder_imports.py --check  # only the pairs; exit 1 if any
"""
import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
LEFT_OUT = {"tests", "bench", "fuzz", "tools", "packaging", "docs", "assets"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/', re.MULTILINE)


def folders():
    for name in sorted(os.listdir(ROOT)):
        path = os.path.join(ROOT, name)
        if os.path.isdir(path) and not name.startswith((".", "build")) and name not in LEFT_OUT:
            yield name, path


def imports():
    found = {}
    for name, path in folders():
        targets = set()
        for here, _, files in os.walk(path):
            for file in files:
                if file.endswith((".h", ".cpp")):
                    with open(os.path.join(here, file), encoding="utf-8", errors="replace") as f:
                        targets.update(INCLUDE.findall(f.read()))
        found[name] = sorted(t for t in targets if t != name and os.path.isdir(os.path.join(ROOT, t)))
    return found


def main():
    found = imports()
    if "--check" not in sys.argv:
        for name, targets in found.items():
            print(f"{name:12} -> {' '.join(targets) or '(none)'}")
    pairs = [(a, b) for a in found for b in found[a] if a < b and a in found.get(b, [])]
    for a, b in pairs:
        print(f"{a} and {b} include each other")
    if "--check" in sys.argv and not pairs:
        print(f"{len(found)} folders, no two include each other")
    return 1 if pairs else 0


if __name__ == "__main__":
    sys.exit(main())
