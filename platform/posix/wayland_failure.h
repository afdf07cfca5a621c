// How the Wayland code ends a run with a failure. Inside the module, through
// the program that loaded it: an exception thrown by the module's own copy
// of the C++ run time would reach the program's copy to be caught.
#pragma once

#include <string_view>

namespace platform::wayland {

struct Raisers {
  void (*raise)(std::u16string_view description);
  void (*raise_unfulfilled)(std::u16string_view what);
};

// Until this is called, the library's own raisers are used.
void LendRaisers(const Raisers& raisers);

// The run-time error line with `description`, status 1.
[[noreturn]] void Fail(std::u16string_view description);

// "<Tool>: <what>" on standard error, status 1.
[[noreturn]] void FailUnfulfilled(std::u16string_view what);

}  // namespace platform::wayland
