"""Console tools of the system folder: tick count, lock, beep."""

import re

from harness import Case, help_screen

UPTIME_HELP = help_screen("    UptimeClock.exe", "", "    Returns the operating system tick count value.")
DESKGUARD_HELP = help_screen("    DeskGuard.exe", "", "    Locks the current Windows Workstation.")
BEEP_HELP = help_screen("    Beep.exe <frequency> <duration>", "",
                        "    Beeps the internal speaker using the supplied values.")
TICKS = re.compile(rb"-?[0-9]+\r\n")

CASES = [
    Case("UptimeClock", "", TICKS),
    Case("UptimeClock", "help", TICKS),
    Case("UptimeClock", "/?", UPTIME_HELP),
    Case("UptimeClock", "ab/?cd", UPTIME_HELP),
    Case("UptimeClock", 'x"/"?y', UPTIME_HELP),
    Case("DeskGuard", "/?", DESKGUARD_HELP),
    Case("DeskGuard", "x/?", DESKGUARD_HELP),
    Case("Beep", "", BEEP_HELP, native_status=2),
    Case("Beep", '""', BEEP_HELP, native_status=2),
    Case("Beep", "440", BEEP_HELP, native_status=2),
    Case("Beep", "/?", BEEP_HELP, native_status=2),
    Case("Beep", "440 200 1", BEEP_HELP, native_status=2),
    Case("Beep", "440  200", BEEP_HELP, native_status=2),
    Case("Beep", "440 200 ", BEEP_HELP, native_status=2),
    # No tone outside the speaker's range (natively said), and no 49-day tone
    # for a negative duration.
    Case("Beep", "440 -1", b""),
    Case("Beep", "20 100", b"", platforms=("wine",)),
    Case("Beep", "20 100", b"", 1, platforms=("native",), says="cannot sound a tone of 20 Hz: give a frequency from 37 to 32767"),
    Case("Beep", "a b", b""),
    # Overflow is not caught: one line on standard error, status 1.
    Case("Beep", "3000000000 1", b"", 1, "Overflow"),
    Case("Beep", "440 1E12", b"", 1, "Overflow"),
    Case("Beep", "1e999 100", b"", 1, "Overflow"),
    Case("Beep", "440 2147483647.5", b"", 1, "Overflow"),
]
