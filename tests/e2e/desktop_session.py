"""Desktop sessions of their own for the window tests: X11 with openbox,
sway, KWin and GNOME Shell, each headless.

Compositors refuse to run as root, or want a user of their own: as root a
session runs as an unprivileged user (created when absent). It has a
runtime directory, a home and a folder for bus sockets, all its own; a
subclass starts its desktop in `start()`.

Every desktop answers the same questions, so that one table of scenarios
runs on each: `records()` lists the windows (topmost first where the desktop
tells its stacking) as dicts of id, title, focused, minimized, maximized and
above; `open_window`, `focus`, `minimize` and `pin` change them with the
desktop's own means; `close_all` ends every window the session opened."""

import itertools
import json
import os
import pwd
import re
import shutil
import signal
import subprocess
import tempfile
from pathlib import Path

import pytest

from harness import wait_for

TOOLS = {"close": "PaneShut", "restore": "PaneRevive", "minimize": "PaneShrink", "maximize": "PaneGrow",
         "pin": "PanePin", "unpin": "PaneUnpin"}
TITLE, OTHER = "Target Window", "Other Window"


class DesktopSession:
    USER = None
    NAME = None
    # The programs the desktop needs; the tests skip where one is missing.
    NEEDS = ()
    # Requests the desktop ignores by design: for these the tests read the
    # Wayland trace to see that the request went to the right window.
    IGNORES = {}

    @classmethod
    def missing(cls):
        """Why the desktop cannot run here, or None."""
        absent = [name for name in cls.NEEDS if not shutil.which(name)]
        return f"{', '.join(absent)} not installed" if absent else None

    def __init__(self, build):
        self.build = Path(build)
        self.processes, self.log, self.opened = [], None, []
        self.root = Path(tempfile.mkdtemp(prefix=f"{self.USER}-"))
        try:
            self.root.chmod(0o755)
            self.prefix, self.owner = [], None
            if os.geteuid() == 0:
                try:
                    pwd.getpwnam(self.USER)
                except KeyError:
                    subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin",
                                    self.USER], check=True)
                user = pwd.getpwnam(self.USER)
                self.owner = (user.pw_uid, user.pw_gid)
                self.prefix = ["setpriv", f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}", "--clear-groups"]
            self.runtime, self.home, self.buses = self.root / "run", self.root / "home", self.root / "bus"
            for folder, mode in ((self.runtime, 0o700), (self.home, 0o700), (self.buses, 0o755)):
                folder.mkdir(mode=mode)
                self.give(folder)
            self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(self.home),
                        "XDG_RUNTIME_DIR": str(self.runtime), "LANG": "C.UTF-8"}
            self.start()
        except BaseException:
            self.stop()
            raise

    def start(self):
        raise NotImplementedError

    def give(self, path):
        """Hands `path` and all below it to the session's user."""
        if not self.owner:
            return
        for folder, _, files in os.walk(path):
            for name in [folder] + [os.path.join(folder, f) for f in files]:
                os.chown(name, *self.owner)

    def command(self, argv, prefix=None, env=None):
        return (self.prefix if prefix is None else prefix) + ["env", "-i"] + \
            [f"{k}={v}" for k, v in (self.env if env is None else env).items()] + argv

    def spawn(self, argv, stderr=subprocess.DEVNULL, env=None):
        process = subprocess.Popen(self.command(argv, env=env), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=stderr, start_new_session=True)
        self.processes.append(process)
        return process

    def run(self, argv, prefix=None, env=None, text=False):
        """Runs as the session's user, or with `prefix` ([] for this process's own)."""
        decoding = {"text": True, "errors": "replace"} if text else {}
        return subprocess.run(self.command(argv, prefix, env), capture_output=True, timeout=60, **decoding)

    def argv(self, verb, caption):
        return [str(self.build / "bin" / TOOLS[verb])] + caption.split(" ")

    def tool(self, verb, caption, prefix=None, env=None):
        return self.run(self.argv(verb, caption), prefix=prefix, env=env)

    def request(self, verb, caption, env=None):
        """Runs the tool for a request it is to make without a word."""
        result = self.tool(verb, caption, env=env)
        assert (result.returncode, result.stdout, result.stderr) == (0, b"", b""), result

    def record(self, title):
        """The topmost window titled `title`, or None."""
        return next((w for w in self.records() if w["title"] == title), None)

    def open_window(self, title):
        self.opened.append(self.spawn(self.window_command(title)))
        wait_for(lambda: self.record(title), timeout=60, what=f"window {title!r}")

    def focus(self, title):
        self.focus_id(self.record(title)["id"])
        wait_for(lambda: self.record(title)["focused"], what=f"focus on {title!r}")

    def minimize(self, title):
        """Minimises with the desktop's own means, where it has any."""
        self.minimize_id(self.record(title)["id"])
        wait_for(lambda: self.record(title)["minimized"], what=f"{title!r} to minimise")

    def pin(self, title):
        self.pin_id(self.record(title)["id"])
        wait_for(lambda: self.record(title)["above"], what=f"{title!r} to stay above")

    def close_all(self):
        for process in self.opened:
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except (ProcessLookupError, PermissionError):
                process.terminate()
        self.opened = []
        wait_for(lambda: not self.records(), timeout=30, what="the windows to close")

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except (ProcessLookupError, PermissionError):
                    process.terminate()
        for process in reversed(self.processes):
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
        if self.log:
            self.log.close()
        shutil.rmtree(self.root, ignore_errors=True)


