#!/usr/bin/python3
"""Prints what a screen reader reads of one application through AT-SPI, as JSON: one object for
every accessible under the application, depth first, with its role, name, description, its extents
in its window and the row count of a table.

    atspi_tree.py APPLICATION_NAME

Runs on the session bus of DBUS_SESSION_BUS_ADDRESS, with the system's Python and its pyatspi.
"""

import json
import sys

import pyatspi


def describe(accessible):
    node = {"role": accessible.getRoleName(), "name": accessible.name,
            "description": accessible.description}
    extents = accessible.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    node["extents"] = [extents.x, extents.y, extents.width, extents.height]
    if "Table" in pyatspi.listInterfaces(accessible):
        node["rows"] = accessible.queryTable().nRows
    return node


def walk(accessible, nodes, depth=0):
    nodes.append(describe(accessible))
    if depth < 8:
        for child in accessible:
            if child is not None:
                walk(child, nodes, depth + 1)


def main(name):
    nodes = []
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == name:
            for child in application:
                walk(child, nodes)
    json.dump(nodes, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
