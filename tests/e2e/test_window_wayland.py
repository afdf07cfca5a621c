"""The window tools under Wayland, against a headless sway: windows are
foot terminals with titles of our choosing, read back with swaymsg. sway
tiles, so it ignores minimise and maximise requests; for those the tests
check in WAYLAND_DEBUG's trace that the request went to the right window.

sway refuses to run as root: as root the session runs as the unprivileged
user qcpwayland (created when absent), with a runtime directory of its own."""

import json
import os
import re
import shutil
import socket
import struct
import subprocess
import threading
from pathlib import Path

import pytest

from desktop_session import TOOLS, DesktopSession, live_session
from harness import wait_for

TEST_USER = "qcpwayland"
TITLE = "Target Window"
OTHER = "Other Window"
HANDLE = "zwlr_foreign_toplevel_handle_v1"

pytestmark = pytest.mark.skipif(not (shutil.which("sway") and shutil.which("foot") and shutil.which("swaymsg")),
                                reason="sway, foot and swaymsg are needed")


class ToolDriver:
    """Each request through its window tool; the outcome is "done" (nothing
    printed) or "not found"."""

    def __init__(self, build):
        self.bin = Path(build) / "bin"

    def argv(self, verb, caption):
        return [str(self.bin / TOOLS[verb])] + caption.split(" ")

    @staticmethod
    def outcome(stdout):
        return "not found" if stdout.startswith("ERROR! Couldn't find window") else "done" if not stdout else stdout


class SwaySession(DesktopSession):
    """A headless sway of its own: WAYLAND_DISPLAY and SWAYSOCK in `env`."""

    USER = TEST_USER

    def start(self):
        config = self.root / "sway.conf"
        config.write_text("xwayland disable\n")
        config.chmod(0o644)
        self.log = open(self.root / "sway.log", "wb")
        self.spawn(["sway", "-c", str(config)], env=dict(self.env, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                                                         WLR_RENDERER="pixman"), stderr=self.log)
        display = wait_for(lambda: next((p.name for p in self.runtime.glob("wayland-*")
                                         if not p.name.endswith(".lock")), None), what="sway's Wayland socket")
        socket = wait_for(lambda: next(iter(self.runtime.glob("sway-ipc.*.sock")), None), what="sway's IPC socket")
        self.env.update(WAYLAND_DISPLAY=display, SWAYSOCK=str(socket))
        wait_for(lambda: self.run(["swaymsg", "-t", "get_version"]).returncode == 0, what="sway")

    def run(self, argv, prefix=None, env=None):
        """As text: swaymsg's JSON and the tools' lines."""
        return super().run(argv, prefix, env, text=True)

    def views(self):
        """Every window's node in sway's tree."""
        found = []

        def walk(node):
            if node.get("type") in ("con", "floating_con") and node.get("pid"):
                found.append(node)
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        tree = self.run(["swaymsg", "-t", "get_tree"])
        if tree.returncode == 0:
            walk(json.loads(tree.stdout))
        return found

    def windows(self):
        """Every window's node in sway's tree, by title."""
        return {node.get("name"): node for node in self.views()}

    def open_window(self, title):
        self.spawn(["foot", "-T", title, "sleep", "600"])
        wait_for(lambda: title in self.windows(), what=f"window {title!r}")

    def focus(self, title):
        self.run(["swaymsg", f"[title=\"^{re.escape(title)}$\"] focus"])
        wait_for(lambda: self.windows().get(title, {}).get("focused"), what=f"focus on {title!r}")


@pytest.fixture(scope="module")
def sway(request):
    yield from live_session(request, SwaySession)


@pytest.fixture
def driver(request):
    return ToolDriver(request.config.getoption("--native-build"))


@pytest.fixture
def desk(sway):
    """Two windows, the target focused; whatever is left is closed after."""
    for title in (OTHER, TITLE):
        sway.open_window(title)
    sway.focus(TITLE)
    yield sway
    close_all(sway)


def close_all(sway):
    for node in sway.views():
        sway.run(["swaymsg", f"[con_id={node['id']}] kill"])
    wait_for(lambda: not sway.windows(), what="the windows to close")


def act(sway, driver, verb, caption, env=None):
    result = sway.run(driver.argv(verb, caption), env=env)
    outcome = driver.outcome(result.stdout)
    assert result.returncode == (1 if outcome == "not found" else 0), result.stderr
    return outcome, result.stderr


# (caption, XDG_CURRENT_DESKTOP): the backend goes by what answers, not by
# the desktop's name (Phosh says GNOME, on a wlroots compositor).
CLOSES = [(TITLE, None), (TITLE.lower(), None), (TITLE.upper(), None), ("0", None), (TITLE, "Phosh:GNOME")]


