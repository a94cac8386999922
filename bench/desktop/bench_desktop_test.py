#!/usr/bin/env python3
"""bench-desktop must not rot: its reading of the history on made-up stretches and of sway's
messages on made-up bytes, then one quick round on a real display (Xvfb/openbox, or headless
sway) that has to print every measure with a value. Usage: BIN_DIR x11|sway"""

import importlib.machinery
import importlib.util
import json
import os
import re
import sqlite3
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

SCRIPT = Path(__file__).with_name("bench-desktop")
loader = importlib.machinery.SourceFileLoader("bench_desktop", str(SCRIPT))
bench = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
loader.exec_module(bench)

# Switches at 10 s (to the first xterm), 15 s (the second) and 20 s (back to Kestrum), in wall ns.
first, second, own = bench.X11Desktop.first, bench.X11Desktop.second, bench.X11Desktop.own
switches = [(10_000_000_000, first), (15_000_000_000, second), (20_000_000_000, own)]
runs = [(own, 1000, 10_004, 9.004), (first, 10_004, 15_010, 5.006), (second, 15_010, 19_990, 4.98)]
# Kestrum's own last stretch is not booked yet: the end of the second xterm's stands for it.
assert bench.booking_offsets(runs, switches, 5, own) == [4, 10, -10], bench.booking_offsets(runs, switches, 5, own)
# A switch the history has nothing near is missed, not matched with a far boundary.
assert bench.booking_offsets(runs, [(30_000_000_000, second)], 5, own) == [None]
# The first xterm's 30 ms before the first switch (in front when Kestrum started) are not counted.
booked = bench.booked_against_schedule([(first, 970, 1000, 0.03)] + runs, switches, 5, (first, second))
assert round(booked["first"], 3) == 6.0 and round(booked["second"], 3) == -20.0, booked
# A thread that came during the window counts from zero, under its name with the others.
assert bench.wakeups_by_thread({"1": ("main", 10)}, {"1": ("main", 30), "2": ("main", 5)}, 5.0) == {"main": 5.0}

# Stretches of one window in a row are one run; a window of another application is another.
with tempfile.TemporaryDirectory() as folder:
    with sqlite3.connect(Path(folder) / "history.sqlite3") as db:
        db.executescript("CREATE TABLE names (id INTEGER PRIMARY KEY, name TEXT);"
                         "CREATE TABLE stretches (id INTEGER PRIMARY KEY, start, end, seconds, application, window);"
                         "INSERT INTO names VALUES (1, 'XTerm'), (2, 'first xterm'), (3, 'Other');"
                         "INSERT INTO stretches VALUES (1, 0, 900, 0.9, 1, 2), (2, 900, 2000, 1.1, 1, 2),"
                         " (3, 2000, 3000, 1.0, 3, 2), (4, 3000, 3500, 0.5, 1, NULL);")
    db.close()
    assert bench.read_runs(Path(folder) / "history.sqlite3") == [
        (first, 0, 2000, 2.0), (("Other", "first xterm"), 2000, 3000, 1.0), (("XTerm", None), 3000, 3500, 0.5)]

# Sway's messages are cut off the bytes read whole, however they arrive: a reply and an event
# with the start of the next message.
reply, event = json.dumps({"success": True}).encode(), json.dumps({"change": "new", "container": {"id": 7}}).encode()
wire = b"i3-ipc" + struct.pack("<II", len(reply), 2) + reply + b"i3-ipc" + struct.pack("<II", len(event), 0x80000003) + event
read_end, write_end = os.pipe()
reader = bench.Reader(read_end, bench.SwayIpc.take)
os.write(write_end, wire[:5])
assert reader.next(0.1) is None  # not a whole header yet
os.write(write_end, wire[5:-3])
assert reader.next(1) == (2, {"success": True})
assert reader.next(0.1) is None  # the event's last bytes are missing
os.write(write_end, wire[-3:] + b"i3-")
assert reader.next(1) == (0x80000003, {"change": "new", "container": {"id": 7}})
assert reader.buffer == b"i3-", reader.buffer
os.close(write_end)
assert reader.next(1) is None  # the other end closed
os.close(read_end)

# On X11 two applications, each switch a switch of application, as the history records it; on
# sway two windows of one application, told apart by their titles.
compositor = sys.argv[2]
desktop = bench.DESKTOPS[compositor]
options = ["--two-applications"] if compositor == "x11" else ["--compositor", compositor]
completed = subprocess.run([sys.executable, str(SCRIPT), "--quick", "--windows", "200", "--bin", sys.argv[1]] + options,
                           stdout=subprocess.PIPE, text=True)
print(completed.stdout)
if completed.returncode != 0:
    sys.exit(completed.returncode)  # 77, the programs are missing, is ctest's "skipped"
head = completed.stdout.splitlines()[0]
assert head.startswith("bench-desktop: 1 round, 6 s of switching every 2 s between "), head
assert ("on headless sway;" in head) == (compositor == "sway"), head
number = r"\s+[-+]?\d+(\.\d+)?"
ratio = r"\s+(\d+\.\dx|-)"  # none when the bare program took no measurable time
for _, label, _ in bench.MEASURES:
    assert re.search(re.escape(label) + (number * 2 + ratio) * 2 + "$", completed.stdout, re.M), "no values for " + label
for _, label, _ in bench.BOOKINGS:
    label = label.format(client=desktop.client_noun)
    assert re.search(re.escape(label) + number * 2 + "$", completed.stdout, re.M), "no values for " + label
# On Wayland Qt's event thread may wake more often than the main thread.
assert re.search(r"^\s+200 windows\s+Kestrum\s+(.*, )?kestrum \d", completed.stdout, re.M), "no wake-ups of Kestrum's main thread"
assert re.search(r"^start-up with 200 windows against the empty store \(medians of 3 starts a round\): "
                 r"bare \d+\.\d\dx, Kestrum \d+\.\d\dx$", completed.stdout, re.M), "no start-up ratios"
