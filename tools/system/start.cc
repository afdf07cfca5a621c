// Start: opens a program, document or URL with the application its type belongs to.
#include "console/command_line.h"
#include "console/help.h"
#include "console/std_output.h"
#include "platform/shell.h"
#include "tools/system/mod_shell_execute.h"

namespace Start::modStartup {

qcp::StdOutput objOutput;

void ShowUsage() {
  qcp::PrintHelpScreen(objOutput, {
      u"    Start.exe <mode> <filename>",
      u"",
      u"    Sarts the specified application or file.",
      u"",
      u"      Mode: 0 = default.",
  });
}

void Main() {
  const std::u16string command_line = qcp::CleanCommandLine(qcp::CommandTail());
  objOutput = qcp::StdOutput();
  if (qcp::SplitWords(command_line).size() < 2) {  // an empty command line is one empty word
    ShowUsage();
    return;
  }
  // The mode word must be there but is not read: every mode is the default.
  // The name is everything after the first blank, doubled blanks and all.
  const std::u16string file_name = qcp::TextAfterFirstBlank(command_line);
  modShellExecute::ExecuteFile(file_name, u"", 0, platform::kSwShowNormal, u"", false);
}

}  // namespace Start::modStartup
