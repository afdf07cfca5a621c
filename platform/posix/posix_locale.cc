// POSIX locale: the decimal point of the user's LC_NUMERIC.
#include <clocale>
#include <string_view>

#include "console/utf.h"
#include "platform/locale.h"

namespace platform {

char16_t DecimalSeparator() {
  // The conversions read numbers in this locale from here on.
  std::setlocale(LC_NUMERIC, "");
  const char* point = std::localeconv()->decimal_point;
  const std::u16string separator = qcp::Utf16FromUtf8(point == nullptr ? "" : point);
  // A separator of more than one UTF-16 unit cannot be typed as one character.
  return separator.size() == 1 ? separator[0] : u'.';
}

}  // namespace platform
