"""Fixtures of the end-to-end tests. Options:
  --platforms native,wine     which builds to run (default both)
  --native-build build/linux  the native build directory (build/linux-asan under sanitizers)
  --windows-build build/windows
  --update-screenshots        refresh the README's pictures in docs/screenshots/
"""

import subprocess
import time

import pytest

from harness import ROOT, NativeRunner, Services, WineRunner, wait_for


def pytest_addoption(parser):
    parser.addoption("--platforms", default="native,wine")
    parser.addoption("--native-build", default=str(ROOT / "build" / "linux"))
    parser.addoption("--windows-build", default=str(ROOT / "build" / "windows"))
    parser.addoption("--update-screenshots", action="store_true",
                     help="copy the screenshots the tests take to docs/screenshots/")


def pytest_generate_tests(metafunc):
    if "runner" in metafunc.fixturenames:
        platforms = metafunc.config.getoption("--platforms").split(",")
        only = getattr(metafunc.function, "platforms", None)
        if only is not None:
            platforms = [p for p in platforms if p in only]
        metafunc.parametrize("runner", platforms, indirect=True, scope="session")


@pytest.fixture(scope="session")
def services():
    session = Services()
    try:
        session.start_display()
        session.start_audio()
        yield session
    finally:
        session.stop()


@pytest.fixture(scope="session")
def wine_runner(request, services):
    build = request.config.getoption("--windows-build")
    wine = WineRunner(services, build + "/bin", build + "/test-bin/qcp_launch.exe")
    yield wine
    wine.stop()


@pytest.fixture(scope="session")
def runner(request, services):
    if request.param == "native":
        return NativeRunner(services, request.config.getoption("--native-build") + "/bin")
    return request.getfixturevalue("wine_runner")


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
