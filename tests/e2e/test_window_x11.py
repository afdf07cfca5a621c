"""The window tools natively, beyond the desktop table: captions in each
encoding match regardless of case, and on an X server without a window
manager the tools act on the window directly (and MovieShow's window covers
the monitor). Each window is an xmessage whose button (Return) ends it with
status 7 and whose close ends it with status 1; everything is read back with
xprop, xwininfo and xdotool."""

import itertools
import os
import re
import shutil
import subprocess

import pytest

from harness import only_on, run_quiet, wait_for
from test_media_movie import clip

OKAY, CLOSED = 7, 1
BARE_SIZE = (800, 600)
_names = itertools.count(1)


class XMessage:
    """An xmessage window with a caption of our choosing, found by its own
    instance name, so that windows with the same caption stay apart."""

    def __init__(self, env, title, managed):
        self.env = env
        self.title = title
        self.name = f"qcp{next(_names)}"
        self.process = subprocess.Popen(["xmessage", "-name", self.name, "-title", title, "-buttons", f"okay:{OKAY}",
                                         "-default", "okay", "Quorvex"], env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        self.managed = managed
        self.id = wait_for(lambda: self._find(managed), what=f"xmessage {title!r}")

    def x(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True, errors="replace").stdout

    def _find(self, managed):
        found = self.x("xdotool", "search", "--classname", f"^{self.name}$").split()
        if len(found) != 1 or self.info(found[0]).get("Map State") != "IsViewable":
            return None
        if managed and f"{int(found[0]):#x}" not in self.x("xprop", "-root", "_NET_CLIENT_LIST_STACKING"):
            return None
        return int(found[0])

    def info(self, window=None):
        out = self.x("xwininfo", "-id", str(window or self.id))
        return dict(re.findall(r"^\s+([A-Z][^:]+):\s+(.*)$", out, re.M))

    def set_utf8_caption(self, caption):
        """A caption beyond Latin-1, as toolkits set it: _NET_WM_NAME in UTF-8."""
        self.x("xprop", "-id", str(self.id), "-f", "_NET_WM_NAME", "8u", "-set", "_NET_WM_NAME", caption)
        wait_for(lambda: caption in self.x("xprop", "-id", str(self.id), "_NET_WM_NAME"), what="the new caption")

    def geometry(self):
        info = self.info()
        return tuple(int(info[key]) for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def press_okay(self):
        """Return on the window: its button ends it with OKAY, after every
        event sent to it before."""
        self.x("xdotool", "windowactivate" if self.managed else "windowfocus", "--sync", str(self.id))
        self.x("xdotool", "key", "Return")

    def status(self):
        return self.process.wait(timeout=20)

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)


@pytest.fixture
def windows(services):
    """Makes xmessage windows on the test desktop, closing any left at the end."""
    made = []

    def make(title, env=None, managed=True):
        made.append(XMessage(env or services.env, title, managed))
        return made[-1]
    yield make
    for window in made:
        window.close()


@pytest.fixture(scope="module")
def bare_env(services):
    """A second X server of its own size with no window manager on it."""
    env = dict(services.env, DISPLAY=services.xvfb("-noreset", screen="{}x{}x24".format(*BARE_SIZE))[1])
    assert "_NET_SUPPORTING_WM_CHECK(" not in subprocess.run(["xprop", "-root"], env=env, capture_output=True,
                                                              text=True).stdout
    return env


def stacking(env):
    """Client window ids of the bare display, topmost first."""
    out = subprocess.run(["xwininfo", "-root", "-children"], env=env, capture_output=True, text=True).stdout
    return [int(word, 16) for word in re.findall(r"^\s+(0x[0-9a-f]+)", out, re.M)]


# Captions compare by simple case folding of the whole caption, as on Windows
# (the folding itself is tested in-process): each way a caption is read.
@only_on("native")
@pytest.mark.parametrize("title, utf8, tail", [
    ("Ärger Über", None, "äRGER üBER"),  # WM_NAME in Latin-1
    ("Greek", "Ωμέγα ΣΟΦΊΑ ς", "ωΜΈΓΑ σοφία Σ"),
])
def test_caption_matches_regardless_of_case(runner, windows, title, utf8, tail):
    window = windows(title)
    if utf8:
        window.set_utf8_caption(utf8)
    run_quiet(runner, "PaneShut", tail)
    assert window.status() == CLOSED


# xterm sets a title beyond Latin-1 only as WM_NAME in compound text.
@only_on("native")
def test_a_caption_in_compound_text_matches(runner, bare_env):
    title = "Café Résumé – naïve ✓"
    xterm = subprocess.Popen(["xterm", "-name", "qcpcompound", "-T", title, "-e", "sleep", "600"], env=bare_env,
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def x(*argv):
        return subprocess.run(argv, env=bare_env, capture_output=True, text=True, errors="replace").stdout
    try:
        window = wait_for(lambda: x("xdotool", "search", "--classname", "^qcpcompound$").split(), what="the xterm")[0]
        wait_for(lambda: "IsViewable" in x("xwininfo", "-id", window), what="the xterm mapped")
        assert x("xprop", "-id", window, "WM_NAME", "_NET_WM_NAME").splitlines()[0].startswith(
            "WM_NAME(COMPOUND_TEXT)")
        run_quiet(runner, "PaneShrink", title.upper(), env=bare_env)
        assert "IsUnMapped" in x("xwininfo", "-id", window)
    finally:
        xterm.kill()
        xterm.wait()


@only_on("native")
@pytest.mark.parametrize("tail", ["cap tes", "cap test ", "cap  test", "cap tést"])
def test_only_the_whole_caption_matches(runner, windows, tail):
    window = windows("Cap Test")
    result = runner.run("PaneShut", tail)
    assert result.stdout == runner.expect(f"ERROR! Couldn't find window: {tail}\r\n".encode())
    window.press_okay()
    assert window.status() == OKAY


# Of two windows with the same caption the one higher in the stacking order
# is acted on, whichever was opened first (under a window manager: the
# desktop table).
@only_on("native")
@pytest.mark.parametrize("raised", [0, 1])
def test_without_a_window_manager_the_topmost_of_two_same_captions_is_acted_on(runner, windows, bare_env, raised):
    pair = [windows("Twin Caption", env=bare_env, managed=False) for _ in range(2)]
    top, other = pair[raised], pair[1 - raised]
    top.x("xdotool", "windowraise", str(top.id))
    wait_for(lambda: stacking(bare_env)[0] == top.id, what="the raised window on top")
    run_quiet(runner, "PaneShut", "twin caption", env=bare_env)
    assert top.status() == CLOSED
    other.press_okay()
    assert other.status() == OKAY


# Without a window manager each request is carried out on the window itself;
# a minimised window grows into view, and revive puts back its earlier place.
@only_on("native")
def test_without_a_window_manager_shrink_revive_and_grow(runner, windows, bare_env):
    window = windows("Bare Window", env=bare_env, managed=False)
    window.x("xdotool", "windowmove", "--sync", str(window.id), "30", "40")
    earlier = window.geometry()
    assert earlier[2:] != BARE_SIZE
    run_quiet(runner, "PaneShrink", "bare window", env=bare_env)
    assert window.info()["Map State"] == "IsUnMapped"
    run_quiet(runner, "PaneRevive", "Bare Window", env=bare_env)
    assert (window.info()["Map State"], window.geometry()) == ("IsViewable", earlier)
    run_quiet(runner, "PaneShrink", "bare window", env=bare_env)
    for _ in range(2):
        run_quiet(runner, "PaneGrow", "Bare Window", env=bare_env)
        assert (window.info()["Map State"], window.geometry()) == ("IsViewable", (0, 0) + BARE_SIZE)
    run_quiet(runner, "PaneRevive", "Bare Window", env=bare_env)
    assert window.geometry() == earlier
    window.press_okay()
    assert window.status() == OKAY


@only_on("native")
def test_without_a_window_manager_pin_and_unpin_restack(runner, windows, bare_env):
    lower = windows("Lower Window", env=bare_env, managed=False)
    upper = windows("Upper Window", env=bare_env, managed=False)
    assert stacking(bare_env).index(upper.id) < stacking(bare_env).index(lower.id)
    run_quiet(runner, "PanePin", "Lower Window", env=bare_env)
    assert stacking(bare_env)[0] == lower.id
    run_quiet(runner, "PaneUnpin", "Lower Window", env=bare_env)
    assert stacking(bare_env)[-1] == lower.id


# Without a window manager PaneShut asks through WM_DELETE_WINDOW: a window
# that does not follow that protocol ignores the close, and the button pressed
# afterwards is what ends it.
@only_on("native")
@pytest.mark.parametrize("protocol", [True, False], ids=["delete-window", "no-protocols"])
def test_without_a_window_manager_shut_asks_the_window_to_close(runner, windows, bare_env, protocol):
    window = windows("Bare Window", env=bare_env, managed=False)
    if protocol:
        assert "WM_DELETE_WINDOW" in window.x("xprop", "-id", str(window.id), "WM_PROTOCOLS")
    else:
        window.x("xprop", "-id", str(window.id), "-remove", "WM_PROTOCOLS")
    run_quiet(runner, "PaneShut", "Bare Window", env=bare_env)
    if not protocol:
        window.press_okay()
    assert window.status() == (CLOSED if protocol else OKAY)


@only_on("native")
def test_without_a_window_manager_zero_is_the_focused_window(runner, windows, bare_env):
    window = windows("Focused Window", env=bare_env, managed=False)
    windows("Other Window", env=bare_env, managed=False)
    window.x("xdotool", "windowfocus", "--sync", str(window.id))
    run_quiet(runner, "PaneGrow", "0", env=bare_env)
    assert window.geometry() == (0, 0) + BARE_SIZE


# Root properties a window manager leaves behind when it ends: a check window
# that no longer names itself, every request "supported", an empty client list.
@only_on("native")
def test_a_window_manager_that_has_gone_is_not_trusted(runner, windows, bare_env):
    window = windows("Bare Window", env=bare_env, managed=False)
    root = ["xprop", "-root"]
    left_behind = [("_NET_SUPPORTING_WM_CHECK", "32x", str(window.id)),
                   ("_NET_SUPPORTED", "32a", "_NET_CLOSE_WINDOW,_NET_WM_STATE_HIDDEN,_NET_WM_STATE_ABOVE,"
                                              "_NET_WM_STATE_MAXIMIZED_VERT,_NET_WM_STATE_MAXIMIZED_HORZ"),
                   ("_NET_CLIENT_LIST_STACKING", "32x", "0")]
    try:
        for name, form, value in left_behind:
            window.x(*root, "-f", name, form, "-set", name, value)
        run_quiet(runner, "PaneGrow", "bare window", env=bare_env)
        assert window.geometry() == (0, 0) + BARE_SIZE
        run_quiet(runner, "PaneShrink", "bare window", env=bare_env)
        assert window.info()["Map State"] == "IsUnMapped"
    finally:
        for name, _, _ in left_behind:
            window.x(*root, "-remove", name)


@only_on("native")
def test_without_a_window_manager_movieshow_covers_the_monitor(runner, services, bare_env):
    process = runner.start("MovieShow", "0 " + str(clip(services, "short.webm", 2)), env=bare_env)
    try:
        found = wait_for(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^MovieShow$"],
                                                env=bare_env, capture_output=True, text=True).stdout.split(),
                         what="MovieShow window")
        geometry = subprocess.run(["xdotool", "getwindowgeometry", found[0]], env=bare_env, capture_output=True,
                                  text=True).stdout
        assert "Position: 0,0" in geometry and "Geometry: {}x{}".format(*BARE_SIZE) in geometry, geometry
        out, _ = process.communicate(timeout=30)
    finally:
        if process.poll() is None:
            process.kill()
    assert (out, process.returncode) == (b"", 0)


def bash_completes(runner, env, line):
    """What the pack's bash completion, as the build made it, offers for
    `line` in a real bash, one offer a line, sorted."""
    completion = runner.bin_dir.parent / "completions" / "bash" / "quorvex-command-pack"
    script = (f"source {completion}; complete -p PaneShut >/dev/null || exit 9; line={line!r}; COMP_LINE=$line; "
              "COMP_POINT=${#line}; read -ra COMP_WORDS <<<\"$line\"; [[ $line == *' ' ]] && COMP_WORDS+=(''); "
              "COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _quorvex_command_pack \"${COMP_WORDS[0]}\"; "
              "(( ${#COMPREPLY[@]} )) && printf '%s\\n' \"${COMPREPLY[@]}\" | sort; true")
    env = dict(env, PATH=f"{runner.bin_dir}:{env.get('PATH', '/usr/bin:/bin')}")
    result = subprocess.run(["bash", "-c", script], env=env, capture_output=True, text=True, timeout=60)
    assert (result.stderr, result.returncode) == ("", 0), result
    return result.stdout.splitlines()


# --list-captions prints the captions of the open windows; Tab in bash
# completes the rest of the caption typed so far, regardless of case.
@only_on("native")
def test_bash_completes_the_captions_of_open_windows(runner, windows, services):
    windows("Completion Test One")
    windows("completion test two")
    listed = runner.run("PaneRevive", "--list-captions")
    assert {"Completion Test One", "completion test two"} <= set(listed.stdout.decode().splitlines())
    assert (listed.stderr, listed.status) == (b"", 0)
    env = services.env
    offers = bash_completes(runner, env, "PaneShut ")
    assert {"0", "Completion Test One", "completion test two"} <= set(offers)
    assert bash_completes(runner, env, "PaneGrow COMPLETION test o") == ["one"]
    assert bash_completes(runner, env, "PanePin completion te") == ["test One", "test two"]
    assert bash_completes(runner, env, "PaneUnpin no such window ") == []
    # Without a display there is nothing to list: only 0, and no error shown.
    assert bash_completes(runner, dict(env, DISPLAY=":999"), "PaneShrink ") == ["0"]


@only_on("native")
def test_fish_completes_the_captions_of_open_windows(runner, windows, services):
    if shutil.which("fish") is None:
        pytest.skip("fish is not installed")
    windows("Fish Completion Test")
    completions = runner.bin_dir.parent / "completions" / "fish" / "quorvex-command-pack.fish"
    env = dict(services.env, PATH=f"{runner.bin_dir}:{services.env.get('PATH', '/usr/bin:/bin')}")
    result = subprocess.run(["fish", "--no-config", "-c", f"source {completions}; complete -C 'PaneShut fish'"],
                            env=env, capture_output=True, text=True, timeout=60)
    assert result.stdout == "Fish Completion Test\tAn open window\n", result
