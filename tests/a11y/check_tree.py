#!/usr/bin/python3
# Walks a window of Morlavin as a screen reader sees it, over AT-SPI, and
# prints one line per fault:
#   check_tree.py WINDOW-NAME [spin]
# Every control that takes focus, every progress bar and spin button has a
# name, every list box its label's name; no two editable controls share a name; no
# description holds markup.
# With "spin", the spin buttons tell their value, range and step, and their
# increment and decrement actions step the value by one.
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


# The text of the label that a relation ties to the node.
def label_of(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets() > 0:
            return relation.getTarget(0).name or None
    return None


def check(top):
    editable = {}
    for node in controls(top):
        states = node.getState()
        role = node.getRole()
        described = f"{node.getRoleName()} {node.name!r}"
        if (states.contains(pyatspi.STATE_FOCUSABLE) or role in NAMED_ROLES) and not node.name.strip():
            faults.append(f"{node.getRoleName()} without a name (description {node.description!r})")
        if role == pyatspi.ROLE_COMBO_BOX and (label_of(node) or "") != node.name:
            faults.append(f"{described} not named by its label {label_of(node)!r}")
        if MARKUP.search(node.description):
            faults.append(f"{described}: markup in the description {node.description!r}")
        if states.contains(pyatspi.STATE_EDITABLE):
            if node.name in editable:
                faults.append(f"two editable controls named {node.name!r}")
            editable[node.name] = node
    return editable


def named(top, role, name):
    for node in controls(top):
        if node.getRole() == role and node.name == name:
            return node
    faults.append(f"no {role} named {name!r}")
    return None


def act(node, wanted):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for i, name in enumerate(names):
        if name.lower() in wanted:
            return action.doAction(i)
    faults.append(f"{node.name!r}: no action among {wanted}, only {names}")


def spin_buttons(top, editable):
    spins = [node for node in controls(top) if node.getRole() == pyatspi.ROLE_SPIN_BUTTON]
    if len(spins) != 6:
        faults.append(f"{len(spins)} spin buttons, not 6")
    for spin in spins:
        value = spin.queryValue()
        told = (value.currentValue, value.minimumValue, value.maximumValue, value.minimumIncrement)
        if told[1:] != (0, 255, 1) or not 0 <= told[0] <= 255:
            faults.append(f"{spin.name!r}: value, range and step {told}")
        if spin.name not in editable:
            faults.append(f"{spin.name!r}: no value box of the same name")
    manual = named(top, pyatspi.ROLE_CHECK_BOX, "背景色 手動設定")
    red = named(top, pyatspi.ROLE_SPIN_BUTTON, "背景色 赤")
    if manual is None or red is None:
        return
    act(manual, {"press", "toggle", "click"})
    before = red.queryValue().currentValue
    for wanted, change in (({"decrease"}, -1), ({"increase"}, 1)):
        act(red, wanted)
        time.sleep(0.3)
        after = red.queryValue().currentValue
        shown = editable["背景色 赤"].queryText().getText(0, -1)
        if after != before + change or shown != str(int(after)):
            faults.append(f"{wanted}: {before} became {after}, the box shows {shown!r}")
        before = after


top = window(sys.argv[1])
editable = check(top)
if len(sys.argv) > 2:
    spin_buttons(top, editable)
for fault in faults:
    print(f"{sys.argv[1]}: {fault}")
sys.exit(1 if faults else 0)
