// Backend side of the message loop: windows count themselves in and out.
#pragma once

#include <string>

namespace platform {

void WindowOpened();
// The last window closing ends the message loop.
void WindowClosed();

// A failure met inside the loop, where nothing may be thrown: the loop
// raises it as unfulfilled once it has returned. The first one is kept.
void FailAfterLoop(std::u16string what);

}  // namespace platform
