// Scripting of the process list.
#pragma once

#include <cstdint>
#include <string>

namespace fake {

// Appends a process to the list, in the system's order; no process means the
// list is empty, as when no snapshot could be taken.
void AddProcess(std::uint32_t id, std::u16string name, std::uint32_t threads, std::int32_t base_priority);

}  // namespace fake
