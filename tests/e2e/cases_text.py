"""Text tools: file lister, dice, quotes and the message box (help screens
and the results that do not depend on chance)."""

import re

from harness import Case, help_screen

FILESHOW_HELP = help_screen("    FileShow.exe <filename.txt|bat|ini|etc>", "",
                            "    Pass the filename of the text file to display.",
                            "    Press CTRL+C to interrupt listing.")
DICEROLL_HELP = help_screen("    DiceRoll.exe <lowest> <highest>", "",
                            "    Generates a random number between (and including)",
                            "    the specified Lowest and Highest numbers.")
QUIPMAKER_HELP = help_screen("    QuipMaker.exe", "", "    Displays a random No Mrs Bramblewick quote.")
NOTICESHOW_HELP = help_screen("    NoticeShow.exe <icon> <message>", "", "    Displays a system message box.", "",
                              "      Icon: 0 = Information (default).", "      Icon: 1 = Question.",
                              "      Icon: 2 = Exclamation.", "      Icon: 3 = Critical.", "")
QUOTE = re.compile(rb"(Yes|No) (Ms|Miss|Mrs|Mr|Dr) [A-Z], that (is|isn't|might be|won't be|could be|is possibly) "
                   rb"(my|your|her|his) [^\r\n]+\.\r\n")
OVERFLOW = b"ERROR! - Overflow\r\n"

CASES = [
    Case("FileShow", "", FILESHOW_HELP, native_status=2),
    Case("FileShow", '""', FILESHOW_HELP, native_status=2),
    Case("FileShow", '""""', FILESHOW_HELP, native_status=2),
    # "/?" is a file name for this tool.
    Case("FileShow", "/?", b"ERROR! File not found.\r\n", platforms=("native",), native_status=1),
    Case("FileShow", "/?", b"ERROR! Bad file name.\r\n", platforms=("wine",)),
    Case("DiceRoll", "", DICEROLL_HELP, native_status=2),
    Case("DiceRoll", '""', DICEROLL_HELP, native_status=2),
    Case("DiceRoll", "5", DICEROLL_HELP, native_status=2),
    Case("DiceRoll", "/?", DICEROLL_HELP, native_status=2),
    Case("DiceRoll", "7 7", b" 7 \r\n"),
    Case("DiceRoll", "-5 -5", b"-5 \r\n"),
    Case("DiceRoll", '"3" "3"', b" 3 \r\n"),
    Case("DiceRoll", "1.5 2.5", b" 2 \r\n"),
    Case("DiceRoll", "a b", b" 0 \r\n"),
    Case("DiceRoll", "2147483647 2147483647", b" 2147483647 \r\n"),
    Case("DiceRoll", "-2147483648 2147483647", OVERFLOW, native_status=1),
    Case("DiceRoll", "0 2147483647", OVERFLOW, native_status=1),
    Case("DiceRoll", "3000000000 1", OVERFLOW, native_status=1),
    Case("DiceRoll", "1 1e999", OVERFLOW, native_status=1),
    Case("QuipMaker", "/?", QUIPMAKER_HELP),
    Case("QuipMaker", "x/?y", QUIPMAKER_HELP),
    Case("QuipMaker", 'a "/"? b', QUIPMAKER_HELP),
    Case("QuipMaker", "", QUOTE),
    Case("QuipMaker", "help me", QUOTE),
    Case("NoticeShow", "", NOTICESHOW_HELP, native_status=2),
    Case("NoticeShow", "2", NOTICESHOW_HELP, native_status=2),
    Case("NoticeShow", "/?", NOTICESHOW_HELP, native_status=2),
    Case("NoticeShow", "Hello", NOTICESHOW_HELP, native_status=2),
    # On Windows "--help" and "--version" are tails like any other.
    Case("QuipMaker", "--help", QUOTE, platforms=("wine",)),
    Case("DiceRoll", "--version", DICEROLL_HELP, platforms=("wine",)),
    Case("FileShow", "--help", b"ERROR! File not found.\r\n", platforms=("wine",)),
    # Not caught: the report on standard error, and no box.
    Case("NoticeShow", "1e999 text", b"", 1, "Overflow"),
]
