#!/usr/bin/env python3
"""Two computers' Kestrum histories through a folder that two real Syncthing instances keep in step.

Computer A records a morning with kestrum-replay --home and forgets part of it, computer B
records its own; Syncthing (on loopback only: no discovery, relays, NAT traversal or usage
reporting) carries each computer's days to the other, and B's kestrum-report --history --device
all --by app equals A's own totals plus B's, to the millisecond. Then A forgets more, and B's
totals follow once Syncthing has carried the change.

Usage: two_computers_test.py KESTRUM_REPLAY KESTRUM_REPORT
"""

import csv
import io
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

REPLAY, REPORT = sys.argv[1], sys.argv[2]
WAIT_SECONDS = 180
DAY = "2026-01-05"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def kestrum_env(home):
    env = dict(os.environ)
    env.update(HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_DATA_HOME=home + "/.local/share", TZ="Europe/Berlin")
    return env


def replay(home, lines):
    path = os.path.join(home, "scenario.jsonl")
    with open(path, "w") as f:
        f.write("\n".join(json.dumps(line) for line in lines) + "\n")
    run = subprocess.run([REPLAY, "--home", home, path], env=kestrum_env(home), capture_output=True, text=True, timeout=120)
    assert run.returncode == 0, f"kestrum-replay failed on {home}: {run.stderr}"


def totals(home, device):
    run = subprocess.run([REPORT, "--history", "--from", DAY, "--by", "app", "--csv", "--device", device], env=kestrum_env(home),
                         capture_output=True, text=True, timeout=60)
    assert run.returncode == 0, f"kestrum-report --device {device} failed on {home}: {run.stderr}"
    return {row["application"]: float(row["seconds"]) for row in csv.DictReader(io.StringIO(run.stdout))}


def summed(a, b):
    result = dict(a)
    for name, seconds in b.items():
        result[name] = result.get(name, 0.0) + seconds
    return {name: seconds for name, seconds in result.items() if abs(seconds) >= 0.0005}


def morning(settings, apps, forget=None):
    lines = [{"wall": DAY + "T09:00:00"}, {"at": 0, "settings": settings}, {"at": 0, "button": True}]
    at = 0
    for i in range(24):
        name = apps[i % len(apps)]
        lines.append({"at": at, "front": {"name": name, "pid": 100 + i % len(apps)}})
        lines.append({"at": at, "input": True})
        at += 150 + 7 * i
    if forget:
        lines.append({"at": at, "forget": forget})
    lines.append({"at": at + 30, "end": True})
    return lines


class Syncthing:
    def __init__(self, root, name, folder):
        self.home = os.path.join(root, "syncthing-" + name)
        self.folder = folder
        self.listen = free_port()
        self.gui = free_port()
        subprocess.run(["syncthing", "generate", "--home=" + self.home, "--no-default-folder"], check=True, capture_output=True)
        self.id = subprocess.run(["syncthing", "serve", "--home=" + self.home, "--device-id"], check=True, capture_output=True,
                                 text=True).stdout.strip()
        self.process = None

    def configure(self, other):
        path = os.path.join(self.home, "config.xml")
        tree = ET.parse(path)
        root = tree.getroot()
        options = root.find("options")
        for key, value in {"listenAddress": f"tcp://127.0.0.1:{self.listen}", "globalAnnounceEnabled": "false",
                           "localAnnounceEnabled": "false", "relaysEnabled": "false", "natEnabled": "false", "urAccepted": "-1",
                           "startBrowser": "false", "autoUpgradeIntervalH": "0", "crashReportingEnabled": "false",
                           "reconnectionIntervalS": "1"}.items():
            options.find(key).text = value
        root.find("gui").find("address").text = f"127.0.0.1:{self.gui}"
        peer = ET.SubElement(root, "device", id=other.id, name="peer", compression="metadata", introducer="false")
        ET.SubElement(peer, "address").text = f"tcp://127.0.0.1:{other.listen}"
        shared = ET.Element("folder", id="kestrum", label="Kestrum", path=self.folder, type="sendreceive", rescanIntervalS="2",
                            fsWatcherEnabled="true", fsWatcherDelayS="1")
        for device in (self.id, other.id):
            ET.SubElement(shared, "device", id=device)
        root.insert(0, shared)
        tree.write(path)

    def start(self):
        log = open(os.path.join(self.home, "log.txt"), "w")
        self.process = subprocess.Popen(["syncthing", "serve", "--home=" + self.home, "--no-browser", "--no-restart", "--no-upgrade"],
                                        stdout=log, stderr=subprocess.STDOUT, env=dict(os.environ, STNODEFAULTFOLDER="1"))

    def stop(self):
        if self.process:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()

    def log(self):
        with open(os.path.join(self.home, "log.txt")) as f:
            return f.read()[-3000:]


