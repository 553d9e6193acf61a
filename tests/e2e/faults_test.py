#!/usr/bin/python3
"""End-to-end tests of the injected faults and the replay of `corvelnmea --headless`, as the CI of a
chart plotter or a boat data server runs them. Usage: faults_test.py PATH_TO_CORVELNMEA TEST_NAME"""
import math
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import processes  # noqa: E402
from headless_test import (ENV, EXE, START, checksum_ok, connect, contiguous_in, datagrams_waiting,  # noqa: E402
                           fail, free_port, gpsd_reads_fixes, read_for, run)

# "NMEA183:2026-12-10Z09:30:01.000:" before each line of the time-stamped log.
STAMP = re.compile(rb"^NMEA183:(\d{4}-\d\d-\d\d)Z(\d\d):(\d\d):(\d\d)\.(\d{3}):")
STAMP_LENGTH = 32
MARK = " *** défaut injecté : ".encode()
MARKS = {kind: MARK + word.encode() for kind, word in [
    ("checksum", "somme de contrôle"), ("drop", "phrase supprimée"), ("truncate", "phrase tronquée"),
    ("duplicate", "phrase répétée"), ("garbage", "ligne parasite")]}
RATES = {"checksum": 0.05, "drop": 0.03, "truncate": 0.02, "duplicate": 0.04, "garbage": 0.01}


def lines_of(data: bytes):
    lines = data.split(b"\r\n")
    if lines[-1] != b"":
        fail(f"the output does not end with CR LF: {lines[-1][:60]!r}")
    return lines[:-1]


def faulty_run(d, name, seconds, faults, *extra):
    """A --fast run with faults: (standard output, raw log, stamped log) as bytes."""
    raw, stamped = os.path.join(d, name + ".raw"), os.path.join(d, name + ".hms")
    r = run("--fast", *START, "--duration", str(seconds), "--stdout", "--log", raw, "--log-stamped", stamped,
            "--faults", faults, *extra, timeout=1500)
    if r.returncode != 0 or r.stderr:
        fail(f"{faults}: exit {r.returncode}, stderr {r.stderr!r}")
    return r.stdout, open(raw, "rb").read(), open(stamped, "rb").read()


def unstamped(stamped: bytes):
    """The stamped log's lines without their stamps: (text sent, fault kind or None)."""
    out = []
    for line in lines_of(stamped):
        if not STAMP.match(line):
            fail(f"a stamped line without its stamp: {line[:60]!r}")
        text, kind = line[STAMP_LENGTH:], None
        for k, mark in MARKS.items():
            if text.endswith(mark):
                text, kind = text[:-len(mark)], k
        out.append((text, kind))
    return out


