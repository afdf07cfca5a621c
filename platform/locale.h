// The user's regional number format.
#pragma once

namespace platform {

// The decimal separator of the user's number format (a period or a comma,
// for example), for conversions that follow the user's locale.
char16_t DecimalSeparator();

}  // namespace platform
