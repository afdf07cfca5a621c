// Numbers from words: the lenient numeric value, the whole-number conversion
// and the strict conversion.
#pragma once

#include <cstdint>
#include <string_view>

namespace qcp {

// The value of the longest leading part of `word` that reads as a number;
// 0 when there is none. Blanks, tabs and line feeds are skipped anywhere.
// Forms: [sign] digits [. digits] [E|D [sign] digits], &H hex, &O octal.
// The decimal point is always a period. Raises Overflow beyond the double range.
double NumericValue(std::u16string_view word);

// Round to the nearest integer, halves to the even one. Raises Overflow
// outside the signed 32-bit range.
std::int32_t ToWholeNumber(double value);

// The whole word must be a number written with `decimal_separator`
// (surrounding blanks allowed). Raises Type mismatch, or Overflow beyond the
// double range.
double StrictNumber(std::u16string_view word, char16_t decimal_separator);

}  // namespace qcp
