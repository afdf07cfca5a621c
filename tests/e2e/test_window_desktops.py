"""The six window tools on every desktop, live, from one table: X11 with
openbox, sway, KWin and GNOME Shell (through the pack's extension), each a
headless session of its own. A desktop or a release more is a session more:
the scenarios stay as they are.

Each effect is read back with the desktop's own means, and polled for: the
requests are carried out after the tool has ended. Where a desktop ignores a
request by design (sway tiles, and does not minimise or maximise), the
Wayland trace shows that it went to the right window."""

import subprocess

import pytest

from desktop_session import DESKTOPS, OTHER, TITLE, TOOLS, live_session, requests_on, with_two_windows
from harness import NOT_FOUND, wait_for

TWIN = "Twin Window"


@pytest.fixture(scope="module", params=DESKTOPS, ids=[d.NAME for d in DESKTOPS])
def desktop(request):
    reason = request.param.missing()
    if reason:
        pytest.skip(f"{request.param.NAME}: {reason}")
    yield from live_session(request, request.param)


@pytest.fixture
def desk(desktop):
    yield from with_two_windows(desktop)


def restore_first(desk):
    """The target minimised where the desktop can, another window focused."""
    desk.focus(OTHER)
    desk.minimize(TITLE)


def pin_first(desk):
    desk.pin(TITLE)


def other_above(desk):
    """The other window kept above, so that the focused one is not the topmost."""
    desk.pin(OTHER)
    desk.focus(TITLE)


# (verb, caption, preparation, the target's record once done: None if closed)
EFFECTS = [
    ("minimize", TITLE, None, lambda w: w["minimized"]),
    ("maximize", TITLE.upper(), None, lambda w: w["maximized"] and not w["minimized"]),
    ("pin", TITLE.lower(), None, lambda w: w["above"]),
    ("unpin", TITLE, pin_first, lambda w: not w["above"]),
    ("restore", TITLE.swapcase(), restore_first, lambda w: not w["minimized"] and w["focused"]),
    ("close", TITLE.lower(), None, lambda w: w is None),
    ("minimize", "0", other_above, lambda w: w["minimized"]),
    ("close", "0", None, lambda w: w is None),
]


def unchanged(record):
    return record and {k: v for k, v in record.items() if k != "focused"}


@pytest.mark.parametrize("verb, caption, prepare, done", EFFECTS,
                         ids=[f"{verb}-{'active' if caption == '0' else caption}" for verb, caption, *_ in EFFECTS])
def test_each_tool_acts_on_the_window_named_in_any_case_or_the_active_one(desk, verb, caption, prepare, done):
    if prepare:
        prepare(desk)
    other = desk.record(OTHER)
    ignored = desk.IGNORES.get(verb)
    result = desk.tool(verb, caption, env=dict(desk.env, WAYLAND_DEBUG="1") if ignored else None)
    assert (result.returncode, result.stdout) == (0, b""), result.stderr
    if ignored:
        trace = result.stderr.decode(errors="replace")
        assert ignored in requests_on(trace, TITLE) and ignored not in requests_on(trace, OTHER)
    else:
        assert result.stderr == b""
        wait_for(lambda: done(desk.record(TITLE)), what=f"{verb} to take effect")
    assert unchanged(desk.record(OTHER)) == unchanged(other)


def quietly(desk, verb, caption, done):
    desk.request(verb, caption)
    wait_for(lambda: done(desk.record(TITLE)), what=f"{verb} to take effect")


def test_a_maximised_window_minimised_and_restored_comes_back_maximised(desk):
    if "maximize" in desk.IGNORES:
        pytest.skip(f"{desk.NAME} neither minimises nor maximises")
    quietly(desk, "maximize", TITLE, lambda w: w["maximized"])
    quietly(desk, "minimize", TITLE, lambda w: w["minimized"])
    quietly(desk, "restore", TITLE, lambda w: w["maximized"] and not w["minimized"])
    quietly(desk, "restore", TITLE, lambda w: not w["maximized"] and not w["minimized"])