def test_fault_statistics():
    """A simulated day with every fault: each marked line carries the damage its mark names
    next to the sentence the clean run built, the raw log and standard output hold exactly what
    was sent, and each rate lies within six binomial standard deviations (+1) of its probability."""
    faults = ",".join(f"{k}={p}" for k, p in RATES.items()) + ",seed=2026"
    with tempfile.TemporaryDirectory() as d:
        out, raw, stamped = faulty_run(d, "faulty", 86400, faults)
        clean = lines_of(run("--fast", *START, "--duration", "86400", timeout=1500).stdout)
    if raw != out:
        fail("the raw log differs from standard output")
    entries = unstamped(stamped)
    counts = dict.fromkeys(RATES, 0)
    sent, i = [], 0
    for sentence in clean:
        if i >= len(entries):
            fail(f"the stamped log ends before sentence {sentence!r}")
        text, kind = entries[i]
        i += 1
        if kind == "duplicate":
            fail(f"a marked copy without its first: {text!r}")
        if kind is None and i < len(entries) and entries[i][1] == "duplicate":
            kind = "duplicate"
            if entries[i][0] != sentence:
                fail(f"the copy {entries[i][0]!r} of {sentence!r}")
            i += 1
            sent += [sentence, sentence]
        elif kind is None:
            if text != sentence:
                fail(f"{text!r} sent unmarked in place of {sentence!r}")
            sent.append(text)
        elif kind == "drop":
            if text:
                fail(f"a dropped sentence left {text!r}")
        else:
            damaged = {
                "checksum": lambda t: (t[:-2] == sentence[:-2] and t != sentence and not checksum_ok(t)
                                       and re.fullmatch(rb"[0-9A-F]{2}", t[-2:])),
                "truncate": lambda t: 0 < len(t) < len(sentence) and sentence.startswith(t),
                "garbage": lambda t: 1 <= len(t) <= 80 and b"\r" not in t and b"\n" not in t,
            }[kind]
            if not damaged(text):
                fail(f"{kind}: {text!r} for {sentence!r}")
            sent.append(text)
        counts[kind or "none"] = counts.get(kind or "none", 0) + 1
    if i != len(entries) or sent != lines_of(out):
        fail(f"standard output is not what the stamped log says was sent ({i} of {len(entries)} entries)")
    n = len(clean)
    for kind, p in RATES.items():
        spread = 6 * math.sqrt(n * p * (1 - p)) + 1
        if abs(counts[kind] - n * p) > spread:
            fail(f"{kind}: {counts[kind]} of {n} sentences, expected {n * p:.0f} +- {spread:.0f}")
    print(f"{n} sentences: " + ", ".join(f"{k} {counts[k]}" for k in RATES))


def test_same_seed_same_bytes():
    """The same seed and start give the same bytes; another seed other bytes."""
    def output(seed):
        r = run("--fast", *START, "--duration", "600", "--faults", f"checksum=0.1,drop=0.1,garbage=0.05,seed={seed}")
        if r.returncode != 0:
            fail(f"seed {seed}: exit {r.returncode}, {r.stderr!r}")
        return r.stdout
    first = output(5)
    if output(5) != first:
        fail("the same seed gave different bytes")
    if output(6) == first:
        fail("another seed gave the same bytes")


def test_fault_list_refused():
    """A bad list: exit 2, one line naming the bad item."""
    cases = [
        ("checksum=2", "probabilité invalide dans --faults : « checksum=2 »"),
        ("drop=0.1,dorp=0.1", "défaut inconnu dans --faults : « dorp=0.1 »"),
        ("drop", "valeur manquante dans --faults : « drop »"),
        ("drop=0.1,drop=0.2", "défaut donné deux fois dans --faults : « drop=0.2 »"),
        ("nofix=10", "perte de position invalide dans --faults : « nofix=10 »"),
        ("seed=x", "graine invalide dans --faults : « seed=x »"),
        ("drop=0.7,garbage=0.7", "dépassent 1 au total : « drop=0.7,garbage=0.7 »"),
        ("drop=0.1,", "élément vide dans --faults"),
    ]
    for faults, text in cases:
        r = run("--fast", "--duration", "5", "--faults", faults, timeout=60)
        err = r.stderr.decode()
        if r.returncode != 2 or text not in err or err.count("\n") != 1 or r.stdout:
            fail(f"{faults}: exit {r.returncode}, stderr {err!r}")


def seconds_of(stamp_match):
    h, m, s = (int(stamp_match.group(i)) for i in (2, 3, 4))
    return (h - 9) * 3600 + (m - 30) * 60 + s  # after START's 09:30:00


