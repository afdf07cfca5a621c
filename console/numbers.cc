#include "console/numbers.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "console/failure.h"

namespace qcp {
namespace {

bool IsSkipped(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Converts a checked ASCII decimal number (sign, digits, '.', 'e') to a
// double, correctly rounded. Too small gives zero; too large raises Overflow.
double DecimalToDouble(std::vector<char> text) {
  // strtod reads the C library's current decimal point, which a toolkit may
  // have set from the user's locale.
  const char point = *std::localeconv()->decimal_point;
  for (char& c : text) {
    if (c == '.') c = point;
  }
  text.push_back('\0');
  const double value = std::strtod(text.data(), nullptr);
  if (std::isinf(value)) Raise(failures::kOverflow);
  return value;
}

}  // namespace

double NumericValue(std::u16string_view word) {
  std::size_t i = 0;
  const std::size_t n = word.size();
  auto skip = [&] {
    while (i < n && IsSkipped(word[i])) ++i;
  };

  skip();
  if (i < n && word[i] == u'&') {
    ++i;
    skip();
    if (i >= n) return 0;
    int radix = 0;
    if (word[i] == u'H' || word[i] == u'h') radix = 16;
    if (word[i] == u'O' || word[i] == u'o') radix = 8;
    if (radix == 0) return 0;
    ++i;
    double value = 0;
    for (;; ++i) {
      skip();
      if (i >= n) break;
      const int digit = HexDigit(word[i]);
      if (digit < 0 || digit >= radix) break;
      value = value * radix + digit;
    }
    if (std::isinf(value)) Raise(failures::kOverflow);
    return value;
  }

  std::vector<char> text;
  if (i < n && (word[i] == u'+' || word[i] == u'-')) {
    text.push_back(static_cast<char>(word[i++]));
  }
  std::size_t digits = 0;
  bool period = false;
  for (;; ++i) {
    skip();
    if (i >= n) break;
    const char16_t c = word[i];
    if (IsDigit(c)) {
      text.push_back(static_cast<char>(c));
      ++digits;
    } else if (c == u'.' && !period) {
      text.push_back('.');
      period = true;
    } else {
      break;
    }
  }
  if (digits == 0) return 0;

  // The exponent counts only when at least one digit follows its letter.
  skip();
  if (i < n && (word[i] == u'E' || word[i] == u'e' || word[i] == u'D' || word[i] == u'd')) {
    std::size_t j = i + 1;
    std::vector<char> exponent = {'e'};
    while (j < n && IsSkipped(word[j])) ++j;
    if (j < n && (word[j] == u'+' || word[j] == u'-')) exponent.push_back(static_cast<char>(word[j++]));
    bool any = false;
    for (;; ++j) {
      while (j < n && IsSkipped(word[j])) ++j;
      if (j >= n || !IsDigit(word[j])) break;
      exponent.push_back(static_cast<char>(word[j]));
      any = true;
    }
    if (any) text.insert(text.end(), exponent.begin(), exponent.end());
  }
  return DecimalToDouble(text);
}

std::int32_t ToWholeNumber(double value) {
  double whole = std::floor(value);
  const double fraction = value - whole;
  const bool odd = whole != 2.0 * std::floor(whole / 2.0);
  if (fraction > 0.5 || (fraction == 0.5 && odd)) whole += 1.0;
  if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) Raise(failures::kOverflow);
  return static_cast<std::int32_t>(whole);
}

double StrictNumber(std::u16string_view word, char16_t decimal_separator) {
  std::size_t first = 0;
  std::size_t last = word.size();
  while (first < last && (word[first] == u' ' || word[first] == u'\t')) ++first;
  while (last > first && (word[last - 1] == u' ' || word[last - 1] == u'\t')) --last;

  std::vector<char> text;
  std::size_t i = first;
  if (i < last && (word[i] == u'+' || word[i] == u'-')) text.push_back(static_cast<char>(word[i++]));
  std::size_t digits = 0;
  bool separator = false;
  for (; i < last; ++i) {
    const char16_t c = word[i];
    if (IsDigit(c)) {
      text.push_back(static_cast<char>(c));
      ++digits;
    } else if (c == decimal_separator && !separator) {
      text.push_back('.');
      separator = true;
    } else {
      break;
    }
  }
  if (digits == 0) Raise(failures::kTypeMismatch);
  if (i < last && (word[i] == u'E' || word[i] == u'e' || word[i] == u'D' || word[i] == u'd')) {
    text.push_back('e');
    ++i;
    if (i < last && (word[i] == u'+' || word[i] == u'-')) text.push_back(static_cast<char>(word[i++]));
    std::size_t exponent_digits = 0;
    for (; i < last && IsDigit(word[i]); ++i, ++exponent_digits) text.push_back(static_cast<char>(word[i]));
    if (exponent_digits == 0) Raise(failures::kTypeMismatch);
  }
  if (i != last) Raise(failures::kTypeMismatch);
  return DecimalToDouble(text);
}

}  // namespace qcp
