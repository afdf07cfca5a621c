#include "platform/fake/fake_platform.h"
#include "platform/session.h"

namespace platform {

void LockSession() { fake::Record(fake::LockSessionCall{}); }

void EndSession() { fake::Record(fake::EndSessionCall{}); }

}  // namespace platform
