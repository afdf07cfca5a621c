#include "platform/fake/fake_platform.h"
#include "platform/session.h"

namespace platform {

void LockSession() { fake::Record("LockSession"); }

void EndSession() { fake::Record("EndSession"); }

}  // namespace platform
