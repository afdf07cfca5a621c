// Win32 processes: the Toolhelp snapshot, through the wide record of the
// build's own size (PROCESSENTRY32W is 556 bytes in 32-bit builds and 568 in
// 64-bit ones).
#include "platform/win32/win32_common.h"

#include <tlhelp32.h>

#include <string_view>

#include "platform/processes.h"

namespace platform {

std::vector<ProcessRow> ListProcesses() {
  std::vector<ProcessRow> rows;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  BOOL found = ::Process32FirstW(snapshot, &entry);
  while (found != FALSE) {
    // The name ends at its zero, or at the end of the field should it have none.
    const std::u16string_view field(reinterpret_cast<const char16_t*>(entry.szExeFile), MAX_PATH);
    rows.push_back({entry.th32ProcessID, std::u16string(field.substr(0, field.find(u'\0'))), entry.cntThreads,
                    entry.pcPriClassBase});
    found = ::Process32NextW(snapshot, &entry);
  }
  ::CloseHandle(snapshot);
  return rows;
}

}  // namespace platform
