#include "platform/fake/fake_processes.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "platform/processes.h"

namespace fake {
namespace {

struct Process {
  std::uint32_t id;
  std::u16string name;
  std::uint32_t threads;
  std::int32_t priority;
};

struct Table {
  std::vector<Process> processes;
  bool fail = false;
  std::size_t next = 0;  // the record Process32Next hands out
};

constexpr platform::SnapshotHandle kSnapshot = 0x5a0;

Table table;
const Resetter reset_processes([] { table = Table{}; });

bool Fill(platform::ProcessEntry& entry) {
  if (table.next >= table.processes.size()) return false;
  const Process& process = table.processes[table.next++];
  // Only the fields the platform fills; what the caller left elsewhere stays.
  entry.cntUsage = 0;
  entry.th32ProcessID = process.id;
  entry.cntThreads = process.threads;
  entry.th32ParentProcessID = 0;
  entry.pcPriClassBase = process.priority;
  const std::size_t length = std::min(process.name.size(), platform::kMaxPath);
  std::copy_n(process.name.begin(), length, entry.szExeFile);
  if (length < platform::kMaxPath) entry.szExeFile[length] = u'\0';
  return true;
}

bool Valid(platform::SnapshotHandle snapshot, const platform::ProcessEntry& entry) {
  return snapshot == kSnapshot && !table.fail && entry.dwSize == sizeof(platform::ProcessEntry);
}

}  // namespace

void AddProcess(std::uint32_t id, std::u16string name, std::uint32_t threads, std::int32_t priority) {
  table.processes.push_back({id, std::move(name), threads, priority});
}

void FailSnapshot() { table.fail = true; }

}  // namespace fake

namespace platform {

SnapshotHandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t process_id) {
  fake::Record("CreateToolhelp32Snapshot(" + std::to_string(flags) + ", " + std::to_string(process_id) + ")");
  return fake::table.fail ? kInvalidHandleValue : fake::kSnapshot;
}

bool Process32First(SnapshotHandle snapshot, ProcessEntry& entry) {
  fake::Record("Process32First(size " + std::to_string(entry.dwSize) + ")");
  fake::table.next = 0;
  return fake::Valid(snapshot, entry) && fake::Fill(entry);
}

bool Process32Next(SnapshotHandle snapshot, ProcessEntry& entry) {
  fake::Record("Process32Next");
  return fake::Valid(snapshot, entry) && fake::Fill(entry);
}

bool CloseHandle(SnapshotHandle handle) {
  fake::Record("CloseHandle(" + std::to_string(static_cast<std::intptr_t>(handle)) + ")");
  return handle == fake::kSnapshot;
}

}  // namespace platform
