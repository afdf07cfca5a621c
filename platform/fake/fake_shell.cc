#include "platform/fake/fake_shell.h"

#include <string>

#include "platform/fake/fake_platform.h"
#include "platform/shell.h"

namespace fake {
namespace {

platform::ProcessHandle next_process = platform::ProcessHandle::kNone;
std::vector<platform::ShellExecuteInfo> records;
const Resetter reset_shell([] {
  next_process = platform::ProcessHandle::kNone;
  records.clear();
});

std::string Quoted(const std::u16string& text) {
  std::string quoted(1, '"');
  quoted += Narrow(text);
  quoted += '"';
  return quoted;
}
}  // namespace

void SetShellProcess(platform::ProcessHandle process) { next_process = process; }
const std::vector<platform::ShellExecuteInfo>& ShellExecuteRecords() { return records; }
}  // namespace fake

namespace platform {

std::int32_t SHEmptyRecycleBin(Handle owner, const std::u16string& root, std::uint32_t flags) {
  fake::Record("SHEmptyRecycleBin(" + fake::Hex(owner) + ", " + fake::Quoted(root) + ", " + std::to_string(flags) +
               ")");
  return 0;
}

bool ShellExecuteEx(ShellExecuteInfo& info) {
  fake::records.push_back(info);
  fake::Record("ShellExecuteEx(" + fake::Quoted(info.file) + ")");
  info.inst_app = 42;  // above 32: success
  info.process = (info.mask & kSeeMaskNoCloseProcess) != 0 ? fake::next_process : ProcessHandle::kNone;
  return true;
}

std::uint32_t WaitForSingleObject(ProcessHandle handle, std::uint32_t milliseconds) {
  fake::Record("WaitForSingleObject(" + fake::Hex(static_cast<std::uintptr_t>(handle)) + ", " + fake::Hex(milliseconds) + ")");
  return kWaitObject0;
}

bool CloseHandle(ProcessHandle handle) {
  fake::Record("CloseHandle(" + fake::Hex(static_cast<std::uintptr_t>(handle)) + ")");
  return true;
}

void DoEvents() { fake::Record("DoEvents"); }
}  // namespace platform
