"""The window tools under Wayland beyond the scenarios every desktop runs
(test_window_desktops.py): sway's own ways (pinning floats, twins it cannot
tell apart, a compositor that hangs or refuses), Wayland modules that cannot
be loaded, and a desktop without a window interface. Windows are foot
terminals in a headless sway, read back with swaymsg."""

import json
import os
import shutil
import socket
import struct
import subprocess
from pathlib import Path

import pytest

from desktop_session import OTHER, TITLE, SwaySession, live_session, with_two_windows
from harness import SilentSocket, wait_for

pytestmark = pytest.mark.skipif(not (shutil.which("sway") and shutil.which("foot") and shutil.which("swaymsg")),
                                reason="sway, foot and swaymsg are needed")


@pytest.fixture(scope="module")
def sway(request):
    yield from live_session(request, SwaySession)


@pytest.fixture
def desk(sway):
    yield from with_two_windows(sway)


def test_a_wlroots_desktop_that_names_itself_gnome_still_finds_the_window(desk):
    """The backend goes by what answers, not by the desktop's name (Phosh
    says GNOME, on a wlroots compositor)."""
    desk.request("close", TITLE, env=dict(desk.env, XDG_CURRENT_DESKTOP="Phosh:GNOME"))
    wait_for(lambda: TITLE not in desk.windows(), what="the target to close")
    assert OTHER in desk.windows()


def test_pin_floats_the_window_on_every_workspace_and_unpin_tiles_it_again(sway):
    """The title goes into sway's criteria: quotes and brackets are escaped."""
    title = 'Quote "A" \\ [x], y; z'
    sway.open_window(OTHER)
    sway.open_window(title)
    try:
        sway.request("pin", title.swapcase())
        wait_for(lambda: sway.windows()[title]["type"] == "floating_con" and sway.windows()[title]["sticky"],
                 what="the window to float and stick")
        assert sway.windows()[OTHER]["type"] == "con"
        sway.request("unpin", title)
        wait_for(lambda: sway.windows()[title]["type"] == "con" and not sway.windows()[title]["sticky"],
                 what="the window to tile again")
    finally:
        sway.close_all()


def test_a_desktop_without_a_window_interface_says_so_on_standard_error(request, tmp_path):
    """Such a compositor (GNOME's) leaves only the X11 windows in reach: the
    not-found line stays as ever, and one line on standard error says why."""
    if "native" not in request.config.getoption("--platforms").split(","):
        pytest.skip("the native build is not under test")
    build = Path(request.config.getoption("--native-build"))
    runtime = tmp_path / "run"
    runtime.mkdir(mode=0o700)
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "XDG_RUNTIME_DIR": str(runtime), "LANG": "C.UTF-8"}
    compositor = subprocess.Popen([str(build / "test-bin" / "bare_compositor")], env=env, stdout=subprocess.PIPE,
                                  text=True)
    try:
        display = compositor.stdout.readline().strip()
        assert display
        tool = [str(build / "bin" / "PaneShut"), "Missing", "Window"]
        shut = subprocess.run(tool, env=dict(env, WAYLAND_DISPLAY=display), capture_output=True, timeout=60)
        assert shut.returncode == 1
        assert shut.stdout == b"ERROR! Couldn't find window: Missing Window\n"
        assert shut.stderr == (b"PaneShut: this desktop lets no other program control its Wayland windows; "
                               b"only X11 windows can be found\n")
        active = subprocess.run(tool[:1] + ["0"], env=dict(env, WAYLAND_DISPLAY=display), capture_output=True,
                                timeout=60)
        assert active.stdout == b"ERROR! Couldn't find window: \n" and active.stderr.count(b"\n") == 1
    finally:
        compositor.kill()
        compositor.wait()


