#include "tools/system/mod_shell_execute.h"

#include "platform/shell.h"

namespace Start::modShellExecute {

void ExecuteFile(const std::u16string& strFile, const std::u16string& strParameters, std::int32_t lngOwner,
                 std::int32_t lngShow, const std::u16string& strDirectory, bool blnWait) {
  platform::ShellExecuteInfo record;
  record.mask = platform::kSeeMaskNoCloseProcess;
  // Window handles widen with their sign, as the system's own conversion does.
  record.hwnd = static_cast<platform::Handle>(static_cast<std::intptr_t>(lngOwner));
  record.verb = u"open";
  record.file = strFile;
  record.parameters = strParameters;
  if (!strDirectory.empty()) record.directory = strDirectory;
  record.show = lngShow;
  platform::ShellExecuteEx(record);

  // The shell hands over no process when it fails, or when an application
  // that is already running takes the item over.
  if (record.process == platform::ProcessHandle::kNone) return;
  if (blnWait) {
    platform::WaitForSingleObject(record.process, platform::kInfinite);
    platform::CloseHandle(record.process);
    platform::DoEvents();
    return;
  }
  // Nobody can use the handle once this routine has returned.
  platform::CloseHandle(record.process);
}

}  // namespace Start::modShellExecute
