// Case-blind comparison of text such as window captions, as Windows compares
// them: Unicode simple case folding, one UTF-16 unit to one.
#pragma once

#include <string>
#include <string_view>

namespace qcp {

// The simple case folding of one character of the Basic Multilingual Plane
// ('A' -> 'a', 'Ω' -> 'ω', 'Ж' -> 'ж', 'ς' -> 'σ'); others, surrogates
// included, fold to themselves.
char16_t SimpleCaseFold(char16_t c);
std::u16string SimpleCaseFold(std::u16string_view text);

// Whether the two texts are equal once each is folded.
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace qcp