def test_nofix_window():
    """nofix=40:30: from 40 s to 70 s the position receiver has no fix (RMC and GLL V, GGA 0, GSA
    1, VTG N, RMB V, APB V, BWC N, nothing measured from the boat), read by pynmea2; before and
    after, every sentence is the clean run's."""
    import pynmea2

    with tempfile.TemporaryDirectory() as d:
        _, _, stamped = faulty_run(d, "nofix", 100, "nofix=40:30")
        clean_stamped = os.path.join(d, "clean.hms")
        run("--fast", *START, "--duration", "100", "--log-stamped", clean_stamped)
        clean = lines_of(open(clean_stamped, "rb").read())
    lines = lines_of(stamped)
    if len(lines) != len(clean):
        fail(f"{len(lines)} lines with the window, {len(clean)} without")
    seen = set()
    for line, reference in zip(lines, clean):
        second = seconds_of(STAMP.match(line))
        sentence = line[STAMP_LENGTH:].decode()
        if not checksum_ok(sentence.encode()):
            fail(f"bad checksum {sentence!r}")
        if not 40 <= second < 70:
            if line != reference:
                fail(f"at {second} s: {line!r} instead of {reference!r}")
            continue
        kind = sentence[3:6]
        seen.add(kind)
        if kind in ("ZTG", "DBK"):  # kinds pynmea2 does not know
            continue
        m = pynmea2.parse(sentence, check=True)
        expected = {
            "RMC": lambda: m.status == "V" and m.data[11] == "N" and not m.lat and not m.spd_over_grnd,
            "GLL": lambda: m.status == "V" and m.faa_mode == "N" and not m.lat,
            "GGA": lambda: m.gps_qual == 0 and m.num_sats == "00" and not m.lat and not m.lon,
            "GSA": lambda: m.mode_fix_type == "1" and not m.sv_id01 and not m.pdop,
            "VTG": lambda: m.faa_mode == "N" and not m.true_track and not m.spd_over_grnd_kts,
            "RMB": lambda: (m.status == "V" and not m.dest_range and not m.dest_true_bearing
                            and m.dest_lat and m.dest_waypoint_id and not m.origin_waypoint_id),
            "APB": lambda: m.status_gen == "V" and m.status_cycle_lock == "V" and not m.bearing_pres_dest,
            "BWC": lambda: m.data[12] == "N" and not m.range_next and not m.true_track and m.lat_next,
            "BWR": lambda: not m.range_next and not m.true_track and m.lat_next,
            "WCV": lambda: not m.velocity,
        }.get(kind)
        if expected and not expected():
            fail(f"at {second} s without a fix: {sentence!r}")
    missing = {"RMC", "GLL", "GGA", "GSA", "VTG", "RMB", "APB", "BWC", "BWR"} - seen
    if missing:
        fail(f"no {sorted(missing)} in the window")


def replay(*args, timeout=600):
    r = run(*args, timeout=timeout)
    counts = re.fullmatch(r"corvelnmea: rejeu terminé : (\d+) phrases? envoyées?, (\d+) lignes? ignorées?\n",
                          r.stderr.decode())
    if r.returncode != 0 or not counts:
        fail(f"{args}: exit {r.returncode}, stderr {r.stderr!r}")
    return r.stdout, int(counts.group(1)), int(counts.group(2))


def test_replay_stamped_log():
    """A time-stamped log the program wrote (CR LF, or made LF) comes back sentence for sentence,
    in order, on standard output and in the raw log; the stamped log of the replay carries the wall
    time; a faulty log replays what was sent, its dropped and cut lines skipped and counted."""
    with tempfile.TemporaryDirectory() as d:
        stamped, lf, raw, again = (os.path.join(d, n) for n in ("run.hms", "lf.hms", "replay.raw", "replay.hms"))
        original = run("--fast", *START, "--duration", "900", "--log-stamped", stamped, "--stdout").stdout
        with open(lf, "wb") as f:
            f.write(open(stamped, "rb").read().replace(b"\r\n", b"\n"))
        n = len(lines_of(original))
        for path in (stamped, lf):
            began = time.time()
            out, sent, skipped = replay("--replay", path, "--fast", "--stdout", "--log", raw, "--log-stamped", again)
            if out != original or open(raw, "rb").read() != original or (sent, skipped) != (n, 0):
                fail(f"{path}: {sent} sent, {skipped} skipped, not the {n} recorded sentences")
            # The wall time of the replay (local time, as the log writes it), not the recorded one.
            ended = time.time()
            for line in lines_of(open(again, "rb").read()):
                stamp = time.mktime(time.strptime(line[8:27].decode(), "%Y-%m-%dZ%H:%M:%S"))
                if not began - 2 <= stamp <= ended + 2:
                    fail(f"the replay's stamped log does not carry the wall time: {line[:40]!r}")

        out, raw_faulty, faulty = faulty_run(d, "faulty", 900, "checksum=0.1,drop=0.05,truncate=0.05,duplicate=0.05,seed=3")
        replayed, sent, skipped = replay("--replay", os.path.join(d, "faulty.hms"), "--fast")
        entries = unstamped(faulty)
        kept = [text for text, kind in entries if kind not in ("drop", "truncate")]
        if replayed != b"".join(t + b"\r\n" for t in kept) or (sent, skipped) != (len(kept), len(entries) - len(kept)):
            fail(f"the faulty log replayed {sent} sentences and skipped {skipped}")


