#!/usr/bin/python3
"""Prints what a screen reader sees of the running Program over AT-SPI:
every accessible object with its role, name and focus, indented by depth.

Run inside the same D-Bus session as the program, which must have been
started with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 (see README).
Usage: a11y-tree.py [APPLICATION-NAME] [MAX-DEPTH]"""

import sys

import pyatspi


def dump(node, depth, max_depth, out):
    try:
        state = node.getState()
        focused = " [focused]" if state.contains(pyatspi.STATE_FOCUSED) else ""
        focusable = " [focusable]" if state.contains(pyatspi.STATE_FOCUSABLE) else ""
        out.append("%s%s \"%s\"%s%s" % ("  " * depth, node.getRoleName(), node.name, focusable, focused))
    except Exception as error:  # an object that went away while walking
        out.append("%s<%s>" % ("  " * depth, error))
        return
    if depth >= max_depth:
        return
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            dump(child, depth + 1, max_depth, out)


def main():
    name = sys.argv[1] if len(sys.argv) > 1 else "Program"
    max_depth = int(sys.argv[2]) if len(sys.argv) > 2 else 30
    desktop = pyatspi.Registry.getDesktop(0)
    lines = []
    for application in desktop:
        if application is not None and application.name == name:
            dump(application, 0, max_depth, lines)
    if not lines:
        print("no application named %s on the accessibility bus" % name, file=sys.stderr)
        return 1
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
