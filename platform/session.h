// The user's session: lock it, or end it. Both raise unfulfilled when the
// session manager cannot be reached or refuses.
#pragma once

namespace platform {

// Starts the lock of the session and returns at once.
void LockSession();

// Logs the user off at once: applications are closed without being asked.
void EndSession();

}  // namespace platform
