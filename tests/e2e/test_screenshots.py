"""Screenshots of the windowed tools on the test desktop: NoticeShow with
each of its four icons and PictureShow with a generated chart, natively (GTK)
and under Wine. Each is written to build/screenshots/ and must match the
picture of the same name in docs/screenshots/ (the README shows them): the
same size, and all but a sliver of the pixels the same. With
--update-screenshots the new pictures replace the committed ones instead."""

import shutil
import subprocess
from pathlib import Path

import pytest

from harness import ROOT, only_on, visible_windows, wait_for

SHOTS = ROOT / "build" / "screenshots"
DOCS = ROOT / "docs" / "screenshots"
MESSAGES = {0: "Backup finished: 1,204 files copied.", 1: "Overwrite the report of May?",
            2: "The disk is almost full.", 3: "The printer is not responding."}


def settled_picture(services, window, frame=True):
    """The window (with its frame) as PPM, once two pictures in a row
    agree: the window has finished drawing."""
    last = [None]

    def same_as_last():
        now = subprocess.run(["import", "-window", window] + ["-frame"] * frame + ["ppm:-"], env=services.env,
                             capture_output=True).stdout
        same = now and now == last[0]
        last[0] = now
        return same and now
    return wait_for(same_as_last, what="a still window")


def capture(services, window, name, update):
    # A wrong icon changes about 1500 pixels, a changed word a hundred or
    # so, a window one pixel off every row; a glyph rendered a shade apart
    # counts for nothing under the 10% colour fuzz.
    SHOTS.mkdir(parents=True, exist_ok=True)
    path = SHOTS / name
    subprocess.run(["xdotool", "windowactivate", "--sync", window], env=services.env, capture_output=True)
    subprocess.run(["convert", "ppm:-", str(path)], input=settled_picture(services, window), check=True)
    if update:
        DOCS.mkdir(parents=True, exist_ok=True)
        shutil.copy(path, DOCS / name)
        return
    size = [subprocess.run(["identify", "-format", "%wx%h", str(p)], capture_output=True, text=True).stdout
            for p in (path, DOCS / name)]
    assert size[0] == size[1], f"{name}: {size[0]}, committed {size[1]}"
    width, height = map(int, size[0].split("x"))
    compared = subprocess.run(["compare", "-metric", "AE", "-fuzz", "10%", str(path), str(DOCS / name), "null:"],
                              capture_output=True, text=True)
    differing = float(compared.stderr.split()[0])
    assert differing <= width * height / 1000, f"{name}: {differing:.0f} pixels differ from the committed picture"


@pytest.mark.parametrize("icon", sorted(MESSAGES))
def test_noticeshow_screenshot(runner, services, icon, request):
    process = runner.start("NoticeShow", f"{icon} {MESSAGES[icon]}")
    try:
        window = wait_for(lambda: visible_windows(services.env, "Pingnote"), what="Pingnote box")[0]
        capture(services, window, f"noticeshow-{icon}-{runner.name}.png",
                request.config.getoption("--update-screenshots"))
        subprocess.run(["xdotool", "windowactivate", "--sync", window, "key", "Return"], env=services.env)
        out, _ = process.communicate(timeout=30)
        assert out == b""
    finally:
        if process.poll() is None:
            process.kill()


def test_pictureshow_screenshot(runner, services, request, tmp_path):
    picture = tmp_path / "chart.png"
    subprocess.run(["convert", "-size", "320x200", "gradient:#2a6fdb-#9fd3ff", "-fill", "#ffb000",
                    "-draw", "rectangle 40,120 80,180", "-draw", "rectangle 110,80 150,180",
                    "-draw", "rectangle 180,40 220,180", "-draw", "rectangle 250,100 290,180", str(picture)],
                   check=True)
    name = runner.file_name(picture)
    process = runner.start("PictureShow", f"0 {name}")
    try:
        title = "PictureShow" if runner.name == "native" else ".*"

        def window():
            for candidate in visible_windows(services.env, title):
                size = subprocess.run(["xdotool", "getwindowgeometry", candidate], env=services.env,
                                      capture_output=True, text=True).stdout
                if "320x200" in size:
                    return candidate
            return None

        found = wait_for(window, what="picture window")
        capture(services, found, f"pictureshow-{runner.name}.png", request.config.getoption("--update-screenshots"))
        subprocess.run(["xdotool", "windowactivate", "--sync", found, "key", "Escape"], env=services.env)
        out, _ = process.communicate(timeout=30)
        assert out == b""
    finally:
        if process.poll() is None:
            process.kill()


def look_of_box(services, start, title):
    """Starts a box, takes its picture with the focus on it, presses Return."""
    box = start()
    try:
        window = wait_for(lambda: visible_windows(services.env, title), what=f"the {title} box")
        assert len(window) == 1
        subprocess.run(["xdotool", "windowactivate", "--sync", window[0]], env=services.env, timeout=20)
        picture = settled_picture(services, window[0], frame=False)
        assert box.poll() is None  # it waits for the user
        subprocess.run(["xdotool", "windowactivate", "--sync", window[0], "key", "Return"], env=services.env,
                       timeout=20)
        out, err = box.communicate(timeout=20)
    finally:
        if box.poll() is None:
            box.kill()
    assert (out, box.returncode) == (b"", 0), err
    return picture


@only_on("native")
@pytest.mark.parametrize("tail, text, icon", [
    ("1 Gr\u00fc\u00dfe \u2603 \u03a9, all well?", "Gr\u00fc\u00dfe \u2603 \u03a9, all well?", "dialog-question"),
    ("2 ", "", "dialog-warning"),
    ("3  Disk full", " Disk full", "dialog-error"),
    ('"2" "quoted" text', '"quoted" text', "dialog-information"),
    ("Hello world", "world", "dialog-information"),
])
def test_noticeshow_box_looks_like_a_gtk_box_of_its_text_and_icon(runner, services, tail, text, icon):
    # Pixel for pixel the same as a GTK message box made with the text and
    # the theme icon given literally: a wrong icon ("dialog-warning" for the
    # hand) or text cut short (its last byte lost on the way to GTK) differs.
    reference = Path(runner.bin_dir).parent / "test-bin" / "message_box_reference"
    shown = look_of_box(services, lambda: runner.start("NoticeShow", tail), "Pingnote")
    expected = look_of_box(services, lambda: subprocess.Popen(
        [str(reference), text, icon], env=services.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE), "Reference")
    assert shown == expected, "the box differs from a GTK box of its text and icon"
