#!/usr/bin/python3
# Presses a button of a Morlavin window over AT-SPI, as a screen reader's user
# does; it needs no pointer and no keyboard, so it works on any display.
#   press.py WINDOW-NAME BUTTON-NAME
import sys
import time

import pyatspi

end = time.time() + 20
while time.time() < end:
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != "Morlavin":
            continue
        for window in app:
            if window is None or window.name != sys.argv[1]:
                continue
            button = pyatspi.findDescendant(window, lambda node: node.name == sys.argv[2])
            if button is not None:
                action = button.queryAction()
                sys.exit(0 if action.doAction(0) else 1)
    time.sleep(0.2)
sys.exit(f"no button {sys.argv[2]} in {sys.argv[1]}")
