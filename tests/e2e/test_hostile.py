"""Hostile input for every tool, natively and under Wine: empty and
quote-only tails, switches, a 32,000-character tail, control characters,
text that is not valid Unicode, numbers at and beyond every bound, and file
names that are folders, devices, unreadable, empty or binary. Each run must
end, print only its help screen, its own lines or "ERROR!" lines, and exit
with 0 (or 1 with one line on standard error for an uncaught failure).

While this module runs, a dismisser presses Esc on every window that shows
up (message boxes, pictures, movies, confirmations), so that a tool waiting
for its user ends and can be checked."""

import os
import re
import shutil
import subprocess
import threading
import time

import pytest

from harness import wait_for

CONSOLE = ["UptimeClock", "DeskGuard", "Beep", "SessionEnd", "TrashPurge", "Start", "TaskTable", "FileShow",
           "DiceRoll", "QuipMaker", "WaveOnce", "WaveRepeat", "PaneShut", "PaneRevive", "PaneShrink", "PaneGrow",
           "PanePin", "PaneUnpin"]
WINDOWED = ["NoticeShow", "PictureShow", "MovieShow"]
TOOLS = CONSOLE + WINDOWED

NUMBERS = ["2147483647.5", "-2147483647.5", "2147483648", "-2147483649", "1e308", "1e309", "-1e309", "&HFFFFFFFF",
           "&O77777777777", "--5", "1e", ".", "&H", "1D2", "0.5e3"]

# What each tool may print besides its help screen and "ERROR!" lines.
OUTPUT = {
    "UptimeClock": rb"-?[0-9]+\r\n",
    "TaskTable": rb" ID    PROCESS {35}THREADS   PRIORITY CLASS\r\n ={4}  ={40}  ={8}  ={14}\r\n"
                 rb"( [0-9]{4,}  [^\r\n]*\r\n)*",
    "DiceRoll": rb"(-| )[0-9]+ \r\n",
    "QuipMaker": rb"(Yes|No) (Ms|Miss|Mrs|Mr|Dr) [A-Z], that [^\r\n]+\.\r\n",
}


class Dismisser:
    """Presses Esc on every window the window manager manages, again and again."""

    def __init__(self, services):
        self.env = services.env
        self.running = True
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=10)

    def _clients(self):
        out = subprocess.run(["xprop", "-root", "_NET_CLIENT_LIST"], env=self.env, capture_output=True, text=True,
                             timeout=10).stdout
        return re.findall(r"0x[0-9a-f]+", out)

    def _run(self):
        while self.running:
            try:
                for window in self._clients():
                    self._xdotool("windowactivate", str(int(window, 16)))
                    time.sleep(0.1)
                    self._xdotool("key", "--clearmodifiers", "Escape")
            except subprocess.TimeoutExpired:
                pass
            time.sleep(0.2)

    def stop(self):
        self.running = False
        self.thread.join(timeout=15)


@pytest.fixture(scope="module")
def dismisser(services):
    helper = Dismisser(services)
    yield helper
    helper.stop()


@pytest.fixture(scope="module")
def files(services):
    """Hostile file names, natively and as Wine sees them."""
    services.root.chmod(0o711)  # unprivileged runs reach the files, not the rest
    root = services.root / "hostile"
    root.mkdir(exist_ok=True)
    root.chmod(0o755)
    (root / "folder").mkdir(exist_ok=True)
    (root / "empty.txt").write_bytes(b"")
    (root / "binary.bin").write_bytes(bytes(range(256)) * 64 + b"\r\n\r\x00\xff" * 100)
    locked = root / "locked.txt"
    locked.write_bytes(b"secret\r\n")
    locked.chmod(0)
    return root


def help_screen_of(runner, tool):
    """The tool's help screen, as /? or its empty command line prints it
    (in that order: SessionEnd with an empty command line logs off)."""
    for tail in ("/?", ""):
        result = runner.run(tool, tail)
        if result.stdout.startswith(runner.expect(b"\r\n  Quorvex Command Pack - https://www.quorvex.com\r\n")):
            return result.stdout
    raise AssertionError(f"{tool} shows no help screen")


def tails(runner, files):
    """(id, tail) pairs: the hostile inputs as whole tails, as bounds and as file names."""
    native = runner.name == "native"
    name = (lambda p: str(p)) if native else runner.windows_path
    yield "empty", ""
    yield "quotes", '"""""'
    yield "help", "/?"
    yield "dash-h", "-h"
    yield "long", ("ab " * 10667)[:32000]
    yield "controls", "a\tb\x01\x1b[31m c\x7f d"
    yield "not-unicode", (b"\xff\xfe \xc3( \xed\xa0\x80" if native else "\ud800 x\udfff y")
    for number in NUMBERS:
        yield f"number {number}", f"{number} {number}"
        yield f"bound {number}", f"1 {number}"
    devices = ["/dev/null", "/dev/zero"] if native else ["NUL", "CON"]
    for label, path in [("folder", name(files / "folder")), ("empty file", name(files / "empty.txt")),
                        ("binary file", name(files / "binary.bin")), ("locked file", name(files / "locked.txt"))] + \
            [(f"device {d}", d) for d in devices]:
        yield f"name {label}", path
        yield f"mode+name {label}", f"1 {path}"


