"""The table of exact command lines: every cases_*.py module contributes its
CASES, and each case runs natively and under Wine."""

import importlib
import re
import subprocess
from pathlib import Path

import pytest

from harness import BANNER, ROOT, declared_tools, matches, only_on, without_display
from test_window_x11 import XMessage

CASES = []
for _module in sorted(Path(__file__).parent.glob("cases_*.py")):
    CASES += importlib.import_module(_module.stem).CASES


@pytest.mark.parametrize("case", CASES, ids=[case.id for case in CASES])
def test_table(runner, case):
    if runner.name not in case.platforms:
        pytest.skip(f"not on {runner.name}")
    result = runner.run(case.tool, case.tail)
    assert matches(runner.expect(case.stdout), result.stdout), result.stdout
    assert result.status == case.status_on(runner), result.stderr
    if case.failure is not None:
        assert result.stderr.decode(errors="replace").strip() == f"{case.tool}: run-time error: {case.failure}"
    if case.says is not None:
        assert result.stderr.decode(errors="replace").strip() == f"{case.tool}: {case.says}"


# ---- Exit status, natively ---------------------------------------------------
# Each tool once as it succeeds, fails and lacks arguments (None where it
# cannot fail, or has no arguments to lack); "--help" and "--version" for all.
# {dir} holds tone.wav, picture.png and text.txt; {window} is the caption of
# an xmessage; "logind" runs against the stand-in session manager, "no display"
# with DISPLAY and WAYLAND_DISPLAY unset.
PANE_TOOLS = ["PaneShut", "PaneRevive", "PaneShrink", "PaneGrow", "PanePin", "PaneUnpin"]
STATUS_ROWS = [(tool, "{window}", "No Such Window Anywhere", "") for tool in PANE_TOOLS] + [
    ("TaskTable", "", None, None),
    ("UptimeClock", "", None, None),
    ("DeskGuard", "logind", None, None),
    ("SessionEnd", "logind", None, None),
    ("Beep", "440 50", "1e999 100", "440"),
    ("TrashPurge", "/ 3", "/ 1E999", "/"),
    ("Start", "0 /bin/true", None, "0"),
    ("WaveOnce", "{dir}/tone.wav", None, ""),
    ("WaveRepeat", "{dir}/tone.wav", None, ""),
    ("FileShow", "{dir}/text.txt", "{dir}/missing.txt", ""),
    ("DiceRoll", "1 6", "1 1e999", "1"),
    ("QuipMaker", "", None, None),
    ("NoticeShow", None, "1e999 text", "1"),
    ("PictureShow", "1 {dir}/picture.png", "5 {dir}/missing.png", "5"),
    ("MovieShow", None, "no display", "0"),
]
VERSION = re.search(r"project\(\w+ VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text()).group(1)
STATUS_CASES = [(tool, kind, tail, status) for tool, success, failure, missing in STATUS_ROWS
                for kind, tail, status in [("success", success, 0), ("failure", failure, 1), ("missing", missing, 2),
                                           ("--help", "--help", 0), ("--version", "--version", 0)]
                if tail is not None]


@pytest.fixture(scope="module")
def status_files(services):
    folder = services.root / "status"
    folder.mkdir(exist_ok=True)
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "1", "-b", "16", str(folder / "tone.wav"), "synth", "0.2",
                    "sine", "440"], check=True)
    subprocess.run(["convert", "-size", "20x10", "xc:red", str(folder / "picture.png")], check=True)
    (folder / "text.txt").write_text("one line\n")
    return folder


@only_on("native")
@pytest.mark.parametrize("tool, kind, tail, status", STATUS_CASES, ids=[f"{c[0]}-{c[1]}" for c in STATUS_CASES])
def test_native_exit_status(runner, services, request, status_files, tool, kind, tail, status):
    env = services.env
    if tail == "logind":
        env, tail = request.getfixturevalue("logind").env, ""
    elif tail == "no display":
        env = without_display(env)
        tail = "1e999 clip.webm"
    elif "{window}" in tail:
        window = XMessage(services.env, "QCP Status Window", managed=True)
        request.addfinalizer(window.close)
        tail = tail.format(window=window.title)
    result = runner.run(tool, tail.format(dir=status_files), env=env)
    assert result.status == status, result
    if kind == "--help":
        help_tail = next(missing for t, _, _, missing in STATUS_ROWS if t == tool)
        assert result.stdout == runner.run(tool, "/?" if help_tail is None else help_tail).stdout
        assert result.stdout.startswith(b"\n" + BANNER + b"\n")
    elif kind == "--version":
        assert result.stdout == f"{tool} (Quorvex Command Pack) {VERSION}\n".encode()


# Every table that holds a row per tool, with the tools it leaves out on
# purpose: a tool declared in tools/ but in none of a table's rows (and not
# left out) fails here by name, so a new tool cannot slip past a table.
def per_tool_tables():
    import desktop_session
    import test_win32_calls
    declared = declared_tools()
    return [
        ("status table (STATUS_ROWS in test_table.py)", {row[0] for row in STATUS_ROWS},
         {tool.name for tool in declared}),
        # Their calls are not in the relay's list of checked functions.
        ("Win32 relay (CALLERS in test_win32_calls.py)", set(test_win32_calls.CALLERS),
         {tool.name for tool in declared} - {"FileShow", "QuipMaker", "NoticeShow", "PictureShow", "MovieShow"}),
        ("desktop scenarios (TOOLS in desktop_session.py)", set(desktop_session.TOOLS.values()),
         {tool.name for tool in declared if "window_control" in tool.platform}),
    ]


@pytest.mark.parametrize("table", range(len(per_tool_tables())),
                         ids=[table[0].split(" (")[0] for table in per_tool_tables()])
def test_every_per_tool_table_names_every_declared_tool(table):
    what, listed, wanted = per_tool_tables()[table]
    assert declared_tools(), "no declarations found in tools/"
    assert not wanted - listed, f"{what} lacks {', '.join(sorted(wanted - listed))}"
    # A name no tool declares is a row that can never run as meant.
    names = {tool.name for tool in declared_tools()}
    assert not listed - names - {"qcp_window_probe"}, f"{what} names {', '.join(sorted(listed - names))}"
