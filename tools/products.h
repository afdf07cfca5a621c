// The names the pack's programs go by: the pack's own, and that of the one
// tool sold under a name of its own. The version resources take them from
// here too (cmake/qcp_tool.cmake reads this file).
#pragma once

#include <string_view>

namespace qcp {

inline constexpr std::u16string_view kPackProduct = u"Quorvex Command Pack";
inline constexpr std::u16string_view kPackWebAddress = u"https://www.quorvex.com";
// NoticeShow's boxes carry it as their title.
inline constexpr std::u16string_view kPingnoteProduct = u"Pingnote";

}  // namespace qcp
