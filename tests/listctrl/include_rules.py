#!/usr/bin/env python3
"""The dependency rules of listctrl/, read from the #include lines.

A component is a header with the sources that implement it: a source's own
header is the one it includes first, named as the source or as the start of
its name (list_model.h for list_model_selection.cpp). The rules:

  - each source includes its own header first;
  - no file but the control's source includes the control's header: the
    parts reach the window through list_window.h;
  - no component depends on itself through others: no circle of files.

  include_rules.py [FOLDER]            checks, silent when the rules hold
  include_rules.py --levels [FOLDER]   also prints each component's level
"""
import pathlib
import re
import sys

CONTROL = "password_list_control"
INCLUDE = re.compile(r'^\s*#\s*include\s+"listctrl/([\w.]+)\.h"', re.M)


def components(folder):
    """Each component's name and the components its files include."""
    owner = {}
    faults = []
    for source in sorted(folder.glob("*.cpp")):
        included = INCLUDE.findall(source.read_text())
        own = included[0] if included else None
        if own is None or not source.stem.startswith(own):
            faults.append(f"{source.name} does not include its own header first")
            own = source.stem
        owner[source] = own
    for header in sorted(folder.glob("*.h")):
        owner[header] = header.stem
    uses = {name: set() for name in owner.values()}
    for path, name in owner.items():
        for target in INCLUDE.findall(path.read_text()):
            if target == CONTROL and name != CONTROL:
                faults.append(f"{path.name} includes {CONTROL}.h")
            if target != name:
                uses[name].add(target)
    return uses, faults


def circle(uses):
    """A circle of components as a list of names, or None."""
    state = {}
    path = []

    def visit(name):
        state[name] = "open"
        path.append(name)
        for used in sorted(uses.get(name, ())):
            if state.get(used) == "open":
                return path[path.index(used):] + [used]
            if used not in state:
                found = visit(used)
                if found:
                    return found
        path.pop()
        state[name] = "done"
        return None

    for name in sorted(uses):
        if name not in state:
            found = visit(name)
            if found:
                return found
    return None


def levels(uses):
    level = {}

    def of(name):
        if name not in level:
            level[name] = 1 + max((of(used) for used in uses.get(name, ())), default=0)
        return level[name]

    for name in uses:
        of(name)
    return level


def main(arguments):
    show = "--levels" in arguments
    rest = [argument for argument in arguments if argument != "--levels"]
    folder = pathlib.Path(rest[0] if rest else pathlib.Path(__file__).parents[2] / "listctrl")
    uses, faults = components(folder)
    found = circle(uses)
    if found:
        faults.append("a circle of files: " + " -> ".join(found))
    for fault in faults:
        print(fault)
    if show and not found:
        for name, level in sorted(levels(uses).items(), key=lambda item: (item[1], item[0])):
            print(f"{level:2} {name}: {', '.join(sorted(uses[name])) or '-'}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
