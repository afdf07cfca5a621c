// The process table's rows: whatever the IDs, names, thread counts and
// priorities, the header and ruler are exact and every row holds its fields
// at their places, longer fields pushing the rest right.
#include <cstdlib>
#include <string>

#include "platform/fake/fake_platform.h"
#include "platform/fake/fake_processes.h"
#include "tools/std_output.h"

namespace task_table {
void Main(std::u16string_view tail, qcp::IPrintTarget& out);
}  // namespace task_table

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string FourDigits(long long value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < 4) digits = std::string(4 - digits.size(), '0') + digits;
  return (value < 0 ? "-" : "") + digits;
}

std::uint32_t Take32(const std::uint8_t*& data, std::size_t& size) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4 && size > 0; ++i, ++data, --size) value = value << 8 | *data;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fake::Reset();
  std::string expected =
      " ID    PROCESS                                   THREADS   PRIORITY CLASS\r\n"
      " ====  ========================================  ========  ==============\r\n";
  static const char alphabet[] = "abcXYZ.-_ 09e";
  while (size > 0) {
    const std::uint32_t id = Take32(data, size);
    const std::uint32_t threads = Take32(data, size);
    const auto priority = static_cast<std::int32_t>(Take32(data, size));
    std::size_t length = size > 0 ? *data % 300 : 0;
    if (size > 0) ++data, --size;
    std::u16string name;
    std::string narrow;
    for (std::size_t i = 0; i < length && i < 260; ++i) {
      const char c = alphabet[(i * 7 + length) % (sizeof alphabet - 1)];
      name += static_cast<char16_t>(c);
      narrow += c;
    }
    fake::AddProcess(id, name, threads, priority);
    // Appended piece by piece: GCC 12 sees a false overlap in a chain of +.
    for (const std::string& piece : {std::string(" "), FourDigits(static_cast<std::int32_t>(id)), std::string("  "),
                                     Padded(narrow, 40), std::string("  "),
                                     Padded(std::to_string(static_cast<std::int32_t>(threads)), 5),
                                     std::string("     "), std::to_string(priority), std::string("\r\n")}) {
      expected += piece;
    }
  }
  qcp::StdOutput out;
  task_table::Main(u"", out);
  Check(fake::StdOut() == expected);
  return 0;
}
