// The fake platform for in-process tests: scripted results, recorded calls
// and captured output. Each concern's scripting lives in fake_<concern>.h.
#pragma once

#include <string>
#include <string_view>

#include "platform/fake/fake_calls.h"

namespace fake {

// Clears every fake concern.
void Reset();

// Standard output as written (text as UTF-8), the number of writes, and standard error.
const std::string& StdOut();
int StdOutWrites();
// Writes after the first `writes` fail and are lost.
void SetStdOutFailsAfter(int writes);
const std::string& StdErr();

// UTF-8 of a tool's text, for assertions and messages.
std::string Narrow(std::u16string_view text);

// Registers a concern's reset with Reset(); define one at namespace scope.
struct Resetter {
  explicit Resetter(void (*reset)());
};

}  // namespace fake