def live_session(request, session_class):
    """For a module's fixture: a session of `session_class` while the native
    build is under test, stopped after."""
    if "native" not in request.config.getoption("--platforms").split(","):
        pytest.skip("the native build is not under test")
    session = session_class(request.config.getoption("--native-build"))
    try:
        yield session
    finally:
        session.stop()


def with_two_windows(session):
    """For a test's fixture: OTHER and TITLE open, the target focused; every
    window the session opened closed after."""
    try:
        for title in (OTHER, TITLE):
            session.open_window(title)
        session.focus(TITLE)
        yield session
    finally:
        session.close_all()


def _flag(value):
    return value == "true"


class X11Session(DesktopSession):
    """Xvfb with openbox, xterm windows; the state read back with xprop."""

    USER = "qcpx11"
    NAME = "x11"
    NEEDS = ("Xvfb", "openbox", "xterm", "xprop", "xdotool")

    def start(self):
        # Xvfb picks a free display and writes its number: several runs on one
        # machine never race for the same one.
        number = self.runtime / "display"
        self.spawn(["sh", "-c", 'exec Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$0"',
                    str(number)])
        self.env["DISPLAY"] = ":" + wait_for(lambda: number.exists() and number.read_text().strip(),
                                             what="Xvfb's display number")
        self.spawn(["openbox", "--sm-disable"])
        wait_for(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"),
                 what="openbox")

    def x(self, *argv):
        return self.run(list(argv), text=True).stdout

    def window_command(self, title):
        return ["xterm", "-T", title, "-e", "sleep", "600"]

    def records(self):
        stacking = re.findall(r"0x[0-9a-f]+", self.x("xprop", "-root", "_NET_CLIENT_LIST_STACKING"))
        active = re.findall(r"0x[0-9a-f]+", self.x("xprop", "-root", "_NET_ACTIVE_WINDOW"))
        found = []
        for window in reversed(stacking):
            out = self.x("xprop", "-id", window, "_NET_WM_NAME", "WM_NAME", "_NET_WM_STATE")
            names = re.findall(r'^(?:_NET_WM_NAME|WM_NAME)\([A-Z0-9_]+\) = "(.*)"$', out, re.M)
            if not names:
                continue
            state = out.split("_NET_WM_STATE(ATOM) = ", 1)[1].split("\n", 1)[0] if "_NET_WM_STATE(ATOM) =" in out \
                else ""
            found.append({"id": window, "title": names[0], "focused": bool(active) and int(active[0], 16) == int(window, 16),
                          "minimized": "_NET_WM_STATE_HIDDEN" in state,
                          "maximized": "_NET_WM_STATE_MAXIMIZED_VERT" in state and "_NET_WM_STATE_MAXIMIZED_HORZ" in state,
                          "above": "_NET_WM_STATE_ABOVE" in state})
        return found

    def focus_id(self, id_):
        self.x("xdotool", "windowactivate", "--sync", str(int(id_, 16)))

    def minimize_id(self, id_):
        self.x("xdotool", "windowminimize", "--sync", str(int(id_, 16)))

    def close_id(self, id_):
        self.x("xdotool", "windowkill", str(int(id_, 16)))

    def pin_id(self, id_):
        # xdotool has no way to set _NET_WM_STATE here: openbox's own menu is
        # out of reach, so the pack's PanePin (checked on its own) does it.
        title = next(w["title"] for w in self.records() if w["id"] == id_)
        self.tool("pin", title)


