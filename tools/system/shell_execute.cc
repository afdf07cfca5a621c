#include "tools/system/shell_execute.h"

#include "platform/shell.h"

namespace start {

void ExecuteFile(const std::u16string& file, const std::u16string& parameters, std::int32_t owner,
                 std::int32_t show, const std::u16string& directory, bool wait) {
  platform::ShellExecuteInfo record;
  record.mask = platform::kSeeMaskNoCloseProcess;
  // Window handles widen with their sign, as the system's own conversion does.
  record.hwnd = static_cast<platform::Handle>(static_cast<std::intptr_t>(owner));
  record.verb = u"open";
  record.file = file;
  record.parameters = parameters;
  if (!directory.empty()) record.directory = directory;
  record.show = show;
  platform::ShellExecuteEx(record);

  // The shell hands over no process when it fails, or when an application
  // that is already running takes the item over.
  if (record.process == platform::ProcessHandle::kNone) return;
  if (wait) {
    platform::WaitForSingleObject(record.process, platform::kInfinite);
    platform::CloseHandle(record.process);
    platform::DoEvents();
    return;
  }
  // Nobody can use the handle once this routine has returned.
  platform::CloseHandle(record.process);
}

}  // namespace start