@pytest.mark.parametrize("caption, desktop", CLOSES, ids=["exact", "lower", "upper", "active", "named-gnome"])
def test_close_finds_the_window_by_caption_in_any_case_or_as_the_active_one(desk, driver, caption, desktop):
    env = dict(desk.env, XDG_CURRENT_DESKTOP=desktop) if desktop else None
    assert act(desk, driver, "close", caption, env=env)[0] == "done"
    wait_for(lambda: TITLE not in desk.windows(), what="the target to close")
    assert OTHER in desk.windows()


@pytest.mark.parametrize("verb", ["close", "minimize", "maximize", "restore", "pin", "unpin"])
def test_a_caption_no_window_has_is_not_found_and_nothing_changes(desk, driver, verb):
    before = {title: (node["type"], node["sticky"]) for title, node in desk.windows().items()}
    assert act(desk, driver, verb, "Target Windo")[0] == "not found"
    assert {title: (node["type"], node["sticky"]) for title, node in desk.windows().items()} == before


def requests_on(trace, title):
    """The requests the trace shows sent on the handles titled `title`.
    libwayland writes an object as `iface@N` (Debian 12's) or `iface#N`
    (later releases), and its lines may start with a stamp of either form."""
    handles = set(re.findall(rf"{HANDLE}[@#](\d+)\.title\(\"{re.escape(title)}\"\)$", trace, re.M))
    assert handles, "no handle with that title in the trace"
    return [name for handle, name in re.findall(rf"-> {HANDLE}[@#](\d+)\.(\w+)\(", trace) if handle in handles]


@pytest.mark.parametrize("verb, request_name", [
    ("minimize", "set_minimized"), ("maximize", "set_maximized"), ("restore", "unset_maximized")])
def test_requests_sway_ignores_still_reach_it_for_the_right_window(desk, driver, verb, request_name):
    outcome, trace = act(desk, driver, verb, TITLE.lower(), env=dict(desk.env, WAYLAND_DEBUG="1"))
    assert outcome == "done"
    assert request_name in requests_on(trace, TITLE)
    assert request_name not in requests_on(trace, OTHER)
    assert OTHER in desk.windows() and TITLE in desk.windows()


@pytest.mark.parametrize("title", [TITLE, 'Quote "A" \\ [x], y; z'], ids=["plain", "quotes-and-brackets"])
def test_pin_floats_the_window_on_every_workspace_and_unpin_tiles_it_again(sway, driver, title):
    sway.open_window(OTHER)
    sway.open_window(title)
    try:
        assert act(sway, driver, "pin", title.swapcase())[0] == "done"
        wait_for(lambda: sway.windows()[title]["type"] == "floating_con" and sway.windows()[title]["sticky"],
                 what="the window to float and stick")
        assert sway.windows()[OTHER]["type"] == "con"
        assert act(sway, driver, "unpin", title)[0] == "done"
        wait_for(lambda: sway.windows()[title]["type"] == "con" and not sway.windows()[title]["sticky"],
                 what="the window to tile again")
    finally:
        close_all(sway)


def test_a_window_that_closes_while_the_tool_runs_is_done_or_not_found(sway, driver):
    """Whenever the window goes, between the lookup and the request or
    before either, the tool ends normally with one of its two outcomes."""
    title = "Short Lived"
    for _ in range(3):
        sway.open_window(title)
        assert act(sway, driver, "maximize", title) == ("done", "")
        # Closed once the tool has started, at whatever step it then is.
        tool = subprocess.Popen(sway.command(driver.argv("maximize", title)), stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True)
        sway.run(["swaymsg", f"[con_id={sway.windows()[title]['id']}] kill"])
        stdout, stderr = tool.communicate(timeout=60)
        outcome = driver.outcome(stdout)
        assert (outcome in ("done", "not found"), stderr) == (True, "")
        assert tool.returncode == (1 if outcome == "not found" else 0)
        while title in sway.windows():
            outcome, stderr = act(sway, driver, "maximize", title)
            assert outcome in ("done", "not found") and stderr == ""
    assert act(sway, driver, "maximize", title)[0] == "not found"


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


def test_restore_brings_the_window_forward(desk, driver):
    desk.focus(OTHER)
    assert act(desk, driver, "restore", TITLE)[0] == "done"
    wait_for(lambda: desk.windows()[TITLE]["focused"], what="the restored window to take the focus")
    assert not desk.windows()[OTHER]["focused"]


