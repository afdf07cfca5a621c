"""What reaches Windows from each tool: the Win32 calls and their arguments as
Wine's relay trace records them, the tool's own calls only (top level, in
order), with the values the constants must have on the way."""

import re
import shutil
import subprocess
from dataclasses import dataclass, field
from unittest.mock import ANY

import pytest

from harness import WineRunner, only_on
from test_window import Notepad

# Every function a tool may call that is checked here; the relay trace covers
# these alone, and only when a pack program or the window probe calls them.
RELAY_INCLUDE = [
    "user32.FindWindowW", "user32.GetForegroundWindow", "user32.GetWindowTextW", "user32.PostMessageW",
    "user32.SetWindowPos", "user32.LockWorkStation", "user32.ExitWindowsEx",
    "kernel32.CreateToolhelp32Snapshot", "kernel32.Process32FirstW", "kernel32.Process32NextW",
    "kernel32.CloseHandle", "kernel32.WaitForSingleObject", "kernel32.Beep", "kernel32.GetTickCount",
    "kernel32.GetTickCount64", "advapi32.OpenProcessToken", "advapi32.LookupPrivilegeValueW",
    "advapi32.AdjustTokenPrivileges", "shell32.SHEmptyRecycleBinW", "shell32.ShellExecuteExW",
    "winmm.PlaySoundW", "kernel32.GetSystemTimeAsFileTime", "kernel32.GetSystemTimePreciseAsFileTime",
    "kernelbase.GetSystemTimeAsFileTime", "kernelbase.GetSystemTimePreciseAsFileTime",
]
# Result and arguments of each: p pointer-sized, i 32 bits (on x64 the trace
# shows the whole 64-bit slot, whose upper half the callee ignores), s text.
SIGNATURES = {
    "FindWindowW": "p:ps", "GetForegroundWindow": "p:", "GetWindowTextW": "i:ppi", "PostMessageW": "i:pipp",
    "SetWindowPos": "i:ppiiiii", "LockWorkStation": "i:", "ExitWindowsEx": "i:ii", "CreateToolhelp32Snapshot": "p:ii",
    "Process32FirstW": "i:pp", "Process32NextW": "i:pp", "CloseHandle": "i:p", "WaitForSingleObject": "i:pi",
    "Beep": "i:ii", "GetTickCount": "i:", "GetTickCount64": "p:", "OpenProcessToken": "i:pip",
    "LookupPrivilegeValueW": "i:ssp", "AdjustTokenPrivileges": "i:pipipp", "SHEmptyRecycleBinW": "i:psi",
    "ShellExecuteExW": "i:p", "PlaySoundW": "i:spi", "GetSystemTimeAsFileTime": "p:p",
    "GetSystemTimePreciseAsFileTime": "p:p",
}
CALLERS = ["PaneShut", "PaneRevive", "PaneShrink", "PaneGrow", "PanePin", "PaneUnpin", "TaskTable", "DeskGuard",
           "SessionEnd", "TrashPurge", "Start", "Beep", "WaveOnce", "WaveRepeat", "UptimeClock", "DiceRoll",
           "qcp_window_probe"]

# Process and thread ID, then a relay line or a trace line of some channel.
LINE = re.compile(r"([0-9a-f]+):([0-9a-f]+):(.*)")
RELAY = re.compile(r"(Call|Ret) +[\w]+\.(\w+)\((.*)\)(?: retval=([0-9a-f]+))? ret=[0-9a-f]+")
ARGUMENT = re.compile(r'([0-9a-f]+)(?: L"((?:[^"\\]|\\.)*)")?(?:,|$)')
WIDE = r'L"((?:[^"\\]|\\.)*)"'
KIND_MASKS = {"p": (1 << 64) - 1, "i": (1 << 32) - 1, "s": (1 << 64) - 1}
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}


def unescape(text):
    """Wine's debug form of a wide string back to the string."""
    return re.sub(r'\\([nrt"\\]|[0-9a-fA-F]{4})', lambda m: ESCAPES.get(m[1]) or chr(int(m[1], 16)), text)


@dataclass
class Call:
    name: str
    args: tuple
    retval: object = None


@dataclass
class Trace:
    """One program's part of a trace: its top-level relayed calls, and the
    lines of other channels, by the program's process."""
    calls: list = field(default_factory=list)
    lines: list = field(default_factory=list)

    def of(self, *names):
        return [call for call in self.calls if call.name in names]

    def channel(self, pattern):
        return [m for m in (re.fullmatch(pattern, line) for line in self.lines) if m]


