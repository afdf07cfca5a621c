// The window message loop of the tools that live on in a window of their own.
#pragma once

namespace platform {

// Delivers window events until the last window of the program has been
// unloaded; returns at once when no window is open.
void RunMessageLoop();

}  // namespace platform