class SwaySession(DesktopSession):
    """A headless sway of its own: WAYLAND_DISPLAY and SWAYSOCK in `env`.
    sway tiles: a pinned window floats, sticky; it ignores minimise and
    maximise requests."""

    USER = "qcpwayland"
    NAME = "sway"
    NEEDS = ("sway", "swaymsg", "foot")
    IGNORES = {"minimize": "set_minimized", "maximize": "set_maximized"}

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

    def run(self, argv, prefix=None, env=None, text=True):
        """As text by default: swaymsg's JSON and the tools' lines."""
        return super().run(argv, prefix, env, text=text)

    def tool(self, verb, caption, prefix=None, env=None):
        return DesktopSession.run(self, self.argv(verb, caption), prefix, env)

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

    def records(self):
        return [{"id": node["id"], "title": node.get("name"), "focused": node.get("focused", False),
                 "minimized": False, "maximized": False,
                 "above": node["type"] == "floating_con" and node.get("sticky", False)} for node in self.views()]

    def window_command(self, title):
        return ["foot", "-T", title, "sleep", "600"]

    def focus_id(self, id_):
        self.run(["swaymsg", f"[con_id={id_}] focus"])

    def minimize(self, title):
        pass  # sway keeps no minimised windows

    def close_id(self, id_):
        self.run(["swaymsg", f"[con_id={id_}] kill"])

    def pin_id(self, id_):
        self.run(["swaymsg", f"[con_id={id_}] floating enable, sticky enable"])


# Prints one JSON line per normal or dialog window, topmost first where KWin
# gives its stacking, then an end line, all marked with the query's number.
# A title is the program's own, without the " <2>" KWin adds to tell windows
# of one title apart.
KWIN_STATE_SCRIPT = """
var list = workspace.stackingOrder ? workspace.stackingOrder.slice().reverse()
    : workspace.windowList ? workspace.windowList() : workspace.clientList();
var active = workspace.windowList ? workspace.activeWindow : workspace.activeClient;
for (var i = 0; i < list.length; ++i) {
  var w = list[i];
  if (!w.normalWindow && !w.dialog) continue;
  var area = workspace.clientArea(KWin.MaximizeArea, w);
  print("QCPSTATE %(n)d " + JSON.stringify({id: String(w.internalId), pid: w.pid, title: w.caption.replace(/ <[0-9]+>$/, ""), minimized: w.minimized,
    above: w.keepAbove, focused: w === active,
    maximized: w.frameGeometry.width === area.width && w.frameGeometry.height === area.height}));
}
print("QCPSTATE %(n)d end");
"""

# Changes the window of one id, found by the same walk.
KWIN_ACTION_SCRIPT = """
var list = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (var i = 0; i < list.length; ++i) {
  var w = list[i];
  if (String(w.internalId) !== %(id)s) continue;
  %(action)s
}
print("QCPSTATE %(n)d end");
"""


