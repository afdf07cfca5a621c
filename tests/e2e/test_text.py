"""Text tools end to end: listings of real files, the spread of the random
tools over many runs, and the message box under Wine (its native look is
checked in test_screenshots.py)."""

import fcntl
import math
import os
import random
import re
import subprocess
import time

import pytest

from harness import only_on, visible_windows, wait_for, xdotool


def normalised(data):
    """What the lister prints for `data`: CR LF and lone CR end lines."""
    lines = data.replace(b"\r\n", b"\r").split(b"\r")
    if lines[-1] == b"":
        lines.pop()
    return b"".join(line + b"\r\n" for line in lines)


# The file's bytes, what Windows prints, and what the native build prints
# where that is not simply the Windows bytes with LF line ends: natively a
# lone LF ends a line too.
LINE_END_SHAPES = [
    (b"", b"", None),
    (b"a\r\nb", b"a\r\nb\r\n", None),
    (b"a\r\nb\r\n", b"a\r\nb\r\n", None),
    (b"a\r\n\r\n", b"a\r\n\r\n", None),
    (b"a\rb", b"a\r\nb\r\n", None),
    (b"a\nb\n", b"a\nb\n\r\n", b"a\nb\n"),
    (b"a\nb", b"a\nb\r\n", b"a\nb\n"),
    (b"lf\ncrlf\r\ncr\rend\n\n", b"lf\ncrlf\r\ncr\r\nend\n\n\r\n", b"lf\ncrlf\ncr\nend\n\n"),
    (b"a\r\r\nb\r", b"a\r\n\r\nb\r\n", None),
    (b"nul\0inside\r\n\xff\xfe\x80 bytes", b"nul\0inside\r\n\xff\xfe\x80 bytes\r\n", None),
]


def test_fileshow_line_end_shapes(runner, tmp_path):
    for number, (data, windows, native) in enumerate(LINE_END_SHAPES):
        path = tmp_path / f"shape{number}.txt"
        path.write_bytes(data)
        result = runner.run("FileShow", runner.file_name(path))
        expected = native if runner.name == "native" and native is not None else runner.expect(windows)
        assert (result.stdout, result.status) == (expected, 0), data


def test_fileshow_names_with_blanks_and_unicode(runner, tmp_path):
    (tmp_path / "two words.txt").write_bytes(b"blank\r\n")
    (tmp_path / "Grüße ☃ Ω.txt").write_bytes(b"unicode\r\n")
    name = runner.file_name(tmp_path / "two words.txt")
    for tail in (name, f'"{name}"', name.replace("two", '"two"')):
        assert runner.run("FileShow", tail).stdout == runner.expect(b"blank\r\n"), tail
    assert runner.run("FileShow", runner.file_name(tmp_path / "Grüße ☃ Ω.txt")).stdout == runner.expect(b"unicode\r\n")


def test_fileshow_files_that_cannot_be_listed(runner, tmp_path):
    cases = [
        (tmp_path / "missing.txt", b"ERROR! File not found.\r\n"),
        (tmp_path / "no folder" / "missing.txt", b"ERROR! Path not found.\r\n"),
        (tmp_path, b"ERROR! Path is a folder.\r\n"),
    ]
    for path, line in cases:
        result = runner.run("FileShow", runner.file_name(path))
        failed = 1 if runner.name == "native" else 0
        assert (result.stdout, result.stderr, result.status) == (runner.expect(line), b"", failed), path


