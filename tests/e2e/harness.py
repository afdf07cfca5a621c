"""End-to-end harness: a private desktop (Xvfb, openbox, PulseAudio), a private
Wine prefix, and runners that start the built programs with exact command-line
tails, natively and under Wine."""

import functools
import os
import re
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BANNER = b"  Quorvex Command Pack - https://www.quorvex.com"
NOT_FOUND = b"ERROR! Couldn't find window: "


def x86_wine_available():
    """Whether Wine can start 32-bit programs here: its 32-bit loader is
    installed (scripts/install-deps leaves it out where the kernel runs no
    32-bit programs)."""
    return os.access("/usr/lib/wine/wine", os.X_OK)


@functools.cache
def wine_major():
    """Wine's major version here (0 without Wine)."""
    try:
        text = subprocess.run(["wine", "--version"], capture_output=True, text=True, timeout=30).stdout
    except (OSError, subprocess.TimeoutExpired):
        return 0
    found = re.match(r"wine-(\d+)", text)
    return int(found.group(1)) if found else 0


@dataclass(frozen=True)
class DeclaredTool:
    name: str
    area: str
    platform: tuple


@functools.cache
def declared_tools():
    """Every tool as its file declares it (cmake/tool_declarations.cmake): its
    entry, and the platform concerns named in the comment lines above it."""
    tools = []
    entry = re.compile(r"((?:^//.*\n)*)^extern const ToolEntry k(\w+)\{", re.M)
    for source in sorted((ROOT / "tools").glob("*/*.cc")):
        for found in entry.finditer(source.read_text()):
            platform = re.search(r"^//   Platform: (.*)$", found.group(1), re.M)
            tools.append(DeclaredTool(found.group(2), source.parent.name,
                                      tuple(platform.group(1).split()) if platform else ()))
    return tuple(tools)


def help_screen(*lines):
    """The exact bytes of a help screen: empty line, banner, then `lines`."""
    out = b"\r\n" + BANNER + b"\r\n"
    for line in lines:
        out += line.encode() + b"\r\n"
    return out


