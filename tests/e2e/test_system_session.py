"""Effects of the session and shell tools: the trash emptied (and nothing
else), items opened with the applications of their types without waiting for
them, and the session ended."""

import os
import subprocess
import time
from pathlib import Path

import pytest

from harness import Recorder, WineRunner, only_on, visible_windows, wait_for, without_display, xdotool

UID = os.getuid()


def windows_named(services, name):
    return xdotool(services.env, "search", "--name", name)


def press_in_window(services, title, key):
    """Waits for the window, gives it the focus and presses `key` in it."""
    window = wait_for(lambda: windows_named(services, title), what=f"window {title!r}")[0]
    xdotool(services.env, "windowactivate", "--sync", window)
    xdotool(services.env, "key", "--clearmodifiers", key)


# ---- Trash on this desktop ---------------------------------------------------

TRASH_ITEMS = ["a file.txt", "folder", "link", "file link"]


def fill_trash(trash, outside):
    """A trash holding a file, a folder (with a read-only folder and a symlink
    out of the trash inside) and symlinks to a folder and a file outside it,
    with their descriptions, one stale description and the size cache."""
    files, info = trash / "files", trash / "info"
    files.mkdir(parents=True, exist_ok=True)
    info.mkdir(exist_ok=True)
    (files / "a file.txt").write_text("a")
    deep = files / "folder" / "sub"
    deep.mkdir(parents=True)
    (deep / "b.txt").write_text("b")
    (deep / "to outside").symlink_to(outside)
    locked = files / "folder" / "read-only"
    locked.mkdir()
    (locked / "c.txt").write_text("c")
    locked.chmod(0o555)
    (files / "link").symlink_to(outside)
    (files / "file link").symlink_to(outside / "keep.txt")
    for name in TRASH_ITEMS + ["gone"]:
        (info / f"{name}.trashinfo").write_text(
            f"[Trash Info]\nPath=/somewhere/{name}\nDeletionDate=2024-05-01T10:00:00\n")
        os.utime(info / f"{name}.trashinfo", (1714550400, 1714550400))
    (trash / "directorysizes").write_text("4096 1714550400 folder\n")


def trash_state(trash):
    files, info = trash / "files", trash / "info"
    return (sorted(p.name for p in files.iterdir()), sorted(p.name for p in info.iterdir()),
            (trash / "directorysizes").exists())


FULL = (sorted(TRASH_ITEMS), sorted(f"{n}.trashinfo" for n in TRASH_ITEMS + ["gone"]), True)
EMPTY = ([], [], False)


class Desk:
    """A home of its own with a full trash, and a folder outside the trash
    that its symlinks point to."""

    def __init__(self, services, root):
        self.root = root
        self.home = root / "home"
        self.trash = self.home / ".local/share/Trash"
        self.outside = root / "outside"
        self.outside.mkdir(parents=True)
        (self.outside / "keep.txt").write_text("keep")
        self.env = dict(services.env, HOME=str(self.home), XDG_DATA_HOME=str(self.home / ".local/share"),
                        DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent")
        self.no_display = without_display(self.env)
        self.refill()

    def refill(self, trash=None):
        trash = trash or self.trash
        if (trash / "files").exists():
            subprocess.run(["rm", "-rf", str(trash / "files"), str(trash / "info")], check=True)
        fill_trash(trash, self.outside)

    def outside_intact(self):
        return sorted(p.name for p in self.outside.iterdir()) == ["keep.txt"] and \
            (self.outside / "keep.txt").read_text() == "keep"


@pytest.fixture
def desk(services, tmp_path):
    # Emptying the trash of tmp_path's file system empties that file system's
    # own trash directories too: never those of the machine running the tests.
    device = tmp_path.stat().st_dev
    if any(trash.parent.stat().st_dev == device for trash in other_trash_directories()):
        pytest.skip("this machine's own trash would be emptied too")
    return Desk(services, tmp_path)


@pytest.fixture
def mount(tmp_path):
    """A tmpfs of its own, for the trash directories at the top of a file system."""
    point = tmp_path / "mnt-\u00fc\u4e2d"  # a name outside any ANSI code page
    point.mkdir()
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=16m", "qcp-trash", str(point)],
                      capture_output=True).returncode != 0:
        pytest.skip("cannot mount a tmpfs here (needs root)")
    yield point
    subprocess.run(["umount", "-l", str(point)])


