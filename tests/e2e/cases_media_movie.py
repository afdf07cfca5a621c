"""MovieShow's help screen: an empty line or a single word; media that cannot be found."""

from harness import Case, help_screen

MOVIE_HELP = help_screen("    MovieShow.exe <mode> <filename.avi|mpg|wmv|mp3|etc>", "",
                         "    Pass the filename of the video/music file to play.", "",
                         "      Mode: 0 = fullscreen. (default)")

CASES = [
    Case("MovieShow", "", MOVIE_HELP, native_status=2),
    Case("MovieShow", '""', MOVIE_HELP, native_status=2),
    Case("MovieShow", "/?", MOVIE_HELP, native_status=2),
    Case("MovieShow", "clip.wmv", MOVIE_HELP, native_status=2),
    Case("MovieShow", '"0"', MOVIE_HELP, native_status=2),
    # Windows' player fails without a word; natively the tool says so.
    Case("MovieShow", "0 nosuch.webm", b"", 1, platforms=("native",),
         says='cannot find "nosuch.webm": check the file name'),
]
