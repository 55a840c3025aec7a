#!/usr/bin/python3
"""Prints the text of a message box as a screen reader reads it (AT-SPI): the labels of
the visible box titled argv[1], one per line. Waits up to argv[2] seconds (default 10)
for the box; exits 1 when none shows.

The program must run with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 on a session bus with the
accessibility bus started (lib.sh: start_accessibility).
"""
import sys
import time

import pyatspi


def find(node, title):
    try:
        if node.getRoleName() in ("alert", "dialog") and node.name == title:
            return node
        for i in range(node.childCount):
            found = find(node.getChildAtIndex(i), title)
            if found is not None:
                return found
    except Exception:  # a node that went away while it was read
        pass
    return None


def main():
    title = sys.argv[1]
    deadline = time.monotonic() + (float(sys.argv[2]) if len(sys.argv) > 2 else 10)
    while time.monotonic() < deadline:
        box = find(pyatspi.Registry.getDesktop(0), title)
        if box is not None:
            texts = [box.getChildAtIndex(i).name for i in range(box.childCount)
                     if box.getChildAtIndex(i).getRoleName() == "label"]
            print("\n".join(t for t in texts if t))
            return 0
        time.sleep(0.2)
    return 1


if __name__ == "__main__":
    sys.exit(main())
