#!/usr/bin/python3
"""Prints what a screen reader reads of one application through AT-SPI, as JSON: one object for
every accessible under the application down to a depth (8 unless given), depth first, with its
depth, role, name, description, its extents in its window and the row count of a table. Or
listens, until stopped, for the changes of description that a screen reader is told of, and prints
each new description on a line of its own after a first line "listening".

    atspi_tree.py APPLICATION_NAME [DEPTH]
    atspi_tree.py --descriptions

Runs on the session bus of DBUS_SESSION_BUS_ADDRESS, with the system's Python and its pyatspi.
"""

import json
import sys

import pyatspi


def describe(accessible, depth):
    node = {"depth": depth, "role": accessible.getRoleName(), "name": accessible.name,
            "description": accessible.description}
    extents = accessible.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    node["extents"] = [extents.x, extents.y, extents.width, extents.height]
    if "Table" in pyatspi.listInterfaces(accessible):
        node["rows"] = accessible.queryTable().nRows
    return node


def walk(accessible, nodes, last, depth=0):
    nodes.append(describe(accessible, depth))
    if depth < last:
        for child in accessible:
            if child is not None:
                walk(child, nodes, last, depth + 1)


def listen_for_descriptions():
    def told(event):
        print(json.dumps(event.source.description, ensure_ascii=False), flush=True)

    pyatspi.Registry.registerEventListener(told, "object:property-change:accessible-description")
    print("listening", flush=True)
    pyatspi.Registry.start()


def main(name, last):
    nodes = []
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == name:
            for child in application:
                walk(child, nodes, last)
    json.dump(nodes, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    if sys.argv[1] == "--descriptions":
        listen_for_descriptions()
    else:
        main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 8)