def manifest_of(folder, device):
    try:
        with open(os.path.join(folder, "devices", device, "manifest.json")) as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def carried(source, target, device):
    """Whether `target` holds every day of `device` that `source` holds, byte for byte."""
    want = manifest_of(source, device)
    if not want or manifest_of(target, device) != want:
        return False
    for day in want["days"]:
        name = os.path.join("devices", device, "days", day + ".jsonl")
        try:
            with open(os.path.join(source, name), "rb") as a, open(os.path.join(target, name), "rb") as b:
                if a.read() != b.read():
                    return False
        except OSError:
            return False
    return True


def wait_for(what, condition, syncthings):
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.5)
    logs = "\n".join(f"--- {s.home}\n{s.log()}" for s in syncthings)
    raise AssertionError(f"waited {WAIT_SECONDS} s for {what}; Syncthing said:\n{logs}")


def device_id(home):
    with open(os.path.join(home, ".local/share/Kestrum/device.json")) as f:
        return json.load(f)["id"]


def expect_sum(all_computers, a, b, what):
    expected = summed(a, b)
    assert set(all_computers) == set(expected), f"{what}: {all_computers} is not {expected}"
    for name, seconds in expected.items():
        assert abs(all_computers[name] - seconds) < 0.0005, f"{what}: {name} is {all_computers[name]}, not {seconds}"


def main():
    root = tempfile.mkdtemp(prefix="kestrum-syncthing-")
    syncthings = []
    try:
        homes = {name: os.path.join(root, "home-" + name) for name in "AB"}
        folders = {name: os.path.join(root, "shared-" + name) for name in "AB"}
        for name in "AB":
            os.makedirs(homes[name])
            os.makedirs(os.path.join(folders[name], ".stfolder"))

        replay(homes["A"], morning({"sharedFolder": folders["A"], "deviceName": "Laptop", "minutesUntilIdle": 5},
                                   ["Editor", "Terminal", "Browser"],
                                   forget={"from": DAY + "T09:30:00", "to": DAY + "T10:00:00", "application": "Terminal"}))
        replay(homes["B"], morning({"sharedFolder": folders["B"], "deviceName": "Desktop", "minutesUntilIdle": 5},
                                   ["Editor", "Mail"]))
        a_id, b_id = device_id(homes["A"]), device_id(homes["B"])
        assert a_id != b_id

        a, b = Syncthing(root, "A", folders["A"]), Syncthing(root, "B", folders["B"])
        syncthings = [a, b]
        a.configure(b)
        b.configure(a)
        a.start()
        b.start()
        wait_for("the laptop's days to reach the desktop's folder", lambda: carried(folders["A"], folders["B"], a_id), syncthings)
        wait_for("the desktop's days to reach the laptop's folder", lambda: carried(folders["B"], folders["A"], b_id), syncthings)

        a_own, b_own = totals(homes["A"], "this"), totals(homes["B"], "this")
        assert "Terminal" in a_own and "Mail" in b_own and "Mail" not in a_own
        expect_sum(totals(homes["B"], "all"), a_own, b_own, "the desktop's all-computers totals")
        expect_sum(totals(homes["A"], "all"), a_own, b_own, "the laptop's all-computers totals")
        assert totals(homes["B"], "Laptop") == a_own

        # The laptop forgets its browser's morning: the change travels, and the totals follow it.
        with open(os.path.join(homes["A"], "forget.jsonl"), "w") as f:
            f.write(json.dumps({"wall": DAY + "T13:00:00"}) + "\n")
            f.write(json.dumps({"at": 0, "forget": {"from": DAY + "T09:00:00", "to": DAY + "T12:00:00", "application": "Browser"}}) + "\n")
        run = subprocess.run([REPLAY, "--home", homes["A"], os.path.join(homes["A"], "forget.jsonl")], env=kestrum_env(homes["A"]),
                             capture_output=True, text=True, timeout=120)
        assert run.returncode == 0, run.stderr
        a_after = totals(homes["A"], "this")
        assert "Browser" not in a_after, a_after
        wait_for("the laptop's forgetting to reach the desktop's folder", lambda: carried(folders["A"], folders["B"], a_id), syncthings)
        expect_sum(totals(homes["B"], "all"), a_after, b_own, "the desktop's totals after the laptop forgot")

        # Neither Kestrum wrote into the other's folder.
        for folder, other in ((folders["A"], b_id), (folders["B"], a_id)):
            assert not [n for n in os.listdir(os.path.join(folder, "devices", other, "days")) if "sync-conflict" in n]
        print("two computers, one history: the totals agree")
    finally:
        for s in syncthings:
            s.stop()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
