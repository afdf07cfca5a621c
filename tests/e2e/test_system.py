"""Effects of the system tools that the table cannot see: the tone on the
audio output, and DeskGuard under Wine."""

import time

from harness import Recorder, only_on


@only_on("native")
def test_beep_sounds_the_tone_for_its_duration(runner, services):
    with Recorder(services) as recording:
        result = runner.run("Beep", "440 300")
    assert (result.stdout, result.status) == (b"", 0)
    seconds, frequency = recording.tone()
    assert 0.27 <= seconds <= 0.33
    assert 430 <= frequency <= 450


@only_on("native")
def test_beep_returns_when_the_tone_has_ended(runner):
    runner.run("Beep", "440 50")  # warm the plug-in registry
    started = time.monotonic()
    runner.run("Beep", "880 600")
    assert time.monotonic() - started >= 0.6


@only_on("native")
def test_beep_without_an_audio_output_says_so(runner, services):
    env = dict(services.env, PULSE_SERVER="unix:/nonexistent")
    result = runner.run("Beep", "440 100", env=env)
    assert (result.stdout, result.stderr, result.status) == (
        b"", b"Beep: cannot sound a tone: no audio output; check the sound server\n", 1)


@only_on("wine")
def test_deskguard_locks_without_a_word(runner):
    """Natively, the request to logind: test_system_session.py."""
    result = runner.run("DeskGuard", "")
    assert (result.stdout, result.status) == (b"", 0)
