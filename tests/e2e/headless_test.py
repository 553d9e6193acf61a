#!/usr/bin/python3
"""End-to-end tests of `corvelnmea --headless`: the program run as a chart-plotter developer's CI
runs it. Usage: headless_test.py PATH_TO_CORVELNMEA TEST_NAME"""
import atexit
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import processes  # noqa: E402

EXE = sys.argv[1]
START = ["--start", "2026-12-10T09:30:00"]
SENTENCE = re.compile(rb"^\$[A-Z]{5},[\x20-\x7e]*\*[0-9A-F]{2}$")
STAMPED = re.compile(rb"^NMEA183:\d{4}-\d\d-\d\dZ\d\d:\d\d:\d\d\.\d{3}:\$[A-Z]{5},[\x20-\x7e]*\*[0-9A-F]{2}$")


# The program never sees the real user's home: HOME and the XDG folders point into a temporary
# folder of this run.
HOME = tempfile.mkdtemp(prefix="corvel-e2e-home-")
atexit.register(shutil.rmtree, HOME, True)
ENV = dict(os.environ, HOME=HOME, XDG_DATA_HOME=os.path.join(HOME, "share"),
           XDG_CONFIG_HOME=os.path.join(HOME, "config"), XDG_DOCUMENTS_DIR=os.path.join(HOME, "Documents"))


def run(*args, timeout=600, env=None, **kwargs):
    """The program without the settings file, for output that does not depend on the machine."""
    return subprocess.run([EXE, "--headless", "--no-settings", *args], capture_output=True, timeout=timeout,
                          env=env or ENV, **kwargs)


# The system's reasons in the messages, as this test writes them.
C_ENV = dict(ENV, LC_ALL="C")


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
            p = subprocess.Popen([EXE, "--headless", "--no-settings", "--stdout", "--log", raw, "--log-stamped",
                                  stamped], stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=ENV)
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
        p = subprocess.Popen([EXE, "--headless", "--no-settings", "--log", raw], stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, env=ENV)
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
        (["--tcp", "abc"], 2, "valeur invalide pour --tcp"),
        (["--tcp", "70000"], 2, "valeur invalide pour --tcp"),
        (["--udp", "192.168.1:10110"], 2, "valeur invalide pour --udp"),
        (["--udp", "192.168.1.4"], 2, "valeur invalide pour --udp"),
        (["--tcp", "127.0.0.1:10110", "--udp-crlf"], 2, "--udp-crlf demande --udp"),
        (["--serial", "/dev/ttyS0:fast"], 2, "valeur invalide pour --serial"),
        (["--serial", "/dev/ttyS0:1234"], 2, "débit invalide pour --serial"),
        (["--fast", "--duration", "5", "--log", "/nonexistent-dir/x.txt"], 1, "impossible d'écrire"),
        (["--config", "/nonexistent-dir/x.ini"], 2, "fichier de configuration introuvable"),
        (["--config"], 2, "attend une valeur"),
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


def test_headless_anywhere():
    """--headless may stand anywhere among the options, as an option and not as an option's value;
    -h and -V are --help and --version, in both modes."""
    common = ["--no-settings", "--fast", "--duration", "3", *START]
    reference = subprocess.run([EXE, "--headless", *common], capture_output=True, timeout=60, env=ENV)
    if reference.returncode != 0 or not reference.stdout:
        fail(f"--headless first: exit {reference.returncode}, stderr {reference.stderr!r}")
    orders = [
        ["--fast", "--headless", "--no-settings", "--duration", "3", *START],
        [*common, "--headless"],
        ["--no-settings", "--headless", "--fast", "--duration", "3", "--headless", *START],  # twice counts once
    ]
    for args in orders:
        r = subprocess.run([EXE, *args], capture_output=True, timeout=60, env=ENV)
        if r.returncode != 0 or r.stdout != reference.stdout or r.stderr:
            fail(f"{args}: exit {r.returncode}, stderr {r.stderr!r}")
    # A value that reads "--headless" is the option's value: here the name of the log.
    with tempfile.TemporaryDirectory() as folder:
        r = subprocess.run([EXE, *common, "--log", "--headless", "--headless"], capture_output=True, timeout=60,
                           env=ENV, cwd=folder)
        if r.returncode != 0 or not os.path.getsize(os.path.join(folder, "--headless")):
            fail(f"--log --headless: exit {r.returncode}, stderr {r.stderr!r}, files {os.listdir(folder)}")
    # The short options give what the long ones give, wherever --headless stands.
    def output(*args):
        r = subprocess.run([EXE, *args], capture_output=True, timeout=60, env=ENV)
        if r.returncode != 0 or r.stderr:
            fail(f"{args}: exit {r.returncode}, stderr {r.stderr!r}")
        return r.stdout
    window_help, headless_help, version = output("--help"), output("--headless", "--help"), output("--version")
    if b"-h, --help" not in headless_help or not window_help.endswith(headless_help):
        fail(f"--help: {window_help!r}")
    short = [
        (["-h"], window_help),
        (["--no-settings", "-h"], window_help),
        (["--headless", "-h"], headless_help),
        (["-h", "--headless"], headless_help),
        (["-V"], version),
        (["--headless", "-V"], version),
        (["-V", "--fast", "--headless"], version),
    ]
    for args, expected in short:
        if output(*args) != expected:
            fail(f"{args} differs from its long option")


def test_config_and_settings():
    """The settings file is read at start unless --no-settings; --config opens a file after it."""
    with tempfile.TemporaryDirectory() as home:
        env = dict(ENV, HOME=home, XDG_DATA_HOME=os.path.join(home, "share"))
        settings = os.path.join(home, "share", "CorvelNMEA", "CorvelNMEA.ini")
        os.makedirs(os.path.dirname(settings))
        with open(settings, "w") as f:
            f.write("[NMEA]\niDevPOS=EC\n[NavDATA]\niTWS=8\niTWD=20\niHDG=318\n")
        config = os.path.join(home, "sounder.ini")
        with open(config, "w") as f:
            f.write("[NMEA]\niSound=II\n")

        def talkers(*args):
            r = subprocess.run([EXE, "--headless", "--fast", "--duration", "3", *START, *args], capture_output=True,
                               timeout=60, env=env)
            if r.returncode != 0:
                fail(f"{args}: exit {r.returncode}, stderr {r.stderr!r}")
            lines = r.stdout.split(b"\r\n")[:-1]
            return {line[3:6]: line[1:3] for line in lines}

        with_settings = talkers()
        if with_settings.get(b"GLL") != b"EC" or with_settings.get(b"DPT") != b"SD":
            fail(f"settings not read: {with_settings}")
        if talkers("--no-settings").get(b"GLL") != b"GP":
            fail("--no-settings still read the settings file")
        both = talkers("--config", config)
        if both.get(b"GLL") != b"EC" or both.get(b"DPT") != b"II":
            fail(f"--config not opened after the settings: {both}")
        if not os.path.isdir(os.path.join(home, "share", "CorvelNMEA")):
            fail("the settings folder is gone")


def test_out_of_range_config():
    """A number out of its range in --config: one stderr line naming the file and the key, and the run
    goes on with the value kept; no field in exponent notation."""
    with tempfile.TemporaryDirectory() as folder:
        config = os.path.join(folder, "bad.ini")
        with open(config, "w") as f:
            f.write("[NavDATA]\niPOSLat=9000\niCUR=1e18\niTWS=7\niTWD=20\niHDG=318\n")
        r = run("--fast", "--duration", "20", *START, "--config", config, timeout=60)
        expected = (f"corvelnmea: Valeurs hors limites ignorées dans {config} : iCUR=1e18 (vitesse du courant de 0 à "
                    f"50 nœuds), iPOSLat=9000 (latitude de -89 à 89 degrés)\n")
        if r.returncode != 0 or r.stderr.decode() != expected:
            fail(f"exit {r.returncode}, stderr {r.stderr.decode()!r}")
        lines = r.stdout.split(b"\r\n")[:-1]
        if not lines or any(not SENTENCE.match(line) or re.search(rb"[0-9]E[-+]?[0-9]", line) for line in lines):
            fail(f"bad sentences: {lines[:5]!r}")
        gll = [line for line in lines if line[3:6] == b"GLL"]
        if not gll or not all(line.startswith(b"$GPGLL,5104.") and b",A,A*" in line for line in gll):
            fail(f"the designed latitude was not kept: {gll[:2]!r}")


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


