#!/usr/bin/python3
"""Run inside a session bus: starts the accessibility bus, then Tarvik, and
prints what a screen reader sees of it, one "role: name" line a node.
Usage: a11y_probe.py TARVIK"""
import os
import subprocess
import sys
import time

import pyatspi

launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(0.5)
# A screen reader is running: the desktop says so, and Qt's bridge connects.
env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
tarvik = subprocess.Popen([sys.argv[1]], env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)


def walk(node, depth, out):
    out.append(f"{'  ' * depth}{node.getRoleName()}: {node.name}")
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), depth + 1, out)


lines = []
deadline = time.monotonic() + 10
while time.monotonic() < deadline:
    lines = []
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Tarvik":
            walk(app, 0, lines)
    if any(line.strip().startswith("push button") for line in lines):
        break
    time.sleep(0.2)
print("\n".join(lines))
tarvik.kill()
launcher.kill()
