#!/usr/bin/python3
"""End-to-end tests of the installation: `cmake --install` into a temporary prefix gives a program
that runs from any folder and finds its data, a desktop entry and an icon the desktop accepts, a
manual page describing every option of --help, and `cpack` a Debian package holding exactly that.
Usage: install_test.py BUILD_FOLDER PROJECT_VERSION TEST_NAME"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import processes  # noqa: E402
from processes import stop  # noqa: E402

# BUILD_FOLDER and PROJECT_VERSION; none when the tests are only listed (--list).
BUILD, VERSION = (os.path.abspath(sys.argv[1]), sys.argv[2]) if len(sys.argv) == 4 else (None, None)
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RUN = ["--headless", "--no-settings", "--fast", "--duration", "5", "--start", "2026-06-01T08:00:00"]


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def command(args, timeout=60, **kw):
    try:
        return subprocess.run(args, capture_output=True, timeout=timeout, **kw)
    except subprocess.TimeoutExpired:
        fail(f"{args}: did not end within {timeout} s")


def install(prefix):
    r = command(["cmake", "--install", BUILD, "--prefix", prefix])
    if r.returncode != 0:
        fail(f"cmake --install: exit {r.returncode}, {r.stderr.decode()!r}")
    return os.path.join(prefix, "bin", "corvelnmea")


def files_under(folder):
    """Every file below `folder`, as paths relative to it."""
    return {os.path.relpath(os.path.join(d, f), folder) for d, _, names in os.walk(folder) for f in names}


def env_for(home, display=False):
    """Only `home` for the user's folders; the offscreen platform when a display is wanted."""
    env = {k: v for k, v in os.environ.items()
           if not k.startswith("XDG_") and k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(HOME=home, XDG_DATA_HOME=os.path.join(home, "share"), XDG_CONFIG_HOME=os.path.join(home, "config"))
    if display:
        env["QT_QPA_PLATFORM"] = "offscreen"
    return env


def test_installed_program_runs():
    """The installed tree holds the program alone in bin/ and the whole of data/ in share/corvelnmea;
    started from another folder, the program sails with the default polar and says the project's
    version in both modes."""
    with tempfile.TemporaryDirectory() as prefix, tempfile.TemporaryDirectory() as elsewhere:
        exe = install(prefix)
        bin_files = files_under(os.path.join(prefix, "bin"))
        if bin_files != {"corvelnmea"}:
            fail(f"bin/ holds {sorted(bin_files)}, not the program alone")
        data = files_under(os.path.join(SOURCE, "data"))
        installed = files_under(os.path.join(prefix, "share", "corvelnmea"))
        if installed != data:
            fail(f"share/corvelnmea differs from data/: missing {sorted(data - installed)}, "
                 f"extra {sorted(installed - data)}")
        for args in (["--version"], ["--headless", "--version"]):
            r = command([exe, *args], cwd=elsewhere, env=env_for(elsewhere))
            if r.returncode != 0 or r.stdout.decode() != f"corvelnmea {VERSION}\n":
                fail(f"{args}: exit {r.returncode}, {r.stdout!r}; wanted 'corvelnmea {VERSION}'")
        r = command([exe, *RUN], cwd=elsewhere, env=env_for(elsewhere))
        if r.returncode != 0 or r.stderr:
            fail(f"headless run: exit {r.returncode}, stderr {r.stderr.decode()!r}")
        lines = r.stdout.split(b"\r\n")
        vhw = [line for line in lines if line[3:6] == b"VHW"]
        if not any(line.startswith(b"$GPRMC,") for line in lines) or not vhw:
            fail(f"no position or speed sentence: {r.stdout[:300]!r}")
        if float(vhw[-1].split(b",")[5]) <= 0:
            fail(f"the boat does not sail: {vhw[-1]!r}")
        if os.listdir(elsewhere):
            fail(f"the run wrote into its current folder: {os.listdir(elsewhere)}")


def test_installed_window_starts():
    """The installed window, started from another folder, finds its boat picture and keeps running;
    the new user's settings file carries the version --version says."""
    with tempfile.TemporaryDirectory() as prefix, tempfile.TemporaryDirectory() as home:
        exe = install(prefix)
        p = subprocess.Popen([exe, "--simulate"], cwd=home, env=env_for(home, display=True),
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            settings = os.path.join(home, "share", "CorvelNMEA", "CorvelNMEA.ini")
            deadline = time.monotonic() + 20
            while not os.path.isfile(settings) and p.poll() is None and time.monotonic() < deadline:
                time.sleep(0.1)
            time.sleep(1)
            if p.poll() is not None:
                fail(f"the window ended: exit {p.returncode}, {p.stderr.read()!r}")
            if not os.path.isfile(settings):
                fail("no settings file for the new user")
            with open(settings, encoding="utf-8") as f:
                text = f.read()
            if f"Version={VERSION}\n" not in text:
                fail(f"the settings do not carry version {VERSION}: {text[:200]!r}")
        finally:
            stop(p)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        fail(f"{path} is not a PNG picture")
    return struct.unpack(">II", head[16:24])


def test_desktop_entry():
    """The installed desktop entry passes desktop-file-validate without a remark, starts the
    installed program and names an icon installed in the hicolor theme: scalable, and each PNG at
    the size its folder says (48x48 among them, the theme's required size)."""
    if shutil.which("desktop-file-validate") is None:
        fail("desktop-file-validate is not installed (scripts/setup.sh installs desktop-file-utils)")
    with tempfile.TemporaryDirectory() as prefix:
        install(prefix)
        entry = os.path.join(prefix, "share", "applications", "corvelnmea.desktop")
        r = command(["desktop-file-validate", entry])
        if r.returncode != 0 or r.stdout or r.stderr:
            fail(f"desktop-file-validate: exit {r.returncode}, {(r.stdout + r.stderr).decode()!r}")
        with open(entry, encoding="utf-8") as f:
            keys = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
        if not os.path.isfile(os.path.join(prefix, "bin", keys["Exec"].split()[0])):
            fail(f"Exec={keys['Exec']} is not the installed program")
        for key in ("Name", "GenericName", "GenericName[fr]", "Comment", "Comment[fr]", "Keywords", "Keywords[fr]"):
            if not keys.get(key):
                fail(f"the desktop entry has no {key}")
        theme = os.path.join(prefix, "share", "icons", "hicolor")
        icons = files_under(theme)
        name = keys["Icon"]
        if f"scalable/apps/{name}.svg" not in icons or f"48x48/apps/{name}.png" not in icons:
            fail(f"Icon={name}: no scalable or 48x48 icon among {sorted(icons)}")
        svg = ET.parse(os.path.join(theme, "scalable", "apps", f"{name}.svg")).getroot()
        if svg.tag != "{http://www.w3.org/2000/svg}svg" or not svg.get("viewBox"):
            fail(f"the scalable icon is not an SVG picture with a viewBox: {svg.tag}")
        for icon in icons - {f"scalable/apps/{name}.svg"}:
            folder, _, file = icon.split("/")
            width, height = png_size(os.path.join(theme, icon))
            if file != f"{name}.png" or folder != f"{width}x{height}" or width != height:
                fail(f"{icon}: a picture of {width}x{height}")


def rendered(page):
    """The page as text (groff), with the list of warnings; None when groff is not installed."""
    if shutil.which("groff") is None:
        return None
    r = command(["groff", "-man", "-k", "-Tutf8", "-ww", "-P", "-cbou", page], env=dict(os.environ, LC_ALL="C.UTF-8"))
    if r.returncode != 0:
        fail(f"groff: exit {r.returncode}, {r.stderr.decode()!r}")
    return r.stdout.decode(), r.stderr.decode()


def test_man_page():
    """Every option the installed program's --help prints (window and headless) heads a paragraph
    of the manual page, every upper-case word of --help (commands, values, signals) is in it, the
    page carries the project's version and groff renders it without a warning."""
    with tempfile.TemporaryDirectory() as prefix:
        exe = install(prefix)
        page = os.path.join(prefix, "share", "man", "man1", "corvelnmea.1")
        help_text = ""
        for args in (["--help"], ["--headless", "--help"]):
            r = command([exe, *args], env=env_for(prefix))
            if r.returncode != 0:
                fail(f"{args}: exit {r.returncode}")
            help_text += r.stdout.decode()
        options = set(re.findall(r"(?<![\w-])--[a-z][a-z-]*", help_text))
        if not {"--headless", "--config", "--simulate", "--duration", "--do", "--version"} <= options:
            fail(f"--help was not read: {sorted(options)}")
        with open(page, encoding="utf-8") as f:
            source = f.read()
        # The first word of each paragraph's tag, roff's escapes removed.
        tag_lines = re.findall(r"^\.T[PQ][^\n]*\n([^\n]*)", source, re.M)
        tags = {re.sub(r"\\f[BIRP]|\\", "", re.sub(r"^\.[A-Z]+ ", "", t)).split()[0] for t in tag_lines}
        missing = sorted(options - tags)
        if missing:
            fail(f"options of --help without their paragraph in the manual page: {missing}")
        if not re.search(rf'^\.TH CORVELNMEA 1 .*"CorvelNMEA {re.escape(VERSION)}"', source, re.M):
            fail(f"the page's title does not carry version {VERSION}")
        text = rendered(page)
        if text is None:
            print("skip: groff is not installed; the rendering is not checked")
            text = (source.replace("\\-", "-"), "")
        page_text, warnings = text
        if warnings:
            fail(f"groff warns: {warnings!r}")
        words = set(re.findall(r"\b[A-Z][A-Z0-9_]+\b", help_text)) - set(re.findall(r"\b[A-Z][A-Z0-9_]+\b", page_text))
        if words:
            fail(f"words of --help the manual page does not have: {sorted(words)}")


def test_package():
    """`cpack -G DEB` gives corvelnmea_VERSION_ARCH.deb with the control fields of a Debian package
    (the Qt libraries and the platform plugins among its dependencies), holding under /usr exactly
    the files `cmake --install` installs."""
    for tool in ("cpack", "dpkg-deb", "dpkg-shlibdeps"):
        if shutil.which(tool) is None:
            fail(f"{tool} is not installed (scripts/setup.sh installs dpkg-dev)")
    with tempfile.TemporaryDirectory() as out, tempfile.TemporaryDirectory() as prefix:
        r = command(["cpack", "-G", "DEB", "-B", out, "--config", os.path.join(BUILD, "CPackConfig.cmake")],
                    timeout=120, cwd=out)
        if r.returncode != 0:
            fail(f"cpack: exit {r.returncode}, {(r.stdout + r.stderr).decode()[-800:]!r}")
        arch = command(["dpkg", "--print-architecture"]).stdout.decode().strip()
        deb = os.path.join(out, f"corvelnmea_{VERSION}_{arch}.deb")
        if not os.path.isfile(deb):
            fail(f"no {os.path.basename(deb)} among {os.listdir(out)}")
        fields = {}
        for name in ("Package", "Version", "Architecture", "Section", "Priority", "Maintainer", "Depends",
                     "Description"):
            fields[name] = command(["dpkg-deb", "-f", deb, name]).stdout.decode().strip()
        wanted = {"Package": "corvelnmea", "Version": VERSION, "Architecture": arch, "Section": "science",
                  "Priority": "optional"}
        for name, value in wanted.items():
            if fields[name] != value:
                fail(f"{name}: {fields[name]!r}, wanted {value!r}")
        if not re.fullmatch(r"[^<>]+ <[^<>@\s]+@[^<>@\s]+>", fields["Maintainer"]):
            fail(f"Maintainer: {fields['Maintainer']!r} is not 'Name <address>'")
        if len(fields["Description"].splitlines()) < 2:
            fail(f"Description: {fields['Description']!r} has no long description")
        depends = {d.split()[0] for d in fields["Depends"].split(", ")}
        needed = {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6network6", "libqt6serialport6",
                  "qt6-qpa-plugins", "qt6-translations-l10n", "libc6", "libstdc++6"}
        if not needed <= depends:
            fail(f"Depends lacks {sorted(needed - depends)}: {fields['Depends']!r}")
        listing = command(["dpkg-deb", "-c", deb]).stdout.decode().splitlines()
        # "mode owner/group size date time ./usr/path", the path possibly with spaces.
        packaged = {line.split(maxsplit=5)[5][len("./usr/"):] for line in listing if not line.startswith("d")}
        install(prefix)
        installed = files_under(prefix)
        if packaged != installed:
            fail(f"the package differs from the installation: missing {sorted(installed - packaged)}, "
                 f"extra {sorted(packaged - installed)}")


if __name__ == "__main__":
    processes.main(globals(), 180)