class KWinSession(DesktopSession):
    """A virtual kwin_wayland with zenity (GTK) windows, each state read back
    through a KWin script of the test's own that prints into KWin's log.

    kwin_wayland carries a file capability that an unprivileged user in a
    container may not be granted at exec: the session runs a copy without it,
    with a private session bus of its own."""

    USER = "qcpkwin"
    NAME = "kwin"
    NEEDS = ("kwin_wayland", "zenity", "gdbus", "dbus-daemon")

    def start(self):
        self.queries = itertools.count(1)
        self.pids = {}
        # A plain copy carries no file capability.
        kwin = self.root / "kwin_wayland"
        shutil.copy(shutil.which("kwin_wayland"), kwin)
        self.env.update(QT_QPA_PLATFORM="offscreen", DBUS_SESSION_BUS_ADDRESS=f"unix:path={self.buses / 'session'}")
        self.spawn(["dbus-daemon", "--nofork", "--session", f"--address=unix:path={self.buses / 'session'}"])
        wait_for(lambda: (self.buses / "session").exists(), what="the session bus")
        self.log_path = self.root / "kwin.log"
        self.log = open(self.log_path, "wb")
        self.spawn([str(kwin), "--virtual", "--width", "1024", "--height", "768", "--socket", "kwin-test",
                    "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities"], stderr=self.log)
        self.env.update(WAYLAND_DISPLAY="kwin-test", XDG_CURRENT_DESKTOP="KDE", GDK_BACKEND="wayland")
        wait_for(lambda: self.script(KWIN_STATE_SCRIPT) is not None, timeout=60, what="KWin's scripting")

    def kwin(self, path, method, *arguments):
        return self.run(["gdbus", "call", "--session", "-d", "org.kde.KWin", "-o", path, "-m", method, *arguments])

    def script(self, text, **values):
        """Runs a script of ours; the lines it printed, or None while KWin does
        not take scripts."""
        n = next(self.queries)
        script = self.root / f"script{n}.js"
        script.write_text(text % dict(values, n=n))
        script.chmod(0o644)
        loaded = self.kwin("/Scripting", "org.kde.kwin.Scripting.loadScript", str(script), f"qcpscript{n}")
        if loaded.returncode != 0:
            return None
        number = "".join(c for c in loaded.stdout.decode() if c.isdigit())
        if all(self.kwin(path, "org.kde.kwin.Script.run").returncode != 0
               for path in (f"/Scripting/Script{number}", f"/{number}")):
            return None
        self.kwin("/Scripting", "org.kde.kwin.Scripting.unloadScript", f"qcpscript{n}")
        marker = f"QCPSTATE {n} "

        def lines():
            found = [line.split(marker, 1)[1] for line in self.log_path.read_text(errors="replace").splitlines()
                     if marker in line]
            return found if found and found[-1] == "end" else None
        return wait_for(lines, what="the script's lines")[:-1]

    def records(self):
        """Without the pid, which is kept for closing."""
        found = [json.loads(line) for line in self.script(KWIN_STATE_SCRIPT)]
        self.pids.update((w["id"], w.pop("pid")) for w in found)
        return found

    def window_command(self, title):
        return ["zenity", "--text-info", "--title", title]

    def act_on(self, id_, action):
        self.script(KWIN_ACTION_SCRIPT, id=json.dumps(id_), action=action)

    def focus_id(self, id_):
        self.act_on(id_, "if (workspace.windowList) workspace.activeWindow = w; else workspace.activeClient = w;")

    def minimize_id(self, id_):
        self.act_on(id_, "w.minimized = true;")

    def close_id(self, id_):
        # By its program, with no script of ours while the tool runs: with
        # two clients loading and unloading scripts at once, KWin 5.27 at
        # times never runs the tool's, which then waits out its limit.
        os.kill(self.pids[id_], signal.SIGTERM)

    def pin_id(self, id_):
        self.act_on(id_, "w.keepAbove = true;")


GNOME_UUID = "window-control@quorvex-command-pack"  # GNOME 40 to 44, as Debian 12's 43
GNOME_MODULE_UUID = "window-control-gnome45@quorvex-command-pack"  # GNOME 45 and later
GNOME_BUS_NAME = "org.quorvex.CommandPack.Windows"
GNOME_OBJECT_PATH = "/org/quorvex/CommandPack/Windows"
GNOME_WINDOW = re.compile(r"\((?:uint64 )?(\d+), '((?:[^'\\]|\\.)*)', '(?:[^'\\]|\\.)*', (true|false), (true|false), "
                          r"(true|false), (true|false)\)")
