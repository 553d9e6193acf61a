#!/usr/bin/python3
"""End-to-end tests of `corvelnmea` with its window, on Qt's offscreen platform: its command line,
a machine without a display or with one that cannot be reached, the boat picture it needs, and a new user's first run that sails.
Usage: window_test.py PATH_TO_CORVELNMEA TEST_NAME"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import processes  # noqa: E402
from processes import stop  # noqa: E402

EXE = sys.argv[1]


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def env_for(home, display=True):
    """Only `home` for the settings; the offscreen platform, or no display at all."""
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("XDG_") and k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(HOME=home, XDG_DATA_HOME=os.path.join(home, "share"))
    if display:
        env["QT_QPA_PLATFORM"] = "offscreen"
    return env


def run(env, *args, exe=EXE):
    try:
        return subprocess.run([exe, *args], capture_output=True, timeout=30, env=env)
    except subprocess.TimeoutExpired:
        fail(f"{args}: the program did not end")


def test_no_display():
    """Without a display: one French line naming both variables, exit code 1."""
    with tempfile.TemporaryDirectory() as home:
        r = run(env_for(home, display=False), "--simulate")
        err = r.stderr.decode()
        if r.returncode != 1 or not err.startswith("corvelnmea: aucun écran") or err.count("\n") != 1:
            fail(f"exit {r.returncode}, stderr {err!r}")
        if "DISPLAY" not in err or "--headless" not in err:
            fail(f"the line does not say what is missing and what to do: {err!r}")


def test_unreachable_screen():
    """A display that answers nobody (a virtual screen gone or not ready yet) or a platform Qt
    does not have: one French line naming the screen, exit code 1, never Qt's abort."""
    number = next(n for n in range(4711, 4800) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))
    with tempfile.TemporaryDirectory() as home:
        for variable, value in [("DISPLAY", f":{number}"), ("QT_QPA_PLATFORM", "nulle-part")]:
            env = env_for(home, display=False)
            env[variable] = value
            r = run(env, "--simulate")
            err = r.stderr.decode()
            line = (f"corvelnmea: écran injoignable ({variable}={value}) : la fenêtre ne peut pas s'ouvrir ; "
                    "sans fenêtre : corvelnmea --headless (voir --help)\n")
            if r.returncode != 1 or not err.endswith(line):
                fail(f"{variable}={value}: exit {r.returncode}, stderr {err!r}")


def test_command_line():
    """--help lists both modes; an unknown option or a --config without its file: exit code 2."""
    with tempfile.TemporaryDirectory() as home:
        r = run(env_for(home), "--help")
        out = r.stdout.decode()
        if r.returncode != 0 or "--simulate" not in out or "--config FICHIER" not in out or "--headless" not in out:
            fail(f"--help: exit {r.returncode}, {out[:300]!r}")
        for args, text in [(["--frobnicate"], "option inconnue : --frobnicate (voir --help)"),
                           (["--config"], "l'option --config attend un fichier de configuration")]:
            r = run(env_for(home), *args)
            if r.returncode != 2 or r.stderr.decode() != f"corvelnmea: {text}\n":
                fail(f"{args}: exit {r.returncode}, stderr {r.stderr.decode()!r}")


def test_missing_boat_picture():
    """The program beside its polars but without iconbatTRANS.png: a French line naming the file,
    exit code 1, no window left running."""
    with tempfile.TemporaryDirectory() as folder:
        exe = os.path.join(folder, "bin", "corvelnmea")
        os.makedirs(os.path.dirname(exe))
        shutil.copy2(EXE, exe)
        shutil.copytree(os.path.join(os.path.dirname(EXE), "DefPolars"), os.path.join(folder, "bin", "DefPolars"))
        r = run(env_for(folder), exe=exe)
        picture = os.path.join(folder, "bin", "iconbatTRANS.png")
        err = r.stderr.decode()
        if r.returncode != 1 or f"corvelnmea: Image du bateau introuvable ou illisible : {picture}" not in err:
            fail(f"exit {r.returncode}, stderr {err!r}")


def test_first_run_sails():
    """A new user's window with --simulate: the settings file is written with the window's scenario,
    started at sea near Dover with the window's depth offsets, and the program runs until it is
    stopped."""
    with tempfile.TemporaryDirectory() as home:
        p = subprocess.Popen([EXE, "--simulate"], env=env_for(home), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            time.sleep(4)
            if p.poll() is not None:
                fail(f"the window ended: exit {p.returncode}, {p.stderr.read()!r}")
            settings = os.path.join(home, "share", "CorvelNMEA", "CorvelNMEA.ini")
            if not os.path.isfile(settings):
                fail("no settings file for the new user")
            with open(settings, encoding="utf-8") as f:
                text = f.read()
            for line in ["iTWS=6", "iTWD=20", "iWpID=Att_Dover", "iCateg=CC", "iPOSLong=123.08", "iOFFS_Keel=1.6"]:
                if line not in text:
                    fail(f"{line} missing from the settings: {text!r}")
        finally:
            stop(p)


if __name__ == "__main__":
    processes.main(globals(), 120)
