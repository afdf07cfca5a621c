"""The window tools under GNOME Shell beyond the scenarios every desktop runs
(test_window_desktops.py): the pack's Shell extension itself (callers of
another user, windows that close, its shapes for mutter before and after
49), the lines that say what became of it, and programs that take its bus
name. Live ones run in a headless GNOME Shell of their own, as the
unprivileged user qcpgnome; the rest against a stand-in shell on a private
bus."""

import json
import os
import shutil
import socket
import subprocess
import sys
import threading
from pathlib import Path

import pytest

from desktop_session import (GNOME_BUS_NAME, GNOME_MODULE_UUID, GNOME_OBJECT_PATH, GNOME_UUID, TITLE, TOOLS,
                             GnomeSession, gnome_shell_major, live_session, with_two_windows)
from harness import NOT_FOUND, wait_for

UUID, MODULE_UUID = GNOME_UUID, GNOME_MODULE_UUID
BUS_NAME, OBJECT_PATH = GNOME_BUS_NAME, GNOME_OBJECT_PATH
# The shape the shell under test loads.
LIVE_UUID = MODULE_UUID if gnome_shell_major() >= 45 else UUID
ENABLE_LINE = (f"GNOME's Wayland windows are reached through the pack's GNOME Shell extension, which is disabled; "
               f"enable it with \"gnome-extensions enable {UUID}\"")
IMPOSTOR_LINE = f"the bus name {BUS_NAME} is held by another program than GNOME Shell; nothing was sent to it"

pytestmark = pytest.mark.skipif(not shutil.which("gnome-shell"), reason="GNOME Shell is not installed")

@pytest.fixture(scope="module")
def gnome(request):
    yield from live_session(request, GnomeSession)


@pytest.fixture
def desk(gnome):
    yield from with_two_windows(gnome)


def test_a_caller_of_another_user_is_refused(desk):
    """The tool sends nothing to a shell of another user; each method called
    as that user by hand gets AccessDenied and changes nothing."""
    if os.geteuid() != 0:
        pytest.skip("needs root to call as another user than the shell's")
    before = desk.windows()
    result = desk.tool("close", TITLE, prefix=[])
    assert (result.returncode, result.stdout, result.stderr) == (
        1, b"", b"PaneShut: GNOME Shell on this session bus runs as another user; nothing was sent to it\n")
    target = desk.window(TITLE)["id"]
    for method, *arguments in (("List",), ("Close", target), ("Minimize", target), ("Maximize", target),
                               ("Restore", target), ("SetAbove", target, "true")):
        call = desk.run(["gdbus", "call", "--session", "-d", BUS_NAME, "-o", OBJECT_PATH, "-m",
                         f"{BUS_NAME}.{method}", *map(str, arguments)], prefix=[])
        assert b"AccessDenied" in call.stderr and call.stdout == b"", method
    assert desk.windows() == before


def test_an_action_on_a_window_that_has_closed_answers_not_found(gnome):
    gnome.open_window("Gone Soon")
    gone = gnome.window("Gone Soon")["id"]
    gnome.call("Close", gone)
    wait_for(lambda: not gnome.window("Gone Soon"), what="the window to close")
    for method, *arguments in (("Close",), ("Minimize",), ("Maximize",), ("Restore",), ("SetAbove", "true")):
        assert gnome.call(method, gone, *arguments).stdout == b"(false,)\n", method


def test_without_the_extension_the_not_found_line_comes_with_the_command_that_enables_it(desk):
    assert desk.run(["gnome-extensions", "disable", LIVE_UUID]).returncode == 0
    try:
        wait_for(lambda: desk.windows() is None, what="the extension to go")
        for verb, caption in (("close", TITLE), ("pin", "0")):
            result = desk.tool(verb, caption)
            assert result.stdout == NOT_FOUND + (b"" if caption == "0" else caption.encode()) + b"\n"
            assert result.stderr.decode() == f"{TOOLS[verb]}: {ENABLE_LINE.replace(UUID, LIVE_UUID)}\n"
    finally:
        desk.run(["gnome-extensions", "enable", LIVE_UUID])
        wait_for(lambda: desk.windows() is not None, what="the extension to come back")
    assert desk.window(TITLE) is not None


