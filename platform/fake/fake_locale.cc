#include "platform/fake/fake_locale.h"

#include "platform/fake/fake_platform.h"
#include "platform/locale.h"

namespace fake {
namespace {
char16_t decimal_separator = u'.';
const Resetter reset_locale([] { decimal_separator = u'.'; });
}  // namespace

void SetDecimalSeparator(char16_t separator) { decimal_separator = separator; }

}  // namespace fake

namespace platform {

char16_t DecimalSeparator() { return fake::decimal_separator; }

}  // namespace platform