def test_replay_plain_file():
    """A plain NMEA file: the lines that are no sentences are skipped and counted, the others go in
    order, at --rate sentences a second (1 without it), or as fast as possible with --fast."""
    sentences = [b"$GPHDT,%d.00,T*00" % i for i in range(12)]
    junk = [b"", b"# a comment", b"GPHDT,1.00,T*00", b"$GPHDT,1.00,T", b"$GPHDT,1.00,T*0G", b"\x00\xff" * 3000,
            b"$GPHDT,1.00\x01,T*00"]
    body = b""
    for i, s in enumerate(sentences):
        body += s + b"\r\n" + (junk[i] + b"\n" if i < len(junk) else b"")
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "plain.nmea")
        open(path, "wb").write(body)
        expected = b"".join(s + b"\r\n" for s in sentences)
        began = time.monotonic()
        out, sent, skipped = replay("--replay", path, "--rate", "8")
        took = time.monotonic() - began
        if out != expected or (sent, skipped) != (len(sentences), len(junk)):
            fail(f"--rate 8: {sent} sent, {skipped} skipped: {out!r}")
        # 12 sentences at 8 a second: the last one 1.375 s after the first (loosely: no timed test).
        if took < 1.2:
            fail(f"12 sentences at --rate 8 took {took:.2f} s")
        out, sent, skipped = replay("--replay", path, "--fast")
        if out != expected or (sent, skipped) != (len(sentences), len(junk)):
            fail(f"--fast: {sent} sent, {skipped} skipped")
        # Lines ended by CR alone, LF or CR LF, and the three mixed, read alike.
        for ends in ([b"\r"], [b"\n"], [b"\r\n"], [b"\r", b"\n", b"\r\n"]):
            with open(path, "wb") as f:
                f.write(b"".join(s + ends[i % len(ends)] for i, s in enumerate(sentences)))
            out, sent, skipped = replay("--replay", path, "--fast")
            if out != expected or (sent, skipped) != (len(sentences), 0):
                fail(f"line ends {ends}: {sent} sent, {skipped} skipped")
        with open(path, "wb") as f:
            f.write(sentences[0] + b"\r\n" + sentences[1] + b"\r\n" + sentences[2] + b"\r\n")
        began = time.monotonic()
        replay("--replay", path)
        if time.monotonic() - began < 1.8:
            fail("three sentences at the default rate took less than two seconds")


def test_replay_real_time():
    """A recorded log of about three seconds takes about three seconds to replay in real time
    (loosely: at least two; bench/replay_timing.py measures the timing)."""
    with tempfile.TemporaryDirectory() as d:
        stamped = os.path.join(d, "run.hms")
        run("--fast", *START, "--duration", "4", "--log-stamped", stamped)
        began = time.monotonic()
        out, sent, _ = replay("--replay", stamped)
        took = time.monotonic() - began
        if not 2.0 <= took < 30 or sent != len(lines_of(out)) or sent < 30:
            fail(f"{sent} sentences over 3 recorded seconds replayed in {took:.2f} s")