def test_readme_sample():
    """The samples of the README's "What goes out" and of the help page's "Exemple" are what their
    command writes, byte for byte."""
    top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    readme = open(os.path.join(top, "README.md"), encoding="utf-8").read()
    section = readme.split("### What goes out", 1)[1].split("\n## ", 1)[0]
    help_page = open(os.path.join(top, "data", "Help", "CVN_Aide par rubrique.html"), encoding="utf-8").read()
    example = help_page.split('name="exemple"', 1)[1].split("<pre>\n", 1)[1].split("</pre>", 1)[0]
    r = run("--fast", "--duration", "3", "--start", "2026-06-01T08:00:00")
    output = r.stdout.decode().split("\r\n")[:-1]
    for name, sample in [("README", [line[4:] for line in section.splitlines() if line.startswith("    $")]),
                         ("help page", example.splitlines())]:
        if r.returncode != 0 or output != sample:
            fail(f"the {name}'s sample is not the output: exit {r.returncode}, {r.stdout[:200]!r}")


def sentences_of(kind: bytes, lines):
    return [line.split(b",") for line in lines if line[3:6] == kind]


def test_do_commands():
    """--do runs the window's commands at their instant of simulated time: a tack at 10 s puts the
    apparent wind on the other side; in STDBY the tiller at 20 turns the boat 5 degrees a second,
    until AUTO holds the heading again."""
    args = ("--fast", "--duration", "60", *START, "--do", "10:VIRER")
    a, b = run(*args), run(*args)
    if a.returncode != 0 or a.stderr:
        fail(f"tack: exit {a.returncode}, stderr {a.stderr!r}")
    if a.stdout != b.stdout:
        fail("two identical runs with --do gave different output")
    lines = a.stdout.split(b"\r\n")[:-1]
    for line in lines:
        if not SENTENCE.match(line) or not checksum_ok(line):
            fail(f"malformed sentence {line!r}")
    # VWR comes with group 3, at 2, 5, 8, 11 ... s: starboard before the tack, port once it is over.
    sides = [f[2] for f in sentences_of(b"VWR", lines)]
    changes = sum(1 for x, y in zip(sides, sides[1:]) if x != y)
    if sides[:3] != [b"R"] * 3 or set(sides[7:]) != {b"L"} or changes != 1:
        fail(f"apparent wind sides {sides}")

    r = run("--fast", "--duration", "30", *START, "--do", "5:STDBY", "--do", "6:BARRE=20", "--do", "20:AUTO")
    if r.returncode != 0 or r.stderr:
        fail(f"tiller: exit {r.returncode}, stderr {r.stderr!r}")
    # HDT comes with group 1, at 1, 4, 7 ... s.
    headings = [float(f[1]) for f in sentences_of(b"HDT", r.stdout.split(b"\r\n")[:-1])]
    turns = [round(before - after, 2) for before, after in zip(headings, headings[1:])]
    if turns[2:6] != [15.0] * 4 or set(turns[7:]) != {0.0}:
        fail(f"headings under the tiller {headings}")


def test_do_refused():
    """A bad --do is refused before the start (exit 2, one French line); a command whose control
    is disabled at its instant is reported and the run goes on."""
    cases = [
        (["--do", "10:VIRE"], "commande inconnue"),
        (["--do", "abc:VIRER"], "temps invalide"),
        (["--do", "-1:AUTO"], "temps invalide"),
        (["--do", "5:BARRE=31"], "position de barre invalide"),
        (["--do", "VIRER"], "attend TEMPS:COMMANDE"),
        (["--do"], "attend une valeur"),
    ]
    for args, text in cases:
        r = run("--fast", "--duration", "5", *args, timeout=60)
        err = r.stderr.decode()
        if r.returncode != 2 or text not in err or err.count("\n") != 1 or r.stdout:
            fail(f"{args}: exit {r.returncode}, stderr {err!r}")
    # In AUTO the tiller is disabled.
    r = run("--fast", "--duration", "5", *START, "--do", "2:BARRE=20", timeout=60)
    if r.returncode != 0 or "indisponible" not in r.stderr.decode() or not r.stdout:
        fail(f"disabled control: exit {r.returncode}, stderr {r.stderr!r}")
    # VIRER's control stays enabled during a pause, but the engine does not tack then; nor does it
    # bring the boat close-hauled during a tack.
    r = run("--fast", "--duration", "10", *START, "--do", "2:PAUSE", "--do", "3:VIRER", "--do", "4:REPRISE",
            "--do", "5:VIRER", "--do", "5.5:MEILLEUR_PRES", timeout=60)
    if r.returncode != 0 or r.stderr != "corvelnmea: --do 3:VIRER : commande indisponible à cet instant\n" \
            "corvelnmea: --do 5.5:MEILLEUR_PRES : commande indisponible à cet instant\n".encode():
        fail(f"refused by the engine: exit {r.returncode}, stderr {r.stderr!r}")


def test_french_locale():
    """Under a French locale (a comma before the decimals) the sentences and the messages keep their
    "." : the same bytes as under the C locale."""
    if "fr_FR.utf8" not in subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split():
        print("skip: no fr_FR.UTF-8 locale (scripts/setup.sh makes it)")
        return
    args = ["--fast", "--duration", "5", *START, "--do", "0.5:REPRISE"]  # refused: the run is not paused
    french = run(*args, timeout=60, env=dict(ENV, LC_ALL="fr_FR.UTF-8"))
    plain = run(*args, timeout=60, env=C_ENV)
    if french.returncode != 0 or b"--do 0.5:REPRISE" not in french.stderr:
        fail(f"exit {french.returncode}, stderr {french.stderr!r}")
    if (french.stdout, french.stderr) != (plain.stdout, plain.stderr) or not plain.stdout:
        fail("the French locale changed the output")


def free_port(kind=socket.SOCK_STREAM, address="127.0.0.1") -> int:
    """A port of `address` that nobody listens on now (TCP, or UDP with socket.SOCK_DGRAM)."""
    with socket.socket(socket.AF_INET, kind) as probe:
        probe.bind((address, 0))
        return probe.getsockname()[1]


def connect(port, deadline=10.0) -> socket.socket:
    """A client of the program's server, once it listens."""
    end = time.monotonic() + deadline
    while True:
        try:
            return socket.create_connection(("127.0.0.1", port), timeout=5)
        except OSError:
            if time.monotonic() > end:
                raise
            time.sleep(0.02)


def read_for(sock, seconds) -> bytes:
    """What arrives on `sock` during `seconds` (or until the server closes it)."""
    data, end = b"", time.monotonic() + seconds
    while time.monotonic() < end:
        sock.settimeout(max(0.01, end - time.monotonic()))
        try:
            chunk = sock.recv(65536)
        except socket.timeout:
            continue
        if not chunk:
            break
        data += chunk
    return data


def contiguous_in(part, whole) -> bool:
    return any(whole[i:i + len(part)] == part for i in range(len(whole) - len(part) + 1))


