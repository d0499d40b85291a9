"""Prints the running Morlavin window's status line (or with `title` its title
box), read through the accessibility bus as a screen reader reads it."""
import sys

import pyatspi

for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name == "Morlavin":
        # The boxes are the file name, then the title; the labels the file name, then the status line.
        title = sys.argv[1:] == ["title"]
        role = pyatspi.ROLE_TEXT if title else pyatspi.ROLE_LABEL
        node = pyatspi.findAllDescendants(app, lambda node: node.getRole() == role)[1]
        print(node.queryText().getText(0, -1) if title else node.name)
        sys.exit(0)
sys.exit("no Morlavin window on the accessibility bus")