def parse(stderr, program):
    """The trace of `program`'s process; a string argument is its text, any
    other argument and every result a number."""
    text = stderr.decode("utf-8", "replace")
    pids = list(dict.fromkeys(
        m[1] for m in re.finditer(r"^([0-9a-f]+):[0-9a-f]+:trace:loaddll:\w+ Loaded " + WIDE + " at", text, re.M)
        if unescape(m[2]).lower().endswith("\\" + program.lower() + ".exe")))
    # A busy Wine server now and then fails a start after the program is
    # loaded, and the launcher starts it again: the program ran in the last
    # process only, and the ones before it never reached its own calls.
    assert pids, f"no process of {program} in the trace"
    pid = pids[-1]
    for failed in pids[:-1]:
        assert not re.search(rf"^{failed}:[0-9a-f]+:Call ", text, re.M), f"more than one process of {program} in the trace"
    trace, stacks = Trace(), {}
    for line in text.splitlines():
        match = LINE.fullmatch(line)
        if not match or match[1] != pid:
            continue
        relay = RELAY.fullmatch(match[3])
        if not relay:
            trace.lines.append(match[3])
            continue
        stack = stacks.setdefault(match[2], [])
        if relay[1] == "Call":
            kinds = SIGNATURES[relay[2]].split(":")[1]
            args = tuple(unescape(m[2]) if m[2] is not None else int(m[1], 16) & KIND_MASKS[kind]
                         for m, kind in zip(ARGUMENT.finditer(relay[3]), kinds))
            call = Call(relay[2], args)
            if not stack:
                trace.calls.append(call)
            stack.append(call)
        elif stack:
            call = stack.pop()
            call.retval = int(relay[4], 16) & KIND_MASKS[SIGNATURES[call.name][0]]
    return trace


def set_relay_lists(runner, include, callers):
    """Which functions the relay trace covers, and whose calls: Wine reads
    both from the registry as a traced process starts."""
    path = runner.services.root / f"relay-{runner.platform}.reg"
    value = (lambda names: '"' + ";".join(names) + '"') if include else (lambda names: "-")
    path.write_text("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Debug]\n"
                    f'"RelayInclude"={value(include)}\n"RelayFromInclude"={value(callers)}\n')
    subprocess.run(["wine", "regedit", "/S", runner.windows_path(path)], env=runner.env, check=True,
                   stdin=subprocess.DEVNULL, capture_output=True, timeout=120)


def traced_env(runner, channels=""):
    return dict(runner.env, WINEDEBUG="-all,+pid,+loaddll,+relay" + channels)


def traced_run(runner, tool, tail, channels="", **env):
    result = runner.run(tool, tail, env=dict(traced_env(runner, channels), **env))
    return result, parse(result.stderr, tool)


def word(value, runner):
    """`value` as a pointer-sized argument of this build shows it."""
    return value & ((1 << (64 if runner.platform == "wine" else 32)) - 1)


