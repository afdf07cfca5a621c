// Backend side of the message loop: windows count themselves in and out.
#pragma once

namespace platform {

void WindowOpened();
// The last window closing ends the message loop.
void WindowClosed();

}  // namespace platform