class StandInSway:
    """An IPC socket in sway's framing: silent, or answering a tree with one
    focused foot window titled `title` and refusing every command."""

    def __init__(self, folder, title=None):
        self.path = str(Path(folder) / "stand-in-sway.sock")
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(self.path)
        os.chmod(self.path, 0o777)
        self.listener.listen(4)
        self.title, self.commands = title, []
        if title is not None:
            threading.Thread(target=self._serve, daemon=True).start()

    def _serve(self):
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

    def close(self):
        self.listener.close()
        os.unlink(self.path)


@pytest.mark.parametrize("variable", ["WAYLAND_DISPLAY", "SWAYSOCK"])
def test_a_compositor_that_never_answers_ends_the_tool_with_the_run_time_error(desk, driver, variable):
    silent = StandInSway(desk.root)
    try:
        result = desk.run(driver.argv("pin", TITLE), env=dict(desk.env, **{variable: silent.path}))
    finally:
        silent.close()
    answerer = "The Wayland compositor" if variable == "WAYLAND_DISPLAY" else "sway"
    assert (result.stdout, result.stderr, result.returncode) == (
        "", f"PanePin: run-time error: {answerer} did not answer\n", 1)
    assert desk.windows()[TITLE]["type"] == "con"


def test_a_command_sway_refuses_is_reported(desk, driver):
    stand_in = StandInSway(desk.root, TITLE)
    try:
        result = desk.run(driver.argv("pin", TITLE), env=dict(desk.env, SWAYSOCK=stand_in.path))
    finally:
        stand_in.close()
    assert stand_in.commands == ["[con_id=41] floating enable, sticky enable"]
    assert (result.stdout, result.stderr, result.returncode) == (
        "", f'PanePin: sway refused to pin the window "{TITLE}": Invalid con_id\n', 1)


def test_pinning_on_a_wlroots_desktop_without_sway_says_so(desk, driver):
    env = {name: value for name, value in desk.env.items() if name != "SWAYSOCK"}
    result = desk.run(driver.argv("pin", TITLE), env=env)
    assert (result.stdout, result.stderr, result.returncode) == (
        "", "PanePin: this Wayland desktop offers no way to keep a window above others; only sway's windows can be "
        "pinned\n", 1)


def test_of_two_windows_with_one_title_the_activated_one_is_acted_on(sway, driver):
    """And where neither is, sway cannot be told which one to pin."""
    for title in ("Dup", "Dup", OTHER):
        sway.open_window(title)
    try:
        wait_for(lambda: len([n for n in sway.views() if n["name"] == "Dup"]) == 2, what="two windows titled Dup")
        first, second = (node["id"] for node in sway.views() if node["name"] == "Dup")
        sway.run(["swaymsg", f"[con_id={second}] focus"])
        wait_for(lambda: any(n["focused"] for n in sway.views() if n["id"] == second), what="focus on the second")

        def types():
            return {node["id"]: node["type"] for node in sway.views() if node["name"] == "Dup"}
        assert act(sway, driver, "pin", "dup")[0] == "done"
        wait_for(lambda: types() == {first: "con", second: "floating_con"}, what="the second alone to float")
        sway.focus(OTHER)
        result = sway.run(driver.argv("pin", "dup"))
        assert (result.stdout, result.stderr, result.returncode) == (
            "", 'PanePin: several windows are titled "Dup" and sway cannot be told which one to pin\n', 1)
        sway.run(["swaymsg", f"[con_id={first}] focus"])
        wait_for(lambda: any(n["focused"] for n in sway.views() if n["id"] == first), what="focus on the first")
        assert act(sway, driver, "close", "DUP")[0] == "done"
        wait_for(lambda: [n["id"] for n in sway.views() if n["name"] == "Dup"] == [second], what="the first to close")
    finally:
        close_all(sway)


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


def test_bash_completes_the_captions_of_sways_windows(desk, driver):
    completions = Path(__file__).resolve().parents[2] / "completions" / "quorvex-command-pack.bash"
    script = (f"PATH={driver.bin}:$PATH; source {completions}; line='PaneShut '; COMP_LINE=$line; "
              "COMP_POINT=${#line}; COMP_WORDS=(PaneShut ''); COMP_CWORD=1; _quorvex_command_pack PaneShut; "
              "printf '%s\\n' \"${COMPREPLY[@]}\" | sort")
    listed = desk.run([str(driver.bin / "PaneShut"), "--list-captions"])
    assert (sorted(listed.stdout.splitlines()), listed.returncode) == (sorted([OTHER, TITLE]), 0), listed
    result = desk.run(["bash", "-c", script])
    assert result.stdout.splitlines() == sorted(["0", OTHER, TITLE]), result
