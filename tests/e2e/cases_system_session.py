"""Session and shell tools: log-off, recycle bin, start. Only lines that end
nothing and empty nothing stand in the table; the effects are in test_system_session.py."""

from harness import Case, help_screen

SESSIONEND_HELP = help_screen("    SessionEnd.exe", "", "    Logs the current user off of Windows.")
TRASHPURGE_HELP = help_screen(
    "    TrashPurge.exe <drive> <mode>", "",
    "    Empties the recycle bin of the specified drive.", "",
    "      Mode: 0 = default.",
    "            1 = No Windows confirmation.",
    "            2 = No Windows confirmation; no progress UI.",
    "            3 = No Windows confirmation; no progress UI; no sound.")
START_HELP = help_screen("    Start.exe <mode> <filename>", "", "    Sarts the specified application or file.", "",
                         "      Mode: 0 = default.")

CASES = [
    Case("SessionEnd", "/?", SESSIONEND_HELP),
    Case("SessionEnd", "now/?later", SESSIONEND_HELP),
    Case("SessionEnd", 'x "/"?', SESSIONEND_HELP),
    Case("TrashPurge", "", TRASHPURGE_HELP, native_status=2),
    Case("TrashPurge", '""', TRASHPURGE_HELP, native_status=2),
    Case("TrashPurge", "C:\\", TRASHPURGE_HELP, native_status=2),
    Case("TrashPurge", "/?", TRASHPURGE_HELP, native_status=2),
    Case("TrashPurge", "C:\\ 3 x", TRASHPURGE_HELP, native_status=2),
    Case("TrashPurge", "C:\\  3", TRASHPURGE_HELP, native_status=2),
    Case("TrashPurge", "C:\\ 3 ", TRASHPURGE_HELP, native_status=2),
    Case("TrashPurge", '"C:\\My Drive" 3', TRASHPURGE_HELP, native_status=2),
    # Beyond the double range: not caught, reported before anything is emptied.
    Case("TrashPurge", "C:\\ 1E999", b"", 1, "Overflow"),
    Case("Start", "", START_HELP, native_status=2),
    Case("Start", '""', START_HELP, native_status=2),
    Case("Start", "notepad", START_HELP, native_status=2),
    Case("Start", "/?", START_HELP, native_status=2),
    # Natively a name that cannot be opened is reported (Wine shows its own error box).
    Case("Start", "0 ", b"", 1, platforms=("native",),
         says="no item was named; name a program, document, folder or URL to open"),
    Case("Start", "0 /nonexistent/qcp-item.txt", b"", 1, platforms=("native",),
         says="/nonexistent/qcp-item.txt was not found; check the name and its folder"),
    Case("TrashPurge", "/nonexistent 3", b"", 1, platforms=("native",),
         says="/nonexistent does not exist; name a folder on the drive whose trash is to be emptied"),
]
