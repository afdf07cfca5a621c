"""Effects of the window tools on real windows beyond the scenarios every
desktop runs (test_window_desktops.py): an xterm managed by openbox natively
(read back through _NET_WM_STATE), Wine's notepad under Wine (read back with
a Win32 probe). Every effect is polled for, as the requests are
carried out after the tool has ended. Also the process list against ps."""

import itertools
import os
import re
import shutil
import subprocess
from pathlib import Path

import pytest

from harness import only_on, wait_for

NOT_FOUND = b"ERROR! Couldn't find window: "
_titles = itertools.count(1)


class XTermWindow:
    """An xterm with a known title, as a window of the native desktop."""

    def __init__(self, services):
        self.env = services.env
        self.title = f"QCP Target {next(_titles)}"
        self.process = subprocess.Popen(["xterm", "-T", self.title, "-e", "sleep", "600"], env=self.env,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        self.id = wait_for(self._managed_id, what=f"window {self.title}")

    def _x(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True)

    def _managed_id(self):
        found = self._x("xdotool", "search", "--name", f"^{re.escape(self.title)}$").stdout.split()
        clients = self._x("xprop", "-root", "_NET_CLIENT_LIST").stdout
        ids = [int(word, 16) for word in re.findall(r"0x[0-9a-f]+", clients)]
        return next((int(w) for w in found if int(w) in ids), None)

    def states(self):
        out = self._x("xprop", "-id", str(self.id), "_NET_WM_STATE").stdout
        return set(re.findall(r"_NET_WM_STATE_[A-Z_]+", out.split("=", 1)[1])) if "=" in out else set()

    def wait_states(self, present=(), absent=()):
        return wait_for(lambda: set(present) <= self.states() and not set(absent) & self.states(),
                        what=f"{self.title}: {present} set, {absent} cleared")

    def activate(self):
        self._x("xdotool", "windowactivate", "--sync", str(self.id))
        wait_for(lambda: self._x("xdotool", "getactivewindow").stdout.strip() == str(self.id), what="activation")

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)


@pytest.fixture
def xterm(services):
    window = XTermWindow(services)
    yield window
    window.close()


MAXIMIZED = ("_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ")
HIDDEN = ("_NET_WM_STATE_HIDDEN",)
ABOVE = ("_NET_WM_STATE_ABOVE",)


def run_quiet(runner, tool, tail):
    result = runner.run(tool, tail)
    assert (result.stdout, result.status) == (b"", 0), result
    return result


@only_on("native")
def test_grow_shrink_and_revive_an_x_window(runner, xterm):
    run_quiet(runner, "PaneGrow", xterm.title)
    xterm.wait_states(present=MAXIMIZED)
    run_quiet(runner, "PaneShrink", xterm.title)
    xterm.wait_states(present=HIDDEN)
    # Restored from minimised, it comes back as it was: still maximised.
    run_quiet(runner, "PaneRevive", xterm.title)
    xterm.wait_states(present=MAXIMIZED, absent=HIDDEN)
    run_quiet(runner, "PaneRevive", xterm.title)
    xterm.wait_states(absent=MAXIMIZED + HIDDEN)


@only_on("native")
def test_pin_and_unpin_an_x_window(runner, xterm):
    run_quiet(runner, "PanePin", xterm.title)
    xterm.wait_states(present=ABOVE)
    # Pinning a pinned window keeps it pinned: a toggle in place of an add
    # would unpin it. The window manager takes requests in order, so once the
    # later maximising shows, the second pin has been carried out.
    run_quiet(runner, "PanePin", xterm.title)
    run_quiet(runner, "PaneGrow", xterm.title)
    xterm.wait_states(present=MAXIMIZED)
    assert set(ABOVE) <= xterm.states()
    run_quiet(runner, "PaneUnpin", xterm.title)
    xterm.wait_states(absent=ABOVE)


