#!/usr/bin/env python3
"""Registers on the accessibility bus for the events a screen reader listens to and counts them.
Qt's bridge sends an event only while some client has registered for it, so without a listener
the console would look cheaper than on a desktop where a screen reader runs."""
import signal
import sys

import pyatspi

EVENTS = ("object:text-changed", "object:text-caret-moved", "object:text-selection-changed",
          "object:property-change", "object:state-changed", "object:children-changed")
received = 0


def count(_event) -> None:
    global received
    received += 1


def stop(*_args) -> None:
    print(f"  accessibility events received by the listener {received:>14}", flush=True)
    sys.exit(0)


for kind in EVENTS:
    pyatspi.Registry.registerEventListener(count, kind)
signal.signal(signal.SIGTERM, stop)
pyatspi.Registry.start()
