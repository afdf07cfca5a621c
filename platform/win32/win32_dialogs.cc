// Win32 message box: MessageBoxW with no owner window.
#include "platform/win32/win32_common.h"
#include "platform/dialogs.h"

namespace platform {

std::int32_t MessageBox(const std::u16string& text, const std::u16string& title, std::int32_t style) {
  return ::MessageBoxW(nullptr, Wide(text), Wide(title), static_cast<UINT>(style));
}

}  // namespace platform
