#include "platform/fake/fake_console.h"

#include "platform/console.h"
#include "platform/fake/fake_platform.h"

namespace fake {
namespace {

bool native = false;

const Resetter kReset([] { native = false; });

}  // namespace

void UseNativeConsoleConventions() { native = true; }

}  // namespace fake

namespace platform {

std::string_view LineEnd() { return fake::native ? "\n" : "\r\n"; }
bool LoneLfEndsLine() { return fake::native; }
std::u16string_view ProgramNameSuffix() { return fake::native ? u"" : u".exe"; }
bool UnixCommandConventions() { return fake::native; }

}  // namespace platform