def test_pinning_a_pinned_window_keeps_it_pinned(desk):
    """A toggle in place of an add would unpin it. The desktop takes the
    requests in order: once the later maximising shows, the second pin has
    been carried out (sway answers a command only once it is done)."""
    quietly(desk, "pin", TITLE, lambda w: w["above"])
    quietly(desk, "pin", TITLE, lambda w: w["above"])
    if "maximize" not in desk.IGNORES:
        quietly(desk, "maximize", TITLE, lambda w: w["maximized"])
    assert desk.record(TITLE)["above"]


# Quotes are part of the caption: the window is "Target Window", not this.
MISSES = [(verb, "Target Windo") for verb in TOOLS] + [("close", '"Target Window"'), ("pin", "Target Window Too")]


@pytest.mark.parametrize("verb, caption", MISSES)
def test_a_caption_no_window_has_is_not_found_and_nothing_changes(desk, verb, caption):
    before = desk.records()
    result = desk.tool(verb, caption)
    assert (result.returncode, result.stdout, result.stderr) == (1, NOT_FOUND + caption.encode() + b"\n", b"")
    assert desk.records() == before


@pytest.mark.parametrize("which", [0, 1], ids=["first-opened", "last-opened"])
def test_of_two_windows_with_one_title_the_focused_topmost_one_is_acted_on(desktop, which):
    try:
        opened = []
        for _ in range(2):
            desktop.open_window(TWIN)
            wait_for(lambda: len([w for w in desktop.records() if w["title"] == TWIN]) == len(opened) + 1,
                     what="the twin window")
            opened += [w["id"] for w in desktop.records() if w["title"] == TWIN and w["id"] not in opened]
        # The chosen twin is brought up: focused, and on top where the desktop
        # stacks its windows.
        chosen = opened[which]
        if which == 1:
            desktop.focus_id(opened[0])
            wait_for(lambda: any(w["id"] == opened[0] and w["focused"] for w in desktop.records()),
                     what="the first twin to come up")
        desktop.focus_id(chosen)
        wait_for(lambda: any(w["id"] == chosen and w["focused"] for w in desktop.records()), timeout=30,
                 what="the chosen twin to come up")
        result = desktop.tool("pin", TWIN.upper())
        assert (result.returncode, result.stdout, result.stderr) == (0, b"", b"")
        wait_for(lambda: any(w["id"] == chosen and w["above"] for w in desktop.records()),
                 what="the focused twin to stay above")
        assert [w["id"] for w in desktop.records() if w["title"] == TWIN and w["above"]] == [chosen]
    finally:
        desktop.close_all()


def test_a_window_that_closes_while_the_tool_runs_is_done_or_not_found(desktop):
    """Whenever the window goes, before the lookup, between it and the
    request or after, the tool ends with the request done, the window not
    found, or the line saying the request could not be made."""
    title = "Short Lived"
    gone = b"PaneGrow: the window was found, but the request could not be made (it may have closed meanwhile)\n"
    try:
        for _ in range(3):
            desktop.open_window(title)
            # Closed once the tool has started, at whatever step it then is.
            window = desktop.record(title)["id"]
            tool = subprocess.Popen(desktop.command(desktop.argv("maximize", title)), stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE)
            desktop.close_id(window)
            stdout, stderr = tool.communicate(timeout=60)
            assert (stdout, stderr, tool.returncode) in [
                (b"", b"", 0), (NOT_FOUND + title.encode() + b"\n", b"", 1), (b"", gone, 1)]
            wait_for(lambda: desktop.record(title) is None, what="the short-lived window to close")
    finally:
        desktop.close_all()
    result = desktop.tool("maximize", title)
    assert (result.returncode, result.stdout) == (1, NOT_FOUND + title.encode() + b"\n")


def test_list_captions_names_every_window_for_completion(desk):
    """What the shell completions offer: each open window's caption, a line each."""
    result = desk.tool("close", "--list-captions")
    assert (sorted(result.stdout.splitlines()), result.stderr, result.returncode) == (
        sorted([OTHER.encode(), TITLE.encode()]), b"", 0)
