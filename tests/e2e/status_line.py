"""Prints what the running Morlavin window's status line says, read through
the accessibility bus as a screen reader would read it."""
import sys

import pyatspi


def labels(node):
    if node.getRole() == pyatspi.ROLE_LABEL:
        yield node.name
    for i in range(node.childCount):
        yield from labels(node.getChildAtIndex(i))


desktop = pyatspi.Registry.getDesktop(0)
for i in range(desktop.childCount):
    app = desktop.getChildAtIndex(i)
    if app is not None and app.name == "Morlavin":
        # File name, status line, title: the status line is the second label.
        print(list(labels(app))[1])
        sys.exit(0)
sys.exit("no Morlavin window on the accessibility bus")
