"""PictureShow on a real X server: the window is exactly the picture, shows
it from its top-left corner, carries its own icon, and is closed by a click,
an Esc release or its timer; errors after showing leave it open."""

import os
import select
import subprocess
import time

import pytest

from harness import visible_windows, wait_for

FORMATS = ["bmp", "png", "gif", "jpg"]


@pytest.fixture(scope="module")
def pictures(services):
    """Generated pictures: a 123 x 77 gradient in each format (odd sizes show
    any frame or rounding), and a text file that is no picture."""
    folder = services.root / "pictures"
    folder.mkdir(exist_ok=True)
    made = {}
    for extension in FORMATS:
        path = folder / f"gradient {extension}.{extension}"
        subprocess.run(["convert", "-size", "77x123", "gradient:red-blue", "-rotate", "90", str(path)], check=True)
        made[extension] = path
    made["unicode"] = folder / "\u00f1and\u00fa \u2602.png"
    made["unicode"].write_bytes(made["png"].read_bytes())
    made["text"] = folder / "not a picture.gif"
    made["text"].write_text("GIF? no, plain text\n")
    return made


def x_window(services, timeout=30):
    """The id of the visible top-level window titled PictureShow."""
    return wait_for(lambda: visible_windows(services.env, "PictureShow"), timeout=timeout,
                    what="the PictureShow window")[0]


def x_geometry(services, window):
    info = subprocess.run(["xwininfo", "-id", window], env=services.env, capture_output=True, text=True).stdout
    fields = dict(line.strip().split(": ", 1) for line in info.splitlines() if ": " in line)
    return int(fields["Width"]), int(fields["Height"]), fields["Map State"]


def no_window(services):
    return not visible_windows(services.env, "PictureShow")


def probe(runner, *arguments):
    """The Win32 view of the window (Wine only)."""
    program = runner.launcher.parent / "picture_window_probe.exe"
    return subprocess.run(["wine", str(program), *arguments], env=runner.env, capture_output=True, text=True,
                          timeout=60)


def click(services, window):
    subprocess.run(["xdotool", "mousemove", "--window", window, "10", "10", "click", "1"], env=services.env,
                   check=True)


def key(services, window, name):
    subprocess.run(["xdotool", "windowactivate", "--sync", window, "key", "--clearmodifiers", name],
                   env=services.env, check=True)


def failed(runner):
    """The status after an ERROR! line: 1 natively, 0 on Windows."""
    return 1 if runner.name == "native" else 0


def finish(process, timeout=15):
    out, err = process.communicate(timeout=timeout)
    return out, process.returncode


def read_line_while_open(process, timeout=20):
    """The first line on standard output, read while the process runs."""
    deadline = time.monotonic() + timeout
    line = b""
    while not line.endswith(b"\n") and time.monotonic() < deadline:
        ready, _, _ = select.select([process.stdout], [], [], 0.1)
        if ready:
            chunk = os.read(process.stdout.fileno(), 1)
            if not chunk:
                break
            line += chunk
    return line


# Each format, and the PNG under a name beyond any ANSI code page.
@pytest.mark.parametrize("extension", FORMATS + ["unicode"])
def test_the_window_is_exactly_the_picture(runner, services, pictures, extension):
    process = runner.start("PictureShow", "0 " + runner.file_name(pictures[extension]))
    try:
        window = x_window(services)
        wait_for(lambda: x_geometry(services, window)[2] == "IsViewable", what="the window mapped")
        assert x_geometry(services, window)[:2] == (123, 77)
        if runner.name == "wine":
            result = probe(runner, "QcpPictureShow")
            assert result.stdout.split() == ["client=123x77", "window=123x77", "caption=0", "border=0"]
        # All of the picture shows, from the window's top-left corner.
        shot = services.root / f"shot-{runner.name}-{extension}.png"
        time.sleep(0.3)
        subprocess.run(["import", "-window", window, str(shot)], env=services.env, check=True)
        compare = subprocess.run(["compare", "-metric", "AE", "-fuzz", "12%", str(pictures[extension]), str(shot),
                                  "null:"], capture_output=True, text=True)
        assert compare.stderr.strip() == "0"
        click(services, window)
        assert finish(process) == (b"", 0)
    finally:
        process.kill()


def test_the_window_carries_its_own_icon(runner, services, pictures):
    process = runner.start("PictureShow", "0 " + runner.file_name(pictures["png"]))
    try:
        window = x_window(services)
        value = subprocess.run(["xprop", "-id", window, "-notype", "32c", "_NET_WM_ICON"], env=services.env,
                               capture_output=True, text=True).stdout
        numbers = [int(n) for n in value.split("=", 1)[1].replace(",", " ").split()]
        icons = {}
        while numbers:
            width, height = numbers[0], numbers[1]
            icons[(width, height)] = numbers[2:2 + width * height]
            numbers = numbers[2 + width * height:]
        assert (16, 16) in icons
        pixels = icons[(16, 16)]
        assert pixels[0] >> 24 == 0                    # the corner is transparent
        assert pixels[1 * 16 + 1] == 0xFF303030        # the frame
        assert pixels[4 * 16 + 9] == 0xFFFFD23F        # the sun, top right
        assert pixels[12 * 16 + 3] == 0xFF4CAF50       # the hill, bottom left
        click(services, window)
        finish(process)
    finally:
        process.kill()


