#include "platform/fake/fake_processes.h"

#include <utility>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/processes.h"

namespace fake {
namespace {

std::vector<platform::ProcessRow> processes;
const Resetter reset_processes([] { processes.clear(); });

}  // namespace

void AddProcess(std::uint32_t id, std::u16string name, std::uint32_t threads, std::int32_t base_priority) {
  processes.push_back({id, std::move(name), threads, base_priority});
}

}  // namespace fake

namespace platform {

std::vector<ProcessRow> ListProcesses() {
  fake::Record(fake::ListProcessesCall{});
  return fake::processes;
}

}  // namespace platform