QUEUED = """
import sys
from gi.repository import Gio, GLib

name = sys.argv[1]


def record(connection, message, incoming):
    if incoming and message.get_message_type() == Gio.DBusMessageType.METHOD_CALL and message.get_interface() == name:
        print("call", message.get_member(), flush=True)
    return message


bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
bus.add_filter(record)
bus.signal_subscribe("org.freedesktop.DBus", "org.freedesktop.DBus", "NameAcquired", "/org/freedesktop/DBus", name,
                     Gio.DBusSignalFlags.NONE, lambda *_: print("acquired", flush=True))
reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                      GLib.Variant("(su)", (name, 0)), GLib.VariantType("(u)"), Gio.DBusCallFlags.NONE, -1, None)
print("queued" if reply.unpack()[0] == 2 else "not queued", flush=True)
GLib.MainLoop().run()
"""


def test_a_program_queued_for_the_extensions_name_gets_no_call_and_the_shell_takes_it_back(desk):
    queued = subprocess.Popen(desk.command([sys.executable, "-c", QUEUED, BUS_NAME]), stdout=subprocess.PIPE, text=True)
    try:
        assert queued.stdout.readline() == "queued\n"
        assert desk.run(["gnome-extensions", "disable", LIVE_UUID]).returncode == 0
        assert queued.stdout.readline() == "acquired\n"
        assert desk.run(["gnome-extensions", "enable", LIVE_UUID]).returncode == 0
        for verb, caption in (("close", TITLE), ("pin", "0")):
            result = desk.tool(verb, caption)
            assert (result.returncode, result.stdout, result.stderr.decode()) == (
                1, b"", f"{TOOLS[verb]}: {IMPOSTOR_LINE}\n")
    finally:
        queued.kill()
        calls = queued.communicate(timeout=10)[0]
    assert calls == ""
    wait_for(lambda: desk.windows() is not None, what="the extension to take its name back")
    desk.request("minimize", TITLE)
    wait_for(lambda: desk.window(TITLE)["minimized"], what="the target to minimise")


def test_the_extension_for_gnome_45_and_later_parses_as_es_modules(request, tmp_path):
    """GNOME 43 runs only the legacy shape; the module shape is checked for
    syntax with node, its files copied as .mjs, and its copy of the window
    logic for the export the wrapper imports."""
    if "native" not in request.config.getoption("--platforms").split(","):
        pytest.skip("the native build is not under test")
    if not shutil.which("node"):
        pytest.skip("node is not installed")
    shape = Path(request.config.getoption("--native-build")) / "gnome-shell-extension/module" / MODULE_UUID
    for name in ("extension", "window_control"):
        text = (shape / f"{name}.js").read_text().replace("./window_control.js", "./window_control.mjs")
        (tmp_path / f"{name}.mjs").write_text(text)
    for name in ("extension", "window_control"):
        check = subprocess.run(["node", "--check", str(tmp_path / f"{name}.mjs")], capture_output=True, text=True)
        assert check.returncode == 0, check.stderr
    exported = subprocess.run(["node", "--input-type=module", "-e",
                               f"import {{createWindowControl}} from '{tmp_path / 'window_control.mjs'}';"
                               "process.exit(typeof createWindowControl === 'function' ? 0 : 1);"],
                              capture_output=True, text=True)
    assert exported.returncode == 0, exported.stderr


# A mutter window of each shape: up to 48 get_maximized() and flags given to
# maximize() and unmaximize(); from 49 get_maximize_flags(), is_maximized()
# and neither taking flags.
MUTTER_SHAPES = {
    "mutter-43": "get_maximized: () => 3,",
    "mutter-49": "get_maximize_flags: () => 3, is_maximized: () => true,",
}

