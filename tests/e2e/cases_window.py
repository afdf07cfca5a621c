"""Window tools and the process list: help screens and not-found lines."""

import re

from harness import Case, help_screen

CAPTION_LINE = "    Pass the name of the window (minus quotes!) that"
WINDOW_HELP = {
    "PaneShut": help_screen("    PaneShut.exe <window caption>", "", CAPTION_LINE,
                            "    you would like to be closed. Pass a 0 (zero) to",
                            "    close the currently active window."),
    "PaneRevive": help_screen("    PaneRevive.exe <window caption>", "", CAPTION_LINE,
                              "    you would like to restore. Pass a 0 (zero) to restore",
                              "    the currently active window."),
    "PaneShrink": help_screen("    PaneShrink.exe <window caption>", "", CAPTION_LINE,
                              "    you would like to be minimized. Pass a 0 (zero) to",
                              "    minimize the currently active window."),
    "PaneGrow": help_screen("    PaneGrow.exe <window caption>", "", CAPTION_LINE,
                            "    you would like to be maximized. Pass a 0 (zero) to",
                            "    maximize the currently active window."),
    "PanePin": help_screen("    PanePin.exe <window caption>", "", CAPTION_LINE,
                           "    you would like to be topmost (stickied). Pass a",
                           "    0 (zero) to make the currently active window",
                           "    topmost (stickied)."),
    "PaneUnpin": help_screen("    PaneUnpin.exe <window caption>", "", CAPTION_LINE,
                             "    you would like to not be topmost. Pass a 0 (zero)",
                             "    to make the currently active window not topmost."),
}
TASKTABLE_HELP = help_screen("    TaskTable.exe", "", "    Displays a list of currently running processes.")
HEADER = b" ID    PROCESS                                   THREADS   PRIORITY CLASS\r\n"
RULER = b" ====  ========================================  ========  ==============\r\n"
ROW = rb" -?\d{4,}  [^\r\n]+  -?\d+ *     -?\d+\r\n"


def not_found(caption):
    return b"ERROR! Couldn't find window: " + caption.encode() + b"\r\n"


CASES = []
for _tool, _help in WINDOW_HELP.items():
    CASES += [
        Case(_tool, "", _help, native_status=2),
        Case(_tool, "/?", not_found("/?"), native_status=1),
        Case(_tool, '"Untitled - Notepad"', not_found('"Untitled - Notepad"'), native_status=1),
    ]
CASES += [
    # What is printed is the console's narrow text: UTF-8 natively, the ANSI code page under Wine.
    Case("PaneShut", "No Café here", b"ERROR! Couldn't find window: No Caf\xc3\xa9 here\r\n",
         platforms=("native",), native_status=1),
    Case("PaneShut", "No Café here", b"ERROR! Couldn't find window: No Caf\xe9 here\r\n", platforms=("wine",)),
    # What cp1252 lacks becomes its default character, not a look-alike (A, C, a quote).
    Case("PaneShut", "ĀbcĆ € ＂x＂", b"ERROR! Couldn't find window: ?bc? \x80 ?x?\r\n", platforms=("wine",)),
    # On Windows "--list-captions" is a caption like any other, and for the other tools natively too.
    Case("PaneShut", "--list-captions", not_found("--list-captions"), platforms=("wine",)),
    Case("TaskTable", "--list-captions", re.compile(re.escape(HEADER + RULER) + b"(?:" + ROW + b")+")),
    Case("TaskTable", "/?", TASKTABLE_HELP),
    Case("TaskTable", "list/?", TASKTABLE_HELP),
    Case("TaskTable", '"/"?', TASKTABLE_HELP),
    Case("TaskTable", "", re.compile(re.escape(HEADER + RULER) + b"(?:" + ROW + b")+")),
    Case("TaskTable", "? /", re.compile(re.escape(HEADER + RULER) + b"(?:" + ROW + b")+")),
]