def test_one_second_closes_it_by_itself(runner, services, pictures):
    # Only a lower bound, from before the start: the timer cannot run out
    # sooner, and a loaded machine may show the window late or close it late.
    started = time.monotonic()
    process = runner.start("PictureShow", "1 " + runner.file_name(pictures["gif"]))
    try:
        x_window(services)
        assert finish(process, timeout=60) == (b"", 0)
        assert time.monotonic() - started >= 1.0
    finally:
        process.kill()


@pytest.mark.parametrize("how", ["click", "Escape"])
def test_a_click_or_an_esc_release_closes_it(runner, services, pictures, how):
    process = runner.start("PictureShow", "0 " + runner.file_name(pictures["jpg"]))
    try:
        window = x_window(services)
        # Other keys leave it open.
        key(services, window, "a")
        key(services, window, "Return")
        time.sleep(0.5)
        assert process.poll() is None
        if how == "click":
            click(services, window)
        else:
            key(services, window, "Escape")
        assert finish(process) == (b"", 0)
        assert no_window(services)
    finally:
        process.kill()


@pytest.mark.parametrize("seconds, line", [("66", b"ERROR! Invalid property value.\r\n"),
                                           ("5s", b"ERROR! Type mismatch.\r\n")])
def test_errors_after_showing_leave_the_window_open(runner, services, pictures, seconds, line):
    process = runner.start("PictureShow", seconds + " " + runner.file_name(pictures["bmp"]))
    try:
        window = x_window(services)
        assert read_line_while_open(process) == runner.expect(line)
        # No timer: still there well after the seconds the word begins with.
        time.sleep(6 if seconds == "5s" else 1)
        assert process.poll() is None
        assert x_geometry(services, window)[2] == "IsViewable"
        click(services, window)
        assert finish(process) == (b"", failed(runner))
    finally:
        process.kill()


@pytest.fixture(scope="module")
def german(services):
    """The environment of a user whose numbers are written 2,5 (de_DE)."""
    folder = services.root / "locales"
    folder.mkdir(exist_ok=True)
    made = subprocess.run(["localedef", "-i", "de_DE", "-f", "UTF-8", str(folder / "de_DE.UTF-8")],
                          capture_output=True)
    env = {"LOCPATH": str(folder), "LC_ALL": "de_DE.UTF-8"}
    # localedef leaves a locale behind even where its sources are missing.
    point = subprocess.run(["locale", "decimal_point"], env=dict(services.env, **env), capture_output=True, text=True)
    if point.stdout.strip() != ",":
        pytest.skip(f"no de_DE locale: {made.stderr.decode(errors='replace')[:300]}")
    return env


@pytest.fixture(params=["locale", "user setting"])
def users_commas(request, runner):
    """The environment of a user whose numbers are written 2,5: by the locale
    (de_DE), or on Windows by the user's own setting, which differs from the
    system's, in an English prefix."""
    if request.param == "locale":
        yield request.getfixturevalue("german")
        return
    if runner.name != "wine":
        pytest.skip("the user's own number format is a Windows setting")
    english = {"LC_ALL": "en_US.UTF-8"}
    env = dict(runner.env, **english)

    def set_decimal(separator):
        subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\International", "/v", "sDecimal", "/d", separator,
                        "/f"], env=env, capture_output=True, stdin=subprocess.DEVNULL, timeout=60, check=True)

    set_decimal(",")
    try:
        yield english
    finally:
        set_decimal(".")


def test_seconds_are_written_in_the_users_number_format(runner, services, pictures, users_commas):
    env = dict(getattr(runner, "env", services.env), **users_commas)
    # The window cannot be up before the program starts, and is seen only some
    # time after it is up: the least time is counted from the start, the most
    # from the sight.
    started = time.monotonic()
    process = runner.start("PictureShow", "1,5 " + runner.file_name(pictures["gif"]), env=env)
    try:
        x_window(services)
        shown = time.monotonic()
        assert finish(process) == (b"", 0)
        ended = time.monotonic()
        assert ended - started >= 1.5
        assert ended - shown <= 3.0
    finally:
        process.kill()

    process = runner.start("PictureShow", "1.5 " + runner.file_name(pictures["gif"]), env=env)
    try:
        window = x_window(services)
        assert read_line_while_open(process) == runner.expect(b"ERROR! Type mismatch.\r\n")
        click(services, window)
        assert finish(process) == (b"", failed(runner))
    finally:
        process.kill()


@pytest.mark.parametrize("which, line", [("missing", b"ERROR! File not found.\r\n"),
                                         ("text", b"ERROR! Invalid picture.\r\n")])
def test_a_picture_that_does_not_load_shows_no_window(runner, services, pictures, which, line):
    path = pictures["text"] if which == "text" else pictures["png"].with_name("missing.png")
    process = runner.start("PictureShow", "5 " + runner.file_name(path))
    try:
        seen = False
        while process.poll() is None:
            seen = seen or not no_window(services)
            time.sleep(0.05)
        assert not seen
        assert finish(process) == (runner.expect(line), failed(runner))
    finally:
        process.kill()
