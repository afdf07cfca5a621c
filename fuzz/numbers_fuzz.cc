// The numeric value against a slow reference reader, and the whole-number
// conversion against the C library's round-half-even.
#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

#include "console/failure.h"
#include "console/numbers.h"
#include "fuzz/fuzz_input.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Outcome {
  bool overflow = false;
  double value = 0;
};

// Blanks, tabs and line feeds count nowhere, so the reference drops them
// first, then matches the longest number form with a regular expression.
Outcome Reference(const std::u16string& word) {
  std::string ascii;
  for (char16_t c : word) {
    if (c == u' ' || c == u'\t' || c == u'\n') continue;
    ascii += c < 0x80 ? static_cast<char>(c) : '\x7f';  // no other character is part of a number
  }
  static const std::regex radix("^&([hH][0-9a-fA-F]*|[oO][0-7]*)");
  static const std::regex decimal("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eEdD][+-]?[0-9]+)?");
  std::smatch match;
  Outcome outcome;
  if (std::regex_search(ascii, match, radix)) {
    const std::string digits = match.str(1).substr(1);
    const int base = (match.str(1)[0] | 0x20) == 'h' ? 16 : 8;
    long double value = 0;
    for (char d : digits) value = value * base + std::stoi(std::string(1, d), nullptr, 16);
    outcome.value = static_cast<double>(value);
    outcome.overflow = std::isinf(outcome.value);
    return outcome;
  }
  if (!ascii.empty() && ascii[0] == '&') return outcome;
  if (!std::regex_search(ascii, match, decimal)) return outcome;
  std::string number = match.str(0);
  for (char& c : number) {
    if (c == 'd' || c == 'D') c = 'e';
  }
  outcome.value = std::strtod(number.c_str(), nullptr);
  outcome.overflow = std::isinf(outcome.value);
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string word = TextFromAlphabet(data, size, u"0123456789.+-eEdD&hHoOfF \t\n,x9");
  Outcome actual;
  try {
    actual.value = qcp::NumericValue(word);
  } catch (const qcp::Failure&) {
    actual.overflow = true;
  }
  const Outcome expected = Reference(word);
  Check(actual.overflow == expected.overflow);
  if (!actual.overflow) {
    // Long hexadecimal and octal runs round at each step; they stay within a
    // few units in the last place of the exact value.
    const double tolerance = std::fabs(expected.value) * 1e-15;
    Check(actual.value == expected.value || std::fabs(actual.value - expected.value) <= tolerance);

    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(actual.value);
    const bool fits = rounded >= -2147483648.0 && rounded <= 2147483647.0;
    try {
      const std::int32_t whole = qcp::ToWholeNumber(actual.value);
      Check(fits && whole == static_cast<std::int32_t>(rounded));
    } catch (const qcp::Failure&) {
      Check(!fits);
    }
  }
  return 0;
}