@only_on("native")
def test_trashpurge_empties_the_home_trash_and_nothing_outside_it(runner, desk):
    # Another program trashing something right now writes the description
    # first and moves the item in a moment later.
    (desk.trash / "info" / "arriving.trashinfo").write_text("[Trash Info]\nPath=/somewhere/arriving\n")
    result = runner.run("TrashPurge", f"{desk.root} 3", env=desk.env)
    assert (result.stdout, result.stderr, result.status) == (b"", b"", 0)
    assert trash_state(desk.trash) == ([], ["arriving.trashinfo"], False)
    assert desk.outside_intact()


@only_on("native")
def test_trashpurge_asks_first_and_no_keeps_everything(runner, services, desk):
    process = runner.start("TrashPurge", f"{desk.root} 0", env=desk.env)
    press_in_window(services, "Empty Trash", "alt+n")
    assert process.communicate(timeout=30) == (b"", b"")
    assert trash_state(desk.trash) == FULL

    process = runner.start("TrashPurge", f"{desk.root} 0", env=desk.env)
    press_in_window(services, "Empty Trash", "Return")  # Yes is the default
    assert process.communicate(timeout=30)[0] == b""
    assert trash_state(desk.trash) == EMPTY
    assert desk.outside_intact()


@only_on("native")
def test_trashpurge_without_a_display_asks_nobody_and_empties_nothing(runner, desk):
    unreachable = dict(desk.env, DISPLAY=":4242", WAYLAND_DISPLAY="qcp-no-such-display")
    for env in (desk.no_display, unreachable):
        result = runner.run("TrashPurge", f"{desk.root} 0", env=env)
        assert (result.stdout, result.status) == (b"", 1)
        assert result.stderr.decode().splitlines() == [
            "TrashPurge: no X11 or Wayland display (DISPLAY and WAYLAND_DISPLAY are unset or unreachable)"]
        assert trash_state(desk.trash) == FULL
    # Without confirmation it goes ahead; progress and sound are left out.
    for mode in ("1", "2"):
        desk.refill()
        result = runner.run("TrashPurge", f"{desk.root} {mode}", env=desk.no_display)
        assert (result.stdout, result.status) == (b"", 0)
        assert trash_state(desk.trash) == EMPTY


@only_on("native")
def test_trashpurge_sounds_unless_mode_3(runner, services, desk):
    if not Path("/usr/share/sounds/freedesktop/stereo/trash-empty.oga").exists():
        pytest.skip("the freedesktop sound theme is not installed")
    with Recorder(services) as recording:
        runner.run("TrashPurge", f"{desk.root} 2", env=desk.env)
    assert recording.tone(threshold=500)[0] > 0.1
    assert trash_state(desk.trash) == EMPTY

    desk.refill()
    with Recorder(services) as recording:
        runner.run("TrashPurge", f"{desk.root} 3", env=desk.env)
    assert recording.tone(threshold=500)[0] == 0
    assert trash_state(desk.trash) == EMPTY


@only_on("native")
def test_trashpurge_empties_the_trash_of_the_named_file_system_only(runner, desk, mount):
    per_user = mount / f".Trash-{UID}"
    shared = mount / ".Trash"
    shared.mkdir()
    shared.chmod(0o1777)
    for trash in (per_user, shared / str(UID)):
        desk.refill(trash)

    # A path inside the file system names it too; the home trash lies elsewhere.
    (mount / "some" / "folder").mkdir(parents=True)
    result = runner.run("TrashPurge", f"{mount}/some/folder 3", env=desk.env)
    assert (result.stdout, result.status) == (b"", 0)
    assert trash_state(per_user) == EMPTY
    assert trash_state(shared / str(UID)) == EMPTY
    assert trash_state(desk.trash) == FULL
    assert desk.outside_intact()

    # A path that does not exist names no file system at all.
    desk.refill(per_user)
    result = runner.run("TrashPurge", f"{mount}/nothing-here 3", env=desk.env)
    assert (result.stdout, result.status) == (b"", 1)
    assert result.stderr.decode().splitlines() == [f"TrashPurge: {mount}/nothing-here does not exist; name a folder "
                                                   "on the drive whose trash is to be emptied"]
    assert trash_state(per_user) == FULL