def test_replay_refused():
    """Options that make no sense with a replay, a missing file, a log over the replayed file:
    exit 2 with one line saying why."""
    with tempfile.TemporaryDirectory() as d:
        path, fifo = os.path.join(d, "f.nmea"), os.path.join(d, "fifo")
        open(path, "wb").write(b"$GPHDT,1.00,T*00\r\n")
        os.mkfifo(fifo)  # no writer: opening it to read would wait
        cases = [
            (["--replay", path, "--do", "10:VIRER"], "--do ne s'emploie pas avec --replay"),
            (["--replay", path, "--config", path], "--config ne s'emploie pas avec --replay"),
            (["--replay", path, *START], "--start ne s'emploie pas avec --replay"),
            (["--replay", path, "--duration", "10"], "--duration ne s'emploie pas avec --replay"),
            (["--replay", path, "--faults", "nofix=1:2"], "--faults nofix ne s'emploie pas avec --replay"),
            (["--replay", path, "--fast", "--rate", "5"], "--rate ne s'emploie pas avec --replay"),
            (["--rate", "5"], "--rate ne s'emploie qu'avec --replay"),
            (["--replay", path, "--rate", "0"], "cadence invalide : 0"),
            (["--replay", path, "--rate", "x"], "cadence invalide : x"),
            (["--replay", os.path.join(d, "none.nmea")], "fichier à rejouer introuvable ou illisible"),
            (["--replay", d], f"fichier à rejouer refusé : {d} (pas un fichier ordinaire)"),
            (["--replay", fifo], f"fichier à rejouer refusé : {fifo} (pas un fichier ordinaire)"),
            (["--replay", "/dev/zero"], "fichier à rejouer refusé : /dev/zero (pas un fichier ordinaire)"),
            (["--replay", path, "--log", path], "sont le même fichier"),
            (["--replay", path, "--replay", path], "donnée deux fois"),
        ]
        for args, text in cases:
            r = run(*args, timeout=60)
            err = r.stderr.decode()
            if r.returncode != 2 or text not in err or err.count("\n") != 1:
                fail(f"{args}: exit {r.returncode}, stderr {err!r}")
        if open(path, "rb").read() != b"$GPHDT,1.00,T*00\r\n":
            fail("a refused replay changed its file")


def catches(pid, sig) -> bool:
    """Whether the process has set a handler for the signal."""
    with open(f"/proc/{pid}/status") as f:
        caught = next(int(line.split()[1], 16) for line in f if line.startswith("SigCgt:"))
    return bool(caught >> (sig - 1) & 1)