class StandInSway(SilentSocket):
    """An IPC socket in sway's framing: silent, or answering a tree with one
    focused foot window titled `title` and refusing every command."""

    def __init__(self, folder, title=None):
        self.title, self.commands = title, []
        super().__init__(Path(folder) / "stand-in-sway.sock")

    def serve(self):
        if self.title is None:
            return super().serve()
        tree = {"id": 1, "type": "root", "nodes": [{"id": 41, "type": "con", "pid": 7, "name": self.title,
                                                      "app_id": "foot", "focused": True, "nodes": []}]}
        connection, _ = self.listener.accept()
        with connection:
            while header := connection.recv(14, socket.MSG_WAITALL):
                length, kind = struct.unpack("=II", header[6:])
                payload = connection.recv(length, socket.MSG_WAITALL) if length else b""
                if kind == 0:
                    self.commands.append(payload.decode())
                answer = json.dumps(tree if kind == 4 else [{"success": False, "error": "Invalid con_id"}]).encode()
                connection.sendall(b"i3-ipc" + struct.pack("=II", len(answer), kind) + answer)


@pytest.mark.parametrize("variable", ["WAYLAND_DISPLAY", "SWAYSOCK"])
def test_a_compositor_that_never_answers_ends_the_tool_with_the_run_time_error(desk, variable):
    silent = StandInSway(desk.root)
    try:
        result = desk.run(desk.argv("pin", TITLE), env=dict(desk.env, **{variable: silent.path}))
    finally:
        silent.close()
    answerer = "The Wayland compositor" if variable == "WAYLAND_DISPLAY" else "sway"
    assert (result.stdout, result.stderr, result.returncode) == (
        "", f"PanePin: run-time error: {answerer} did not answer\n", 1)
    assert desk.windows()[TITLE]["type"] == "con"


def test_a_command_sway_refuses_is_reported(desk):
    stand_in = StandInSway(desk.root, TITLE)
    try:
        result = desk.run(desk.argv("pin", TITLE), env=dict(desk.env, SWAYSOCK=stand_in.path))
    finally:
        stand_in.close()
    assert stand_in.commands == ["[con_id=41] floating enable, sticky enable"]
    assert (result.stdout, result.stderr, result.returncode) == (
        "", f'PanePin: sway refused to pin the window "{TITLE}": Invalid con_id\n', 1)


def test_pinning_on_a_wlroots_desktop_without_sway_says_so(desk):
    env = {name: value for name, value in desk.env.items() if name != "SWAYSOCK"}
    result = desk.run(desk.argv("pin", TITLE), env=env)
    assert (result.stdout, result.stderr, result.returncode) == (
        "", "PanePin: this Wayland desktop offers no way to keep a window above others; only sway's windows can be "
        "pinned\n", 1)


def test_of_two_windows_with_one_title_the_activated_one_is_acted_on(sway):
    """Where neither is, sway cannot be told which one to pin (a pin of the
    activated one is the desktop table's)."""
    for title in ("Dup", "Dup", OTHER):
        sway.open_window(title)
    try:
        wait_for(lambda: len([n for n in sway.views() if n["name"] == "Dup"]) == 2, what="two windows titled Dup")
        first, second = (node["id"] for node in sway.views() if node["name"] == "Dup")
        sway.focus(OTHER)
        result = sway.run(sway.argv("pin", "dup"))
        assert (result.stdout, result.stderr, result.returncode) == (
            "", 'PanePin: several windows are titled "Dup" and sway cannot be told which one to pin\n', 1)
        sway.run(["swaymsg", f"[con_id={first}] focus"])
        wait_for(lambda: any(n["focused"] for n in sway.views() if n["id"] == first), what="focus on the first")
        sway.request("close", "DUP")
        wait_for(lambda: [n["id"] for n in sway.views() if n["name"] == "Dup"] == [second], what="the first to close")
    finally:
        sway.close_all()


@pytest.mark.parametrize("module, reason", [
    (None, "cannot open shared object file: No such file or directory"),
    (b"not a library, though long enough to be read as one" * 20, "invalid ELF header")], ids=["missing", "broken"])