@only_on("native")
def test_trashpurge_leaves_trash_directories_it_cannot_trust(runner, desk, mount):
    # .Trash without the sticky bit: another user could have made its directory.
    loose = mount / ".Trash"
    loose.mkdir()
    loose.chmod(0o777)
    desk.refill(loose / str(UID))
    # .Trash-$UID as a symlink to a folder outside the file system's top.
    elsewhere = desk.root / "elsewhere"
    desk.refill(elsewhere)
    (mount / f".Trash-{UID}").symlink_to(elsewhere)
    result = runner.run("TrashPurge", f"{mount} 3", env=desk.env)
    assert (result.stdout, result.status) == (b"", 0)
    assert trash_state(loose / str(UID)) == FULL
    assert trash_state(elsewhere) == FULL

    # A trash directory that belongs to someone else.
    (mount / f".Trash-{UID}").unlink()
    foreign = mount / f".Trash-{UID}"
    desk.refill(foreign)
    os.chown(foreign, 65534, 65534)
    runner.run("TrashPurge", f"{mount} 3", env=desk.env)
    assert trash_state(foreign) == FULL


def tree(folder):
    """Every path below `folder`, symlinks not followed."""
    return sorted(str(p.relative_to(folder)) for p in folder.rglob("*"))


# (where, the trash folder that is a symlink, what it points to): the target
# lies in "elsewhere", on the same file system.
SYMLINKED = [("home", "home/.local/share/Trash", "elsewhere"),
             ("home", "home/.local/share/Trash/files", "elsewhere/files"),
             ("home", "home/.local/share/Trash/info", "elsewhere/info"),
             ("top", ".Trash", "elsewhere"), ("top", f".Trash-{UID}", "elsewhere")]


@only_on("native")
@pytest.mark.parametrize("where, link, target", SYMLINKED)
def test_trashpurge_never_follows_a_symlinked_trash_folder_on_the_same_file_system(runner, desk, mount, where,
                                                                                   link, target):
    # Opening the trash's folders without O_NOFOLLOW empties the folder a
    # symlinked Trash, files/, info/, .Trash or .Trash-UID points to. Here
    # it points within the same file system, where the device check cannot
    # catch it.
    top = desk.root if where == "home" else mount
    elsewhere = top / "elsewhere"
    if link == ".Trash":  # shared, with the sticky bit and a folder per user
        elsewhere.mkdir()
        elsewhere.chmod(0o1777)
        desk.refill(elsewhere / str(UID))
    else:
        desk.refill(elsewhere)
    subprocess.run(["rm", "-rf", str(top / link)], check=True)
    (top / link).symlink_to(top / target)
    before = tree(elsewhere)
    result = runner.run("TrashPurge", f"{top} 3", env=desk.env)
    assert (result.stdout, result.status) == (b"", 0)
    assert tree(elsewhere) == before
    assert desk.outside_intact()


