#!/usr/bin/python3
"""Stored runs: whole headless runs whose output is kept in the repository and compared byte for
byte, so that a change that moves a single character of any sentence fails the tests.

    stored_runs.py check EXE NAME          run one scenario and compare it with what is stored
    stored_runs.py regenerate EXE [NAME..] run scenarios (all by default) and store their output

A short run is stored whole (expected/NAME.nmea). A long one keeps its first lines (a few simulated
minutes) as text (expected/NAME.head.nmea, to read a difference) and the SHA-256 of the whole
output (expected/NAME.sha256). What the program writes on standard error is stored as well
(expected/NAME.stderr): a command refused at its instant changes the run. Runs start in this folder,
so configuration files are named relative to it and messages hold no machine's path.

Every regeneration is a deliberate change of the program's output: its commit message says why.
"""
import hashlib
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
EXPECTED = os.path.join(HERE, "expected")
COMMON = ["--headless", "--no-settings", "--fast", "--stdout", "--start", "2026-06-01T08:00:00"]


def do(*commands):
    """--do TIME:COMMAND arguments from ("TIME:COMMAND", ...)."""
    return [a for c in commands for a in ("--do", c)]


# The manoeuvres and the pilot from the designed start: tack, best close-hauled, bearing away by
# +10 steps, gybe, STDBY with the tiller, AUTO, pause and resume, single-degree and ten-degree steps.
MANOEUVRES = do("30:VIRER", "90:MEILLEUR_PRES", *[f"{140 + i}:+10" for i in range(12)], "200:EMPANNER",
                "240:STDBY", "242:BARRE=20", "270:BARRE=10", "300:AUTO", "320:PAUSE", "340:REPRISE", "350:-1",
                "360:+1", "370:-10")

# name: (arguments after the common ones, simulated seconds, lines kept as text or None for whole);
# about 3,000 lines make five minutes of the whole selection.
SCENARIOS = {
    "designed_five_minutes": ([], 300, None),
    "designed_day": ([], 86400, 1500),
    "manoeuvres_and_pilot": (MANOEUVRES, 420, None),
    "antimeridian_current_talkers": (["--config", "antimeridian.ini"], 10800, 2000),
    "light_wind": (["--config", "light_wind.ini"], 300, None),
    # The alternating current from the designed start: a tack refused while it turns, each choice
    # clicked twice (the second click changes nothing and is refused).
    # Heading steps pressed during a tack and a luffing are dropped (and said on standard error);
    # "+10" then AUTO before the pilot's delay ends makes no turn; presses during a turn add up.
    "heading_presses": (do("30:VIRER", "31:+10", "60:MEILLEUR_PRES", "61:-1", "120:+10", "121:AUTO", "150:+10",
                           "153:+10", "154:-1"), 240, None),
    "alternating_current": (do("20:ALTERNE", "30:VIRER", "40:ALTERNE", "400:CONSTANT", "410:CONSTANT"), 480, None),
}

def run(exe, name):
    exe = os.path.abspath(exe)
    args, seconds, _ = SCENARIOS[name]
    with tempfile.TemporaryDirectory(prefix="corvel-stored-run-") as home:
        # No user's folders can reach the run.
        env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, "share"),
                   XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_DOCUMENTS_DIR=os.path.join(home, "docs"))
        p = subprocess.run([exe, *COMMON, "--duration", str(seconds), *args], cwd=HERE, env=env,
                           capture_output=True, timeout=600)
    if p.returncode != 0:
        sys.exit(f"{name}: exit code {p.returncode}\n{p.stderr.decode(errors='replace')}")
    return p.stdout, p.stderr


def head(output, count):
    """The first `count` lines, each with its CR LF."""
    return b"".join(line + b"\r\n" for line in output.split(b"\r\n")[:count])


def files(name):
    base = os.path.join(EXPECTED, name)
    return {"whole": base + ".nmea", "head": base + ".head.nmea", "sha256": base + ".sha256",
            "stderr": base + ".stderr"}


def regenerate(exe, names):
    os.makedirs(EXPECTED, exist_ok=True)
    for name in names:
        out, err = run(exe, name)
        f = files(name)
        kept = SCENARIOS[name][2]
        for path in f.values():
            if os.path.exists(path):
                os.remove(path)
        if kept is None:
            open(f["whole"], "wb").write(out)
        else:
            open(f["head"], "wb").write(head(out, kept))
            open(f["sha256"], "w").write(hashlib.sha256(out).hexdigest() + "\n")
        open(f["stderr"], "wb").write(err)
        print(f"{name}: {len(out)} bytes stored")


def first_difference(expected, actual):
    e, a = expected.split(b"\r\n"), actual.split(b"\r\n")
    for i, (x, y) in enumerate(zip(e, a)):
        if x != y:
            return f"line {i + 1}:\n  stored: {x!r}\n  now:    {y!r}"
    return f"stored {len(e)} lines, now {len(a)}"


def check(exe, name):
    out, err = run(exe, name)
    f = files(name)
    failures = []
    if os.path.exists(f["whole"]):
        expected = open(f["whole"], "rb").read()
        if out != expected:
            failures.append("output differs at " + first_difference(expected, out))
    else:
        expected_head = open(f["head"], "rb").read()
        if not out.startswith(expected_head):
            failures.append("output differs at " + first_difference(expected_head, head(out, SCENARIOS[name][2])))
        elif hashlib.sha256(out).hexdigest() != open(f["sha256"]).read().strip():
            failures.append("the first minutes agree, the whole output's SHA-256 does not")
    expected_err = open(f["stderr"], "rb").read()
    if err != expected_err:
        failures.append(f"standard error differs:\n  stored: {expected_err!r}\n  now:    {err!r}")
    if failures:
        print(f"FAIL {name}: " + "\n".join(failures))
        print("If the change of output is intended, regenerate with scripts/regenerate_stored_runs.sh "
              "and say why in the commit message.")
        sys.exit(1)
    print(f"ok {name}")


if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1] == "check" and len(sys.argv) == 4:
        check(sys.argv[2], sys.argv[3])
    elif len(sys.argv) >= 3 and sys.argv[1] == "regenerate":
        regenerate(sys.argv[2], sys.argv[3:] or list(SCENARIOS))
    elif len(sys.argv) == 2 and sys.argv[1] == "list":
        print("\n".join(SCENARIOS))
    else:
        sys.exit(__doc__)
