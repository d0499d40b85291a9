#!/usr/bin/python3
# Walks a window of Morlavin as a screen reader sees it, over AT-SPI, and
# prints one line per fault:
#   check_tree.py WINDOW-NAME
# Every control that takes focus, every progress bar and spin button has a
# name; no two editable controls share a name; no description holds markup.
# What the lists and spin buttons tell and do is the preferences dialog's own
# test, through the accessible interfaces the bridge reads.
import re
import sys
import time

import pyatspi

MARKUP = re.compile(r"<p[ >]|</|style=|&[a-z]+;|&#")
NAMED_ROLES = {pyatspi.ROLE_PROGRESS_BAR, pyatspi.ROLE_SPIN_BUTTON}
faults = []


def window(name, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "Morlavin":
                for child in app:
                    if child is not None and child.name == name:
                        return child
        time.sleep(0.2)
    sys.exit(f"no window named {name}")


def controls(node):
    yield node
    for child in node:
        if child is not None:
            yield from controls(child)


def check(top):
    editable = set()
    for node in controls(top):
        states = node.getState()
        role = node.getRole()
        described = f"{node.getRoleName()} {node.name!r}"
        if (states.contains(pyatspi.STATE_FOCUSABLE) or role in NAMED_ROLES) and not node.name.strip():
            faults.append(f"{node.getRoleName()} without a name (description {node.description!r})")
        if MARKUP.search(node.description):
            faults.append(f"{described}: markup in the description {node.description!r}")
        if states.contains(pyatspi.STATE_EDITABLE):
            if node.name in editable:
                faults.append(f"two editable controls named {node.name!r}")
            editable.add(node.name)


top = window(sys.argv[1])
check(top)
for fault in faults:
    print(f"{sys.argv[1]}: {fault}")
sys.exit(1 if faults else 0)