FAKE_SHELL = """
import {createWindowControl} from '%s';
const calls = [];
let implementation = null;
let answer = null;
const window = {%s
  get_id: () => 5, get_title: () => 'Target', has_focus: () => true, minimized: false, above: false,
  is_override_redirect: () => false, get_window_type: () => 0, get_gtk_application_id: () => null,
  get_wm_class: () => 'foot', activate: () => {},
  maximize: (...flags) => calls.push(['maximize', ...flags]),
  unmaximize: (...flags) => calls.push(['unmaximize', ...flags]),
};
const Gio = {
  Credentials: class { get_unix_user() { return 1000; } },
  DBusExportedObject: {
    wrapJSObject: (xml, object) => { implementation = object; return {export() {}, unexport() {}}; },
  },
  DBus: {session: {}}, BusNameOwnerFlags: {REPLACE: 2, DO_NOT_QUEUE: 4}, BusNameWatcherFlags: {NONE: 0},
  DBusCallFlags: {NONE: 0}, bus_own_name_on_connection: () => 1, bus_unown_name: () => {},
  bus_watch_name_on_connection: () => 2, bus_unwatch_name: () => {},
};
const GLib = {Variant: class { constructor(type, value) { this.value = value; } }, VariantType: class {}};
const connection = {
  call: (...args) => args[9](connection, null), call_finish: () => ({deepUnpack: () => [1000]}),
};
const invocation = {
  get_connection: () => connection, get_sender: () => ':1.7',
  return_value: value => { answer = value.value; }, return_dbus_error: (name, text) => { answer = name + ': ' + text; },
};
const sessionMode = {isLocked: false};
const control = createWindowControl({
  Gio, GLib, Meta: {WindowType: {NORMAL: 0, DIALOG: 1, MODAL_DIALOG: 2}, MaximizeFlags: {BOTH: 3}},
  Shell: {WindowTracker: {get_default: () => ({get_window_app: () => null})}},
  global: {get_window_actors: () => [{get_meta_window: () => window}], display: {sort_windows_by_stacking: w => w},
           get_current_time: () => 0},
  sessionMode,
});
control.enable();
const answers = [];
implementation.ListAsync([], invocation);
answers.push(answer);
implementation.MaximizeAsync([5], invocation);
answers.push(answer);
implementation.RestoreAsync([5], invocation);
answers.push(answer);
sessionMode.isLocked = true;
implementation.CloseAsync([5], invocation);
answers.push(answer);
console.log(JSON.stringify({answers, calls}));
"""


@pytest.mark.parametrize("shape", list(MUTTER_SHAPES))
def test_the_extension_lists_and_maximises_on_mutter_before_and_after_49(request, tmp_path, shape):
    """The window logic under a stand-in shell in node, for the mutter
    GNOME 50 has as well as the host's: the maximised state is read and set
    the way that mutter offers, and nothing is done while locked."""
    if "native" not in request.config.getoption("--platforms").split(","):
        pytest.skip("the native build is not under test")
    if not shutil.which("node"):
        pytest.skip("node is not installed")
    shape_folder = Path(request.config.getoption("--native-build")) / "gnome-shell-extension/module" / MODULE_UUID
    (tmp_path / "window_control.mjs").write_text((shape_folder / "window_control.js").read_text())
    run = subprocess.run(["node", "--input-type=module", "-e",
                          FAKE_SHELL % (tmp_path / "window_control.mjs", MUTTER_SHAPES[shape])],
                         capture_output=True, text=True, timeout=60)
    assert run.returncode == 0, run.stderr
    flags = [3] if shape == "mutter-43" else []
    assert json.loads(run.stdout) == {
        "answers": [[[[5, "Target", "foot", True, False, True, False]]], [True], [True],
                    "org.quorvex.CommandPack.Windows.Error.Locked: The session is locked"],
        "calls": [["maximize", *flags], ["unmaximize", *flags]]}


SILENT_SHELL = """
import sys
import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName(sys.argv[1], bus)
shell = dbus.service.BusName("org.gnome.Shell", bus)


class Silent(dbus.service.Object):
    @dbus.service.method(sys.argv[1], out_signature="a(tssbbbb)", async_callbacks=("reply", "error"))
    def List(self, reply, error):
        pass


Silent(bus, sys.argv[2])
print("ready", flush=True)
GLib.MainLoop().run()
"""


