#!/usr/bin/python3
"""End-to-end tests of `corvelnmea --headless`: the program run as a chart-plotter developer's CI
runs it. Usage: headless_test.py PATH_TO_CORVELNMEA TEST_NAME"""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

EXE = sys.argv[1]
START = ["--start", "2026-12-10T09:30:00"]
SENTENCE = re.compile(rb"^\$[A-Z]{5},[\x20-\x7e]*\*[0-9A-F]{2}$")
STAMPED = re.compile(rb"^NMEA183:\d{4}-\d\d-\d\dZ\d\d:\d\d:\d\d\.\d{3}:\$[A-Z]{5},[\x20-\x7e]*\*[0-9A-F]{2}$")


def run(*args, timeout=600):
    return subprocess.run([EXE, "--headless", *args], capture_output=True, timeout=timeout)


def checksum_ok(line: bytes) -> bool:
    body, _, given = line[1:].partition(b"*")
    value = 0
    for b in body:
        value ^= b
    return b"%02X" % value == given


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def test_reproducible():
    """With --fast and --start, the same command twice gives the same bytes."""
    a = run("--fast", "--duration", "900", *START)
    b = run("--fast", "--duration", "900", *START)
    if a.returncode != 0 or b.returncode != 0:
        fail(f"exit codes {a.returncode} {b.returncode}: {a.stderr!r}")
    if a.stdout != b.stdout:
        fail("two identical runs gave different output")
    lines = a.stdout.split(b"\r\n")
    if lines[-1] != b"":
        fail("the output does not end with CR LF")
    lines = lines[:-1]
    # 900 s: 300 runs of each group, 9 + 9 or 10 + 11 sentences.
    if not 8700 <= len(lines) <= 8800:
        fail(f"{len(lines)} sentences in 900 simulated seconds")
    for line in lines:
        if not SENTENCE.match(line) or not checksum_ok(line) or len(line) - 3 > 80:
            fail(f"malformed sentence {line!r}")


def test_stop_signal():
    """SIGTERM (and SIGINT) end a real-time run cleanly: exit 0, whole lines, complete logs."""
    for sig in (signal.SIGTERM, signal.SIGINT):
        with tempfile.TemporaryDirectory() as d:
            raw, stamped = os.path.join(d, "raw.txt"), os.path.join(d, "stamped.txt")
            p = subprocess.Popen([EXE, "--headless", "--stdout", "--log", raw, "--log-stamped", stamped],
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            time.sleep(3.5)
            p.send_signal(sig)
            out, err = p.communicate(timeout=20)
            if p.returncode != 0:
                fail(f"{sig!r}: exit code {p.returncode}, stderr {err!r}")
            lines = out.split(b"\r\n")
            if lines[-1] != b"" or len(lines) < 10:
                fail(f"{sig!r}: output not ending on a whole sentence ({len(lines)} lines)")
            for line in lines[:-1]:
                if not SENTENCE.match(line):
                    fail(f"{sig!r}: broken sentence {line!r}")
            for path, pattern in ((raw, SENTENCE), (stamped, STAMPED)):
                data = open(path, "rb").read()
                if not data.endswith(b"\r\n"):
                    fail(f"{sig!r}: {path} does not end with a whole line")
                log_lines = data.split(b"\r\n")[:-1]
                if len(log_lines) != len(lines) - 1:
                    fail(f"{sig!r}: {path} has {len(log_lines)} lines, stdout {len(lines) - 1}")
                for line in log_lines:
                    if not pattern.match(line):
                        fail(f"{sig!r}: bad log line {line!r}")


def test_logs_stream_while_running():
    """--log writes as the log grows, not at the end."""
    with tempfile.TemporaryDirectory() as d:
        raw = os.path.join(d, "raw.txt")
        p = subprocess.Popen([EXE, "--headless", "--log", raw], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        time.sleep(4.5)
        size = os.path.getsize(raw) if os.path.exists(raw) else 0
        p.terminate()
        p.communicate(timeout=20)
        if size == 0:
            fail("the raw log was still empty after four seconds of sentences")


def test_bad_arguments():
    """Bad options: one clear line on standard error and a non-zero exit code."""
    cases = [
        (["--nope"], 2, "option inconnue"),
        (["--duration", "abc"], 2, "durée invalide"),
        (["--duration"], 2, "attend une valeur"),
        (["--start", "2026-13-01T00:00:00"], 2, "heure de départ invalide"),
        (["--tcp", "10110"], 2, "pas encore disponible"),
        (["--fast", "--duration", "5", "--log", "/nonexistent-dir/x.txt"], 1, "impossible d'écrire"),
    ]
    for args, code, text in cases:
        r = run(*args, timeout=60)
        err = r.stderr.decode()
        if r.returncode != code or text not in err or err.count("\n") != 1:
            fail(f"{args}: exit {r.returncode}, stderr {err!r}")
    r = run("--help")
    if r.returncode != 0 or b"--duration" not in r.stdout:
        fail("--help")
    r = run("--version")
    if r.returncode != 0 or not r.stdout.startswith(b"corvelnmea "):
        fail("--version")


def test_independent_parser_reads_a_day():
    """Every line of 24 simulated hours parses with pynmea2, checksums checked."""
    import pynmea2

    r = run("--fast", "--duration", "86400", *START, timeout=1800)
    if r.returncode != 0:
        fail(f"exit code {r.returncode}: {r.stderr!r}")
    lines = r.stdout.decode("latin-1").split("\r\n")[:-1]
    known = unknown = 0
    for line in lines:
        try:
            msg = pynmea2.parse(line, check=True)
        except pynmea2.nmea.SentenceTypeError:
            # A kind this parser does not know (DBK, ZTG): the frame and checksum still must hold.
            if not checksum_ok(line.encode("latin-1")):
                fail(f"bad checksum {line!r}")
            unknown += 1
            continue
        except Exception as e:  # noqa: BLE001 - any refusal fails the test
            fail(f"refused: {line!r}: {e}")
        # The parser's own reading of the position must hold where it has one.
        if hasattr(msg, "latitude") and getattr(msg, "lat", ""):
            lat, lon = msg.latitude, msg.longitude
            if not (-90 <= lat <= 90 and -180 <= lon <= 180):
                fail(f"position out of range: {line!r}")
        known += 1
    if len(lines) < 840000 or known < 0.9 * len(lines):
        fail(f"{len(lines)} lines, {known} parsed, {unknown} of unknown kinds")
    print(f"{len(lines)} sentences, {known} parsed by pynmea2, {unknown} of kinds it does not know")


if __name__ == "__main__":
    globals()["test_" + sys.argv[2]]()
    print("ok")
