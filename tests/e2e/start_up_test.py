#!/usr/bin/python3
"""End-to-end tests of the start-up of `corvelnmea --headless`: the files it reads before the
simulation (the documents-folder list, the settings file, the polar, --config) never block it, a
file it refuses is said in one line and left as it is, without a usable polar the run stops with exit
code 1, a new user's settings carry the machine's UTC offset and start at sea, a settings file that cannot be written
is said, and --config loads the polar it names.
Usage: start_up_test.py PATH_TO_CORVELNMEA TEST_NAME"""
import math
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import processes  # noqa: E402

EXE = sys.argv[1]
RUN = ["--headless", "--fast", "--duration", "2", "--start", "2026-06-01T08:00:00"]


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def home_env(home):
    """The program sees only `home`: its settings in home/share, user-dirs.dirs in home/config, and
    no XDG_DOCUMENTS_DIR, so that user-dirs.dirs is read."""
    env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
    env.update(HOME=home, XDG_DATA_HOME=os.path.join(home, "share"), XDG_CONFIG_HOME=os.path.join(home, "config"))
    return env


def settings_path(home):
    return os.path.join(home, "share", "CorvelNMEA", "CorvelNMEA.ini")


def run(env, *args, exe=EXE, base=RUN, preexec_fn=None):
    try:
        return subprocess.run([exe, *base, *args], capture_output=True, timeout=30, env=env, preexec_fn=preexec_fn)
    except subprocess.TimeoutExpired:
        fail(f"{args}: the start-up blocked")


def expect(r, code, stderr_lines):
    """Exit code `code`, and standard error exactly these lines (each "corvelnmea: " + text)."""
    err = r.stderr.decode()
    wanted = "".join(f"corvelnmea: {line}\n" for line in stderr_lines)
    if r.returncode != code or err != wanted:
        fail(f"exit {r.returncode}, stderr {err!r}; wanted exit {code}, stderr {wanted!r}")


def boat_speed(r):
    """The speed through the water of the last VHW sentence, knots."""
    vhw = [line for line in r.stdout.split(b"\r\n") if line[3:6] == b"VHW"]
    if not vhw:
        fail(f"no VHW sentence in {r.stdout[:200]!r}")
    return float(vhw[-1].split(b",")[5])


def test_fifo_user_dirs():
    """A FIFO as user-dirs.dirs is not read and does not hold the start-up."""
    with tempfile.TemporaryDirectory() as home:
        os.makedirs(os.path.join(home, "config"))
        os.mkfifo(os.path.join(home, "config", "user-dirs.dirs"))
        r = run(home_env(home))
        expect(r, 0, [])
        if b"$SDDPT," not in r.stdout:
            fail(f"no sentence: {r.stdout[:200]!r}")


def test_fifo_settings():
    """A FIFO as the settings file is refused in one line; the run goes on with the first values."""
    with tempfile.TemporaryDirectory() as home:
        os.makedirs(os.path.dirname(settings_path(home)))
        os.mkfifo(settings_path(home))
        r = run(home_env(home))
        expect(r, 0, [f"Fichier de configuration refusé : {settings_path(home)} (pas un fichier ordinaire)"])
        if boat_speed(r) <= 0:
            fail("the boat does not sail")


def test_binary_settings():
    """A settings file holding one NUL byte is refused in one line and left as it is; the run sails
    the first run's scenario (wind 6 knots), not the zeros of an empty file."""
    with tempfile.TemporaryDirectory() as home:
        os.makedirs(os.path.dirname(settings_path(home)))
        mine = b"; my settings\x00\n[NavDATA]\niTWS=9\n[WIFI]\niPort=2000\n"
        with open(settings_path(home), "wb") as f:
            f.write(mine)
        r = run(home_env(home))
        expect(r, 0, [f"Fichier de configuration refusé : {settings_path(home)} "
                      "(fichier binaire : il contient un octet nul)"])
        if boat_speed(r) <= 0:
            fail("the boat does not sail")
        with open(settings_path(home), "rb") as f:
            if f.read() != mine:
                fail("the refused settings file was written")


def no_file_bytes():
    """In the child: no byte may be written to a file (a full disk), and the signal of that limit is
    ignored so that it comes as a write error."""
    resource.setrlimit(resource.RLIMIT_FSIZE, (0, 0))
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)


