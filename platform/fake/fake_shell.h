// Scripting of the shell: the process the next shell-execute hands back, and
// the records it was given.
#pragma once

#include <vector>

#include "platform/shell.h"

namespace fake {

// The process handle ShellExecuteEx fills in when the mask asks for it (0 unless set).
void SetShellProcess(platform::ProcessHandle process);

// Every record ShellExecuteEx was called with, as it was passed in.
const std::vector<platform::ShellExecuteInfo>& ShellExecuteRecords();

}  // namespace fake
