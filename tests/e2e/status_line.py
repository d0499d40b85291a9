"""Prints the running Morlavin window's status line (or with `title` its title
box), read through the accessibility bus as a screen reader reads it."""
import sys

import pyatspi


def nodes(node, role):
    if node.getRole() == role:
        yield node
    for i in range(node.childCount):
        yield from nodes(node.getChildAtIndex(i), role)


for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name == "Morlavin":
        if sys.argv[1:] == ["title"]:  # the file-name box, then the title box
            print(list(nodes(app, pyatspi.ROLE_TEXT))[1].queryText().getText(0, -1))
        else:  # file name, status line, title: the status line is the second label
            print(list(nodes(app, pyatspi.ROLE_LABEL))[1].name)
        sys.exit(0)
sys.exit("no Morlavin window on the accessibility bus")
