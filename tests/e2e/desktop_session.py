"""A desktop session of its own for the window tests on live compositors.
Compositors refuse to run as root, or want a user of their own: as root the
session runs as an unprivileged user (created when absent). It has a
runtime directory, a home and a folder for bus sockets, all its own; a
subclass starts the compositor in `start()`."""

import os
import pwd
import shutil
import signal
import subprocess
import tempfile
from pathlib import Path

import pytest

TOOLS = {"close": "PaneShut", "restore": "PaneRevive", "minimize": "PaneShrink", "maximize": "PaneGrow",
         "pin": "PanePin", "unpin": "PaneUnpin"}


class DesktopSession:
    USER = None

    def __init__(self, build):
        self.build = Path(build)
        self.processes, self.log = [], None
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

    def tool(self, verb, caption, prefix=None):
        return self.run([str(self.build / "bin" / TOOLS[verb])] + caption.split(" "), prefix=prefix)

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
