// The running processes, as rows of what the process table shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ProcessRow {
  std::uint32_t id = 0;
  std::u16string name;  // the executable's file name
  std::uint32_t threads = 0;
  std::int32_t base_priority = 0;  // 8 is normal priority
};

// Every process in the system's own order; empty when no snapshot could be
// taken. Natively, no list to take raises unfulfilled.
std::vector<ProcessRow> ListProcesses();

}  // namespace platform