def test_fileshow_a_large_file_comes_out_whole(runner, tmp_path):
    """50 MB of mixed line ends, lone LFs and a long line, with the line ends normalised."""
    generator = random.Random(7)
    ends = [b"\r\n"] * 8 + [b"\r", b"\n"]
    parts = []
    size = 0
    while size < 50_000_000:
        part = b"x" * generator.randrange(0, 120) + generator.choice(ends)
        parts.append(part)
        size += len(part)
    parts.insert(len(parts) // 2, b"L" * 3_000_000 + b"\r\n")
    data = b"".join(parts) + b"no end"
    path = tmp_path / "large.txt"
    path.write_bytes(data)
    result = runner.run("FileShow", runner.file_name(path), timeout=300)
    assert result.status == 0
    expected = runner.expect(normalised(data))
    assert len(result.stdout) == len(expected)
    assert result.stdout == expected
    # A slow reader on a small non-blocking pipe: writes go out in parts and
    # wait for room, and not a byte is lost or doubled.
    read_end, write_end = os.pipe()
    fcntl.fcntl(write_end, fcntl.F_SETPIPE_SZ, 4096)
    os.set_blocking(write_end, False)
    process = runner.start("FileShow", runner.file_name(path), stdout=write_end)
    os.close(write_end)
    received = bytearray()
    with os.fdopen(read_end, "rb", buffering=0) as reader:
        for count in range(1_000_000):
            part = reader.read(1000 if count < 200 else 1 << 20)
            if not part or len(received) > len(expected):
                break
            received += part
            if count < 200:
                time.sleep(0.001)
    assert received == expected
    assert process.wait(timeout=60) == 0
    assert process.stderr.read() == b""


@only_on("native")
def test_fileshow_lists_each_line_as_soon_as_it_is_read(runner, tmp_path):
    """Through a pipe, a line is on standard output before the next is written."""
    fifo = tmp_path / "fifo"
    os.mkfifo(fifo)
    process = runner.start("FileShow", str(fifo))
    with open(fifo, "wb", buffering=0) as writer:
        for line in (b"first", b"second", b"third"):
            writer.write(line + b"\r")
            assert process.stdout.readline() == runner.expect(line + b"\r\n")
    assert process.wait(timeout=10) == 0
    assert process.stdout.read() == b""


def runs_to_see_all(values, chance=1e-10):
    """Runs after which every one of `values` equally likely outcomes has
    come out but for `chance`: a value is missed in n independent runs with
    probability (1 - 1/k)^n, some value with at most k (1 - 1/k)^n, so
    n = ceil(ln(k / chance) / -ln(1 - 1/k)). With 1e-10 per case and three
    cases a sound build fails by chance less than once in 10^9 runs of the
    suite (6 values: 137 runs; 3 values: 60)."""
    if values == 1:
        return 1
    return math.ceil(math.log(values / chance) / -math.log1p(-1 / values))


def test_diceroll_spread(runner):
    # The real generator over each value of a span: where the bounds come
    # from is the in-process table's (tests/tools/text/dice_roll_test.cc).
    cases = [
        ("1 6", range(1, 7)),
        ("-3 -1", range(-3, 0)),
        ("5  9", range(0, 6)),  # the empty word 1 is 0
    ]
    for tail, allowed in cases:
        # Under Wine a run takes long: every value must be allowed there,
        # and only natively must each of them come out.
        runs = runs_to_see_all(len(allowed)) if runner.name == "native" else 3
        seen = set()
        for _ in range(runs):
            result = runner.run("DiceRoll", tail)
            match = runner.expect(re.compile(rb"( |-)([0-9]+) \r\n")).fullmatch(result.stdout)
            assert match and result.status == 0, (tail, result.stdout)
            value = int(match.group(2)) * (-1 if match.group(1) == b"-" else 1)
            assert value in allowed, (tail, value)
            seen.add(value)
        if runner.name == "native":
            assert seen == set(allowed), (tail, seen)


def test_diceroll_runs_in_a_tight_loop_differ(runner):
    # A generator seeded from a coarse clock, or not seeded at all, gives the
    # same number to runs close together. Fractions have 24 bits, so two sound
    # runs agree with a chance of about 2^-24, and four such pairs among 20
    # runs come up with a chance below 10^-20.
    runs = 20 if runner.name == "native" else 6
    numbers = [runner.run("DiceRoll", "1 1000000000").stdout for _ in range(runs)]
    assert len(set(numbers)) > runs - 4, numbers


def test_quipmaker_sentences(runner):
    pattern = runner.expect(re.compile(rb"(Yes|No) (Ms|Miss|Mrs|Mr|Dr) ([A-Z]), that "
                                       rb"(is|isn't|might be|won't be|could be|is possibly) "
                                       rb"(my|your|her|his) ([^ \r\n]+(?: [^ \r\n]+){0,2})\.\r\n"))
    runs = 300 if runner.name == "native" else 5
    seen = {"answer": set(), "title": set(), "initial": set(), "noun": set()}
    for _ in range(runs):
        result = runner.run("QuipMaker", "")
        match = pattern.fullmatch(result.stdout)
        assert match and result.status == 0, result.stdout
        for key, group in (("answer", 1), ("title", 2), ("initial", 3), ("noun", 6)):
            seen[key].add(match.group(group))
    if runner.name == "native":
        # Chance failures: a title missed in 300 runs, 5 (4/5)^300 < 10^-28;
        # 7 of 26 initials or 21 of 70 nouns missed, below 10^-30.
        assert len(seen["answer"]) == 2 and len(seen["title"]) == 5
        assert len(seen["initial"]) >= 20 and len(seen["noun"]) >= 50


# The message box: (tail, text shown, icon).
NOTICES = [
    ("1 Grüße ☃ Ω, all well?", "Grüße ☃ Ω, all well?", "question"),
    ("2 ", "", "exclamation"),
    ("3  Disk full", " Disk full", "hand"),
    ('"2" "quoted" text', '"quoted" text', "asterisk"),
    ("Hello world", "world", "asterisk"),
]


@only_on("wine")
@pytest.mark.parametrize("tail, text, icon", NOTICES)
def test_noticeshow_box_under_wine(runner, tail, text, icon):
    probe = runner.launcher.parent / "message_box_probe.exe"
    box = runner.start("NoticeShow", tail, timeout_ms=60000)
    try:
        seen = subprocess.run(["wine", str(probe), "Pingnote", "30000"], env=runner.env, capture_output=True,
                              stdin=subprocess.DEVNULL, timeout=90)
        out, err = box.communicate(timeout=60)
    finally:
        if box.poll() is None:
            box.kill()
    assert seen.returncode == 0, seen.stderr
    assert seen.stdout.decode().splitlines() == [f"text={text}", f"icon={icon}", "buttons=1"], seen.stderr
    assert (out, box.returncode) == (b"", 0), err


# No other test presses keys on this module's display meanwhile.
@only_on("native")
def test_noticeshow_keeps_a_box_of_2000_lines_on_the_screen(runner, services):
    message = "\n".join(f"line{i}" for i in range(2000))
    box = runner.start("NoticeShow", "0 " + message)
    try:
        window = wait_for(lambda: visible_windows(services.env, "Pingnote"), what="the Pingnote box")[0]
        shape = dict(line.split("=") for line in xdotool(services.env, "getwindowgeometry", "--shell", window))
        screen_width, screen_height = map(int, xdotool(services.env, "getdisplaygeometry"))
        assert 0 <= int(shape["Y"]) and int(shape["Y"]) + int(shape["HEIGHT"]) <= screen_height, shape
        # The OK button is reachable: Return presses it (Esc would close the
        # box too). A box just mapped may not take keys yet, so Return is
        # pressed again until it does.
        for _ in range(15):
            xdotool(services.env, "windowactivate", "--sync", window)
            xdotool(services.env, "key", "--clearmodifiers", "Return")
            try:
                out, err = box.communicate(timeout=2)
                break
            except subprocess.TimeoutExpired:
                continue
        else:
            pytest.fail("Return never closed the box")
        assert (out, box.returncode) == (b"", 0), err
    finally:
        if box.poll() is None:
            box.kill()
