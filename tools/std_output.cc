#include "tools/std_output.h"

#include <limits>

#include "console/failure.h"
#include "platform/console.h"

namespace qcp {
namespace {

// The line end as `Char`s: ASCII, so each byte is one character.
template <typename Char>
std::basic_string<Char> LineEndAs() {
  const std::string_view end = platform::LineEnd();
  return std::basic_string<Char>(end.begin(), end.end());
}

template <typename Char>
std::int32_t ColumnAfterImpl(std::int32_t current, std::basic_string_view<Char> text) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  const std::basic_string<Char> end = LineEndAs<Char>();
  const std::size_t last = text.rfind(end);
  // Both the count and the sum are checked before anything is stored.
  const std::size_t counted = last == text.npos ? text.size() : text.size() - last - end.size();
  if (counted > static_cast<std::size_t>(kMax)) Raise(failures::kOverflow);
  std::int64_t column = static_cast<std::int64_t>(counted);
  if (last == text.npos) column += current;
  if (column > kMax || column < kMin) Raise(failures::kOverflow);
  return static_cast<std::int32_t>(column);
}

}  // namespace

std::int32_t ColumnAfter(std::int32_t current, std::u16string_view text) {
  return ColumnAfterImpl(current, text);
}

std::int32_t ColumnAfter(std::int32_t current, std::string_view bytes, std::string_view more) {
  if (more.empty()) return ColumnAfterImpl(current, bytes);
  const std::string_view end = platform::LineEnd();
  if (more.find(end) != std::string_view::npos) return ColumnAfterImpl(current, more);
  // A line end split between the two parts (CR at the end of `bytes`, LF first in `more`).
  for (std::size_t split = 1; split < end.size() && split <= bytes.size(); ++split) {
    if (bytes.substr(bytes.size() - split) == end.substr(0, split) &&
        more.substr(0, end.size() - split) == end.substr(split)) {
      return ColumnAfterImpl(0, more.substr(end.size() - split));
    }
  }
  return ColumnAfterImpl(ColumnAfterImpl(current, bytes), more);
}

void StdOutput::WriteText(std::u16string_view text) {
  WriteRaw(text);
  column_ = ColumnAfter(column_, text);
}

void StdOutput::WriteBytes(std::string_view bytes, std::string_view more) {
  platform::WriteStdOutBytes(bytes, more);
  column_ = ColumnAfter(column_, bytes, more);
}

void StdOutput::Column(std::int32_t new_column) {
  if (new_column > column_) {
    const std::int64_t gap = static_cast<std::int64_t>(new_column) - column_;
    if (gap > std::numeric_limits<std::int32_t>::max()) Raise(failures::kOverflow);
    WriteRaw(std::u16string(static_cast<std::size_t>(gap), u' '));
  }
  column_ = new_column;
}

void StdOutput::WriteRaw(std::u16string_view text) { platform::WriteStdOut(text); }

void PrintLine(IPrintTarget& target, std::u16string_view text) {
  std::u16string line;
  line.reserve(text.size() + 2);
  line.append(text);
  line.append(LineEndAs<char16_t>());
  target.WriteText(line);
}

void PrintLine(IPrintTarget& target, std::int32_t value) {
  std::u16string text = value < 0 ? u"" : u" ";
  text += DecimalText(value);
  text += u' ';
  PrintLine(target, text);
}

void PrintLineBytes(IPrintTarget& target, std::string_view bytes) {
  target.WriteBytes(bytes, platform::LineEnd());
}

std::u16string DecimalText(std::int64_t value) {
  char16_t digits[24];
  std::size_t n = 0;
  // Work in negative numbers so the most negative value needs no special case.
  std::int64_t rest = value < 0 ? value : -value;
  do {
    digits[n++] = static_cast<char16_t>(u'0' - rest % 10);
    rest /= 10;
  } while (rest != 0);
  std::u16string text;
  if (value < 0) text += u'-';
  while (n > 0) text += digits[--n];
  return text;
}

}  // namespace qcp
