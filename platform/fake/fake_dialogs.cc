#include "platform/fake/fake_dialogs.h"

#include <string>

#include "platform/dialogs.h"
#include "platform/fake/fake_platform.h"

namespace fake {
namespace {
void (*while_shown)() = nullptr;
const Resetter reset_dialogs([] { while_shown = nullptr; });

const char* IconName(platform::MessageIcon icon) {
  switch (icon) {
    case platform::MessageIcon::kInformation: return "information";
    case platform::MessageIcon::kQuestion: return "question";
    case platform::MessageIcon::kWarning: return "warning";
    case platform::MessageIcon::kError: return "error";
    case platform::MessageIcon::kNone: break;
  }
  return "no icon";
}
}  // namespace

void WhileMessageBoxShown(void (*action)()) { while_shown = action; }

}  // namespace fake

namespace platform {

void ShowMessageBox(const std::u16string& text, const std::u16string& title, MessageIcon icon) {
  fake::Record("MessageBox(\"" + fake::Narrow(text) + "\", \"" + fake::Narrow(title) + "\", " +
               fake::IconName(icon) + ")");
  if (fake::while_shown != nullptr) fake::while_shown();
}

}  // namespace platform
