#include "platform/fake/fake_dialogs.h"

#include "platform/dialogs.h"
#include "platform/fake/fake_platform.h"

namespace fake {
namespace {
void (*while_shown)() = nullptr;
const Resetter reset_dialogs([] { while_shown = nullptr; });
}  // namespace

void WhileMessageBoxShown(void (*action)()) { while_shown = action; }

}  // namespace fake

namespace platform {

void ShowMessageBox(const std::u16string& text, const std::u16string& title, MessageIcon icon) {
  fake::Record(fake::ShowMessageBoxCall{text, title, icon});
  if (fake::while_shown != nullptr) fake::while_shown();
}

}  // namespace platform
