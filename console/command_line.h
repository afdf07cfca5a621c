// The cleaned command line, the word list, and the rules that cut the tail
// from a whole command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qcp {

// The tail with every double quote removed.
std::u16string CleanCommandLine(std::u16string_view tail);

// Split at every single blank: doubled blanks give empty words, a blank at
// either end an empty first or last word. Never empty: "" gives one empty word.
std::vector<std::u16string> SplitWords(std::u16string_view line);

// Words 1 to the last joined with single blanks: the text after the first blank.
std::u16string TextAfterFirstBlank(std::u16string_view line);

// The help switch: "/?" anywhere.
bool HasHelpSwitch(std::u16string_view line);

// Whether a word of the line (after a blank, tab or line end, or at its start)
// begins with a dash of any kind: '-', a Unicode hyphen or dash, a minus sign.
// That is how an option is typed natively, and what a typed one looks like
// after a word processor or a web page has had it.
bool HasDashWord(std::u16string_view line);

// Windows rule: a command line without its program name and the blanks
// (not tabs) that follow it. A name that starts with a double quote ends at
// the next one; any other ends at the first blank or tab.
std::u16string TailAfterProgramName(std::u16string_view command_line);

// POSIX rule: the arguments after the program name joined with single blanks.
std::u16string JoinArguments(const std::vector<std::u16string>& arguments);

}  // namespace qcp
