// Win32 locale: the user's decimal separator from the regional settings.
#include "platform/win32/win32_common.h"
#include "platform/locale.h"

namespace platform {

char16_t DecimalSeparator() {
  wchar_t separator[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) < 2) return u'.';
  return static_cast<char16_t>(separator[0]);
}

}  // namespace platform
