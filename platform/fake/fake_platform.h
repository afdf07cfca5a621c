// The fake platform for in-process tests: scripted results, recorded calls
// and captured output. Each concern's scripting lives in fake_<concern>.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fake {

// Clears every fake concern.
void Reset();

// Platform calls in the order they were made, as text such as "Beep(440, 200)".
const std::vector<std::string>& Calls();
void Record(std::string call);

// Standard output as written (text as UTF-8), the number of writes, and standard error.
const std::string& StdOut();
int StdOutWrites();
// Writes after the first `writes` fail and are lost.
void SetStdOutFailsAfter(int writes);
const std::string& StdErr();

// UTF-8 of a tool's text, for call records and assertions.
std::string Narrow(std::u16string_view text);

// "0x" and lower-case hexadecimal digits, for handles and flags in call records.
std::string Hex(std::uint64_t value);

// Registers a concern's reset with Reset(); define one at namespace scope.
struct Resetter {
  explicit Resetter(void (*reset)());
};

}  // namespace fake
