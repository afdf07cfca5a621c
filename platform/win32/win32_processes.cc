// Win32 processes: the Toolhelp snapshot, through the wide record of the
// build's own size (PROCESSENTRY32W is 556 bytes in 32-bit builds and 568 in
// 64-bit ones).
#include "platform/win32/win32_common.h"

#include <tlhelp32.h>

#include <cstddef>
#include <cstring>

#include "platform/processes.h"

#undef Process32First
#undef Process32Next

namespace platform {
namespace {

// The tools' record is the wide record field for field, so it is copied whole.
static_assert(sizeof(ProcessEntry) == sizeof(PROCESSENTRY32W));
static_assert(offsetof(ProcessEntry, th32DefaultHeapID) == offsetof(PROCESSENTRY32W, th32DefaultHeapID));
static_assert(offsetof(ProcessEntry, cntThreads) == offsetof(PROCESSENTRY32W, cntThreads));
static_assert(offsetof(ProcessEntry, pcPriClassBase) == offsetof(PROCESSENTRY32W, pcPriClassBase));
static_assert(offsetof(ProcessEntry, szExeFile) == offsetof(PROCESSENTRY32W, szExeFile));

HANDLE ToHandle(SnapshotHandle handle) { return reinterpret_cast<HANDLE>(handle); }

template <typename Next>
bool Enumerate(SnapshotHandle snapshot, ProcessEntry& entry, Next next) {
  PROCESSENTRY32W record;
  std::memcpy(&record, &entry, sizeof record);
  const BOOL found = next(ToHandle(snapshot), &record);
  std::memcpy(&entry, &record, sizeof record);
  return found != FALSE;
}

}  // namespace

SnapshotHandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t process_id) {
  return reinterpret_cast<SnapshotHandle>(::CreateToolhelp32Snapshot(flags, process_id));
}

bool Process32First(SnapshotHandle snapshot, ProcessEntry& entry) {
  return Enumerate(snapshot, entry, ::Process32FirstW);
}

bool Process32Next(SnapshotHandle snapshot, ProcessEntry& entry) {
  return Enumerate(snapshot, entry, ::Process32NextW);
}

bool CloseHandle(SnapshotHandle handle) { return ::CloseHandle(ToHandle(handle)) != FALSE; }

}  // namespace platform
