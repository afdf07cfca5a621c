// Failures of the Wayland code, kept until the program takes them and ends
// the run: no exception leaves the module, whose copy of the C++ run time
// cannot unwind into the program's.
#pragma once

#include <string>
#include <string_view>

namespace platform::wayland {

struct PendingFailure {
  enum Kind { kNone, kRunTime, kUnfulfilled } kind = kNone;
  std::u16string text;
};

// For the run-time error line with `description`. The caller returns as
// from a failed call.
void Fail(std::u16string_view description);

// For "<Tool>: <what>" on standard error.
void FailUnfulfilled(std::u16string_view what);

// The failure kept since the last call, if any; kept no longer.
PendingFailure TakeFailure();

}  // namespace platform::wayland
