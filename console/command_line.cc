#include "console/command_line.h"

#include "platform/console.h"

namespace qcp {

std::u16string CommandTail() { return platform::CommandTail(); }

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
  // The C runtime's rule for the program name: quotes toggle, nothing is
  // escaped, and a blank or tab outside quotes ends it.
  std::size_t i = 0;
  bool quoted = false;
  for (; i < command_line.size(); ++i) {
    const char16_t c = command_line[i];
    if (c == u'"') {
      quoted = !quoted;
    } else if (!quoted && (c == u' ' || c == u'\t')) {
      break;
    }
  }
  while (i < command_line.size() && (command_line[i] == u' ' || command_line[i] == u'\t')) ++i;
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
