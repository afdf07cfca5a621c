// Properties of the command-line tail rules: words rejoin to the tail, the
// text after the first blank is words 1.. rejoined, cleaning removes quotes
// and nothing else, and the Windows tail rule agrees with a reference reader.
#include <cstdlib>

#include "console/command_line.h"
#include "fuzz/fuzz_input.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The program-name rule, written as a plain scan over states. The blank or
// tab that ends an unquoted name is looked at again as the first character
// after it.
std::u16string ReferenceTail(const std::u16string& line) {
  enum { kStart, kName, kQuoted, kAfter } state = kStart;
  std::size_t i = 0;
  while (i < line.size()) {
    const char16_t c = line[i];
    if (state == kStart) {
      state = c == u'"' ? kQuoted : kName;
      if (state == kQuoted) ++i;
    } else if (state == kName) {
      if (c == u' ' || c == u'\t') state = kAfter;
      else ++i;
    } else if (state == kQuoted) {
      if (c == u'"') state = kAfter;
      ++i;
    } else if (c == u' ') {
      ++i;
    } else {
      break;
    }
  }
  return line.substr(i);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text = TextFromAlphabet(data, size, u" \t\"ab0/?");

  const auto words = qcp::SplitWords(text);
  Check(!words.empty());
  Check(qcp::JoinArguments(words) == text);
  for (const auto& word : words) Check(word.find(u' ') == std::u16string::npos);

  std::u16string rest;
  for (std::size_t i = 1; i < words.size(); ++i) rest += (i > 1 ? u" " : u"") + words[i];
  Check(qcp::TextAfterFirstBlank(text) == rest);

  const std::u16string cleaned = qcp::CleanCommandLine(text);
  Check(cleaned.find(u'"') == std::u16string::npos);
  std::size_t quotes = 0;
  for (char16_t c : text) quotes += c == u'"';
  Check(cleaned.size() + quotes == text.size());

  const std::u16string tail = qcp::TailAfterProgramName(text);
  Check(tail == ReferenceTail(text));
  Check(tail.empty() || tail[0] != u' ');
  Check(text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0);

  Check(qcp::HasHelpSwitch(text) == (text.find(u"/?") != std::u16string::npos));
  return 0;
}