def test_a_bus_or_a_shell_that_never_answers_ends_in_a_run_time_error(request, tmp_path):
    """A session bus that accepts the connection and then says nothing, an
    extension that takes the call and never replies, and a shell that never
    says what became of its extension: the tools give up after their time
    limit instead of waiting for ever."""
    if "native" not in request.config.getoption("--platforms").split(","):
        pytest.skip("the native build is not under test")
    build = Path(request.config.getoption("--native-build"))
    silent_bus = tmp_path / "silent_bus"
    listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    listener.bind(str(silent_bus))
    listener.listen(8)
    accepted = []

    def accept():
        try:
            while True:
                accepted.append(listener.accept()[0])
        except OSError:
            pass

    threading.Thread(target=accept, daemon=True).start()
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LANG": "C.UTF-8", "XDG_RUNTIME_DIR": str(tmp_path)}
    live_bus = f"unix:path={tmp_path / 'bus'}"
    started = []
    (tmp_path / "quiet").mkdir()
    quiet = PrivateBus(build, tmp_path / "quiet")
    try:
        quiet.shell(version="43.9", silent=True)
        compositor = subprocess.Popen([str(build / "test-bin" / "bare_compositor")], env=env, stdout=subprocess.PIPE,
                                      text=True)
        started.append(compositor)
        env["WAYLAND_DISPLAY"] = compositor.stdout.readline().strip()
        started.append(subprocess.Popen(["dbus-daemon", "--session", "--nofork", f"--address={live_bus}"],
                                        stdout=subprocess.DEVNULL))
        wait_for(lambda: (tmp_path / "bus").exists(), what="the session bus")
        shell = subprocess.Popen([sys.executable, "-c", SILENT_SHELL, BUS_NAME, OBJECT_PATH],
                                 env=dict(env, DBUS_SESSION_BUS_ADDRESS=live_bus), stdout=subprocess.PIPE, text=True)
        started.append(shell)
        assert shell.stdout.readline() == "ready\n"
        runs = [(silence, subprocess.Popen([str(build / "bin" / "PaneShut"), TITLE], stdout=subprocess.PIPE,
                                           stderr=subprocess.PIPE, env=dict(run_env, DBUS_SESSION_BUS_ADDRESS=address)))
                for silence, address, run_env in (("The session bus", f"unix:path={silent_bus}", env),
                                                  ("GNOME Shell", live_bus, env),
                                                  ("GNOME Shell", quiet.address, quiet.env))]
        started.extend(run for _, run in runs)
        for silence, run in runs:
            out, err = run.communicate(timeout=90)
            assert (out, run.returncode) == (b"", 1), err
            assert err.decode().splitlines() == [f"PaneShut: run-time error: {silence} did not answer"]
        assert accepted
    finally:
        for process in started:
            if process.poll() is None:
                process.kill()
            process.wait()
        quiet.stop()
        listener.close()
        for connection in accepted:
            connection.close()


STAND_IN = r"""
import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

DBusGMainLoop(set_as_default=True)
config = json.loads(sys.argv[1])
WINDOWS = "org.quorvex.CommandPack.Windows"


def record(who, member):
    print(who, member, flush=True)


class Shell(dbus.service.Object):
    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return config["version"]

    @dbus.service.method("org.gnome.Shell.Extensions", in_signature="s", out_signature="a{sv}",
                         async_callbacks=("reply", "error"))
    def GetExtensionInfo(self, uuid, reply, error):
        record("shell", "GetExtensionInfo " + uuid)
        if not config.get("silent"):
            reply(dbus.Dictionary(config.get("info", {}), signature="sv"))

    @dbus.service.method("org.gnome.ScreenSaver", out_signature="b")
    def GetActive(self):
        return config.get("locked", False)


class Windows(dbus.service.Object):
    def __init__(self, connection, who):
        super().__init__(connection, "/org/quorvex/CommandPack/Windows")
        self.who = who

    def answer(self, member, value):
        record(self.who, member)
        if config.get("error"):
            raise dbus.DBusException(config["error"][1], name=config["error"][0])
        return value

    @dbus.service.method(WINDOWS, out_signature="a(tssbbbb)")
    def List(self):
        return self.answer("List", [(i, t, "", False, False, False, False) for i, t in config.get("windows", [])])

    @dbus.service.method(WINDOWS, in_signature="t", out_signature="b")
    def Close(self, window):
        return self.answer("Close", config.get("found", True))

    @dbus.service.method(WINDOWS, in_signature="tb", out_signature="b")
    def SetAbove(self, window, above):
        return self.answer("SetAbove", config.get("found", True))


names = []
if config.get("squatter"):
    squatter = dbus.bus.BusConnection(config["address"])
    names.append(dbus.service.BusName(WINDOWS, squatter, do_not_queue=True))
    Windows(squatter, "squatter")
shell = dbus.bus.BusConnection(config["address"])
names.append(dbus.service.BusName("org.gnome.Shell", shell, do_not_queue=True))
Shell(shell, "/org/gnome/Shell")
Shell(shell, "/org/gnome/ScreenSaver")
if config.get("extension"):
    names.append(dbus.service.BusName(WINDOWS, shell, do_not_queue=True))
    Windows(shell, "shell")
print("ready", flush=True)
GLib.MainLoop().run()
"""


