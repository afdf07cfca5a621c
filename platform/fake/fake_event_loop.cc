// The fake has no loop: tests deliver window events themselves.
#include "platform/event_loop.h"
#include "platform/fake/fake_platform.h"

namespace platform {

void RunMessageLoop() { fake::Record(fake::RunMessageLoopCall{}); }

}  // namespace platform
