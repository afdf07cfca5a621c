"""The window tools on Wine's notepad (read back with a Win32 probe; the
native desktops run the scenarios of test_window_desktops.py), and the
process list against ps and /proc."""

import os
import re
import shutil
import subprocess
from pathlib import Path

import pytest

from harness import NOT_FOUND, only_on, run_quiet, wait_for


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