# Any user may connect, so that a caller of another user can be shown the
# door by the extension itself.
GNOME_SESSION_BUS_CONFIG = """<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


def gnome_shell_major():
    """The major version of the installed GNOME Shell, 0 when unknown."""
    found = re.search(r"(\d+)\.", subprocess.run(["gnome-shell", "--version"], capture_output=True,
                                                   text=True).stdout) if shutil.which("gnome-shell") else None
    return int(found.group(1)) if found else 0


class GnomeSession(DesktopSession):
    """A headless GNOME Shell on Wayland of its own, the pack's extension
    enabled before it starts, foot windows, every state read back through the
    extension's own listing. Its session bus is private, and a throwaway bus
    stands in for the system bus."""

    USER = "qcpgnome"
    NAME = "gnome"
    NEEDS = ("gnome-shell", "gnome-extensions", "gsettings", "gdbus", "foot", "dbus-daemon")

    def start(self):
        self.live_uuid = GNOME_MODULE_UUID if gnome_shell_major() >= 45 else GNOME_UUID
        # Both shapes, as the package installs them; the shell loads its own.
        for uuid in (GNOME_UUID, GNOME_MODULE_UUID):
            shutil.copytree(self.build / "share/gnome-shell/extensions" / uuid,
                            self.home / ".local/share/gnome-shell/extensions" / uuid)
        self.give(self.home)
        config = self.root / "session-bus.conf"
        config.write_text(GNOME_SESSION_BUS_CONFIG.format(socket=self.buses / "session"))
        config.chmod(0o644)
        self.env.update(GSETTINGS_BACKEND="keyfile", DBUS_SESSION_BUS_ADDRESS=f"unix:path={self.buses / 'session'}",
                        DBUS_SYSTEM_BUS_ADDRESS=f"unix:path={self.buses / 'system'}")
        self.spawn(["dbus-daemon", "--nofork", f"--config-file={config}"])
        self.spawn(["dbus-daemon", "--nofork", "--session", f"--address=unix:path={self.buses / 'system'}"])
        wait_for(lambda: (self.buses / "session").exists() and (self.buses / "system").exists(), what="the buses")
        enabled = self.run(["gsettings", "set", "org.gnome.shell", "enabled-extensions", f"['{self.live_uuid}']"])
        assert enabled.returncode == 0
        self.log = open(self.root / "gnome-shell.log", "wb")
        # GNOME 49 and later run on Wayland alone, and know no --wayland or --no-x11.
        options = subprocess.run(["gnome-shell", "--help-all"], capture_output=True, text=True).stdout
        modes = [flag for flag in ("--wayland", "--no-x11") if re.search(rf"^\s*{flag}\s", options, re.M)]
        self.spawn(["gnome-shell", "--headless", *modes, "--virtual-monitor", "1280x800",
                    "--wayland-display", "gnome-test"], stderr=self.log)
        self.env.update(WAYLAND_DISPLAY="gnome-test", XDG_CURRENT_DESKTOP="GNOME")
        wait_for(lambda: self.windows() is not None, timeout=60, what="GNOME Shell with the extension")
        # The shell starts in the overview; a window activated while it hides
        # may lose the focus, so nothing is done before it has gone.
        wait_for(lambda: "true" in self.call_shell("Get", "org.gnome.Shell", "OverviewActive"), timeout=60,
                 what="the overview of the shell's start")
        self.call_shell("Set", "org.gnome.Shell", "OverviewActive", "<false>")
        wait_for(lambda: "false" in self.call_shell("Get", "org.gnome.Shell", "OverviewActive"),
                 what="the overview to hide")

    def call_shell(self, method, *arguments):
        result = self.run(["gdbus", "call", "--session", "-d", "org.gnome.Shell", "-o", "/org/gnome/Shell", "-m",
                           f"org.freedesktop.DBus.Properties.{method}", *arguments])
        return result.stdout.decode()

    def call(self, method, *arguments):
        return self.run(["gdbus", "call", "--session", "-d", GNOME_BUS_NAME, "-o", GNOME_OBJECT_PATH, "-m",
                         f"{GNOME_BUS_NAME}.{method}", *map(str, arguments)])

    def windows(self):
        """The extension's listing, topmost first: (id, title, focused,
        minimised, maximised, above) each; None while it does not answer."""
        result = self.call("List")
        if result.returncode != 0:
            return None
        return [(int(id_), title, *(flag == "true" for flag in flags))
                for id_, title, *flags in GNOME_WINDOW.findall(result.stdout.decode())]

    def records(self):
        return [dict(zip(("id", "title", "focused", "minimized", "maximized", "above"), w))
                for w in self.windows() or []]

    def window(self, title):
        """The topmost window titled `title`, without its title, or None."""
        found = self.record(title)
        return found and {k: v for k, v in found.items() if k != "title"}

    def window_command(self, title):
        return ["foot", "-T", title, "sleep", "600"]

    def focus_id(self, id_):
        self.call("Restore", id_)

    def minimize_id(self, id_):
        self.call("Minimize", id_)

    def close_id(self, id_):
        self.call("Close", id_)

    def pin_id(self, id_):
        self.call("SetAbove", id_, "true")

    def close_all(self):
        # Also the windows a test opened itself through the extension.
        for id_, *_ in self.windows() or []:
            self.call("Close", id_)
        super().close_all()


DESKTOPS = [X11Session, SwaySession, KWinSession, GnomeSession]


def requests_on(trace, title):
    """The requests a WAYLAND_DEBUG trace shows sent on the foreign-toplevel
    handles titled `title`. libwayland writes an object as `iface@N`
    (Debian 12's) or `iface#N` (later releases), and its lines may start with
    a stamp of either form."""
    handle = "zwlr_foreign_toplevel_handle_v1"
    handles = set(re.findall(rf"{handle}[@#](\d+)\.title\(\"{re.escape(title)}\"\)$", trace, re.M))
    assert handles, "no handle with that title in the trace"
    return [name for number, name in re.findall(rf"-> {handle}[@#](\d+)\.(\w+)\(", trace) if number in handles]
