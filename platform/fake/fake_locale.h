// Scripting of the user's number format.
#pragma once

namespace fake {

// The decimal separator DecimalSeparator() reports (a period unless set).
void SetDecimalSeparator(char16_t separator);

}  // namespace fake
