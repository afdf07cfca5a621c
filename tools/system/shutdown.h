// Ending the user's session with the shutdown privilege enabled.
#pragma once

#include <cstdint>

namespace session_end {

// Enables the shutdown privilege in this process's token; every step runs
// whatever the one before returned, and nothing is reported.
void EnableShutdownPrivilege();

// Enables the privilege, then asks the system to end the session with `flags`.
void ShutdownWindows(std::int32_t flags);

// A forced log-off: applications are closed without being asked.
void LogUserOff();

}  // namespace session_end