class PrivateBus:
    """A session bus and a bare Wayland compositor of their own, and on the
    bus a stand-in for GNOME Shell, scripted by `config`."""

    def __init__(self, build, root):
        self.build, self.started = Path(build), []
        self.address = f"unix:path={root / 'bus'}"
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LANG": "C.UTF-8", "XDG_RUNTIME_DIR": str(root),
                    "DBUS_SESSION_BUS_ADDRESS": self.address}
        self.start(["dbus-daemon", "--session", "--nofork", f"--address={self.address}"], stdout=subprocess.DEVNULL)
        wait_for(lambda: (root / "bus").exists(), what="the session bus")
        compositor = self.start([str(self.build / "test-bin" / "bare_compositor")], stdout=subprocess.PIPE, text=True)
        self.env["WAYLAND_DISPLAY"] = compositor.stdout.readline().strip()

    def start(self, argv, **kwargs):
        process = subprocess.Popen(argv, env=self.env, **kwargs)
        self.started.append(process)
        return process

    def shell(self, **config):
        shell = self.start([sys.executable, "-c", STAND_IN, json.dumps(dict(config, address=self.address))],
                           stdout=subprocess.PIPE, text=True)
        assert shell.stdout.readline() == "ready\n"
        return shell

    def tool(self, verb, caption, **env):
        return subprocess.run([str(self.build / "bin" / TOOLS[verb])] + caption.split(" "), env=dict(self.env, **env),
                              capture_output=True, timeout=90)

    @staticmethod
    def calls(shell):
        """What the stand-in was asked, once it is stopped."""
        shell.terminate()
        return shell.communicate(timeout=10)[0].splitlines()

    def stop(self):
        for process in reversed(self.started):
            if process.poll() is None:
                process.kill()
            process.wait()


@pytest.fixture
def private_bus(request, tmp_path):
    if "native" not in request.config.getoption("--platforms").split(","):
        pytest.skip("the native build is not under test")
    bus = PrivateBus(request.config.getoption("--native-build"), tmp_path)
    try:
        yield bus
    finally:
        bus.stop()


LOCKED_LINE = "the session is locked; its windows can be reached once it is unlocked"
FAILING = ["org.freedesktop.DBus.Error.Failed", "TypeError: w.get_maximized is not a function"]

