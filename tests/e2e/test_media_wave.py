"""The sound tools on a real audio server: the WAVE file reaches the
PulseAudio null sink (natively through GStreamer, under Wine through its
pulse driver), whole and at its pitch, and the tool returns when it is over."""

import array
import subprocess
import time

import pytest

from harness import Recorder


@pytest.fixture(scope="module")
def sounds(services):
    folder = services.root / "sounds"
    folder.mkdir(exist_ok=True)
    made = {
        "tone": folder / "tone.wav",
        "spaced": folder / "a tone with spaces.wav",
        "ansi": folder / "t\u00f6ne.wav",
        "unicode": folder / "t\u00f6ne \u266b.wav",
        "text": folder / "not a sound.wav",
    }
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "1", "-b", "16", str(made["tone"]), "synth", "0.6", "sine",
                    "440", "vol", "0.5"], check=True)
    # The same tone as 8-bit mu-law at another rate: decoded and resampled.
    made["mulaw"] = folder / "mulaw.wav"
    subprocess.run(["sox", "-n", "-r", "22050", "-c", "1", "-e", "u-law", str(made["mulaw"]), "synth", "0.6", "sine",
                    "440", "vol", "0.5"], check=True)
    made["spaced"].write_bytes(made["tone"].read_bytes())
    made["ansi"].write_bytes(made["tone"].read_bytes())
    made["unicode"].write_bytes(made["tone"].read_bytes())
    made["text"].write_text("RIFF? no, plain text\n")
    return made


def sound_played(recording, threshold=2000, gap=240):
    """(seconds of sound, frequency in Hz, number of dropouts): the loud
    stretches of the recording, split where it is quiet for more than `gap`
    samples (5 ms). Wine's pulse output drops out now and then on a busy
    machine; the sound is delayed then, not lost."""
    samples = array.array("h")
    samples.frombytes(recording.path.read_bytes())
    loud = [i for i, v in enumerate(samples) if abs(v) > threshold]
    if not loud:
        return 0.0, 0.0, 0
    stretches = []
    start = previous = loud[0]
    for i in loud[1:]:
        if i - previous > gap:
            stretches.append((start, previous + 1))
            start = i
        previous = i
    stretches.append((start, previous + 1))
    length = sum(end - begin for begin, end in stretches)
    crossings = sum(1 for begin, end in stretches for i in range(begin + 1, end)
                    if (samples[i - 1] < 0) != (samples[i] < 0))
    return length / 48000, crossings / 2 / (length / 48000), len(stretches) - 1


@pytest.mark.parametrize("which, quote", [("tone", ""), ("mulaw", ""), ("spaced", ""), ("spaced", '"'),
                                          ("ansi", ""), ("unicode", "")])
def test_waveonce_plays_the_whole_file(runner, services, sounds, which, quote):
    if runner.name == "wine" and which == "unicode":
        pytest.xfail("Wine 8's PlaySoundW plays no file whose name is outside the ANSI code page")
    with Recorder(services) as recording:
        started = time.monotonic()
        result = runner.run("WaveOnce", quote + runner.file_name(sounds[which]) + quote)
        elapsed = time.monotonic() - started
    assert (result.stdout, result.status) == (b"", 0)
    seconds, frequency, dropouts = sound_played(recording)
    # Wine's output may also lose a few milliseconds on a busy machine.
    assert (0.55 if runner.name == "native" else 0.5) <= seconds <= 0.65, (seconds, dropouts)
    # Wine's own mu-law decoding plays about 1.5 % slow.
    lowest = 420 if (runner.name, which) == ("wine", "mulaw") else 430
    assert lowest <= frequency <= 450, (frequency, dropouts)
    # It returns when the sound is over, not before.
    assert elapsed >= 0.6


def test_waverepeat_makes_one_request_and_ends(runner, services, sounds):
    with Recorder(services) as recording:
        result = runner.run("WaveRepeat", runner.file_name(sounds["tone"]), timeout=20)
    assert (result.stdout, result.status) == (b"", 0)
    # The loop flag plays the sound once: natively by design, and under Wine
    # a synchronous request with the loop flag does the same.
    seconds, frequency, dropouts = sound_played(recording)
    assert (0.55 if runner.name == "native" else 0.5) <= seconds <= 0.65, (seconds, dropouts)
    assert 430 <= frequency <= 450, (frequency, dropouts)


@pytest.mark.parametrize("which, says", [
    ("text", 'cannot play the sound "{}": it is not a WAVE file that plays here'),
    ("missing", 'cannot find the sound "{}": give the path of a WAVE file'),
    ("folder", 'cannot read the sound "{}": give the path of a WAVE file you may read'),
    ("no output", 'cannot play the sound "{}": no audio output; check the sound server')])
def test_what_cannot_be_played_is_silence(runner, services, sounds, which, says):
    """Windows says nothing; natively the tool says why and fails."""
    path = {"text": sounds["text"], "missing": sounds["tone"].with_name("missing.wav"),
            "folder": sounds["tone"].parent, "no output": sounds["tone"]}[which]
    env = services.env
    if which == "no output":
        if runner.name != "native":
            pytest.skip("Wine's own audio drivers are not the tool's")
        env = dict(env, PULSE_SERVER="unix:/nonexistent")
    with Recorder(services) as recording:
        result = runner.run("WaveOnce", runner.file_name(path), env=env, timeout=20)
    assert result.stdout == b""
    if runner.name == "native":
        assert (result.stderr.decode(), result.status) == (f"WaveOnce: {says.format(path)}\n", 1)
    else:
        assert result.status == 0
    assert recording.tone() == (0.0, 0.0)