def allowed(runner, tool, stdout, help_screen):
    """Only the help screen, or the tool's own lines and "ERROR!" lines."""
    if stdout == help_screen or stdout == b"":
        return True
    if tool == "FileShow":
        return True  # the listing of whatever file it was given
    pattern = OUTPUT.get(tool)
    if pattern is not None and runner.expect(re.compile(pattern)).fullmatch(stdout):
        return True
    end = runner.expect(b"\r\n")
    return all(line.startswith(b"ERROR!") for line in stdout.split(end)[:-1]) and stdout.endswith(end)


def run(runner, tool, tail, timeout, unprivileged=False):
    """Natively the locked file is read as nobody, for whom it is unreadable
    (root reads any file). Wine runs as root and reads it."""
    if unprivileged and runner.name == "native" and os.geteuid() == 0 and shutil.which("setpriv"):
        argv = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"] + runner.argv(tool, tail)
        process = subprocess.run(argv, env=runner.services.env, capture_output=True, timeout=timeout)
        return process.stdout, process.stderr, process.returncode
    result = runner.run(tool, tail, timeout=timeout)
    return result.stdout, result.stderr, result.status


@pytest.mark.parametrize("tool", TOOLS)
def test_hostile_input(runner, services, files, dismisser, tool):
    help_screen = help_screen_of(runner, tool)
    failures = []
    for label, tail in tails(runner, files):
        if tool == "FileShow" and label.endswith("device /dev/zero") or tool == "FileShow" and label.endswith("CON"):
            continue  # an endless file: listed until Ctrl+C, as the help screen says
        if tool == "SessionEnd" and runner.name == "wine" and b"/?" not in (tail if isinstance(tail, bytes)
                                                                          else tail.encode("utf-8", "replace")):
            continue  # it would end the shared Wine session; covered in its own prefix by test_session
        try:
            stdout, stderr, status = run(runner, tool, tail, timeout=60, unprivileged="locked" in label)
        except subprocess.TimeoutExpired:
            failures.append(f"{label}: did not end")
            continue
        if not allowed(runner, tool, stdout, help_screen):
            failures.append(f"{label}: printed {stdout[:200]!r}")
        if status == 0:
            if tool not in WINDOWED and stderr.strip():
                failures.append(f"{label}: wrote {stderr[:200]!r} on standard error")
        elif status == 1:
            line = stderr.decode(errors="replace").strip()
            if stdout or not re.fullmatch(rf"{tool}: run-time error: [^\n]+", line):
                failures.append(f"{label}: status 1 with {stdout[:100]!r} / {line!r}")
        else:
            failures.append(f"{label}: status {status}, {stderr[-300:]!r}")
    assert not failures, "\n".join(failures)


# Where the output goes must not matter: a closed pipe and a full device lose
# the text silently, and the tool still does its work.
DESTINATION_TAILS = {"UptimeClock": "", "TaskTable": "", "DiceRoll": "1 6", "QuipMaker": "", "FileShow": None,
                     "PaneShut": "No Such Window Anywhere", "Beep": "440"}


@pytest.mark.parametrize("tool", sorted(DESTINATION_TAILS))
def test_output_to_a_closed_pipe_or_a_full_device(runner, services, files, tool):
    tail = DESTINATION_TAILS[tool]
    if tail is None:
        listing = files / "listing.txt"
        listing.write_bytes(b"line\r\n" * 50000)
        tail = str(listing) if runner.name == "native" else runner.windows_path(listing)
    read_end, write_end = os.pipe()
    os.close(read_end)
    try:
        closed = runner.run(tool, tail, stdout=write_end)
    finally:
        os.close(write_end)
    assert (closed.status, closed.stderr) == (0, b"")
    if runner.name == "native":
        with open("/dev/full", "wb") as full:
            result = runner.run(tool, tail, stdout=full)
        assert (result.status, result.stderr) == (0, b"")
    redirected = services.root / f"{tool}.out"
    with open(redirected, "wb") as out:
        result = runner.run(tool, tail, stdout=out)
    assert result.status == 0
    assert redirected.read_bytes().endswith(runner.expect(b"\r\n"))
