#include "platform/posix/wayland_failure.h"

#include <utility>

namespace platform::wayland {
namespace {

PendingFailure pending;

}  // namespace

void Fail(std::u16string_view description) { pending = {PendingFailure::kRunTime, std::u16string(description)}; }

void FailUnfulfilled(std::u16string_view what) { pending = {PendingFailure::kUnfulfilled, std::u16string(what)}; }

PendingFailure TakeFailure() { return std::exchange(pending, {}); }

}  // namespace platform::wayland
