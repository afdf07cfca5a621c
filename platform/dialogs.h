// The standard message box.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Style values: one OK button, and the icon.
inline constexpr std::int32_t kMbOk = 0;
inline constexpr std::int32_t kMbIconHand = 0x10;
inline constexpr std::int32_t kMbIconQuestion = 0x20;
inline constexpr std::int32_t kMbIconExclamation = 0x30;
inline constexpr std::int32_t kMbIconAsterisk = 0x40;

// Shows the box with no owner window and returns when the user has closed
// it, with the button's answer. Raises a run-time failure when no box can
// be shown at all (no display).
std::int32_t MessageBox(const std::u16string& text, const std::u16string& title, std::int32_t style);

}  // namespace platform