def test_first_run_on_a_full_disk():
    """A first run that cannot write its settings says so, naming the file, and sails the first
    run's scenario; the next start, finding the folder without its file, writes it."""
    with tempfile.TemporaryDirectory() as home:
        r = run(home_env(home), preexec_fn=no_file_bytes)
        expect(r, 0, [f"Impossible d'écrire {settings_path(home)} : fichier trop volumineux"])
        if boat_speed(r) <= 0:
            fail("the boat does not sail")
        if os.listdir(os.path.dirname(settings_path(home))):
            fail(f"left in the settings folder: {os.listdir(os.path.dirname(settings_path(home)))}")
        r = run(home_env(home))
        expect(r, 0, [])
        with open(settings_path(home), encoding="utf-8") as f:
            if "iTWS=6" not in f.read().splitlines():
                fail("the second start did not write the first run's settings")


def test_config_polar():
    """--config loads the polar its keys name, as the same file does as the settings file; a polar
    that is no file is refused in one line and the polar in force stays."""
    with tempfile.TemporaryDirectory() as home:
        polars = os.path.join(home, "polars")
        os.makedirs(polars)
        with open(os.path.join(polars, "Slow.pol"), "w") as f:
            f.write("TWA\t4\t30\n30\t2.5\t2.5\n180\t2.5\t2.5\n")
        os.mkfifo(os.path.join(polars, "Fifo.pol"))
        configs = {}
        for name in ("Slow", "Fifo"):
            configs[name] = os.path.join(home, f"{name}.ini")
            with open(configs[name], "w") as f:
                f.write(f"[REPERTOIRES]\nPolars={polars}/\n[Parametres]\nPolaireAct={name}.pol\n"
                        "[NavDATA]\niTWS=10\niTWD=20\niHDG=318\n")
        r = run(home_env(home), "--no-settings", "--config", configs["Slow"])
        expect(r, 0, [])
        if abs(boat_speed(r) - 2.5) > 0.05:
            fail(f"--config sails at {boat_speed(r)} knots, not the 2.5 of its polar")
        os.makedirs(os.path.dirname(settings_path(home)))
        shutil.copy(configs["Slow"], settings_path(home))
        if boat_speed(run(home_env(home))) != boat_speed(r):
            fail("the configuration as the settings file sails another polar")
        r = run(home_env(home), "--no-settings", "--config", configs["Fifo"])
        fifo = os.path.join(polars, "Fifo.pol")
        expect(r, 0, [f"Polaire refusée ({fifo}) : pas un fichier ordinaire (dossier, tube ou périphérique)."])
        if abs(boat_speed(r) - 2.5) < 0.05 or boat_speed(r) <= 0:
            fail(f"the refused polar did not leave the default one: {boat_speed(r)} knots")


def test_refused_polar_falls_back():
    """Settings naming a polar that is refused: its message, then the default polar, and the boat sails."""
    with tempfile.TemporaryDirectory() as home:
        polars = os.path.join(home, "polars")
        os.makedirs(polars)
        with open(os.path.join(polars, "Bad.pol"), "w") as f:
            f.write("not a polar\n")
        os.makedirs(os.path.dirname(settings_path(home)))
        with open(settings_path(home), "w") as f:
            f.write(f"[REPERTOIRES]\nPolars={polars}/\n[Parametres]\nPolaireAct=Bad.pol\n"
                    "[NavDATA]\niTWS=10\niTWD=20\niHDG=318\n")
        r = run(home_env(home))
        bad = os.path.join(polars, "Bad.pol")
        expect(r, 0, [f"Polaire refusée ({bad}) : il faut au moins 2 lignes d'angles (0 trouvée)."])
        if boat_speed(r) <= 0:
            fail("the boat does not sail on the default polar")


def test_missing_default_polar():
    """The program alone in a folder, without DefPolars: one line, exit code 1, no sentence."""
    with tempfile.TemporaryDirectory() as folder:
        exe = os.path.join(folder, "bin", "corvelnmea")
        os.makedirs(os.path.dirname(exe))
        shutil.copy2(EXE, exe)
        r = run(home_env(folder), "--no-settings", exe=exe)
        default = os.path.join(folder, "bin", "DefPolars", "First31_7.pol")
        expect(r, 1, [f"Impossible de charger la polaire par défaut : {default}"])
        if r.stdout:
            fail(f"sentences without a polar: {r.stdout[:200]!r}")


