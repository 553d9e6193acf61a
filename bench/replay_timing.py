#!/usr/bin/python3
"""The timing of a replay against the recorded one: a time-stamped log of SECONDS simulated seconds
is recorded (--fast), replayed in real time with the replay's own time-stamped log, and each
replayed sentence's wall instant (from the replay's first) is compared with its recorded instant
(from the recording's first); then a plain file at --rate. Prints the deviations in milliseconds.
Usage: bench/replay_timing.py [PATH_TO_CORVELNMEA] [SECONDS]"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

EXE = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "build", "bin", "corvelnmea")
SECONDS = int(sys.argv[2]) if len(sys.argv) > 2 else 30


def stamps(path):
    """Milliseconds of each line's stamp, from the first line's."""
    out = []
    for line in open(path, "rb").read().split(b"\r\n")[:-1]:
        t = time.strptime(line[8:27].decode(), "%Y-%m-%dZ%H:%M:%S")
        out.append(time.mktime(t) * 1000 + int(line[28:31]))
    return [s - out[0] for s in out]


def report(name, recorded, replayed, wall):
    late = [b - a for a, b in zip(recorded, replayed)]
    spread = sorted(abs(x) for x in late)
    print(f"{name}: {len(late)} sentences over {recorded[-1] / 1000:.1f} s recorded, replay took {wall:.2f} s; "
          f"deviation from the recorded instant: median {statistics.median(late):.1f} ms, "
          f"99th percentile {spread[int(0.99 * (len(spread) - 1))]:.0f} ms, largest {spread[-1]:.0f} ms")


def replay(args, log):
    began = time.monotonic()
    subprocess.run([EXE, "--headless", "--no-settings", *args, "--log-stamped", log], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.monotonic() - began


with tempfile.TemporaryDirectory() as d:
    recorded, replayed = os.path.join(d, "recorded.hms"), os.path.join(d, "replayed.hms")
    subprocess.run([EXE, "--headless", "--no-settings", "--fast", "--start", "2026-12-10T09:30:00", "--duration",
                    str(SECONDS), "--log-stamped", recorded], check=True)
    wall = replay(["--replay", recorded], replayed)
    report("stamped log", stamps(recorded), stamps(replayed), wall)

    plain = os.path.join(d, "plain.nmea")
    with open(plain, "wb") as f:
        f.write(b"".join(b"$GPHDT,%d.00,T*00\r\n" % i for i in range(SECONDS * 10)))
    wall = replay(["--replay", plain, "--rate", "10"], replayed)
    report("plain file at --rate 10", [i * 100 for i in range(SECONDS * 10)], stamps(replayed), wall)
