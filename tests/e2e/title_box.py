"""Prints the running Morlavin window's title box (the second text box, after the
file name), read through the accessibility bus as a screen reader reads it."""
import sys

import pyatspi

for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name == "Morlavin":
        boxes = pyatspi.findAllDescendants(app, lambda node: node.getRole() == pyatspi.ROLE_TEXT)
        print(boxes[1].queryText().getText(0, -1))
        sys.exit(0)
sys.exit("no Morlavin window on the accessibility bus")
