#include "console/command_line.h"

namespace qcp {

std::u16string CleanCommandLine(std::u16string_view tail) {
  std::u16string cleaned;
  cleaned.reserve(tail.size());
  for (char16_t c : tail) {
    if (c != u'"') cleaned += c;
  }
  return cleaned;
}

std::vector<std::u16string> SplitWords(std::u16string_view line) {
  std::vector<std::u16string> words;
  std::size_t start = 0;
  for (;;) {
    const std::size_t blank = line.find(u' ', start);
    if (blank == line.npos) {
      words.emplace_back(line.substr(start));
      return words;
    }
    words.emplace_back(line.substr(start, blank - start));
    start = blank + 1;
  }
}

std::u16string TextAfterFirstBlank(std::u16string_view line) {
  const std::size_t blank = line.find(u' ');
  return blank == line.npos ? std::u16string() : std::u16string(line.substr(blank + 1));
}

bool HasHelpSwitch(std::u16string_view line) { return line.find(u"/?") != line.npos; }

namespace {

bool IsDash(char16_t c) {
  switch (c) {
    case u'-':
    case u'\u00ad':  // soft hyphen
    case u'\u058a':
    case u'\u05be':
    case u'\u1400':
    case u'\u1806':
    case u'\u207b':  // superscript and subscript minus
    case u'\u208b':
    case u'\u2212':  // minus sign
    case u'\u2796':
    case u'\u2e17':
    case u'\u2e1a':
    case u'\u2e3a':
    case u'\u2e3b':
    case u'\u2e40':
    case u'\u2e5d':
    case u'\u301c':
    case u'\u3030':
    case u'\u30a0':
    case u'\ufe31':
    case u'\ufe32':
    case u'\ufe58':
    case u'\ufe63':
    case u'\uff0d':
      return true;
    default:
      return c >= u'\u2010' && c <= u'\u2015';  // hyphen to horizontal bar, the dashes between
  }
}

}  // namespace

bool HasDashWord(std::u16string_view line) {
  bool word_start = true;
  for (char16_t c : line) {
    if (word_start && IsDash(c)) return true;
    word_start = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
  }
  return false;
}

std::u16string TailAfterProgramName(std::u16string_view command_line) {
  // A quoted program name ends at its closing quote, whatever follows it
  // ("C:\Tools\x.exe"/? asks for help); an unquoted one at the first blank
  // or tab. Only blanks go after it: a tab is text of the tail.
  std::size_t i = 0;
  if (!command_line.empty() && command_line[0] == u'"') {
    const std::size_t close = command_line.find(u'"', 1);
    i = close == command_line.npos ? command_line.size() : close + 1;
  } else {
    while (i < command_line.size() && command_line[i] != u' ' && command_line[i] != u'\t') ++i;
  }
  while (i < command_line.size() && command_line[i] == u' ') ++i;
  return std::u16string(command_line.substr(i));
}

std::u16string JoinArguments(const std::vector<std::u16string>& arguments) {
  std::u16string tail;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) tail += u' ';
    tail += arguments[i];
  }
  return tail;
}

}  // namespace qcp
