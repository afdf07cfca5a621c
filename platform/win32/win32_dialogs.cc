// Win32 message box: MessageBoxW with no owner window, one OK button.
#include "platform/win32/win32_common.h"

#include "platform/dialogs.h"

namespace platform {
namespace {

UINT StyleOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation: return MB_OK | MB_ICONASTERISK;
    case MessageIcon::kQuestion: return MB_OK | MB_ICONQUESTION;
    case MessageIcon::kWarning: return MB_OK | MB_ICONEXCLAMATION;
    case MessageIcon::kError: return MB_OK | MB_ICONHAND;
    case MessageIcon::kNone: break;
  }
  return MB_OK;
}

}  // namespace

void ShowMessageBox(const std::u16string& text, const std::u16string& title, MessageIcon icon) {
  ::MessageBoxW(nullptr, Wide(text), Wide(title), StyleOf(icon));
}

}  // namespace platform