def test_replay_stops_on_signal():
    """SIGTERM ends a real-time replay at once, exit 0: one reading a huge sparse file (gigabytes of
    zeros, no line end), and one sending a log whose stamps repeat or go back, all due at once."""
    with tempfile.TemporaryDirectory() as d:
        sparse, burst = os.path.join(d, "sparse.nmea"), os.path.join(d, "burst.hms")
        with open(sparse, "wb") as f:
            f.truncate(1 << 40)
        n = 200000
        with open(burst, "wb") as f:
            f.write(b"NMEA183:2026-12-10Z09:30:05.000:$GPHDT,0.00,T*00\r\n")
            f.write(b"NMEA183:2026-12-10Z09:30:00.000:$GPHDT,1.00,T*00\r\n" * (n - 1))
        for path in (sparse, burst):
            p = subprocess.Popen([EXE, "--headless", "--no-settings", "--replay", path], env=ENV,
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            try:
                if path == sparse:
                    first = b""
                    # Once its handler is set, the reading begins.
                    while p.poll() is None and not catches(p.pid, signal.SIGTERM):
                        time.sleep(0.05)
                    time.sleep(0.5)
                else:
                    first = os.read(p.stdout.fileno(), 65536)  # sending has begun
                p.send_signal(signal.SIGTERM)
                out, err = p.communicate(timeout=20)
            except subprocess.TimeoutExpired:
                fail(f"{path}: still running 20 s after SIGTERM")
            finally:
                p.kill()
                p.wait()
            counts = re.fullmatch(r"corvelnmea: rejeu terminé : (\d+) phrases? envoyées?, \d+ lignes? ignorées?\n",
                                  err.decode())
            sent = int(counts.group(1)) if counts else -1
            if p.returncode != 0 or not 0 <= sent < (1 if path == sparse else n) or \
                    len(lines_of(first + out)) != sent:
                fail(f"{path}: exit {p.returncode}, {sent} sent of {n}, stderr {err!r}")


def test_replay_with_faults():
    """--faults applies to a replay: the same seed spoils the same replayed sentences."""
    with tempfile.TemporaryDirectory() as d:
        stamped = os.path.join(d, "run.hms")
        clean = run("--fast", *START, "--duration", "300", "--log-stamped", stamped, "--stdout").stdout
        a, _, _ = replay("--replay", stamped, "--fast", "--faults", "checksum=0.2,seed=9")
        b, _, _ = replay("--replay", stamped, "--fast", "--faults", "checksum=0.2,seed=9")
        bad = [line for line in lines_of(a) if not checksum_ok(line)]
        n = len(lines_of(clean))
        if a != b or len(lines_of(a)) != n or abs(len(bad) - 0.2 * n) > 6 * math.sqrt(n * 0.2 * 0.8) + 1:
            fail(f"{len(bad)} bad checksums of {n} replayed sentences")


HEAVY = "checksum=0.1,drop=0.1,truncate=0.1,duplicate=0.1,garbage=0.1,seed=4"


def test_faults_on_every_output():
    """The links carry the faulty feed standard output carries: one UDP datagram per line sent, in
    order; a TCP client an unbroken run of its lines."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as receiver:
        receiver.bind(("127.0.0.255", 0))
        port = receiver.getsockname()[1]
        # 20 s: about 210 lines, within what the receiving buffer holds (256 datagrams here).
        r = run("--udp", f"127.0.0.1:{port}", "--stdout", "--fast", "--duration", "20", *START, "--faults", HEAVY,
                timeout=60)
        if r.returncode != 0 or r.stderr:
            fail(f"exit {r.returncode}, stderr {r.stderr!r}")
        datagrams = datagrams_waiting(receiver)
    lines = lines_of(r.stdout)
    if datagrams != lines or sum(not checksum_ok(line) for line in lines) < 0.2 * len(lines):
        fail(f"{len(datagrams)} datagrams for {len(lines)} faulty lines")

    port = free_port()
    p = subprocess.Popen([EXE, "--headless", "--no-settings", "--tcp", f"127.0.0.1:{port}", "--stdout",
                          "--duration", "6", *START, "--faults", HEAVY], stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, env=ENV)
    try:
        client = connect(port)
        received = read_for(client, 15)  # until the program ends and closes it
        out, err = p.communicate(timeout=20)
        client.close()
    finally:
        p.kill()
        p.wait()
    tcp = lines_of(received)
    if p.returncode != 0 or err or len(tcp) < 20 or not contiguous_in(tcp, lines_of(out)):
        fail(f"exit {p.returncode}, {len(tcp)} lines over TCP, not a run of standard output's")


def test_gpsd_reads_a_faulty_feed():
    """gpsd, reading the TCP server of a real-time run with 5 % of wrong checksums, still reports
    fixes (TPV mode 2 or 3) at the simulated position, 51 04.19 N 12 23.03 E."""
    port = free_port()
    gpsd_reads_fixes(["--duration", "50", "--tcp", f"127.0.0.1:{port}", "--faults", "checksum=0.05,seed=11"],
                     f"tcp://127.0.0.1:{port}", tcp_port=port)


if __name__ == "__main__":
    processes.main(globals(), 1800, {"gpsd_reads_a_faulty_feed": 90})
