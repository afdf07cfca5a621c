"""Screenshots of the windowed tools on the test desktop: NoticeShow with
each of its four icons and PictureShow with a generated chart, natively (GTK)
and under Wine. Each is written to build/screenshots/; with
--update-screenshots they also replace the pictures in docs/screenshots/
that the README shows."""

import shutil
import subprocess

import pytest

from harness import ROOT, wait_for

SHOTS = ROOT / "build" / "screenshots"
DOCS = ROOT / "docs" / "screenshots"
MESSAGES = {0: "Backup finished: 1,204 files copied.", 1: "Overwrite the report of May?",
            2: "The disk is almost full.", 3: "The printer is not responding."}


def visible(services, name):
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{name}$"], env=services.env,
                            capture_output=True, text=True)
    return result.stdout.split()


def capture(services, window, name, update):
    SHOTS.mkdir(parents=True, exist_ok=True)
    path = SHOTS / name
    # The window and the frame the window manager puts around it.
    frame = subprocess.run(["xdotool", "getwindowgeometry", window], env=services.env, capture_output=True,
                           text=True).stdout
    subprocess.run(["import", "-window", window, "-frame", str(path)], env=services.env, check=True)
    assert path.stat().st_size > 1000, frame
    if update:
        DOCS.mkdir(parents=True, exist_ok=True)
        shutil.copy(path, DOCS / name)


@pytest.mark.parametrize("icon", sorted(MESSAGES))
def test_noticeshow_screenshot(runner, services, icon, request):
    process = runner.start("NoticeShow", f"{icon} {MESSAGES[icon]}")
    try:
        window = wait_for(lambda: visible(services, "Pingnote"), what="Pingnote box")[0]
        # Let the box finish drawing before the picture is taken.
        wait_for(lambda: subprocess.run(["xwininfo", "-id", window], env=services.env, capture_output=True,
                                        text=True).stdout.count("IsViewable") == 1, what="box mapped")
        subprocess.run(["sleep", "0.5"])
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
    name = runner.windows_path(picture) if runner.name == "wine" else str(picture)
    process = runner.start("PictureShow", f"0 {name}")
    try:
        title = "PictureShow" if runner.name == "native" else ".*"

        def window():
            for candidate in visible(services, title):
                size = subprocess.run(["xdotool", "getwindowgeometry", candidate], env=services.env,
                                      capture_output=True, text=True).stdout
                if "320x200" in size:
                    return candidate
            return None

        found = wait_for(window, what="picture window")
        subprocess.run(["sleep", "0.5"])
        capture(services, found, f"pictureshow-{runner.name}.png", request.config.getoption("--update-screenshots"))
        subprocess.run(["xdotool", "windowactivate", "--sync", found, "key", "Escape"], env=services.env)
        out, _ = process.communicate(timeout=30)
        assert out == b""
    finally:
        if process.poll() is None:
            process.kill()
