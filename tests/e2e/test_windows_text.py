"""The Windows build's text at its two edges: the command line as Windows
hands it over (the tail after the program name) and the ANSI code page the
console text goes out in."""

import subprocess

import pytest

from cases_system import UPTIME_HELP
from cases_window import WINDOW_HELP, not_found
from harness import only_on


@only_on("wine")
@pytest.mark.parametrize("tool, line, stdout", [
    # Text glued to the quoted program name is the tail.
    ("UptimeClock", '"{program}"/?', UPTIME_HELP),
    ("PaneShut", '"{program}"No Such Window', not_found("No Such Window")),
    ("PaneShut", '"{program}"/?', not_found("/?")),
    # Blanks after the name go, a tab stays: here the caption is tab, x.
    ("PaneShut", '"{program}" \tx', not_found("\tx")),
    ("PaneShut", '"{program}"\t', not_found("\t")),
    ("PaneShut", '"{program}"   ', WINDOW_HELP["PaneShut"]),
    ("UptimeClock", '"{program}"\t/?', UPTIME_HELP),
], ids=["glued-help", "glued-caption", "glued-switch", "blank-tab", "tab-only", "blanks-only", "tab-help"])
def test_exact_command_lines(runner, tool, line, stdout):
    result = runner.run(tool, None, line=line)
    assert (result.stdout, result.status) == (stdout, 0)


@only_on("wine")
def test_ansi_conversion_has_no_best_fit(runner):
    """The conversion on its own, in a test program linked with the backend."""
    program = runner.launcher.parent / "ansi_text_test.exe"
    result = subprocess.run(["wine", str(program)], env=runner.env, capture_output=True, text=True,
                            stdin=subprocess.DEVNULL, timeout=120)
    assert (result.stdout.strip(), result.returncode) == ("ok", 0), result.stdout


@only_on("wine")
def test_fileshow_lists_a_named_pipe_to_its_writers_end(runner):
    """A writer that writes its lines and closes ends the listing: the closed
    pipe is the end of the input, not a failure of the device."""
    writer = subprocess.Popen(["wine", str(runner.launcher.parent / "qcp_pipe_writer.exe"), "qcp-lines", "one",
                               "two words", "three"], env=runner.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        assert writer.stdout.readline().strip() == b"ready"
        result = runner.run("FileShow", r"\\.\pipe\qcp-lines")
        assert (result.stdout, result.stderr, result.status) == (b"one\r\ntwo words\r\nthree\r\n", b"", 0)
        assert writer.wait(timeout=60) == 0
    finally:
        writer.kill()
        writer.wait()
