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