def test_tcp_clients():
    """--tcp with --stdout in real time: each sentence reaches the last connected client as one line
    ending in CR LF; a newer client takes over, the earlier one gets nothing more but stays
    connected; together they saw an unbroken run of what standard output saw."""
    port = free_port()
    p = subprocess.Popen([EXE, "--headless", "--no-settings", "--tcp", f"127.0.0.1:{port}", "--stdout",
                          "--duration", "8", *START], stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=ENV)
    try:
        first = connect(port)
        a = read_for(first, 3.5)
        second = connect(port)
        b = read_for(second, 10)  # until the program ends and closes it
        a += read_for(first, 0.5)
        out, err = p.communicate(timeout=20)
    finally:
        p.kill()
        p.wait()
    if p.returncode != 0 or err:
        fail(f"exit {p.returncode}, stderr {err!r}")
    stdout_lines = out.split(b"\r\n")[:-1]
    for name, data in (("first", a), ("second", b)):
        if not data.endswith(b"\r\n"):
            fail(f"{name} client: not whole lines: {data[-40:]!r}")
        lines = data.split(b"\r\n")[:-1]
        if len(lines) < 10:
            fail(f"{name} client: {len(lines)} lines")
        for line in lines:
            if not SENTENCE.match(line) or not checksum_ok(line):
                fail(f"{name} client: malformed line {line!r}")
    both = (a + b).split(b"\r\n")[:-1]
    if not contiguous_in(both, stdout_lines):
        fail("the two clients did not see an unbroken run of the sentences")
    first.close()
    second.close()


class LineClient:
    """A client of the control port: sends bytes, reads one answer line at a time (time-limited)."""

    def __init__(self, port):
        self.sock = connect(port)
        self.pending = b""

    def send(self, data: bytes):
        self.sock.sendall(data)

    def line(self, timeout=10.0) -> bytes:
        end = time.monotonic() + timeout
        while b"\r\n" not in self.pending:
            if time.monotonic() > end:
                fail(f"no answer within {timeout} s (so far {self.pending[-80:]!r})")
            self.sock.settimeout(max(0.01, end - time.monotonic()))
            try:
                chunk = self.sock.recv(65536)
            except socket.timeout:
                continue
            if not chunk:
                return b""  # closed by the program
            self.pending += chunk
        line, _, self.pending = self.pending.partition(b"\r\n")
        return line

    def ask(self, command: str) -> bytes:
        self.send(command.encode() + b"\n")
        return self.line()

    def state(self) -> dict:
        answer = self.ask("STATE")
        try:
            return json.loads(answer)
        except ValueError:
            fail(f"STATE did not answer one JSON object: {answer!r}")

    def close(self):
        self.sock.close()


STATE_KEYS = {"time", "lat", "lon", "HDG", "COG", "SOG", "BSP", "TWS", "TWD", "AWS", "AWA", "depth", "pilot",
              "manoeuvre", "tack", "paused", "replay"}


def stop(p):
    """SIGTERM, as CI ends a run without duration: exit 0 and nothing on standard error."""
    try:
        p.send_signal(signal.SIGTERM)
        _, err = p.communicate(timeout=30)
    finally:
        p.kill()
        p.wait()
    if p.returncode != 0 or err:
        fail(f"exit {p.returncode}, stderr {err!r}")


def wind_speeds(log: bytes, kind: bytes):
    """The wind speeds in knots of the log's MWD (true wind) or MWV (apparent wind) sentences, in order."""
    speeds = []
    for line in log.split(b"\r\n"):
        fields = line.split(b"*")[0].split(b",")
        if line[3:6] == kind:
            speeds.append(float(fields[5] if kind == b"MWD" else fields[3]))
    return speeds


def test_control_port():
    """--control in real time, driven as a navigation program's CI drives it: STATE before and after
    VIRER (the tack changes, the heading moved), SET TWS seen in STATE and in the MWV and MWD
    sentences, garbage, binary and over-long lines each answered once with ERR and the session going
    on, a fifth client refused while four are served, and a place again once one leaves."""
    port = free_port()
    with tempfile.TemporaryDirectory() as d:
        log = os.path.join(d, "raw.nmea")
        p = subprocess.Popen([EXE, "--headless", "--no-settings", "--control", f"127.0.0.1:{port}", "--log", log,
                              *START], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=ENV)
        clients = []
        try:
            c = LineClient(port)
            clients.append(c)
            before = c.state()
            if set(before) != STATE_KEYS or before["manoeuvre"] is not None or before["paused"]:
                fail(f"STATE before: {before}")
            if c.ask("VIRER") != b"OK":
                fail("VIRER refused")
            end = time.monotonic() + 90
            while True:
                after = c.state()
                if after["manoeuvre"] is None and after["tack"] != before["tack"]:
                    break
                if time.monotonic() > end:
                    fail(f"no new tack within 90 s: {after}")
                time.sleep(0.5)
            turned = abs((after["HDG"] - before["HDG"] + 180) % 360 - 180)
            if turned < 30 or after["time"] <= before["time"]:
                fail(f"the tack: before {before}, after {after}")

            if c.ask("SET TWS 25.5") != b"OK":
                fail("SET TWS refused")
            time.sleep(3.5)
            windy = c.state()
            if abs(windy["TWS"] - 25.5) > 3 or windy["paused"]:
                fail(f"STATE after SET TWS 25.5: {windy}")
            sentences = open(log, "rb").read()
            # The true wind of MWD, the apparent wind of MWV. The wind varies around the speed set,
            # from 0.44 to 1.3 times it, at any instant the sentences happen to be read: the true
            # wind after SET TWS 25.5 lies within 11.2 and 33.2 knots, above the 7.8 at most before.
            for kind, first in ((b"MWD", before["TWS"]), (b"MWV", before["AWS"])):
                speeds = wind_speeds(sentences, kind)
                if len(speeds) < 3 or abs(speeds[0] - first) > 3 or speeds[-1] < speeds[0] + 3 \
                        or (kind == b"MWD" and not 25.5 * 0.44 <= speeds[-1] <= 25.5 * 1.3 + 0.01):
                    fail(f"{kind.decode()} wind speeds do not follow SET TWS: {speeds[:3]} ... {speeds[-3:]}")

            # Garbage, each line answered once, in order, and the session goes on.
            garbage = [b"", b"   ", b"\x00\x01\xff\xfe binary", b"FOO", b"SET TWS nan", b"SET TWS 1e999",
                       b"SET TWS 500", b"SET POS 95 00.0 N 002 00.0 W", b"VIRER VIRER", b"A" * 5000,
                       b"STATE STATE", b"\xc3\xa9"]
            c.send(b"".join(g + b"\r\n" for g in garbage) + b"STATE\n")
            for g in garbage:
                answer = c.line()
                if not answer.startswith(b"ERR "):
                    fail(f"{g[:40]!r} answered {answer!r}")
            if set(json.loads(c.line())) != STATE_KEYS:
                fail("STATE after the garbage")

            # Four clients are served, a fifth is told and closed; one leaves, another is served.
            for _ in range(3):
                clients.append(LineClient(port))
            for other in clients[1:]:
                if other.ask("HDG") != b"ERR commande inconnue : HDG (VIRER, EMPANNER, MEILLEUR_PRES, AUTO, " \
                                        b"STDBY, +1, +10, -1, -10, BARRE=N, PAUSE, REPRISE, ALTERNE, CONSTANT, " \
                                        b"SET, STATE)":
                    fail("a second client is not served")
            fifth = LineClient(port)
            refused = fifth.line()
            if not refused.startswith(b"ERR ") or fifth.line() != b"":
                fail(f"the fifth client: {refused!r}, and not closed")
            fifth.close()
            clients.pop().close()
            time.sleep(0.3)
            again = LineClient(port)
            clients.append(again)
            if set(again.state()) != STATE_KEYS:
                fail("no place again once a client left")
        finally:
            for client in clients:
                client.close()
            stop(p)