def wait_for(predicate, timeout=20.0, interval=0.05, what="condition"):
    """Polls until `predicate()` is true; returns its value or raises."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError(f"timed out waiting for {what}")
        time.sleep(interval)


def xdotool(env, *args):
    """What xdotool prints on the display of `env`, as words."""
    return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True, timeout=60).stdout.split()


def visible_windows(env, title):
    """The visible windows titled exactly `title`."""
    return xdotool(env, "search", "--onlyvisible", "--name", f"^{title}$")


class SilentSocket:
    """A Unix socket at `path`, open to every user, that takes each
    connection and never says a word; a subclass may `serve` instead."""

    def __init__(self, path):
        self.path = str(path)
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(self.path)
        os.chmod(self.path, 0o777)
        self.listener.listen(8)
        self.accepted = []
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        try:
            while True:
                self.accepted.append(self.listener.accept()[0])
        except OSError:
            pass

    def close(self):
        self.listener.close()
        for connection in self.accepted:
            connection.close()
        os.unlink(self.path)


def without_display(env):
    """`env` with neither DISPLAY nor WAYLAND_DISPLAY."""
    return {key: value for key, value in env.items() if key not in ("DISPLAY", "WAYLAND_DISPLAY")}


def run_quiet(runner, tool, tail, env=None):
    """Runs a tool that is to do its job without a word: nothing printed,
    status 0 (natively nothing on standard error either; under Wine it may
    carry Wine's own lines)."""
    result = runner.run(tool, tail, env=env)
    assert (result.stdout, result.status) == (b"", 0), result
    assert runner.name != "native" or result.stderr == b"", result.stderr
    return result


def only_on(*platforms):
    """Runs a test taking `runner` on the named platforms only ("native", "wine":
    "wine" means both Windows builds)."""
    def mark(function):
        function.platforms = platforms
        return function
    return mark


@dataclass
class Case:
    """One row of the end-to-end table: a program, its exact tail, the exact
    standard output (bytes) or a pattern it must match in full, the exit
    status, and for status 1 the failure named on standard error, or what
    the tool says there when it could not do what was asked. Natively the
    status may differ (1 after an ERROR! line, 2 for a help screen shown
    because arguments were missing): `native_status`, when given."""
    tool: str
    tail: str
    stdout: object
    status: int = 0
    failure: str = None
    platforms: tuple = ("native", "wine")
    says: str = None  # natively, a request left undone: the line after "<Tool>: " on standard error
    native_status: int = None

    def status_on(self, runner):
        if runner.name == "native" and self.native_status is not None:
            return self.native_status
        return self.status

    @property
    def id(self):
        return f"{self.tool}[{self.tail!r}]"


@dataclass
class Result:
    stdout: bytes
    stderr: bytes
    status: int


class Services:
    """Background processes of one test session, stopped in reverse order."""

    def __init__(self):
        self.root = Path(tempfile.mkdtemp(prefix="qcp-e2e-"))
        self.processes = []
        self.env = dict(os.environ)
        for key in ("XDG_SESSION_ID", "DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY"):
            self.env.pop(key, None)
        home = self.root / "home"
        runtime = self.root / "run"
        home.mkdir()
        runtime.mkdir(mode=0o700)
        self.env.update(HOME=str(home), XDG_RUNTIME_DIR=str(runtime), XDG_CONFIG_HOME=str(home / ".config"),
                        XDG_DATA_HOME=str(home / ".local/share"), XDG_CACHE_HOME=str(home / ".cache"),
                        LANG="C.UTF-8", NO_AT_BRIDGE="1", GTK_A11Y="none",
                        # No session manager unless a test brings its mock: a tool
                        # run here must never lock or end a real session.
                        DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent/system_bus_socket")
        self.env.pop("DISPLAY", None)

    def spawn(self, argv, **kwargs):
        process = subprocess.Popen(argv, env=kwargs.pop("env", self.env), stdin=kwargs.pop("stdin", subprocess.DEVNULL),
                                   stdout=kwargs.pop("stdout", subprocess.DEVNULL),
                                   stderr=kwargs.pop("stderr", subprocess.DEVNULL), start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def xvfb(self, *options, screen="1280x1024x24"):
        """An X server of the session's own: (its process, its display).
        Xvfb picks a free display itself and reports it: several test runs
        on one machine never race for the same number."""
        read, write = os.pipe()
        process = self.spawn(["Xvfb", "-displayfd", str(write), "-screen", "0", screen, "-nolisten", "tcp", *options],
                             pass_fds=(write,))
        os.close(write)
        with os.fdopen(read) as reply:
            number = reply.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        return process, f":{number}"

    def start_display(self):
        self.env["DISPLAY"] = self.xvfb("-noreset")[1]
        self.spawn(["openbox", "--sm-disable"])
        wait_for(lambda: b"_NET_SUPPORTING_WM_CHECK(WINDOW)" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env, capture_output=True).stdout,
            what="openbox")

    def start_audio(self):
        """PulseAudio with one null sink; a silent stream keeps it from batching."""
        socket = self.root / "run" / "pulse.sock"
        self.spawn(["pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
                    "-L", f"module-native-protocol-unix socket={socket} auth-anonymous=1",
                    "-L", "module-null-sink sink_name=qcp rate=48000 channels=1"])
        self.env["PULSE_SERVER"] = f"unix:{socket}"
        wait_for(lambda: subprocess.run(["pactl", "info"], env=self.env, capture_output=True).returncode == 0,
                 what="PulseAudio")
        self.spawn(["pacat", "--raw", "--format=s16le", "--rate=48000", "--channels=1", "--latency-msec=20"],
                   stdin=open("/dev/zero", "rb"))

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
        shutil.rmtree(self.root, ignore_errors=True)


class Recorder:
    """Records the null sink's monitor while a block runs: 48 kHz mono s16."""

    def __init__(self, services):
        self.services = services
        self.path = services.root / f"recording-{time.monotonic_ns()}.raw"

    def __enter__(self):
        self.file = open(self.path, "wb")
        self.process = subprocess.Popen(
            ["parec", "--device=qcp.monitor", "--raw", "--format=s16le", "--rate=48000", "--channels=1",
             "--latency-msec=20"], env=self.services.env, stdout=self.file)
        time.sleep(0.5)
        return self

    def __exit__(self, *exc):
        time.sleep(0.7)
        self.process.terminate()
        self.process.wait()
        self.file.close()

    def tone(self, threshold=2000):
        """(length in seconds, frequency in Hz) of the loud part, or (0, 0)."""
        import array
        samples = array.array("h")
        samples.frombytes(self.path.read_bytes())
        loud = [i for i, v in enumerate(samples) if abs(v) > threshold]
        if not loud:
            return 0.0, 0.0
        part = samples[loud[0]:loud[-1] + 1]
        crossings = sum(1 for i in range(1, len(part)) if (part[i - 1] < 0) != (part[i] < 0))
        seconds = len(part) / 48000
        return seconds, crossings / 2 / seconds


class NativeRunner:
    name = platform = "native"

    def __init__(self, services, bin_dir):
        self.services = services
        self.bin_dir = Path(bin_dir)

    def program(self, tool):
        return self.bin_dir / tool

    @staticmethod
    def file_name(path):
        """`path` as a tool is given it."""
        return str(path)

    @staticmethod
    def expect(expected):
        """The output expected natively where Windows writes `expected`."""
        return native_bytes(expected)

    def argv(self, tool, tail):
        """The tail is argv[1..] joined with single blanks, so splitting it at
        every blank gives back arguments that rebuild it exactly."""
        sep = b" " if isinstance(tail, bytes) else " "
        return [str(self.program(tool))] + (tail.split(sep) if tail else [])

    def start(self, tool, tail, env=None, **kwargs):
        kwargs.setdefault("stdout", subprocess.PIPE)
        kwargs.setdefault("stderr", subprocess.PIPE)
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        return subprocess.Popen(self.argv(tool, tail), env=env or self.services.env, **kwargs)

    def run(self, tool, tail, timeout=60, env=None, **kwargs):
        return _run_captured(lambda **more: self.start(tool, tail, env=env, **more), timeout, kwargs)


class WineRunner:
    """Runs .exe files through a launcher that hands CreateProcessW the exact
    line. Its name is "wine" for the x64 and the x86 build alike (they run the
    same cases); `platform` tells them apart."""
    name = "wine"

    def __init__(self, services, bin_dir, launcher, prefix="wine", platform="wine"):
        """`prefix` names the Wine prefix under the session's root: a test that
        ends its Wine session uses one of its own. The prefix is 64-bit; it
        starts the x86 build's programs as well."""
        self.services = services
        self.bin_dir = Path(bin_dir)
        self.launcher = Path(launcher)
        self.platform = platform
        self.count = 0
        self.env = dict(services.env)
        self.env.update(WINEPREFIX=str(services.root / prefix), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv=d")
        # One persistent server and a warm-up run with stdio on /dev/null:
        # the prefix's background processes must not hold test pipes open.
        # (A prefix a test made for one build may serve the other one after.)
        (services.root / prefix).mkdir(exist_ok=True)
        subprocess.run(["wineserver", "-p"], env=self.env, check=True)
        subprocess.run(["wine", "cmd", "/c", "exit"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)

    @staticmethod
    def windows_path(path):
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def program(self, tool):
        return self.bin_dir / f"{tool}.exe"

    def file_name(self, path):
        return self.windows_path(path)

    @staticmethod
    def expect(expected):
        return expected

    def command_line(self, tool, tail):
        line = '"' + self.windows_path(self.program(tool)) + '"'
        return line + " " + tail if tail else line

    def start(self, tool, tail, env=None, timeout_ms=None, line=None, **kwargs):
        """`line`, if given, is the whole command line, with {program} for the
        program's Windows path: for text glued to the program name."""
        self.count += 1
        path = self.services.root / f"cmdline-{self.count}.txt"
        self.last_status = path.with_name(path.name + ".status")
        if line is None:
            line = self.command_line(tool, tail)
        else:
            line = line.replace("{program}", self.windows_path(self.program(tool)))
        if _has_surrogates(line):  # not valid Unicode: UTF-16 after a byte-order mark
            path.write_bytes(b"\xff\xfe" + line.encode("utf-16-le", "surrogatepass"))
        else:
            path.write_bytes(line.encode())
        argv = ["wine", str(self.launcher), self.windows_path(path)]
        if timeout_ms:
            argv.append(str(timeout_ms))
        kwargs.setdefault("stdout", subprocess.PIPE)
        kwargs.setdefault("stderr", subprocess.PIPE)
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        return subprocess.Popen(argv, env=env or self.env, **kwargs)

    def run(self, tool, tail, timeout=60, env=None, line=None, **kwargs):
        # Under load Wine now and then fails to start the launcher at all, with
        # status 1 and not a word (its own messages are off): such a run never
        # reached the tool, as the launcher's missing status file shows, and is
        # made again.
        for _ in range(3):
            result = _run_captured(lambda **more: self.start(tool, tail, env=env, timeout_ms=int(timeout * 1000),
                                                             line=line, **more), timeout + 30, dict(kwargs))
            if (result.status, result.stdout, result.stderr) != (1, b"", b"") or self.last_status.exists():
                return result
        return result

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env)


def _run_captured(start, timeout, kwargs):
    """Runs a program to its end with standard output and error in files, so
    that its end ends the wait even when something it started (a document's
    viewer, under Wine) still holds the same handles."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        kwargs.setdefault("stdout", out)
        kwargs.setdefault("stderr", err)
        process = start(**kwargs)
        try:
            process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            raise
        out.seek(0)
        err.seek(0)
        return Result(out.read(), err.read(), process.returncode)


def _has_surrogates(text):
    return any(0xD800 <= ord(c) <= 0xDFFF for c in text)


def native_bytes(expected):
    """The native build's form of the Windows bytes `expected` (bytes or a
    compiled pattern): lines end with LF instead of CR LF, and a help
    screen's usage line names the program without ".exe"."""
    if isinstance(expected, re.Pattern):
        return re.compile(_native_pattern(expected.pattern), expected.flags)
    if expected.startswith(b"\r\n" + BANNER + b"\r\n"):
        expected = re.sub(rb"^(\r\n[^\r]*\r\n {4}[A-Za-z]+)\.exe(?=[ \r])", rb"\1", expected)
    return expected.replace(b"\r\n", b"\n")


def _native_pattern(source):
    """`source` with every CR LF outside brackets (a line end, unlike the
    class [^\\r\\n]) turned into LF, in each of its spellings: the escapes,
    the bytes themselves, and the bytes escaped as re.escape writes them."""
    text = isinstance(source, str)
    source = source.encode() if text else source
    spellings = [(rb"\r\n", rb"\n"), (b"\\\r\\\n", b"\\\n"), (b"\r\n", b"\n")]
    out, in_class, i = b"", False, 0
    while i < len(source):
        line_end = None if in_class else next((s for s in spellings if source.startswith(s[0], i)), None)
        if line_end:
            out += line_end[1]
            i += len(line_end[0])
            continue
        step = 2 if source[i:i + 1] == b"\\" else 1
        if step == 1 and source[i:i + 1] in (b"[", b"]"):
            in_class = source[i:i + 1] == b"["
        out += source[i:i + step]
        i += step
    return out.decode() if text else out


def matches(expected, actual):
    """`expected` is bytes (exact) or a compiled regular expression (full match)."""
    if isinstance(expected, re.Pattern):
        return expected.fullmatch(actual) is not None
    return expected == actual