# (case, the stand-in's script, the line after the not-found one); the
# shell's version picks the uuid named.
HINTS = [
    ("not-installed", {"version": "43.9"},
     f"the pack's GNOME Shell extension {UUID} is not installed in GNOME Shell 43.9; if the pack was installed "
     f"after you logged in, log out and back in, then enable it with \"gnome-extensions enable {UUID}\""),
    ("disabled", {"version": "48.7", "info": {"state": 2.0}}, ENABLE_LINE.replace(UUID, MODULE_UUID)),
    ("initialized", {"version": "43.9", "info": {"state": 6.0}}, ENABLE_LINE),
    ("out-of-date", {"version": "50.5", "info": {"state": 4.0, "path": "{folder}"}},
     f"the pack's GNOME Shell extension {MODULE_UUID} is out of date for GNOME Shell 50.5: it declares 45, 46, 47, 48"),
    ("failed", {"version": "48.7", "info": {"state": 3.0, "error": "SyntaxError: missing ; before statement"}},
     f"the pack's GNOME Shell extension {MODULE_UUID} failed in GNOME Shell 48.7: SyntaxError: missing ; before "
     "statement"),
    ("locked", {"version": "43.9", "info": {"state": 2.0}, "locked": True}, LOCKED_LINE),
    ("locked-while-kept", {"version": "48.7", "extension": True,
                           "error": ["org.quorvex.CommandPack.Windows.Error.Locked", "The session is locked"]},
     LOCKED_LINE),
    ("failing-list", {"version": "50.5", "extension": True, "error": FAILING},
     f"the pack's GNOME Shell extension failed: {FAILING[1]}"),
]


@pytest.mark.parametrize("config, line", [case[1:] for case in HINTS], ids=[case[0] for case in HINTS])
def test_the_line_beside_not_found_says_what_became_of_the_extension(private_bus, tmp_path, config, line):
    (tmp_path / "metadata.json").write_text('{"uuid": "x", "shell-version": ["45", "46", "47", "48"]}')
    if "info" in config and config["info"].get("path"):
        config = dict(config, info=dict(config["info"], path=str(tmp_path)))
    shell = private_bus.shell(**config)
    result = private_bus.tool("close", TITLE)
    assert (result.returncode, result.stdout, result.stderr.decode()) == (
        1, NOT_FOUND + TITLE.encode() + b"\n", f"PaneShut: {line}\n")
    private_bus.calls(shell)


def test_a_session_bus_that_cannot_be_reached_is_named_beside_not_found(private_bus, tmp_path):
    result = private_bus.tool("close", TITLE, DBUS_SESSION_BUS_ADDRESS=f"unix:path={tmp_path / 'no-bus'}")
    assert (result.returncode, result.stdout, result.stderr.decode()) == (
        1, NOT_FOUND + TITLE.encode() + b"\n", "PaneShut: the session bus cannot be reached, through which GNOME Shell "
        "and KWin are asked for their Wayland windows; only X11 windows can be found\n")


@pytest.mark.parametrize("verb, caption", [("close", TITLE), ("pin", "0")])
def test_a_program_holding_the_extensions_name_before_the_shell_gets_no_call(private_bus, verb, caption):
    shell = private_bus.shell(version="43.9", squatter=True, windows=[[7, TITLE]])
    result = private_bus.tool(verb, caption)
    assert (result.returncode, result.stdout, result.stderr.decode()) == (1, b"", f"{TOOLS[verb]}: {IMPOSTOR_LINE}\n")
    assert not [call for call in private_bus.calls(shell) if call.startswith("squatter")]


CUT = "x" * 512

# (case, the window's title, the caption, the outcome, the calls the shell got)
ANSWERS = [
    ("closed-meanwhile", TITLE, TITLE, (1, "PaneShut: the window was found, but the request could not be made (it may "
                                           "have closed meanwhile)\n"), ["shell List", "shell Close"]),
    ("cut-title", CUT, CUT, (1, "PaneShut: GNOME Shell cuts window titles to 512 characters, and the caption matches a "
                               "window only up to that cut; nothing was done\n"), ["shell List"]),
    ("under-the-cut", CUT[1:], CUT[1:].upper(), (0, ""), ["shell List", "shell Close"]),
]


@pytest.mark.parametrize("title, caption, outcome, calls", [case[1:] for case in ANSWERS],
                         ids=[case[0] for case in ANSWERS])
def test_what_the_shell_answers_decides_the_outcome(private_bus, title, caption, outcome, calls):
    shell = private_bus.shell(version="43.9", extension=True, windows=[[7, title]], found=title != TITLE)
    result = private_bus.tool("close", caption)
    assert (result.returncode, result.stderr.decode()) == outcome and result.stdout == b""
    assert private_bus.calls(shell) == calls