def test_control_port_fast():
    """--control with --fast: the simulation runs ahead of the client, which still gets an answer to
    each command; an address other than the loopback is taken only when given; a port in use is
    refused with exit 1."""
    port = free_port()
    p = subprocess.Popen([EXE, "--headless", "--no-settings", "--fast", "--control", str(port), *START],
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=ENV)
    try:
        c = LineClient(port)
        first = c.state()
        time.sleep(1)
        if c.ask("SET HDG 200") != b"OK" or c.ask("PAUSE") != b"OK":
            fail("SET or PAUSE refused")
        paused = c.state()
        time.sleep(0.5)
        still = c.state()
        # The run's clock goes on during a pause (as --do counts it); the boat does not.
        if not paused["paused"] or paused["time"] < first["time"] + 60 or still["time"] <= paused["time"] \
                or (still["lat"], still["lon"]) != (paused["lat"], paused["lon"]):
            fail(f"fast run: {first} then {paused} paused, {still} later")
        if c.ask("REPRISE") != b"OK" or abs(c.state()["HDG"] - 200) > 5:
            fail("REPRISE did not take the heading set")
        c.close()
        with socket.socket() as taken:
            taken.bind(("127.0.0.1", 0))
            taken.listen()
            r = run("--control", str(taken.getsockname()[1]), "--duration", "1", timeout=60)
        if r.returncode != 1 or b"port de commande" not in r.stderr:
            fail(f"a port in use: exit {r.returncode}, stderr {r.stderr!r}")
        r = run("--control", "localhost:10110", timeout=60)
        if r.returncode != 2 or b"--control" not in r.stderr:
            fail(f"a host name: exit {r.returncode}, stderr {r.stderr!r}")
    finally:
        stop(p)


def test_control_port_addresses():
    """--control listens only on an address of this machine: a multicast, broadcast or other
    machine's address is refused (exit 2, one line naming it); every address (0.0.0.0) is taken
    with one warning that anyone on the network can steer the boat; the loopback says nothing."""
    port = free_port()
    for address in ["224.0.0.1", "255.255.255.255", "192.0.2.1"]:
        r = run("--fast", "--duration", "1", "--control", f"{address}:{port}", timeout=60)
        err = r.stderr.decode()
        if r.returncode != 2 or err != f"corvelnmea: adresse refusée pour --control : {address} n'est pas une " \
                "adresse de cette machine (127.0.0.1, 0.0.0.0 pour toutes ses adresses, ou l'adresse d'une de ses " \
                "interfaces)\n" or r.stdout:
            fail(f"{address}: exit {r.returncode}, stderr {err!r}")
    for address, warning in [("0.0.0.0", f"corvelnmea: attention : le port de commande écoute sur 0.0.0.0:{port}, "
                                         "sans authentification : n'importe qui sur le réseau peut piloter le "
                                         "bateau\n"), ("127.0.0.1", "")]:
        r = run("--fast", "--duration", "1", "--control", f"{address}:{port}", timeout=60)
        if r.returncode != 0 or r.stderr.decode() != warning or not r.stdout:
            fail(f"{address}: exit {r.returncode}, stderr {r.stderr!r}")


def test_control_port_replay():
    """--control during --replay: STATE says it is a replay, every command and SET is refused, as
    nothing is simulated; the replay goes on to its end."""
    port = free_port()
    with tempfile.TemporaryDirectory() as d:
        recorded = os.path.join(d, "traces.nmea")
        with open(recorded, "wb") as f:
            f.write(b"$GPZDA,060003.00,01,06,2026,-2,0*4D\r\n" * 8)
        p = subprocess.Popen([EXE, "--headless", "--no-settings", "--replay", recorded, "--rate", "4", "--control",
                              str(port)], stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=ENV)
        try:
            c = LineClient(port)
            if c.ask("STATE") != b'{"replay":true}':
                fail("STATE during a replay")
            for command in ["VIRER", "AUTO", "PAUSE", "SET TWS 10", "SET WP Brest 48 22.5 N 004 30.0 W"]:
                answer = c.ask(command)
                if answer != f"ERR rejeu en cours : aucun bateau n'est simulé, {command.split()[0]} est sans " \
                             "objet".encode():
                    fail(f"{command} during a replay: {answer!r}")
            c.close()
            out, err = p.communicate(timeout=30)
        finally:
            p.kill()
            p.wait()
    if p.returncode != 0 or out.count(b"$GPZDA") != 8 or err != "corvelnmea: rejeu terminé : 8 phrases envoyées, " \
            "0 ligne ignorée\n".encode():
        fail(f"the replay: exit {p.returncode}, {len(out)} bytes out, stderr {err!r}")


def memory_kib(pid, key="VmRSS") -> int:
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


