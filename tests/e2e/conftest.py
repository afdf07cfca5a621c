"""Fixtures of the end-to-end tests. Options:
  --platforms native,wine,wine-x86  which builds to run (default: those this
                              machine can run; Wine and 32-bit Wine are optional
                              parts of scripts/install-deps): wine runs the
                              x64 build, wine-x86 the x86 build
  --native-build build/linux  the native build directory (build/linux-asan under sanitizers)
  --windows-build build/windows
  --windows-x86-build build/windows-x86
  --update-screenshots        refresh the README's pictures in docs/screenshots/
"""

import shutil
import subprocess
import time
from pathlib import Path

import pytest

from harness import ROOT, NativeRunner, Services, WineRunner, wait_for, x86_wine_available


def pytest_addoption(parser):
    # Wine, and its 32-bit loader, are optional parts of scripts/install-deps.
    default = ["native"] + (["wine"] if shutil.which("wine") else []) + (["wine-x86"] if x86_wine_available() else [])
    parser.addoption("--platforms", default=",".join(default))
    parser.addoption("--native-build", default=str(ROOT / "build" / "linux"))
    parser.addoption("--windows-build", default=str(ROOT / "build" / "windows"))
    parser.addoption("--windows-x86-build", default=str(ROOT / "build" / "windows-x86"))
    parser.addoption("--update-screenshots", action="store_true",
                     help="copy the screenshots the tests take to docs/screenshots/")


# The Windows builds by platform: build directory option and objdump prefix.
WINDOWS_BUILDS = {"wine": ("--windows-build", "x86_64"), "wine-x86": ("--windows-x86-build", "i686")}


def kind(platform):
    """"native" or "wine": both Windows builds run the cases marked for Wine."""
    return "wine" if platform in WINDOWS_BUILDS else platform


def pytest_generate_tests(metafunc):
    platforms = metafunc.config.getoption("--platforms").split(",")
    if "runner" in metafunc.fixturenames:
        only = getattr(metafunc.function, "platforms", None)
        if only is not None:
            platforms = [p for p in platforms if kind(p) in only]
        metafunc.parametrize("runner", platforms, indirect=True, scope="session")
    elif "windows_build" in metafunc.fixturenames:
        metafunc.parametrize("windows_build", [p for p in platforms if p in WINDOWS_BUILDS], indirect=True)


@pytest.fixture
def windows_build(request):
    """(bin directory, objdump) of one Windows build, without running it."""
    option, arch = WINDOWS_BUILDS[request.param]
    return Path(request.config.getoption(option)) / "bin", f"{arch}-w64-mingw32-objdump"


@pytest.fixture(scope="session")
def services():
    session = Services()
    try:
        session.start_display()
        session.start_audio()
        yield session
    finally:
        session.stop()


def _wine_runner(request, services, platform):
    if not shutil.which("wine"):
        pytest.skip("Wine is not installed (see scripts/install-deps)")
    build = request.config.getoption(WINDOWS_BUILDS[platform][0])
    wine = WineRunner(services, build + "/bin", build + "/test-bin/qcp_launch.exe", prefix=platform,
                      platform=platform)
    request.addfinalizer(wine.stop)
    return wine


@pytest.fixture(scope="session")
def wine_runner(request, services):
    return _wine_runner(request, services, "wine")


@pytest.fixture(scope="session")
def wine_x86_runner(request, services):
    return _wine_runner(request, services, "wine-x86")


@pytest.fixture(scope="session")
def runner(request, services):
    if request.param == "native":
        return NativeRunner(services, request.config.getoption("--native-build") + "/bin")
    return request.getfixturevalue("wine_x86_runner" if request.param == "wine-x86" else "wine_runner")


class MockLogind:
    """python3-dbusmock's logind template on a private bus, standing in for
    the system bus; `calls()` lists the methods called on it."""

    def __init__(self, services):
        self.root = services.root / f"logind-{time.monotonic_ns()}"
        self.root.mkdir()
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=services.env)
        self.address = self.bus.stdout.readline().decode().strip()
        self.env = dict(services.env, DBUS_SYSTEM_BUS_ADDRESS=self.address)
        self.log = self.root / "calls.log"
        self.mock = subprocess.Popen(["/usr/bin/python3", "-m", "dbusmock", "--system", "--template", "logind",
                                      "-l", str(self.log)], env=self.env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        wait_for(lambda: subprocess.run(
            ["dbus-send", f"--bus={self.address}", "--print-reply", "--dest=org.freedesktop.login1",
             "/org/freedesktop/login1", "org.freedesktop.DBus.Peer.Ping"], capture_output=True).returncode == 0,
            what="mock logind")

    def calls(self):
        return self.log.read_text().splitlines() if self.log.exists() else []

    def stop(self):
        for process in (self.mock, self.bus):
            process.terminate()
            process.wait()


@pytest.fixture
def logind(services):
    mock = MockLogind(services)
    yield mock
    mock.stop()