@pytest.fixture(scope="module")
def relay(runner):
    # The desktop process starts untraced first: one started by a traced
    # tool would trace every window message for the rest of the session.
    subprocess.run(["wine", str(runner.launcher.parent / "qcp_window_probe.exe"), "foreground"], env=runner.env,
                   stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    set_relay_lists(runner, RELAY_INCLUDE, [name + ".exe" for name in CALLERS])
    yield runner
    set_relay_lists(runner, [], [])


# ---- Window tools ------------------------------------------------------------

SC_CLOSE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE = 0xF060, 0xF020, 0xF030, 0xF120
SYSCOMMAND, HWND_TOPMOST, HWND_NOTOPMOST, SWP_NOMOVE_NOSIZE = 0x0112, -1, -2, 3

# The tool and its one call on the window found (PaneShut last: it closes it).
WINDOW_ACTIONS = [
    ("PaneGrow", "PostMessageW", (SYSCOMMAND, SC_MAXIMIZE, 0)),
    ("PaneShrink", "PostMessageW", (SYSCOMMAND, SC_MINIMIZE, 0)),
    ("PaneRevive", "PostMessageW", (SYSCOMMAND, SC_RESTORE, 0)),
    ("PanePin", "SetWindowPos", (HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE_NOSIZE)),
    ("PaneUnpin", "SetWindowPos", (HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE_NOSIZE)),
    ("PaneShut", "PostMessageW", (SYSCOMMAND, SC_CLOSE, 0)),
]
WINDOW_CALLS = ("FindWindowW", "GetForegroundWindow", "GetWindowTextW", "PostMessageW", "SetWindowPos")


class TracedNotepad(Notepad):
    def handle(self):
        """Notepad's window handle, as the probe's own lookup returns it."""
        result = subprocess.run(["wine", str(self.probe_exe), "state", self.CAPTION],
                                env=traced_env(self.runner), capture_output=True, timeout=120)
        found = parse(result.stderr, "qcp_window_probe").of("FindWindowW")
        assert found and found[0].retval, found
        return found[0].retval


@pytest.fixture(scope="module")
def target(relay):
    window = TracedNotepad(relay)
    yield window
    window.close()


@only_on("wine")
def test_window_tool_zero_looks_up_the_active_windows_caption(relay, target):
    assert target.probe("activate", Notepad.CAPTION).returncode == 0
    target.wait("foreground")
    hwnd = target.handle()
    _, trace = traced_run(relay, "PaneRevive", "0")
    assert trace.of(*WINDOW_CALLS) == [
        Call("GetForegroundWindow", (), hwnd),
        Call("GetWindowTextW", (hwnd, ANY, 256), len(Notepad.CAPTION)),
        Call("FindWindowW", (0, Notepad.CAPTION), hwnd),
        Call("PostMessageW", (hwnd, SYSCOMMAND, SC_RESTORE, 0), 1),
    ]


@only_on("wine")
@pytest.mark.parametrize("tool, function, rest", WINDOW_ACTIONS, ids=[row[0] for row in WINDOW_ACTIONS])
def test_window_tool_calls_on_the_window_found(relay, target, tool, function, rest):
    hwnd = target.handle()
    result, trace = traced_run(relay, tool, Notepad.CAPTION)
    assert result.stdout == b""
    assert trace.of(*WINDOW_CALLS) == [
        Call("FindWindowW", (0, Notepad.CAPTION), hwnd),
        Call(function, (hwnd,) + tuple(word(v, relay) for v in rest), 1),
    ]


# ---- Process list ------------------------------------------------------------

@only_on("wine")
def test_tasktable_walks_one_process_snapshot_and_closes_it(relay):
    result, trace = traced_run(relay, "TaskTable", "")
    calls = trace.of("CreateToolhelp32Snapshot", "Process32FirstW", "Process32NextW", "CloseHandle")
    snapshot = calls[0].retval
    assert calls[0] == Call("CreateToolhelp32Snapshot", (2, 0), snapshot)
    rows = result.stdout.count(b"\r\n") - 2
    assert rows > 1
    # Each row is one record the system filled in; the walk ends at the first refusal.
    assert calls[1:rows + 3] == [Call("Process32FirstW", (snapshot, ANY), 1)] + \
        [Call("Process32NextW", (snapshot, ANY), 1)] * (rows - 1) + \
        [Call("Process32NextW", (snapshot, ANY), 0), Call("CloseHandle", (snapshot,), 1)]
    assert [call for call in calls[rows + 3:] if call.name != "CloseHandle" or call.args == (snapshot,)] == []


# ---- System tools ------------------------------------------------------------

# Tool, tail, the functions looked at, and the calls they must receive.
SYSTEM_CASES = [
    ("UptimeClock", "", ("GetTickCount", "GetTickCount64"), [Call("GetTickCount", (), ANY)]),
    # The seed's clock: the precise one, which Wine has, looked up at run time.
    ("DiceRoll", "1 6", ("GetSystemTimeAsFileTime", "GetSystemTimePreciseAsFileTime"),
     [Call("GetSystemTimePreciseAsFileTime", (ANY,), ANY)]),
    ("DeskGuard", "", ("LockWorkStation", "ExitWindowsEx"), [Call("LockWorkStation", (), ANY)]),
    ("DeskGuard", "/?", ("LockWorkStation",), []),
    ("Beep", "440 300", ("Beep",), [Call("Beep", (440, 300), ANY)]),
    ("Beep", "37 1", ("Beep",), [Call("Beep", (37, 1), ANY)]),
    ("Beep", "32767.4 2.5", ("Beep",), [Call("Beep", (32767, 2), ANY)]),
    ("Beep", "20 100", ("Beep",), []),
    ("Beep", "440 0", ("Beep",), []),
    ("WaveOnce", "nowhere\\a t\u00f6ne \u266b.wav", ("PlaySoundW",), [Call("PlaySoundW", (ANY, 0, 2), ANY)]),
    ("WaveRepeat", "nowhere\\a t\u00f6ne \u266b.wav", ("PlaySoundW",), [Call("PlaySoundW", (ANY, 0, 10), ANY)]),
] + [
    # The shell finds no trash here, so even the asking mode returns at once.
    ("TrashPurge", f"C:\\ {mode}", ("SHEmptyRecycleBinW",), [Call("SHEmptyRecycleBinW", (0, "C:\\", flags), ANY)])
    for mode, flags in (("0", 0), ("1", 1), ("2", 3), ("3", 7), ("1.5", 0), ("&H2", 3), ("x", 0))
] + [
    ("TrashPurge", "D:\\\u4e2d\u6587 01", ("SHEmptyRecycleBinW",),
     [Call("SHEmptyRecycleBinW", (0, "D:\\\u4e2d\u6587", 1), ANY)]),
]


@only_on("wine")
@pytest.mark.parametrize("tool, tail, functions, expected", SYSTEM_CASES,
                         ids=[f"{row[0]}[{row[1]!r}]" for row in SYSTEM_CASES])
def test_system_tool_calls(relay, services, tool, tail, functions, expected):
    result, trace = traced_run(relay, tool, tail, ",trace+winmm", XDG_DATA_HOME=str(services.root / "no-data"))
    assert trace.of(*functions) == expected
    if tool == "UptimeClock":  # the count printed is the one the system returned, signed
        ticks = trace.of("GetTickCount")[0].retval
        assert int(result.stdout) == ticks - (ticks >> 31 << 32)
    if expected and tool.startswith("Wave"):  # the name goes unchanged to the default lookup
        names = trace.channel(r"trace:winmm:proc_PlaySound SoundName=" + WIDE + " !")
        assert [unescape(m[1]) for m in names] == [tail]


@only_on("wine")
def test_start_opens_the_file_and_closes_the_process_handle_unwaited(relay, services):
    folder = services.root / "start t\u00f6 open"
    folder.mkdir(exist_ok=True)
    program = folder / "Uptime Copy.exe"
    shutil.copy(relay.program("UptimeClock"), program)
    path = relay.windows_path(program)
    _, trace = traced_run(relay, "Start", f"0 {path}", ",trace+exec")
    record = trace.channel(r"trace:exec:SHELL_execute mask=0x([0-9a-f]+) hwnd=([0-9a-f]+) verb=" + WIDE + " file=" +
                           WIDE + " parm=" + WIDE + r" dir=\(null\) show=0x([0-9a-f]+) .*")
    assert [(int(m[1], 16), int(m[2], 16), unescape(m[3]), unescape(m[4]), m[5], int(m[6], 16)) for m in record] == \
        [(0x40, 0, "open", path, "", 1)]
    # Right after the shell call the process handle it handed back is closed,
    # never waited on; no other shell call, nothing else closes that handle.
    calls = trace.of("ShellExecuteExW", "WaitForSingleObject", "CloseHandle")
    process = calls[1].args[0] if len(calls) > 1 else None
    assert calls[:2] == [Call("ShellExecuteExW", (ANY,), 1), Call("CloseHandle", (process,), 1)]
    assert [call for call in calls[2:] if call.name != "CloseHandle" or call.args == (process,)] == []


@only_on("wine")
def test_sessionend_enables_the_shutdown_privilege_and_forces_a_log_off(relay, services):
    # Ending the session ends every program of its prefix: it gets its own.
    own = WineRunner(services, relay.bin_dir, relay.launcher, prefix="wine-session", platform=relay.platform)
    try:
        set_relay_lists(own, RELAY_INCLUDE, ["SessionEnd.exe"])
        _, trace = traced_run(own, "SessionEnd", "")
    finally:
        own.stop()
    calls = trace.of("OpenProcessToken", "LookupPrivilegeValueW", "AdjustTokenPrivileges", "ExitWindowsEx")
    assert calls[:3] == [
        Call("OpenProcessToken", (word(-1, relay), 0x28, ANY), 1),  # the current process's own handle
        Call("LookupPrivilegeValueW", (0, "SeShutdownPrivilege", ANY), 1),
        Call("AdjustTokenPrivileges", (ANY, 0, ANY, 16, ANY, ANY), 1),
    ]
    assert calls[2].args[0] != 0  # a token was handed on
    # The log-off ends this process as well, maybe before the call returns.
    assert [(call.name, call.args) for call in calls[3:]] == [("ExitWindowsEx", (4, 0))]