def test_a_wayland_module_that_cannot_be_loaded_is_named_with_the_reason(request, tmp_path, module, reason):
    if "native" not in request.config.getoption("--platforms").split(","):
        pytest.skip("the native build is not under test")
    (tmp_path / "bin").mkdir()
    tool = shutil.copy(Path(request.config.getoption("--native-build")) / "bin" / "PaneShut", tmp_path / "bin")
    path = tmp_path / "bin" / "../lib/quorvex-command-pack/qcp-wayland.so"
    if module is not None:
        path.parent.mkdir(parents=True)
        path.write_bytes(module)
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "WAYLAND_DISPLAY": "wayland-qcp", "LANG": "C.UTF-8"}
    result = subprocess.run([tool, "Target"], env=env, capture_output=True, text=True, timeout=60)
    assert result.stderr.splitlines()[0] == f"PaneShut: cannot load {path} ({reason}); only X11 windows can be found"
    # On a Wayland display that answers, that line is the only one: no word
    # of a missing display.
    runtime = tmp_path / "run"
    runtime.mkdir(mode=0o700)
    compositor = subprocess.Popen([str(Path(request.config.getoption("--native-build")) / "test-bin" /
                                       "bare_compositor")], env=dict(env, XDG_RUNTIME_DIR=str(runtime)),
                                  stdout=subprocess.PIPE, text=True)
    try:
        env.update(XDG_RUNTIME_DIR=str(runtime), WAYLAND_DISPLAY=compositor.stdout.readline().strip())
        result = subprocess.run([tool, "Target"], env=env, capture_output=True, text=True, timeout=60)
    finally:
        compositor.kill()
        compositor.wait()
    assert (result.returncode, result.stdout, result.stderr) == (
        1, "ERROR! Couldn't find window: Target\n",
        f"PaneShut: cannot load {path} ({reason}); only X11 windows can be found\n")


def test_a_session_bus_that_never_answers_ends_a_kwin_request_with_the_run_time_error(request, tmp_path):
    if "native" not in request.config.getoption("--platforms").split(","):
        pytest.skip("the native build is not under test")
    build = Path(request.config.getoption("--native-build"))
    runtime = tmp_path / "run"
    runtime.mkdir(mode=0o700)
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "XDG_RUNTIME_DIR": str(runtime), "LANG": "C.UTF-8"}
    compositor = subprocess.Popen([str(build / "test-bin" / "bare_compositor")], env=env, stdout=subprocess.PIPE,
                                  text=True)
    silent = StandInSway(tmp_path)
    try:
        kde = dict(env, WAYLAND_DISPLAY=compositor.stdout.readline().strip(), XDG_CURRENT_DESKTOP="KDE",
                   DBUS_SESSION_BUS_ADDRESS=f"unix:path={silent.path}")
        result = subprocess.run([str(build / "bin" / "PaneShut"), "Target"], env=kde, capture_output=True,
                                timeout=60)
    finally:
        silent.close()
        compositor.kill()
        compositor.wait()
    assert (result.stdout, result.stderr, result.returncode) == (
        b"", b"PaneShut: run-time error: The session bus did not answer\n", 1)


def test_bash_completes_the_captions_of_sways_windows(desk):
    completions = desk.build / "completions" / "bash" / "quorvex-command-pack"
    script = (f"PATH={desk.build / 'bin'}:$PATH; source {completions}; line='PaneShut '; COMP_LINE=$line; "
              "COMP_POINT=${#line}; COMP_WORDS=(PaneShut ''); COMP_CWORD=1; _quorvex_command_pack PaneShut; "
              "printf '%s\\n' \"${COMPREPLY[@]}\" | sort")
    result = desk.run(["bash", "-c", script])
    assert result.stdout.splitlines() == sorted(["0", OTHER, TITLE]), result
