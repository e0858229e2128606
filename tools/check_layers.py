#!/usr/bin/env python3
"""Checks the engine's layering: a folder under src/ includes only folders of
a lower layer (never a sibling or anything above), and only src/platform/
includes operating-system headers. Prints each offending include and exits 1
when there is one.

    tools/check_layers.py [SOURCE_ROOT]
"""

import pathlib
import re
import sys

# Lower numbers sit lower; folders of one layer do not include each other.
LAYERS = {
    "base": 0,
    "platform": 1,
    "support": 2,
    "text": 3,
    "pattern": 4, "config": 4, "convert": 4,
    "index": 5, "epwing": 5, "pdf_module": 5,
    "search": 6,
    "cli": 7, "app": 7,
}
OS_HEADERS = re.compile(
    r"<(unistd\.h|fcntl\.h|dirent\.h|iconv\.h|signal\.h|csignal|termios\.h|pthread\.h|"
    r"sys/[a-z_/]+\.h|poll\.h|spawn\.h|dlfcn\.h)>")
PROJECT_INCLUDE = re.compile(r'#include "([a-z_]+)/')


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".") / "src"
    faults = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        folder = path.relative_to(root).parts[0]
        rank = LAYERS.get(folder)
        if rank is None:
            faults.append(f"{path}: folder '{folder}' has no layer")
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            if not line.startswith("#include"):
                continue
            m = PROJECT_INCLUDE.match(line)
            if m and m.group(1) != folder and LAYERS.get(m.group(1), 99) >= rank:
                faults.append(f"{path}:{number}: {folder} includes {m.group(1)}")
            if folder != "platform" and OS_HEADERS.search(line):
                faults.append(f"{path}:{number}: system header outside platform: {line}")
    for fault in faults:
        print(fault)
    print(f"layers: {len(faults)} fault(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
