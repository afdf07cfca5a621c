"""Effects of the system tools that the table cannot see: the tone on the
audio output and the lock request to the session manager."""

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


@only_on("native")
def test_deskguard_asks_logind_to_lock_the_callers_session(runner, logind):
    result = runner.run("DeskGuard", "", env=logind.env)
    assert (result.stdout, result.status) == (b"", 0)
    assert any("LockSession" in call and '"auto"' in call for call in logind.calls()), logind.calls()

    result = runner.run("DeskGuard", "now", env=dict(logind.env, XDG_SESSION_ID="c7"))
    assert any("LockSession" in call and '"c7"' in call for call in logind.calls()), logind.calls()


def test_deskguard_without_a_session_manager(runner, services):
    """Windows locks without a word; natively, with no bus to ask, the tool says so."""
    env = dict(services.env, DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent")
    result = runner.run("DeskGuard", "", env=env if runner.name == "native" else None)
    if runner.name == "native":
        assert (result.stdout, result.stderr.decode(), result.status) == (
            b"", "DeskGuard: cannot reach the system bus to lock the session: check that D-Bus is running\n", 1)
    else:
        assert (result.stdout, result.status) == (b"", 0)
