// Start: opens a program, document or URL with the application its type belongs to.
#include "console/command_line.h"
#include "tools/entry.h"
#include "tools/std_output.h"
#include "tools/system/shell_execute.h"

namespace start {

// "Sarts" is the system's own text, typo and all: it stays as it is.
constexpr std::u16string_view kHelp[] = {
    u"    Start.exe <mode> <filename>",
    u"",
    u"    Sarts the specified application or file.",
    u"",
    u"      Mode: 0 = default.",
};

qcp::Status Main(std::u16string_view tail, qcp::IPrintTarget&) {
  // The mode word must be there but is not read: every mode is the default.
  // The name is everything after the first blank, doubled blanks and all.
  const std::u16string file_name = qcp::TextAfterFirstBlank(tail);
  ExecuteFile(file_name, u"", WindowShow::kNormal, u"", false);
  return qcp::Status::kDone;
}

}  // namespace start

namespace qcp::entries {
// Start, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: open
//   Sources: shell_execute.cc
//   Description: Opens a program, document or URL
//   About: Opens a program, document or address as a double-click would, without waiting. Mode 0.
//   Example: Start 0 ~/Reports/May 2026.txt
//   Batch example: Start.exe 0 C:\Reports\May 2026.txt
//   Synopsis: mode name
//   Pack page: Starts
//     .I name
//     if it is an executable file (a path, or a name found on
//     .BR $PATH ),
//     otherwise opens it (a document or an address) with the user's default
//     application.
//     It does not wait.
//     .I mode
//     must be given and is not read; 0 is the documented value.
extern const ToolEntry kStart{u"Start", start::kHelp, HelpRule::kFewerThanTwoWords, true, &start::Main};
}  // namespace qcp::entries
