"""The native tools as a Linux shell uses them: output with LF line ends
goes straight into arithmetic, pipes and files, and help screens name each
program as it is called."""

import re
import subprocess

from harness import only_on


def bash(runner, script):
    """Runs `script` in bash with the native programs first on PATH."""
    env = dict(runner.services.env, PATH=f"{runner.bin_dir}:{runner.services.env.get('PATH', '/usr/bin:/bin')}")
    result = subprocess.run(["bash", "-c", script], env=env, capture_output=True, timeout=60)
    assert (result.stderr, result.returncode) == (b"", 0), result
    return result.stdout


@only_on("native")
def test_diceroll_in_shell_arithmetic(runner):
    # Until every face has come up: 400 rolls miss one only once in 10^31 runs.
    seen = set()
    for _ in range(400):
        out = bash(runner, "n=$(DiceRoll 1 6); echo $((n+1))")
        seen.add(int(out))
        assert out == f"{int(out)}\n".encode()
        if seen == set(range(2, 8)):
            break
    assert seen == set(range(2, 8))


@only_on("native")
def test_tasktable_through_grep(runner):
    out = bash(runner, "sleep 30 & TaskTable | grep -w sleep; kill $!")
    assert re.fullmatch(rb"( \d{4,}  sleep {35}  +\d+ +\d+\n)+", out), out


@only_on("native")
def test_output_redirected_to_a_file_has_lf_lines(runner, tmp_path):
    bash(runner, f"UptimeClock > {tmp_path}/up.txt; QuipMaker >> {tmp_path}/up.txt")
    lines = (tmp_path / "up.txt").read_bytes().split(b"\n")
    assert len(lines) == 3 and lines[2] == b"" and b"\r" not in lines[0] + lines[1], lines
    assert int(lines[0]) >= 0


@only_on("native")
def test_help_screens_name_the_program_as_called(runner):
    usage = {tool: bash(runner, f"{tool} --help").split(b"\n")[2]
             for tool in ("PaneShut", "TaskTable", "Beep", "FileShow", "QuipMaker")}
    assert usage == {"PaneShut": b"    PaneShut <window caption>", "TaskTable": b"    TaskTable",
                     "Beep": b"    Beep <frequency> <duration>", "FileShow": b"    FileShow <filename.txt|bat|ini|etc>",
                     "QuipMaker": b"    QuipMaker"}


# What Tab offers after each command line, in a real bash with the pack's
# completion loaded as bash-completion loads it: by the command's name.
COMPLETIONS = [
    ("PaneShut ", "0"),
    ("PaneGrow --", "--help --version"),
    ("NoticeShow ", "0 1 2 3"),
    ("TrashPurge ", "folder/"),
    ("TrashPurge folder 2", "2"),
    ("Start ", "0"),
    ("Start 0 Ma", "May 2026.txt"),
    ("MovieShow 0 cl", "clip.webm"),
    ("WaveOnce ", "folder/ ring.wav"),
    ("WaveRepeat ", "folder/ ring.wav"),
    ("PictureShow 5 ", "chart.png folder/"),
    ("FileShow no", "notes.txt"),
    ("DiceRoll ", ""),
]


@only_on("native")
def test_bash_completes_the_tools_arguments(runner, tmp_path):
    for name in ("ring.wav", "chart.png", "notes.txt", "May 2026.txt", "clip.webm"):
        (tmp_path / name).write_bytes(b"")
    (tmp_path / "folder").mkdir()
    # No display: the captions of open windows are a test of their own.
    script = ["unset DISPLAY WAYLAND_DISPLAY", "cd " + str(tmp_path), "complete -p PaneShut TrashPurge FileShow"]
    for line, _ in COMPLETIONS:
        words = line.split(" ")
        script.append(
            f"COMP_WORDS=({' '.join(repr(w) for w in words)}); COMP_CWORD={len(words) - 1}; COMPREPLY=(); "
            f"_quorvex_command_pack {words[0]}; "
            # Directories are marked the way -o filenames shows them.
            "r=(); for c in \"${COMPREPLY[@]}\"; do [[ -d $c ]] && c=$c/; r+=(\"$c\"); done; "
            "printf '%s\\n' \"$(printf '%s\\n' \"${r[@]}\" | sort | paste -sd ' ')\"")
    completions = runner.bin_dir.parent / "completions" / "bash" / "quorvex-command-pack"
    out = bash(runner, f"source {completions}\n" + "\n".join(script)).decode().splitlines()
    assert out[0].startswith("complete -F _quorvex_command_pack "), out
    offered = dict(zip((line for line, _ in COMPLETIONS), out[3:]))
    assert offered == dict(COMPLETIONS)