@only_on("native")
@pytest.mark.parametrize("tool", ["PaneShut", "PaneRevive", "PaneShrink", "PaneGrow", "PanePin", "PaneUnpin"])
def test_without_a_display_the_tool_says_so_and_fails(runner, services, tool):
    unset = {key: value for key, value in services.env.items() if key not in ("DISPLAY", "WAYLAND_DISPLAY")}
    nowhere = dict(unset, DISPLAY=":9999", WAYLAND_DISPLAY="qcp-no-compositor-here")
    for env, tail in ((unset, "Target"), (unset, "0"), (nowhere, "Target")):
        result = runner.run(tool, tail, env=env)
        assert (result.stdout, result.status) == (b"", 1), (env.get("DISPLAY"), tail)
        assert result.stderr == tool.encode() + (b": no X11 or Wayland display "
                                                 b"(DISPLAY and WAYLAND_DISPLAY are unset or unreachable)\n")


def _table(stdout):
    """The rows of TaskTable's output: {ID: (name, threads, priority)}."""
    rows = {}
    for line in stdout.split(b"\n")[2:-1]:
        match = re.fullmatch(rb" (\d{4,})  (.+?) *  (\d+) *     (-?\d+)\r?", line)
        assert match, line
        rows[int(match[1])] = (match[2].decode(), int(match[3]), int(match[4]))
    return rows


def _ps_threads():
    out = subprocess.run(["ps", "-e", "-o", "pid=,nlwp="], capture_output=True, text=True, check=True).stdout
    return {int(pid): int(threads) for pid, threads in (line.split() for line in out.splitlines())}


@only_on("native")
def test_tasktable_agrees_with_ps(runner):
    before = _ps_threads()
    result = runner.run("TaskTable", "")
    after = _ps_threads()
    assert result.status == 0
    rows = _table(result.stdout)
    # Processes that lived through both ps calls were there during TaskTable.
    stable = {pid: threads for pid, threads in before.items() if after.get(pid) == threads}
    assert set(stable) <= set(rows)
    assert {pid: rows[pid][1] for pid in stable} == stable


@only_on("native")
def test_tasktable_over_a_proc_that_shows_nothing_says_so(runner):
    if os.geteuid() != 0 or not shutil.which("unshare"):
        pytest.skip("needs root for a private mount namespace")
    if b"__asan_init" in runner.program("TaskTable").read_bytes():
        pytest.skip("AddressSanitizer's own runtime reads /proc")
    result = subprocess.run(["unshare", "-m", "--propagation", "private", "sh", "-c",
                             'mount -t tmpfs none /proc && exec "$0"', str(runner.program("TaskTable"))],
                            capture_output=True, timeout=60)
    assert (result.stdout, result.stderr, result.returncode) == (
        b"", b"TaskTable: /proc shows no processes; mount the proc file system there\n", 1)


# Processes started with a chosen nice value or scheduling policy, and the
# base priority TaskTable must show for each: the edges of every band of
# nice values, and the real-time policies whatever their nice value.
PRIORITIES = [
    (["nice", "-n", "-20"], 13), (["nice", "-n", "-11"], 13), (["nice", "-n", "-10"], 10),
    (["nice", "-n", "-1"], 10), (["nice", "-n", "0"], 8), (["nice", "-n", "1"], 6), (["nice", "-n", "10"], 6),
    (["nice", "-n", "11"], 4), (["nice", "-n", "19"], 4),
    (["chrt", "--fifo", "10"], 24), (["chrt", "--rr", "1"], 24), (["nice", "-n", "15", "chrt", "--rr", "99"], 24),
    (["chrt", "--deadline", "--sched-runtime", "1000000", "--sched-deadline", "10000000",
      "--sched-period", "10000000", "0"], 24),
    (["nice", "-n", "5", "chrt", "--batch", "0"], 6),  # not real-time: its nice value counts
]


