// The running processes, one record at a time from a snapshot.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// A snapshot as a plain integer; kInvalidHandleValue when none could be taken.
using SnapshotHandle = std::uintptr_t;
inline constexpr SnapshotHandle kInvalidHandleValue = static_cast<SnapshotHandle>(-1);

inline constexpr std::uint32_t kTh32csSnapProcess = 2;
inline constexpr std::size_t kMaxPath = 260;

// One process, laid out as the Windows record of its kind. The caller sets
// dwSize to sizeof(ProcessEntry) before the first call.
struct ProcessEntry {
  std::uint32_t dwSize;
  std::uint32_t cntUsage;
  std::uint32_t th32ProcessID;
  std::uintptr_t th32DefaultHeapID;
  std::uint32_t th32ModuleID;
  std::uint32_t cntThreads;
  std::uint32_t th32ParentProcessID;
  std::int32_t pcPriClassBase;  // 8 is normal priority
  std::uint32_t dwFlags;
  char16_t szExeFile[kMaxPath];  // the executable's file name, zero-terminated
};

SnapshotHandle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t process_id);

// Fill `entry` with the first or the next process; false when there is none
// (or the handle or the entry's size is wrong).
bool Process32First(SnapshotHandle snapshot, ProcessEntry& entry);
bool Process32Next(SnapshotHandle snapshot, ProcessEntry& entry);

bool CloseHandle(SnapshotHandle handle);

}  // namespace platform
