// Process start-up, the command-line tail and the standard streams.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Called once by the process entry, before anything else.
void StartProcess();

// The tail of the command line (program name and the blanks after it
// removed), from the arguments `main` was given or from the system's own
// copy of the command line, whichever holds it as typed.
std::u16string CommandTail(int argc, char** argv);

// One write of `text` in the console's narrow encoding to standard output;
// the handle is fetched anew on every call and failures are silent.
void WriteStdOut(std::u16string_view text);

// One write of `bytes` followed by `more`, unchanged.
void WriteStdOutBytes(std::string_view bytes, std::string_view more);

// True once a write to standard output has failed (its reader has gone, the
// disk is full). The writes themselves stay silent; a tool that could go on
// writing for ever asks this to stop.
bool StdOutFailed();

// Natively, why standard output failed when its reader had not simply gone
// (a full disk, an I/O error); empty otherwise, and always on Windows.
std::u16string StdOutFailure();

// One line on standard error (the report of an uncaught run-time failure).
void WriteStdErrLine(std::u16string_view text);

// What every line a tool writes ends with: CR LF on Windows, LF natively.
std::string_view LineEnd();

// Whether a lone LF ends a line of a text file read line by line (natively
// it does; on Windows it is part of the line). CR LF and a lone CR always do.
bool LoneLfEndsLine();

// The ending of a program's file name as the user types it: ".exe" on
// Windows, none natively. Help screens name their program with it.
std::u16string_view ProgramNameSuffix();

// Whether the native command conventions hold: the exit status tells
// success (0), failure (1) and missing arguments (2), and the tails
// "--help" and "--version" are reserved. On Windows every normal end gives
// 0 and every tail is the tool's own.
bool UnixCommandConventions();

}  // namespace platform
