#include "platform/posix/wayland_failure.h"

#include <cstdlib>

#include "console/failure.h"

namespace platform::wayland {
namespace {

Raisers raisers = {&qcp::Raise, &qcp::RaiseUnfulfilled};

}  // namespace

void LendRaisers(const Raisers& lent) { raisers = lent; }

void Fail(std::u16string_view description) {
  raisers.raise(description);
  std::abort();
}

void FailUnfulfilled(std::u16string_view what) {
  raisers.raise_unfulfilled(what);
  std::abort();
}

}  // namespace platform::wayland
