// Scripting of the process snapshot.
#pragma once

#include <cstdint>
#include <string>

namespace fake {

// Appends a process to the next snapshot, in enumeration order. `name` is
// copied into the record without a terminating zero when it fills the field.
void AddProcess(std::uint32_t id, std::u16string name, std::uint32_t threads, std::int32_t priority);

// The next snapshot cannot be taken (INVALID_HANDLE_VALUE).
void FailSnapshot();

}  // namespace fake
