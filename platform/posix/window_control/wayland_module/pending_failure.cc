// Failures the Wayland module keeps for the program to raise.
#include "platform/posix/window_control/wayland_module/pending_failure.h"

#include <utility>

namespace platform::wayland {
namespace {

PendingFailure pending;

}  // namespace

void Fail(std::u16string_view description) { pending = {PendingFailure::kRunTime, std::u16string(description)}; }

void FailUnfulfilled(std::u16string_view what) { pending = {PendingFailure::kUnfulfilled, std::u16string(what)}; }

PendingFailure TakeFailure() { return std::exchange(pending, {}); }

}  // namespace platform::wayland