# Under AddressSanitizer freed memory is held back (256 MB by default) before it is used again: a
# measure of the program's own memory wants it given back at once.
FREES_AT_ONCE = dict(ENV, ASAN_OPTIONS=":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "quarantine_size_mb=1"])))


def test_tcp_all():
    """--tcp-all: three clients on loopback, one of which never reads, while a --fast run sends
    (paused at the start by --do and resumed by the control port once they are connected, paused
    again before the end): the two readers each get every sentence of the log, in order; the one
    that never reads is closed by the program; nothing waits for it and the program's memory does
    not grow with what it did not read."""
    port, cport = free_port(), free_port()
    with tempfile.TemporaryDirectory() as d:
        log = os.path.join(d, "raw.nmea")
        p = subprocess.Popen([EXE, "--headless", "--no-settings", "--fast", "--tcp", f"127.0.0.1:{port}", "--tcp-all",
                              "--control", str(cport), "--log", log, "--do", "0:PAUSE", *START],
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=FREES_AT_ONCE)
        received = [bytearray(), bytearray()]
        readers, sockets = [], []
        try:
            control = LineClient(cport)
            sockets.append(control.sock)
            if not control.state()["paused"]:
                fail("not paused by --do 0:PAUSE")
            idle = socket.socket()
            idle.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            idle.connect(("127.0.0.1", port))
            sockets.append(idle)

            def read_all(sock, into):
                while True:
                    try:
                        chunk = sock.recv(1 << 20)
                    except OSError:
                        return
                    if not chunk:
                        return
                    into += chunk

            for into in received:
                sock = connect(port)
                sockets.append(sock)
                sock.settimeout(None)
                readers.append(threading.Thread(target=read_all, args=(sock, into), daemon=True))
                readers[-1].start()
            time.sleep(0.5)
            if control.ask("REPRISE") != b"OK":
                fail("REPRISE refused")
            # Memory once the run is under way, and again some megabytes later.
            early = late = 0
            end = time.monotonic() + 60
            while time.monotonic() < end:
                written = os.path.getsize(log) if os.path.exists(log) else 0
                if not early and written >= 2_000_000:
                    early = memory_kib(p.pid)
                if written >= 16_000_000:
                    late = memory_kib(p.pid)
                    break
                time.sleep(0.05)
            if control.ask("PAUSE") != b"OK":
                fail("PAUSE refused")
            # Once the readers have had everything, nothing more comes.
            sizes, end = None, time.monotonic() + 30
            while sizes != [len(r) for r in received] and time.monotonic() < end:
                sizes = [len(r) for r in received]
                time.sleep(0.5)
            idle.settimeout(10)
            got, closed = b"", False
            try:
                while True:
                    chunk = idle.recv(1 << 20)
                    if not chunk:
                        closed = True
                        break
                    got += chunk
            except ConnectionResetError:
                closed = True
            except socket.timeout:
                pass
        finally:
            for sock in sockets:
                sock.close()
            stop(p)
        sentences = open(log, "rb").read()
        if len(sentences) < 8_000_000:
            fail(f"only {len(sentences)} bytes sent: too few to fill what the idle client never read")
        for i, data in enumerate(received):
            if bytes(data) != sentences:
                fail(f"reader {i}: {len(data)} bytes, not the {len(sentences)} bytes of the log in order")
        if not closed or not sentences.startswith(got) or len(got) >= len(sentences):
            fail(f"the client that never reads: closed {closed}, {len(got)} bytes")
        if not late or late - early > 4 * 1024:
            fail(f"memory grew from {early} KiB to {late} KiB while a client did not read")


def test_tcp_port_taken():
    """A port already taken: one clear line on standard error, with Qt's reason in French, exit code
    1, nothing sent."""
    with socket.socket() as taken:
        taken.bind(("127.0.0.1", 0))
        taken.listen()
        port = taken.getsockname()[1]
        r = run("--tcp", f"127.0.0.1:{port}", "--stdout", "--fast", "--duration", "5", timeout=60)
    err = r.stderr.decode()
    if r.returncode != 1 or f"port {port} : L'adresse liée est déjà utilisée" not in err or err.count("\n") != 1 \
            or r.stdout:
        fail(f"exit {r.returncode}, stderr {err!r}, stdout {r.stdout[:80]!r}")


def datagrams_waiting(receiver):
    """The datagrams `receiver` holds, until none comes for half a second."""
    datagrams = []
    receiver.settimeout(0.5)
    try:
        while True:
            datagrams.append(receiver.recv(65536))
    except socket.timeout:
        return datagrams


def test_udp_datagrams():
    """--udp 127.0.0.1:PORT: one datagram per sentence to 127.0.0.255 (the broadcast address the
    dialog makes of it, a loopback address), in the order of standard output: the sentence alone,
    or with --udp-crlf the sentence followed by CR LF."""
    for extra, end in [([], b""), (["--udp-crlf"], b"\r\n")]:
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as receiver:
            receiver.bind(("127.0.0.255", 0))
            port = receiver.getsockname()[1]
            r = run("--udp", f"127.0.0.1:{port}", *extra, "--stdout", "--fast", "--duration", "10", *START, timeout=60)
            if r.returncode != 0 or r.stderr:
                fail(f"{extra}: exit {r.returncode}, stderr {r.stderr!r}")
            datagrams = datagrams_waiting(receiver)
        lines = r.stdout.split(b"\r\n")[:-1]
        if len(lines) < 90 or datagrams != [line + end for line in lines]:
            fail(f"{extra}: {len(datagrams)} datagrams for {len(lines)} sentences: {datagrams[:2]!r} / {lines[:2]!r}")


def gpsd_program():
    """The path of gpsd, or None when it is not installed."""
    return shutil.which("gpsd") or ("/usr/sbin/gpsd" if os.access("/usr/sbin/gpsd", os.X_OK) else None)


# Where a run without settings sails during its first minute: 51 04.19 N 12 23.03 E, in degrees.
FIRST_MINUTE = (51.0698, 12.3839)


def gpsd_reports(gpsd, source, deadline, enough):
    """gpsd in the foreground reading `source` (tcp://... or udp://...), with its client port on
    127.0.0.1, its control socket in a temporary folder and its warnings on (-D 1): its JSON reports
    until enough(reports) says so, and what it wrote on standard error. Fails when `deadline`
    (time.monotonic()) comes first; gpsd has ended when this returns."""
    gpsd_port = free_port()
    with tempfile.TemporaryDirectory() as d:
        p = subprocess.Popen([gpsd, "-N", "-n", "-D", "1", "-S", str(gpsd_port), "-F", os.path.join(d, "gpsd.sock"),
                              source], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        client, reports = None, []
        try:
            while client is None:
                try:
                    client = socket.create_connection(("127.0.0.1", gpsd_port), timeout=1)
                except OSError:
                    if time.monotonic() > deadline - 20 or p.poll() is not None:
                        fail(f"gpsd did not listen: {p.stderr.read() if p.poll() is not None else ''}")
                    time.sleep(0.05)
            client.sendall(b'?WATCH={"enable":true,"json":true}\n')
            buffer = b""
            while not enough(reports):
                client.settimeout(max(0.1, deadline - time.monotonic()))
                try:
                    chunk = client.recv(65536)
                except socket.timeout:
                    chunk = b""
                if not chunk or time.monotonic() > deadline:
                    fail(f"gpsd did not report enough in time from {source}: {reports[-3:]}")
                buffer += chunk
                *lines, buffer = buffer.split(b"\n")
                reports += [json.loads(line) for line in lines]
        finally:
            if client is not None:
                client.close()
            if p.poll() is None:
                p.kill()
            _, err = p.communicate(timeout=10)
    return reports, err.decode(errors="replace")


def fixes_of(reports):
    """The fixes among gpsd's reports: TPV of mode 2 or 3."""
    return [r for r in reports if r.get("class") == "TPV" and r.get("mode", 0) >= 2]


def gpsd_reading(program_args, source, enough, tcp_port=None):
    """gpsd reading `source` while the program runs in real time with `program_args` (after
    --headless --no-settings); with `tcp_port`, gpsd starts once the program's server listens there.
    gpsd's reports and warnings (gpsd_reports), or None when gpsd is not installed (the test is then
    skipped, and says so). Loopback and ephemeral ports; everything ends within 60 s."""
    gpsd = gpsd_program()
    if not gpsd:
        print("skipped: gpsd is not installed (scripts/setup.sh installs gpsd and gpsd-clients)")
        return None
    deadline = time.monotonic() + 60
    p = subprocess.Popen([EXE, "--headless", "--no-settings", *program_args], env=ENV, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE)
    try:
        if tcp_port is not None:
            connect(tcp_port).close()
        return gpsd_reports(gpsd, source, deadline, enough)
    finally:
        if p.poll() is None:
            p.kill()
        p.communicate(timeout=10)


def gpsd_reads_fixes(program_args, source, tcp_port=None, count=3):
    """gpsd_reading until `count` fixes, each checked at the first minute's position."""
    read = gpsd_reading(program_args, source, lambda reports: len(fixes_of(reports)) >= count, tcp_port)
    if read is None:
        return
    fixes = fixes_of(read[0])[:count]
    for fix in fixes:
        if abs(fix["lat"] - FIRST_MINUTE[0]) > 0.01 or abs(fix["lon"] - FIRST_MINUTE[1]) > 0.01:
            fail(f"gpsd's fix is not the simulated position: {fix}")
    print(f"gpsd: {len(fixes)} fixes, the first at {fixes[0]['lat']:.5f}, {fixes[0]['lon']:.5f}")


def test_gpsd_reads_every_field():
    """gpsd reads a real-time run over TCP without a warning about its satellites, with the UTC
    date that goes with the UTC time (local 01:00 on 2 June with the offset -2 is 23:00 on 1 June),
    and the satellites GGA and GSA give: 9 used of the 15 in view, HDOP 0.9."""
    port = free_port()

    def used_satellites_twice(reports):
        return len([r for r in reports if r.get("class") == "SKY" and r.get("uSat")]) >= 2 and fixes_of(reports)

    read = gpsd_reading(["--start", "2026-06-02T01:00:00", "--duration", "40", "--tcp", f"127.0.0.1:{port}"],
                        f"tcp://127.0.0.1:{port}", used_satellites_twice, tcp_port=port)
    if read is None:
        return
    reports, warnings = read
    about_satellites = [line for line in warnings.splitlines() if "GSV" in line or "GSA" in line]
    if about_satellites:
        fail(f"gpsd warns about the satellites: {about_satellites[:3]}")
    for sky in [r for r in reports if r.get("class") == "SKY" and r.get("uSat")]:
        if (sky["nSat"], sky["uSat"], sky.get("hdop")) != (15, 9, 0.9):
            fail(f"gpsd's satellites are not GGA's 9 used of 15 in view with HDOP 0.9: {str(sky)[:200]}")
    for fix in fixes_of(reports):
        if not fix.get("time", "").startswith("2026-06-01T23:00:"):
            fail(f"gpsd's time is not the UTC of the run: {fix}")
    print(f"gpsd: {len(fixes_of(reports))} fixes at {fixes_of(reports)[0]['time']}, 9 of 15 satellites used")


def test_gpsd_reads_udp_with_crlf():
    """gpsd listening for UDP reads the positions of a real-time run with --udp --udp-crlf: each
    datagram is a whole line to it."""
    port = free_port(socket.SOCK_DGRAM, "127.0.0.255")
    gpsd_reads_fixes(["--duration", "50", "--udp", f"127.0.0.1:{port}", "--udp-crlf"], f"udp://127.0.0.255:{port}")


def open_pty():
    """A pseudo-terminal: the master side for the test, the name of the slave for the program."""
    import pty

    master, slave = pty.openpty()
    name = os.ttyname(slave)
    os.close(slave)
    os.set_blocking(master, False)
    return master, name


def read_pty(master) -> bytes:
    data = b""
    while True:
        try:
            chunk = os.read(master, 65536)
        except (BlockingIOError, OSError):
            return data
        if not chunk:
            return data
        data += chunk


def test_serial_pty():
    """--serial DEVICE:BAUD with a pseudo-terminal as the device: each sentence followed by CR LF,
    the first byte the first sentence's and the last sentence's line ended, the device set to the
    speed, 8 bits, no parity, one stop bit."""
    import termios

    master, device = open_pty()
    try:
        p = subprocess.Popen([EXE, "--headless", "--no-settings", "--serial", f"{device}:9600", "--stdout",
                              "--duration", "4", *START], stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=ENV)
        wire, attrs, end = b"", None, time.monotonic() + 20
        while p.poll() is None and time.monotonic() < end:
            wire += read_pty(master)
            if wire and attrs is None:
                attrs = termios.tcgetattr(master)  # while the program holds the device
            time.sleep(0.05)
        out, err = p.communicate(timeout=20)
        wire += read_pty(master)
    finally:
        os.close(master)
    if p.returncode != 0 or err:
        fail(f"exit {p.returncode}, stderr {err!r}")
    lines = out.split(b"\r\n")[:-1]
    expected = b"".join(line + b"\r\n" for line in lines)
    if len(lines) < 20 or wire != expected:
        fail(f"{len(wire)} bytes on the wire for {len(expected)} expected: {wire[:60]!r} / {expected[:60]!r}")
    if attrs is None:
        fail("nothing came while the program ran")
    cflag, ospeed = attrs[2], attrs[5]
    if ospeed != termios.B9600 or cflag & termios.CSIZE != termios.CS8 or cflag & (termios.PARENB | termios.CSTOPB):
        fail(f"device settings: speed {ospeed}, cflag {cflag:o}")


def test_serial_stall():
    """A serial device whose reader stalls (the pseudo-terminal's other side not read): each sentence
    the device does not take is lost whole and counted, a sentence begun is finished before any
    other, so the reader finds only whole sentences, in order; standard error says so once, then
    the count at the end (exit 1); the raw log holds every sentence and nothing else. A reader that
    never reads again may keep the beginning of the last sentence begun, which the end says too."""
    for reader_resumes in (False, True):
        master, device = open_pty()
        with tempfile.TemporaryDirectory() as d:
            raw = os.path.join(d, "raw.txt")
            try:
                p = subprocess.Popen([EXE, "--headless", "--no-settings", "--serial", device, "--log", raw, "--fast",
                                      "--duration", "14400", *START], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                     env=ENV)
                wire, end = b"", time.monotonic() + 60
                time.sleep(0.3)  # nobody reads meanwhile
                while reader_resumes and p.poll() is None and time.monotonic() < end:
                    wire += read_pty(master)
                    time.sleep(0.01)
                out, err = p.communicate(timeout=60)
                wire += read_pty(master)
            finally:
                os.close(master)
            logged = open(raw, "rb").read().split(b"\r\n")[:-1]
        lines = err.decode().splitlines()
        port = f"COM1 ({device})"
        lost = re.fullmatch(rf"corvelnmea: (\d+) phrases perdues sur le port {re.escape(port)} : il ne les "
                            r"prenait plus", lines[1] if len(lines) > 1 else "")
        cut_said = f"corvelnmea: la dernière phrase commencée sur le port {port} n'a pas pu être terminée avant " \
                   "la fin : elle y reste coupée" in lines
        if p.returncode != 1 or not lost or not lines[0].startswith(f"corvelnmea: le port {port} ne prend plus") \
                or len(lines) != 2 + cut_said or out:
            fail(f"reader resumes {reader_resumes}: exit {p.returncode}, stderr {err!r}")
        if not all(SENTENCE.match(line) for line in logged) or len(logged) < 8000:
            fail(f"the raw log holds {len(logged)} lines, not only the run's sentences")
        sent, _, fragment = wire.rpartition(b"\r\n")
        sent = sent.split(b"\r\n") if sent else []
        # The sentences on the wire are the log's, in order, those lost apart.
        rest = iter(logged)
        if not all(line in rest for line in sent) or len(sent) + int(lost.group(1)) + cut_said != len(logged):
            fail(f"reader resumes {reader_resumes}: {len(sent)} sentences on the wire, {lost.group(1)} lost, "
                 f"{len(logged)} sent")
        if cut_said != bool(fragment) or (fragment and not logged[len(sent)].startswith(fragment)) \
                or (cut_said and reader_resumes):
            fail(f"reader resumes {reader_resumes}: the wire ends with {fragment[:40]!r}, cut said: {cut_said}")


def test_serial_busy():
    """A device another run holds, or one that does not exist: one clear line, exit code 1."""
    master, device = open_pty()
    holder = subprocess.Popen([EXE, "--headless", "--no-settings", "--serial", device, "--duration", "30"],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=ENV)
    try:
        end = time.monotonic() + 20
        while not read_pty(master) and time.monotonic() < end:
            time.sleep(0.05)
        for path in (device, "/nonexistent-dir/ttyX"):
            r = run("--serial", path, "--fast", "--duration", "2", timeout=60)
            err = r.stderr.decode()
            if r.returncode != 1 or "port série indisponible" not in err or path not in err or err.count("\n") != 1:
                fail(f"{path}: exit {r.returncode}, stderr {err!r}")
    finally:
        holder.terminate()
        holder.communicate(timeout=20)
        os.close(master)
    if holder.returncode != 0:
        fail(f"the run holding the device ended with {holder.returncode}")


def test_hostile_arguments():
    """Times beyond 100 years, dates beyond year 9999, numbers over 255 characters, an option given
    twice, two outputs into one file: refused before the run (exit 2, one French line) and no file
    is touched; a log into a FIFO that nobody reads is refused at once (exit 1); a run without
    --duration stops cleanly at the end of year 9999."""
    with tempfile.TemporaryDirectory() as d:
        kept = os.path.join(d, "kept.txt")
        with open(kept, "w") as f:
            f.write("kept\n")
        os.mkdir(os.path.join(d, "sub"))
        os.symlink(kept, os.path.join(d, "symlink.txt"))
        os.link(kept, os.path.join(d, "hardlink.txt"))
        os.symlink("new.txt", os.path.join(d, "dangling.txt"))
        p = lambda name: os.path.join(d, name)  # noqa: E731
        same = "écriraient dans le même fichier"
        os.mkfifo(p("fifo"))  # no reader: opening it to write would wait
        unread = "aucun programme ne lit ce tube nommé"
        # Numbers are never cut at 255 characters: a longer one is refused, even when it is valid.
        too_long = "caractères : un nombre en compte 255 au plus"
        cut_ten, long_ten = "10." + "0" * 260 + "garbage", "0" * 298 + "10"
        cases = [
            (["--duration", cut_ten], 2, f"durée invalide : {cut_ten} ({len(cut_ten)} {too_long})"),
            (["--duration", long_ten], 2, f"durée invalide : {long_ten} (300 {too_long})"),
            (["--duration", "5", "--do", long_ten + ":VIRER"], 2, "temps invalide dans --do " + long_ten),
            (["--duration", "5", "--faults", "drop=" + long_ten], 2, too_long),
            (["--duration", "5", "--faults", "nofix=1:" + long_ten], 2, too_long),
            (["--duration", "5", "--faults", "seed=" + long_ten], 2, too_long),
            (["--replay", p("kept.txt"), "--rate", long_ten], 2, "cadence invalide : " + long_ten),
            (["--duration", "0" * 253 + "1"], 0, ""),  # 255 characters
            (["--duration", "5", "--log", p("fifo")], 1, f"impossible d'écrire le journal {p('fifo')} : {unread}"),
            (["--duration", "5", "--log-stamped", p("fifo")], 1, unread),
            (["--duration", "5", "--do", "1e300:VIRER"], 2, "temps invalide dans --do"),
            (["--duration", "5", "--do", "3155760000.001:VIRER"], 2, "temps invalide dans --do"),
            (["--duration", "1e16"], 2, "durée invalide"),
            (["--duration", "3155760000.5"], 2, "durée invalide"),
            (["--start", "9999-12-31T23:59:59", "--duration", "1"], 2, "au-delà du 9999-12-31T23:59:59"),
            (["--start", "9999-12-01T00:00:00", "--duration", "3155760000"], 2, "au-delà du 9999-12-31T23:59:59"),
            (["--start", "0000-01-01T00:00:00", "--duration", "1"], 2, "heure de départ invalide"),
            (["--duration", "5", "--duration", "3"], 2, "l'option --duration est donnée deux fois"),
            (["--duration", "5", "--log", p("a.txt"), "--log", p("b.txt")], 2, "l'option --log est donnée deux fois"),
            (["--duration", "5", *START, *START], 2, "l'option --start est donnée deux fois"),
            (["--duration", "5", "--tcp", "10110", "--tcp", "10111"], 2, "l'option --tcp est donnée deux fois"),
            (["--duration", "5", "--log", kept, "--log-stamped", kept], 2, same),
            (["--duration", "5", "--log", kept, "--log-stamped", p("sub/../kept.txt")], 2, same),
            (["--duration", "5", "--log", p("symlink.txt"), "--log-stamped", p("hardlink.txt")], 2, same),
            (["--duration", "5", "--log", p("dangling.txt"), "--log-stamped", p("new.txt")], 2, same),
            (["--duration", "5", "--log", p("new.txt"), "--log-stamped", p("sub/../new.txt")], 2, same),
            # Accepted: the last whole second of year 9999, repeated flags and --do, /dev/null twice.
            (["--start", "9999-12-31T23:59:58", "--duration", "1.999"], 0, ""),
            (["--duration", "3", "--fast", "--do", "1:STDBY", "--do", "2:AUTO"], 0, ""),
            (["--duration", "3", "--log", "/dev/null", "--log-stamped", "/dev/null", "--stdout"], 0, ""),
            (["--start", "9999-12-31T23:58:00"], 0, "l'horloge simulée atteint la fin de l'an 9999"),
        ]
        for args, code, text in cases:
            try:
                r = run("--fast", *args, timeout=30)
            except subprocess.TimeoutExpired:
                fail(f"{args}: still running after 30 s")
            err = r.stderr.decode()
            if r.returncode != code or (err.count("\n") != 1 or text not in err if text else err):
                fail(f"{args}: exit {r.returncode}, stderr {err!r}")
            if code == 2 and r.stdout:
                fail(f"{args}: refused but wrote {r.stdout[:60]!r}")
        # A log naming the file standard output goes to.
        with open(kept, "ab") as out:
            r = subprocess.run([EXE, "--headless", "--no-settings", "--fast", "--duration", "5", "--stdout", "--log",
                                p("symlink.txt")], stdout=out, stderr=subprocess.PIPE, timeout=30, env=ENV)
        if r.returncode != 2 or same not in r.stderr.decode():
            fail(f"log into standard output's file: exit {r.returncode}, stderr {r.stderr!r}")
        if open(kept).read() != "kept\n" or os.path.exists(p("new.txt")):
            fail("a refused command line touched a file")
        # A FIFO that a program reads takes the log.
        reader = os.open(p("fifo"), os.O_RDONLY | os.O_NONBLOCK)
        try:
            r = run("--fast", "--duration", "3", "--log", p("fifo"), "--stdout", timeout=30)
            logged = os.read(reader, 65536)
        finally:
            os.close(reader)
        if r.returncode != 0 or r.stderr or logged != r.stdout or len(logged.split(b"\r\n")) < 10:
            fail(f"log into a read FIFO: exit {r.returncode}, stderr {r.stderr!r}, {len(logged)} bytes")
    r = run("--fast", "--start", "9999-12-31T23:58:00", timeout=30)
    years = {f[4] for f in sentences_of(b"ZDA", r.stdout.split(b"\r\n")[:-1])}
    if years != {b"9999"}:
        fail(f"years written at the end of year 9999: {years}")


def test_log_on_full_device():
    """/dev/full as --log: the failure is reported at once, naming /dev/full and the reason in
    French; the run goes on, standard output complete; exit 1."""
    args = ("--fast", "--duration", "120", *START, "--stdout")
    reference = run(*args, timeout=30)
    r = run(*args, "--log", "/dev/full", timeout=30, env=C_ENV)
    err = r.stderr.decode()
    if r.returncode != 1 or err.count("\n") != 1 or "/dev/full : plus de place sur le disque" not in err:
        fail(f"exit {r.returncode}, stderr {err!r}")
    if r.stdout != reference.stdout or not r.stdout:
        fail("standard output incomplete after the log failed")
    # At once: the line comes while a real-time run still goes on.
    p = subprocess.Popen([EXE, "--headless", "--no-settings", "--duration", "8", "--log", "/dev/full", "--stdout"],
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=C_ENV)
    try:
        line = p.stderr.readline().decode()
        running = p.poll() is None
        p.communicate(timeout=30)
    finally:
        p.kill()
        p.wait()
    if "/dev/full" not in line or not running or p.returncode != 1:
        fail(f"real time: first line {line!r}, running when it came: {running}, exit {p.returncode}")


def test_log_file_size_limit():
    """A file-size limit stops --log: the log keeps every whole sentence that fits, ends with CR LF,
    and the message names the file and the reason; standard output goes on; exit 1."""
    import resource

    limit = 20000

    def limited():
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

    with tempfile.TemporaryDirectory() as d:
        log, ref = os.path.join(d, "raw.txt"), os.path.join(d, "reference.txt")
        args = ("--fast", "--duration", "120", *START, "--stdout")
        reference = run(*args, "--log", ref, timeout=30)
        r = run(*args, "--log", log, timeout=30, env=C_ENV, preexec_fn=limited)
        err = r.stderr.decode()
        if r.returncode != 1 or err.count("\n") != 1 or f"{log} : fichier trop volumineux" not in err:
            fail(f"exit {r.returncode}, stderr {err!r}")
        if r.stdout != reference.stdout:
            fail("standard output incomplete after the log failed")
        data = open(log, "rb").read()
        lines = data.split(b"\r\n")
        expected = open(ref, "rb").read().split(b"\r\n")
        if not data.endswith(b"\r\n") or lines[:-1] != expected[:len(lines) - 1]:
            fail(f"the log is not whole sentences in order: ends {data[-40:]!r}")
        if len(data) > limit or len(data) + len(expected[len(lines) - 1]) + 2 <= limit:
            fail(f"{len(data)} bytes kept under a limit of {limit}")


def test_reader_gone():
    """A reader of standard output that goes away (EPIPE) is a write error reported at once; with
    no other output the run has nothing left to do and ends, exit 1."""
    p = subprocess.Popen([EXE, "--headless", "--no-settings", "--fast", *START], stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, env=C_ENV)
    try:
        first = p.stdout.read(100)
        p.stdout.close()
        try:
            err = p.communicate(timeout=30)[1].decode()
        except subprocess.TimeoutExpired:
            fail("still running 30 s after its reader went away")
    finally:
        p.kill()
        p.wait()
    if p.returncode != 1 or not first or "la sortie standard : plus personne ne lit la sortie (tube fermé)" not in err \
            or err.count("\n") != 1:
        fail(f"exit {p.returncode}, stderr {err!r}")


def end_and_read(p, read_end, stop=None):
    """Ends `p`, after the signal `stop` when given, and closes `read_end`, the pipe of its standard
    output: its standard error, what the pipe holds and the seconds the end took."""
    try:
        asked = time.monotonic()
        if stop:
            p.send_signal(stop)
        try:
            err = p.communicate(timeout=30)[1].decode()
        except subprocess.TimeoutExpired:
            fail(f"still running 30 s after {stop!r}")
        took = time.monotonic() - asked
        os.set_blocking(read_end, False)
        return err, read_pty(read_end), took
    finally:
        p.kill()
        p.wait()
        os.close(read_end)


def first_lines_then_unwritten(what, out, expected, unwritten):
    """`out` is whole lines, the first ones of `expected`, the `unwritten` others apart."""
    lines = out.split(b"\r\n")
    if lines[-1] != b"" or lines[:-1] != expected[:len(lines) - 1] \
            or len(lines) - 1 + int(unwritten.group(1)) != len(expected) or len(lines) < 10:
        fail(f"{what}: {len(lines) - 1} lines out and {unwritten.group(1)} unwritten for {len(expected)}; "
             f"last {lines[-1][:40]!r}")


def test_reader_stalls():
    """A reader of standard output that stops reading holds nothing else: the control port answers
    (with --fast the simulation waits for the reader, in real time it goes on), SIGTERM ends the
    run within about a second, and standard error counts the lines that could not be written; the
    pipe holds whole sentences, the first ones of the raw log, which has them all."""
    import fcntl
    import termios

    for mode in ("--fast", None):
        port = free_port()
        with tempfile.TemporaryDirectory() as d:
            raw = os.path.join(d, "raw.txt")
            read_end, write_end = os.pipe()
            fcntl.fcntl(read_end, fcntl.F_SETPIPE_SZ, 4096)  # full after a few seconds in real time
            p = subprocess.Popen([EXE, "--headless", "--no-settings", *START, "--stdout", "--log", raw,
                                  "--control", str(port), *([mode] if mode else [])], stdout=write_end,
                                 stderr=subprocess.PIPE, env=C_ENV)
            os.close(write_end)
            try:
                # Nobody reads: wait until the pipe stops filling.
                waiting, since, end = -1, time.monotonic(), time.monotonic() + 60
                while time.monotonic() - since < 1.5:
                    if time.monotonic() > end:
                        fail(f"{mode}: the pipe never filled ({waiting} bytes)")
                    now = int.from_bytes(fcntl.ioctl(read_end, termios.FIONREAD, b"\0" * 4), sys.byteorder)
                    if now != waiting:
                        waiting, since = now, time.monotonic()
                    time.sleep(0.1)
                c = LineClient(port)
                first = c.state()
                time.sleep(0.5)
                later = c.state()
                if mode and later["time"] != first["time"]:
                    fail(f"--fast ran on without its reader: {first['time']} then {later['time']}")
                if not mode and later["time"] <= first["time"]:
                    fail(f"real time stopped with its reader: {first['time']} then {later['time']}")
                c.close()
            finally:
                err, out, took = end_and_read(p, read_end, signal.SIGTERM)
            unwritten = re.fullmatch(r"corvelnmea: (\d+) lignes? non écrites? sur la sortie standard : son "
                                     r"lecteur ne lisait plus\n", err)
            if p.returncode != 1 or not unwritten or took > 5:
                fail(f"{mode}: exit {p.returncode} after {took:.1f} s, stderr {err!r}")
            first_lines_then_unwritten(mode, out, open(raw, "rb").read().split(b"\r\n")[:-1], unwritten)
    # In real time the lines that no longer fit in what waits for the reader are lost whole: said
    # once, counted at the end. A fast replay into a pipe read only after the end shows it.
    with tempfile.TemporaryDirectory() as d:
        feed = os.path.join(d, "feed.nmea")
        sentences = [b"$GPTXT,%06d*00" % i for i in range(20000)]
        with open(feed, "wb") as f:
            f.write(b"".join(line + b"\r\n" for line in sentences))
        read_end, write_end = os.pipe()
        p = subprocess.Popen([EXE, "--headless", "--no-settings", "--replay", feed, "--rate", "100000"],
                             stdout=write_end, stderr=subprocess.PIPE, env=C_ENV)
        os.close(write_end)
        err, out, _ = end_and_read(p, read_end)
    lines = err.splitlines()
    unwritten = re.fullmatch(r"corvelnmea: (\d+) lignes non écrites sur la sortie standard : son lecteur ne lisait "
                             r"plus", lines[1] if len(lines) > 1 else "")
    if p.returncode != 1 or len(lines) != 3 or not unwritten or lines[0] != \
            "corvelnmea: écriture bloquée sur la sortie standard (plus rien n'y est lu) : les lignes sont perdues " \
            "tant qu'elle le reste":
        fail(f"replay: exit {p.returncode}, stderr {err!r}")
    first_lines_then_unwritten("replay", out, sentences, unwritten)


def start_fast(d, **kwargs):
    """A --fast run without end, standard output and both logs into files of `d`, once it writes."""
    paths = [os.path.join(d, n) for n in ("stdout.txt", "raw.txt", "stamped.txt")]
    with open(paths[0], "wb") as out:
        p = subprocess.Popen([EXE, "--headless", "--no-settings", "--fast", *START, "--stdout", "--log", paths[1],
                              "--log-stamped", paths[2]], stdout=out, stderr=subprocess.PIPE, env=ENV, **kwargs)
    end = time.monotonic() + 20
    while not (os.path.exists(paths[1]) and os.path.getsize(paths[1])) and time.monotonic() < end:
        if p.poll() is not None:
            fail(f"the run ended with {p.returncode}: {p.stderr.read()!r}")
        time.sleep(0.05)
    time.sleep(0.5)
    return p, paths


def test_stop_signals_fast():
    """SIGHUP, SIGQUIT and SIGTERM during a --fast run stop it after a whole sentence: standard
    output and both logs end on a whole line and hold the same sentences; exit 0, 131 for SIGQUIT."""
    for sig, code in ((signal.SIGHUP, 0), (signal.SIGQUIT, 131), (signal.SIGTERM, 0)):
        with tempfile.TemporaryDirectory() as d:
            p, paths = start_fast(d)
            try:
                p.send_signal(sig)
                _, err = p.communicate(timeout=30)
            finally:
                p.kill()
                p.wait()
            if p.returncode != code or err:
                fail(f"{sig!r}: exit {p.returncode}, stderr {err!r}")
            out, raw, stamped = (open(path, "rb").read() for path in paths)
            for path, data, pattern in zip(paths, (out, raw, stamped), (SENTENCE, SENTENCE, STAMPED)):
                if not data.endswith(b"\r\n"):
                    fail(f"{sig!r}: {path} does not end with a whole line: {data[-40:]!r}")
                for line in data.split(b"\r\n")[:-1]:
                    if not pattern.match(line):
                        fail(f"{sig!r}: {path}: broken line {line!r}")
            stamped_sentences = [line[line.index(b"$"):] for line in stamped.split(b"\r\n")[:-1]]
            raw_lines = raw.split(b"\r\n")[:-1]
            if out != raw or stamped_sentences != raw_lines:
                fail(f"{sig!r}: the outputs differ: {len(out)} and {len(raw)} bytes, {len(stamped_sentences)} "
                     f"stamped lines for {len(raw_lines)}")


def test_kill_fast():
    """SIGKILL during a --fast run: standard output and both logs hold the run's first lines in
    order, each whole but possibly the last, as a run of the same start writes them."""
    with tempfile.TemporaryDirectory() as d:
        p, paths = start_fast(d)
        p.kill()
        p.communicate(timeout=30)
        if p.returncode != -signal.SIGKILL:
            fail(f"the run ended with {p.returncode} before it was killed")
        killed = [open(path, "rb").read() for path in paths]
        # About 9.7 sentences a simulated second: a reference run that goes further.
        seconds = killed[0].count(b"\n") // 9 + 30
        refs = [os.path.join(d, "ref-" + os.path.basename(path)) for path in paths]
        with open(refs[0], "wb") as out:
            r = subprocess.run([EXE, "--headless", "--no-settings", "--fast", *START, "--duration", str(seconds),
                                "--stdout", "--log", refs[1], "--log-stamped", refs[2]], stdout=out,
                               stderr=subprocess.PIPE, timeout=600, env=ENV)
        if r.returncode != 0:
            fail(f"reference run: exit {r.returncode}, stderr {r.stderr!r}")
        for path, data, ref in zip(paths, killed, refs):
            lines, expected = data.split(b"\r\n"), open(ref, "rb").read().split(b"\r\n")
            whole = len(lines) - 1
            if whole == 0 or lines[:-1] != expected[:whole] or not expected[whole].startswith(lines[-1]):
                fail(f"{path}: {whole} whole lines, not the run's lines in order (last {lines[-1][:40]!r})")


if __name__ == "__main__":
    processes.main(globals(), 1800, {"gpsd_reads_udp_with_crlf": 90, "gpsd_reads_every_field": 90})