@only_on("native")
def test_tasktable_shows_the_base_priority_of_each_nice_value_and_policy(runner, tmp_path):
    # Faults this catches: "nice <= -10" for the high band, "nice < 10" for
    # below normal, the deadline policy left out of the real-time ones.
    if os.geteuid() != 0:
        pytest.skip("raising priorities and real-time policies need root")
    sleepers = {}
    try:
        for prefix, expected in PRIORITIES:
            # nice -n is relative: a test run that is itself niced still
            # gives each sleeper the value in the table.
            if prefix[0] == "nice":
                prefix = prefix[:2] + [str(int(prefix[2]) - os.nice(0))] + prefix[3:]
            process = subprocess.Popen(prefix + ["sleep", "600"], stdin=subprocess.DEVNULL)
            sleepers[process.pid] = (" ".join(prefix), expected, process)
        # nice and chrt replace themselves with sleep under the same ID.
        wait_for(lambda: all(Path(f"/proc/{pid}/comm").read_text() == "sleep\n" for pid in sleepers),
                 what="the sleepers")
        result = runner.run("TaskTable", "")
        rows = _table(result.stdout)
        shown = {sleepers[pid][0]: rows.get(pid) for pid in sleepers}
        assert shown == {how: ("sleep", 1, expected) for how, expected, _ in sleepers.values()}
    finally:
        for _, _, process in sleepers.values():
            process.kill()
            process.wait()


class Notepad:
    """Wine's notepad: a real Win32 window, looked at through the probe."""
    CAPTION = "Untitled - Notepad"

    def __init__(self, runner):
        self.runner = runner
        self.probe_exe = runner.bin_dir.parent / "test-bin" / "qcp_window_probe.exe"
        self.wait("gone", 30000)  # no notepad left over from an earlier test
        self.process = subprocess.Popen(["wine", "notepad"], env=runner.env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait("exists", 60000)

    def probe(self, *args):
        return subprocess.run(["wine", str(self.probe_exe), *args], env=self.runner.env, capture_output=True,
                              text=True, timeout=120)

    def wait(self, condition, timeout_ms=15000):
        result = self.probe("wait", self.CAPTION, condition, str(timeout_ms))
        assert result.returncode == 0, f"{condition}: {result.stdout}{result.stderr}"
        return result.stdout

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=30)


@pytest.fixture
def notepad(runner):
    window = Notepad(runner)
    yield window
    window.close()


@only_on("wine")
def test_grow_shrink_and_revive_notepad(runner, notepad):
    run_quiet(runner, "PaneGrow", Notepad.CAPTION)
    notepad.wait("zoomed")
    run_quiet(runner, "PaneRevive", Notepad.CAPTION)
    notepad.wait("normal")
    run_quiet(runner, "PaneShrink", Notepad.CAPTION)
    notepad.wait("iconic")
    run_quiet(runner, "PaneRevive", Notepad.CAPTION)
    notepad.wait("normal")


@only_on("wine")
def test_pin_and_unpin_notepad(runner, notepad):
    run_quiet(runner, "PanePin", Notepad.CAPTION)
    notepad.wait("topmost")
    run_quiet(runner, "PaneUnpin", Notepad.CAPTION)
    notepad.wait("nottopmost")


@only_on("wine")
def test_shut_closes_notepad(runner, notepad):
    run_quiet(runner, "PaneShut", Notepad.CAPTION)
    notepad.wait("gone")
    notepad.process.wait(timeout=30)


@only_on("wine")
def test_zero_acts_on_the_active_notepad(runner, notepad):
    assert notepad.probe("activate", Notepad.CAPTION).returncode == 0
    notepad.wait("foreground")
    run_quiet(runner, "PaneShrink", "0")
    notepad.wait("iconic")


@only_on("wine")
def test_quoted_caption_is_not_notepad(runner, notepad):
    for tail in (f'"{Notepad.CAPTION}"', "/?"):
        result = runner.run("PaneShut", tail)
        assert (result.stdout, result.status) == (NOT_FOUND + tail.encode() + b"\r\n", 0)
    assert "window=1" in notepad.probe("state", Notepad.CAPTION).stdout


@only_on("wine")
def test_tasktable_lists_itself(runner):
    result = runner.run("TaskTable", "")
    lines = result.stdout.split(b"\r\n")
    assert lines[0] == b" ID    PROCESS                                   THREADS   PRIORITY CLASS"
    assert lines[1] == b" ====  ========================================  ========  =============="
    assert lines[-1] == b""
    assert any(re.fullmatch(rb" \d{4,}  TaskTable\.exe {27}  \d+ *     \d+", line) for line in lines[2:-1]), lines
