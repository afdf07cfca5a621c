"""The window tools under a live KWin on Wayland: a virtual kwin_wayland,
zenity (GTK) windows, each effect read back through a KWin script of the
test's own that prints every window's state into KWin's log.

kwin_wayland carries a file capability that an unprivileged user in a
container may not be granted at exec: the session runs a copy without it,
as the unprivileged user qcpkwin (created when absent), with a runtime
directory and a private session bus of its own."""

import itertools
import json
import os
import shutil
import signal

import pytest

from desktop_session import TOOLS, DesktopSession, live_session
from harness import wait_for

TEST_USER = "qcpkwin"
TITLE = "Target Window"
OTHER = "Other Window"
NOT_FOUND = b"ERROR! Couldn't find window: "

pytestmark = pytest.mark.skipif(not (shutil.which("kwin_wayland") and shutil.which("zenity")),
                                reason="kwin_wayland and zenity are needed")

# Prints one JSON line per normal or dialog window, then an end line, all
# marked with the query's number.
STATE_SCRIPT = """
var list = workspace.windowList ? workspace.windowList() : workspace.clientList();
var active = workspace.windowList ? workspace.activeWindow : workspace.activeClient;
for (var i = 0; i < list.length; ++i) {
  var w = list[i];
  if (!w.normalWindow && !w.dialog) continue;
  var area = workspace.clientArea(KWin.MaximizeArea, w);
  print("QCPSTATE %(n)d " + JSON.stringify({caption: w.caption, minimized: w.minimized, above: w.keepAbove,
    active: w === active, maximized: w.frameGeometry.width === area.width && w.frameGeometry.height === area.height}));
}
print("QCPSTATE %(n)d end");
"""


class KWinSession(DesktopSession):
    USER = TEST_USER

    def start(self):
        self.queries = itertools.count(1)
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
        wait_for(lambda: self.windows() is not None, timeout=60, what="KWin's scripting")

    def kwin(self, path, method, *arguments):
        return self.run(["gdbus", "call", "--session", "-d", "org.kde.KWin", "-o", path, "-m", method, *arguments])

    def windows(self):
        """Each window's state by caption, through a script of our own; None
        while KWin does not take scripts."""
        n = next(self.queries)
        script = self.root / f"state{n}.js"
        script.write_text(STATE_SCRIPT % {"n": n})
        script.chmod(0o644)
        loaded = self.kwin("/Scripting", "org.kde.kwin.Scripting.loadScript", str(script), f"qcpstate{n}")
        if loaded.returncode != 0:
            return None
        number = "".join(c for c in loaded.stdout.decode() if c.isdigit())
        if all(self.kwin(path, "org.kde.kwin.Script.run").returncode != 0
               for path in (f"/Scripting/Script{number}", f"/{number}")):
            return None
        self.kwin("/Scripting", "org.kde.kwin.Scripting.unloadScript", f"qcpstate{n}")
        marker = f"QCPSTATE {n} "

        def lines():
            found = [line.split(marker, 1)[1] for line in self.log_path.read_text(errors="replace").splitlines()
                     if marker in line]
            return found if found and found[-1] == "end" else None
        return {state["caption"]: state for state in map(json.loads, wait_for(lines, what="the state script")[:-1])}

    def open_window(self, title):
        process = self.spawn(["zenity", "--text-info", "--title", title])
        wait_for(lambda: title in self.windows(), what=f"window {title!r}")
        return process


@pytest.fixture(scope="module")
def kwin(request):
    yield from live_session(request, KWinSession)


@pytest.fixture
def desk(kwin):
    """Two windows, the target (opened last) active; both closed after."""
    windows = [kwin.open_window(title) for title in (OTHER, TITLE)]
    wait_for(lambda: kwin.windows()[TITLE]["active"], what="the target to be active")
    yield kwin
    for process in windows:
        os.killpg(process.pid, signal.SIGTERM)
    wait_for(lambda: not kwin.windows(), what="the windows to close")


def act(kwin, verb, caption):
    result = kwin.tool(verb, caption)
    assert (result.returncode, result.stderr) == (1 if result.stdout.startswith(NOT_FOUND) else 0, b"")
    return result.stdout


# (verb, caption, the request made first, the target's state once done)
EFFECTS = [
    ("minimize", TITLE, None, lambda w: w["minimized"]),
    ("maximize", TITLE.upper(), None, lambda w: w["maximized"]),
    ("pin", TITLE.lower(), None, lambda w: w["above"]),
    ("unpin", TITLE, "pin", lambda w: not w["above"]),
    ("restore", TITLE.swapcase(), "minimize", lambda w: not w["minimized"] and w["active"]),
    ("close", TITLE.lower(), None, lambda w: w is None),
    ("minimize", "0", None, lambda w: w["minimized"]),
]


@pytest.mark.parametrize("verb, caption, first, done", EFFECTS,
                         ids=[f"{verb}-{'active' if caption == '0' else caption}" for verb, caption, *_ in EFFECTS])
def test_each_tool_acts_on_the_window_named_in_any_case_or_the_active_one(desk, verb, caption, first, done):
    if first:
        assert act(desk, first, TITLE) == b""
        wait_for(lambda: desk.windows()[TITLE][{"pin": "above", "minimize": "minimized"}[first]],
                 what=f"{first} to take effect")
    other = desk.windows()[OTHER]
    assert act(desk, verb, caption) == b""
    wait_for(lambda: done(desk.windows().get(TITLE)), what=f"{verb} to take effect")
    assert {k: v for k, v in desk.windows()[OTHER].items() if k != "active"} == \
        {k: v for k, v in other.items() if k != "active"}


@pytest.mark.parametrize("verb", list(TOOLS))
def test_a_caption_no_window_has_is_not_found_and_nothing_changes(desk, verb):
    before = desk.windows()
    assert act(desk, verb, "Target Windo") == NOT_FOUND + b"Target Windo\n"
    assert desk.windows() == before