@only_on("native")
def test_trashpurge_cancelled_keeps_each_item_left_with_its_description(runner, services, desk):
    # Removing the wrong description (say "NAME.trashinfo" spelt
    # "NAME.trashInfo", or NAME alone) goes unseen after a whole emptying,
    # which ends by clearing every description left without its item; only
    # a cancelled one shows it.
    subprocess.run(["rm", "-rf", str(desk.trash / "files"), str(desk.trash / "info")], check=True)
    items = [f"item {n}" for n in range(1, 7)]
    (desk.trash / "files").mkdir()
    (desk.trash / "info").mkdir()
    for name in items:
        (desk.trash / "files" / name).write_text(name)
        (desk.trash / "info" / f"{name}.trashinfo").write_text(
            f"[Trash Info]\nPath=/somewhere/{name}\nDeletionDate=2024-05-01T10:00:00\n")
    gate = desk.root / "gate"
    gate.mkdir()
    shim = Path(runner.bin_dir).parent / "test-lib" / "libqcp_unlink_gate.so"
    # Under AddressSanitizer its runtime no longer comes first: that is fine here.
    env = dict(desk.env, LD_PRELOAD=str(shim), QCP_GATE=str(gate),
               ASAN_OPTIONS=desk.env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
    process = runner.start("TrashPurge", f"{desk.root} 1", env=env)  # no question, a progress window
    try:
        # Held at the second item, with the window up and drawn.
        wait_for(lambda: (gate / "waiting").exists(), what="the emptying to reach the second item")
        window = wait_for(lambda: visible_windows(services.env, "Emptying Trash"), what="the progress window")[0]
        geometry = dict(line.split("=") for line in xdotool(services.env, "getwindowgeometry", "--shell", window))
        width, height = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
        # Cancel sits at the bottom right, inside the 12-pixel border.
        x, y = width - 12 - 16, height - 12 - 10
        wait_for(lambda: drawn(services, window, x - 8, y - 6), what="the Cancel button")
        # The pointer's position read back after the click, on the same
        # connection, brings the click to the tool before the go.
        xdotool(services.env, "mousemove", "--window", window, str(x), str(y), "click", "1", "getmouselocation")
        (gate / "go").touch()
        out, err = process.communicate(timeout=30)
    finally:
        if process.poll() is None:
            process.kill()
    assert (out, process.returncode) == (b"", 0), err
    left = sorted(p.name for p in (desk.trash / "files").iterdir())
    described = sorted(p.name for p in (desk.trash / "info").iterdir())
    # The item in hand when Cancel was clicked is finished; no other is begun.
    assert len(left) == len(items) - 2, left
    assert described == [f"{name}.trashinfo" for name in left]


def drawn(services, window, x, y):
    """Whether the 16x12 area at x, y of the window shows more than one colour."""
    out = subprocess.run(["import", "-window", window, "-crop", f"16x12+{x}+{y}", "-format", "%k", "info:"],
                         env=services.env, capture_output=True, text=True).stdout
    return out.strip().isdigit() and int(out) > 1


def other_trash_directories():
    """Trash directories of this user at the tops of the machine's mounts."""
    found = []
    for line in Path("/proc/self/mounts").read_text().splitlines():
        top = Path(line.split()[1].replace("\\040", " "))
        for trash in (top / f".Trash-{UID}", top / ".Trash" / str(UID)):
            try:
                if (trash / "files").is_dir() and any((trash / "files").iterdir()):
                    found.append(trash)
            except OSError:
                pass
    return found


@only_on("native")
def test_trashpurge_with_an_empty_root_empties_every_trash(runner, desk, mount):
    if other_trash_directories():
        pytest.skip("this machine's own trash would be emptied too")
    per_user = mount / f".Trash-{UID}"
    desk.refill(per_user)
    result = runner.run("TrashPurge", '"" 3', env=desk.env)
    assert (result.stdout, result.status) == (b"", 0)
    assert trash_state(per_user) == EMPTY
    assert trash_state(desk.trash) == EMPTY
    assert desk.outside_intact()


# ---- Start on this desktop ---------------------------------------------------

class Handlers:
    """A home whose default applications are test scripts: one for plain
    text, one for qcptest: URLs. Each writes its arguments, then, once the
    test opens the gate (or after a minute), "end"."""

    def __init__(self, services, root):
        self.root = root
        home = root / "home"
        apps = home / ".local/share/applications"
        apps.mkdir(parents=True)
        (home / ".config").mkdir()
        self.log = root / "handled.log"
        self.gate = root / "gate"
        self.handler = root / "bin" / "qcp-handler"
        self.handler.parent.mkdir()
        self.handler.write_text(f'#!/bin/sh\nprintf "%s\\n" "$@" > "{self.log}.part"\n'
                                f'mv "{self.log}.part" "{self.log}"\n{GATED_END.format(gate=self.gate)}'
                                f'echo end >> "{self.log}"\n')
        self.handler.chmod(0o755)
        for name, mime in (("qcp-text", "text/plain"), ("qcp-url", "x-scheme-handler/qcptest")):
            arg = "%f" if mime == "text/plain" else "%u"
            (apps / f"{name}.desktop").write_text(
                f"[Desktop Entry]\nType=Application\nName={name}\nExec={self.handler} {arg}\nMimeType={mime};\n")
        (home / ".config" / "mimeapps.list").write_text(
            "[Default Applications]\ntext/plain=qcp-text.desktop\nx-scheme-handler/qcptest=qcp-url.desktop\n")
        self.env = dict(services.env, HOME=str(home), XDG_DATA_HOME=str(home / ".local/share"),
                        XDG_CONFIG_HOME=str(home / ".config"), DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent",
                        PATH=f"{self.handler.parent}:{os.environ.get('PATH', '/usr/bin:/bin')}")

    def handled(self):
        return self.log.read_text().splitlines() if self.log.exists() else None


@pytest.fixture
def handlers(services, tmp_path):
    return Handlers(services, tmp_path)


# A started program waits here until the test lets it end: a Start that
# waited for its program would never come back, and fail by its time limit.
GATED_END = 'i=0; while [ ! -e "{gate}" ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done\n'


@only_on("native")
def test_start_runs_an_executable_directly_without_waiting(runner, handlers):
    folder = handlers.root / "my programs"
    folder.mkdir()
    marker = handlers.root / "ran.log"
    script = folder / "write marker"
    gate = handlers.root / "program gate"
    script.write_text(f'#!/bin/sh\necho "$# $(ps -o sid= -p $$)" > "{marker}.part"\nmv "{marker}.part" "{marker}"\n'
                      f'{GATED_END.format(gate=gate)}echo end >> "{marker}"\n')
    script.chmod(0o755)
    # A path with blanks, as typed and in quotes.
    for tail in (f"0 {script}", f'0 "{script}"'):
        result = runner.run("Start", tail, env=handlers.env)
        assert (result.stdout, result.stderr, result.status) == (b"", b"", 0)
        lines = wait_for(lambda: marker.exists() and marker.read_text().split("\n"), what="the program")
        count, session = lines[0].split()
        assert count == "0"  # no parameters
        assert session != str(os.getsid(0))  # a session of its own
        gate.touch()
        wait_for(lambda: "end" in marker.read_text(), timeout=10, what="the program's end")
        marker.unlink()
        gate.unlink()

    # A bare name is looked for on PATH.
    result = runner.run("Start", "0 qcp-handler", env=handlers.env)
    assert (result.stdout, result.status) == (b"", 0)
    assert wait_for(handlers.handled, what="the program") == [""]  # started without parameters

    # An executable file the system cannot run is said so natively.
    broken = handlers.root / "not a program"
    broken.write_bytes(b"\x7fELF broken")
    broken.chmod(0o755)
    result = runner.run("Start", f"0 {broken}", env=handlers.env)
    assert (result.stdout, result.status) == (b"", 1)
    assert result.stderr.decode().splitlines() == [
        f"Start: {broken} could not be started; check that it is a program this system can run"]


@only_on("native")
def test_start_opens_a_document_with_its_application_without_waiting(runner, handlers):
    document = handlers.root / "my notes" / "to do.txt"
    document.parent.mkdir()
    document.write_text("milk\n")
    result = runner.run("Start", f"0 {document}", env=handlers.env)
    assert (result.stdout, result.stderr, result.status) == (b"", b"", 0)
    assert wait_for(handlers.handled, what="the handler") == [str(document)]
    handlers.gate.touch()
    wait_for(lambda: "end" in handlers.handled(), timeout=10, what="the handler's end")


@only_on("native")
def test_start_opens_a_url_with_its_scheme_handler(runner, handlers):
    result = runner.run("Start", "7 qcptest://host/path?q=1", env=handlers.env)
    assert (result.stdout, result.status) == (b"", 0)
    assert wait_for(handlers.handled, what="the handler") == ["qcptest://host/path?q=1"]
    # A scheme, or an existing file's type, that no application takes is said so natively.
    odd = handlers.root / "data.qcpodd"
    odd.write_bytes(bytes(range(256)))
    for item in ("qcpnothing://host", str(odd)):
        result = runner.run("Start", f"0 {item}", env=handlers.env)
        assert (result.stdout, result.status) == (b"", 1)
        assert result.stderr.decode().splitlines() == [
            f"Start: no application opens {item}; choose one for its type in the desktop's settings"]


@only_on("native")
def test_start_never_hands_the_name_to_a_shell(runner, handlers):
    pwned = handlers.root / "pwned"
    for tail in (f"0 /nonexistent;touch {pwned}", f"0 $(touch {pwned})", f"0 `touch {pwned}`",
                 f"0 qcp-handler;touch {pwned}"):
        result = runner.run("Start", tail, env=handlers.env)
        assert (result.stdout, result.status) == (b"", 1)
        assert result.stderr.decode().endswith(" was not found; check the name and its folder\n")
    time.sleep(1)
    assert not pwned.exists()
    assert handlers.handled() is None


# ---- Under Wine --------------------------------------------------------------

def probe(runner, *args):
    exe = Path(runner.launcher).parent / "qcp_recycle_probe.exe"
    return subprocess.run(["wine", str(exe), *args], env=runner.env, capture_output=True, text=True,
                          stdin=subprocess.DEVNULL, timeout=120).stdout.strip()


def recycle_one_file(runner, services, name):
    # Wine's recycle bin is the freedesktop trash of its home.
    trash = Path(runner.env["XDG_DATA_HOME"]) / "Trash"
    (trash / "files").mkdir(parents=True, exist_ok=True)
    (trash / "info").mkdir(exist_ok=True)
    victim = services.root / name
    victim.write_text("recycled")
    before = int(probe(runner, "count"))
    assert probe(runner, "put", runner.windows_path(victim)) == "0"
    assert not victim.exists()
    assert int(probe(runner, "count")) == before + 1


@only_on("wine")
def test_trashpurge_empties_the_recycle_bin_under_wine(runner, services):
    recycle_one_file(runner, services, "recycled-1.txt")
    # Mode 0 asks; "No" keeps the item.
    process = runner.start("TrashPurge", "C:\\ 0")
    press_in_window(services, "Confirm deletion", "n")
    assert process.communicate(timeout=60)[0] == b""
    assert int(probe(runner, "count")) > 0

    result = runner.run("TrashPurge", "C:\\ 3")
    assert (result.stdout, result.status) == (b"", 0)
    assert probe(runner, "count", "C:\\") == "0"


def run_to_file(runner, tool, tail):
    """Wine hands the unix ends of a program's standard handles on to every
    process it starts, so the output goes to a file that a started Notepad
    may keep open, not to a pipe the test would wait on."""
    out = runner.services.root / f"{tool}-{time.monotonic_ns()}.out"
    with open(out, "wb") as sink:
        process = runner.start(tool, tail, stdout=sink, stderr=subprocess.DEVNULL)
        status = process.wait(timeout=60)
    return out.read_bytes(), status


def close_notepads(runner):
    subprocess.run(["wine", "taskkill", "/f", "/im", "notepad.exe"], env=runner.env, capture_output=True,
                   stdin=subprocess.DEVNULL, timeout=60)


@only_on("wine")
def test_start_opens_notepad_under_wine(runner, services):
    close_notepads(runner)
    try:
        stdout, status = run_to_file(runner, "Start", "0 notepad")
        assert (stdout, status) == (b"", 0)
        # Notepad stays open: a Start that waited for it would not be back.
        wait_for(lambda: windows_named(services, "^Untitled - Notepad$"), what="Notepad")
    finally:
        close_notepads(runner)


@only_on("wine")
def test_start_opens_a_text_file_with_blanks_in_notepad_under_wine(runner, services):
    # A Windows installation binds .txt to Notepad; a fresh Wine prefix may not.
    subprocess.run(["wine", "reg", "add", "HKCR\\.txt", "/ve", "/d", "txtfile", "/f"], env=runner.env,
                   capture_output=True, stdin=subprocess.DEVNULL, timeout=60, check=True)
    folder = services.root / "my documents"
    folder.mkdir(exist_ok=True)
    # Names outside the ANSI code page reach the shell unchanged.
    for name, quoted in (("a b.txt", False), ("a b.txt", True), ("\u4e2d\u6587 \u017e.txt", False)):
        document = folder / name
        document.write_text("hello\r\n")
        path = runner.windows_path(document)
        close_notepads(runner)
        try:
            stdout, status = run_to_file(runner, "Start", f'0 "{path}"' if quoted else f"0 {path}")
            assert (stdout, status) == (b"", 0)
            wait_for(lambda: windows_named(services, f"^{name} - Notepad$"), what=f"Notepad with {name}")
        finally:
            close_notepads(runner)


@only_on("wine")
def test_sessionend_ends_the_wine_session(runner, services):
    own = WineRunner(services, runner.bin_dir, runner.launcher, prefix="wine-session")
    try:
        document = services.root / "session-end-probe.txt"
        document.write_text("open\r\n")
        notepad = subprocess.Popen(["wine", "notepad", own.windows_path(document)], env=own.env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        caption = "^session-end-probe.txt - Notepad$"
        wait_for(lambda: windows_named(services, caption), timeout=60, what="Notepad in the session's own prefix")
        stdout, status = run_to_file(own, "SessionEnd", "")
        assert (stdout, status) == (b"", 0)
        notepad.wait(timeout=60)
        assert not windows_named(services, caption)
    finally:
        own.stop()


# ---- Ending and locking the session through logind ---------------------------

@only_on("native")
@pytest.mark.parametrize("tool, method", [("SessionEnd", "TerminateSession"), ("DeskGuard", "LockSession")])
def test_logind_is_asked_about_the_callers_session(runner, logind, tool, method):
    for tail, env, session in (("", logind.env, '"auto"'),
                               ("right now", dict(logind.env, XDG_SESSION_ID="c7"), '"c7"')):
        result = runner.run(tool, tail, env=env)
        assert (result.stdout, result.stderr, result.status) == (b"", b"", 0)
        assert any(method in call and session in call for call in logind.calls()), logind.calls()


@only_on("native")
@pytest.mark.parametrize("tool", ["SessionEnd", "DeskGuard"])
@pytest.mark.parametrize("tail, status", [
    ("/?", 0), ("--help", 0),
    # Look-alikes of --help: a word that begins with a dash is help not understood.
    ("-h", 2), ("--HELP", 2), ("--help=x", 2), ("-help", 2), ("--Help", 2), ("--help x", 2), ("x --help", 2),
    ("-- --help", 2), ("\u2014help", 2)])
def test_help_ends_and_locks_nothing(runner, logind, tool, tail, status):
    result = runner.run(tool, tail, env=logind.env)
    assert result.status == status and result.stdout.startswith(b"\n  Quorvex Command Pack"), result
    assert not logind.calls()


@only_on("native")
@pytest.mark.parametrize("tool, method, action", [("SessionEnd", "TerminateSession", "end the session"),
                                                  ("DeskGuard", "LockSession", "lock the session")])
def test_a_refusal_from_logind_or_a_system_bus_out_of_reach_is_reported(runner, services, logind, tool, method,
                                                                         action):
    result = runner.run(tool, "", env=dict(services.env, DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent"))
    assert (result.stdout, result.stderr.decode(), result.status) == (
        b"", f"{tool}: cannot reach the system bus to {action}: check that D-Bus is running\n", 1)
    subprocess.run(["dbus-send", f"--bus={logind.address}", "--print-reply", "--dest=org.freedesktop.login1",
                    "/org/freedesktop/login1", "org.freedesktop.DBus.Mock.AddMethod",
                    "string:org.freedesktop.login1.Manager", f"string:{method}", "string:s", "string:",
                    "string:raise dbus.exceptions.DBusException('no', name='org.freedesktop.DBus.Error.AccessDenied')"],
                   check=True, capture_output=True)
    result = runner.run(tool, "", env=logind.env)
    assert (result.stdout, result.stderr.decode(), result.status) == (
        b"", f"{tool}: systemd-logind refused to {action} (org.freedesktop.DBus.Error.AccessDenied): "
             "check that this is a logind session and that polkit allows it\n", 1)
