#include "platform/fake/fake_dialogs.h"

#include <string>

#include "platform/dialogs.h"
#include "platform/fake/fake_platform.h"

namespace fake {
namespace {
std::int32_t answer = 1;
void (*while_shown)() = nullptr;
const Resetter reset_dialogs([] {
  answer = 1;
  while_shown = nullptr;
});
}  // namespace

void SetMessageBoxAnswer(std::int32_t value) { answer = value; }
void WhileMessageBoxShown(void (*action)()) { while_shown = action; }

}  // namespace fake

namespace platform {

std::int32_t MessageBox(const std::u16string& text, const std::u16string& title, std::int32_t style) {
  fake::Record("MessageBox(\"" + fake::Narrow(text) + "\", \"" + fake::Narrow(title) + "\", " +
               std::to_string(style) + ")");
  if (fake::while_shown != nullptr) fake::while_shown();
  return fake::answer;
}

}  // namespace platform