def test_config_refused():
    """A --config file over the limit of the reader, or binary (one NUL byte), is refused: one line,
    exit code 2, never an empty configuration that zeroes every field."""
    cases = [("big.ini", b"[a]\n" * (256 * 1024 + 1), "plus de 1 Mo"),
             ("binary.ini", b"[NavDATA]\niTWS=7\n; \x00\n", "fichier binaire : il contient un octet nul")]
    with tempfile.TemporaryDirectory() as home:
        for name, content, reason in cases:
            config = os.path.join(home, name)
            with open(config, "wb") as f:
                f.write(content)
            r = run(home_env(home), "--no-settings", "--config", config)
            expect(r, 2, [f"Fichier de configuration refusé : {config} ({reason})"])


def rmc_time(r):
    """The UTC time field of the first RMC sentence."""
    rmc = [line for line in r.stdout.split(b"\r\n") if line[3:6] == b"RMC"]
    if not rmc:
        fail(f"no RMC sentence in {r.stdout[:200]!r}")
    return rmc[0].split(b",")[1].decode()


def test_first_run_utc_offset():
    """A new user's first start writes the machine's UTC offset (TZ, zones without summer time) into
    the settings, and the sentences' UTC follows it from the first run; with --no-settings the
    window's -2 stays whatever the zone."""
    # From 08:00:00 local time; the first RMC goes out with group 2, at 08:00:03.
    three_seconds = ["--headless", "--fast", "--duration", "3", "--start", "2026-06-01T08:00:00"]
    for tz, line, utc in [("UTC", "idTU=0", "080003.00"), ("Asia/Kolkata", "idTU=-5.3", "023003.00")]:
        with tempfile.TemporaryDirectory() as home:
            env = dict(home_env(home), TZ=tz)
            r = run(env, base=three_seconds)
            expect(r, 0, [])
            with open(settings_path(home), encoding="utf-8") as f:
                lines = f.read().splitlines()
            if line not in lines:
                fail(f"TZ={tz}: {line} missing from the settings: {lines}")
            if rmc_time(r) != utc:
                fail(f"TZ={tz}: first RMC at {rmc_time(r)}, wanted {utc}")
            r = run(env, "--no-settings", base=three_seconds)
            expect(r, 0, [])
            if rmc_time(r) != "060003.00":
                fail(f"TZ={tz} --no-settings: first RMC at {rmc_time(r)}, wanted the -2 of 060003.00")


def rmc_positions(r):
    """The positions of the RMC sentences, as (latitude, longitude) in degrees, north and east positive."""
    positions = []
    for line in r.stdout.split(b"\r\n"):
        if line[3:6] == b"RMC":
            f = line.decode().split(",")
            lat = int(f[3][:2]) + float(f[3][2:]) / 60
            lon = int(f[5][:3]) + float(f[5][3:]) / 60
            positions.append((-lat if f[4] == "S" else lat, -lon if f[6] == "W" else lon))
    if not positions:
        fail(f"no RMC sentence in {r.stdout[:200]!r}")
    return positions


def test_first_run_at_sea():
    """A new user's first run sails in the Strait of Dover, near 51°04'N 1°23'E, with the window's
    depth offsets (DPT's offset 0.30 m): the settings say so, and --no-settings keeps the window's
    start inland, 12°23'E."""
    minute = ["--headless", "--fast", "--duration", "60", "--start", "2026-06-01T08:00:00"]
    with tempfile.TemporaryDirectory() as home:
        r = run(home_env(home), base=minute)
        expect(r, 0, [])
        with open(settings_path(home), encoding="utf-8") as f:
            lines = f.read().splitlines()
        for line in ["iPOSLat=5104.14", "iPOSLong=123.08", "iOFFS_Surf=0.3", "iOFFS_Keel=1.6"]:
            if line not in lines:
                fail(f"{line} missing from the settings: {lines}")
        for lat, lon in rmc_positions(r):
            miles = 60 * math.hypot(lat - (51 + 4.14 / 60), (lon - (1 + 23.08 / 60)) * math.cos(math.radians(lat)))
            if miles > 3:
                fail(f"RMC at {lat:.4f} {lon:.4f}, {miles:.1f} miles from the first run's start")
        dpt = [line for line in r.stdout.split(b"\r\n") if line[3:6] == b"DPT"]
        if not dpt or any(line.split(b",")[2].split(b"*")[0] != b"0.30" for line in dpt):
            fail(f"DPT without the window's offset of 0.30 m: {dpt[:3]!r}")
        r = run(home_env(home), "--no-settings", base=minute)
        expect(r, 0, [])
        if abs(rmc_positions(r)[0][1] - (12 + 23.08 / 60)) > 0.05:
            fail(f"--no-settings does not start at the window's 12°23.08'E: {rmc_positions(r)[0]}")


if __name__ == "__main__":
    processes.main(globals(), 120)
