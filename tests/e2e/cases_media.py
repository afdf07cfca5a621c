"""Media tools: the sound tools' and PictureShow's help screens, and the
command lines that end without playing or showing anything."""

from harness import Case, help_screen

WAVEONCE_HELP = help_screen("    WaveOnce.exe <filename.wav>", "", "    Pass the filename of the WAVE file to play.",
                            "    Press CTRL+C to interrupt playback.")
WAVEREPEAT_HELP = help_screen("    WaveRepeat.exe <filename.wav>", "",
                              "    Pass the filename of the WAVE file to play.",
                              "    Press Ctrl+C to stop playing. Looping doesn't work yet!")
PICTURESHOW_HELP = help_screen("    PictureShow.exe <seconds> <filename.jpg|gif|bmp>", "",
                               "    Pass the filename of the image to display.",
                               "    Enter the number of seconds to display the image",
                               "    for, or enter 0 until the image is clicked.", "",
                               "    Seconds cannot be more than 65.")
NOT_FOUND = b"ERROR! File not found.\r\n"


def missing_sound(tool, tail, name):
    return [Case(tool, tail, b"", platforms=("wine",)),
            Case(tool, tail, b"", 1, platforms=("native",),
                 says=f'cannot find the sound "{name}": give the path of a WAVE file')]


CASES = [
    Case("WaveOnce", "", WAVEONCE_HELP, native_status=2),
    Case("WaveOnce", '""', WAVEONCE_HELP, native_status=2),
    # Anything else is a sound name: a missing one plays nothing; Windows says
    # nothing either, natively the tool says so and fails.
    *missing_sound("WaveOnce", "/?", "/?"),
    *missing_sound("WaveOnce", "missing.wav", "missing.wav"),
    *missing_sound("WaveOnce", '"no such" file.wav', "no such file.wav"),
    Case("WaveRepeat", "", WAVEREPEAT_HELP, native_status=2),
    Case("WaveRepeat", '"""', WAVEREPEAT_HELP, native_status=2),
    *missing_sound("WaveRepeat", "/?", "/?"),
    *missing_sound("WaveRepeat", "missing.wav", "missing.wav"),
    Case("PictureShow", "", PICTURESHOW_HELP, native_status=2),
    Case("PictureShow", '""', PICTURESHOW_HELP, native_status=2),
    Case("PictureShow", "cat.jpg", PICTURESHOW_HELP, native_status=2),
    Case("PictureShow", "/?", PICTURESHOW_HELP, native_status=2),
    Case("PictureShow", '"5"', PICTURESHOW_HELP, native_status=2),
    # The picture is loaded before anything else is looked at; no window comes up.
    Case("PictureShow", "5 missing.jpg", NOT_FOUND, native_status=1),
    Case("PictureShow", "66 missing.jpg", NOT_FOUND, native_status=1),
    Case("PictureShow", "5s missing.jpg", NOT_FOUND, native_status=1),
    Case("PictureShow", '5 "missing file.jpg"', NOT_FOUND, native_status=1),
    # An empty name is a missing file too, not an empty window.
    Case("PictureShow", "5 ", NOT_FOUND, native_status=1),
    Case("PictureShow", "5 no-such-folder/missing.jpg", b"ERROR! Path not found.\r\n", native_status=1),
    Case("PictureShow", "5 /?", NOT_FOUND, platforms=("native",), native_status=1),
    Case("PictureShow", "5 /?", b"ERROR! Bad file name.\r\n", platforms=("wine",)),
]
