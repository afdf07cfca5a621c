// FileShow: lists a text file on standard output, one line at a time.
#include <new>
#include <string>

#include "console/command_line.h"
#include "console/failure.h"
#include "console/help.h"
#include "console/std_output.h"
#include "platform/files.h"
#include "tools/text/line_reader.h"

namespace FileShow::modStartup {

qcp::StdOutput objOutput;

namespace {

class OpenFile final : public qcp::LineReader::Source {
 public:
  explicit OpenFile(const std::u16string& name) : handle_(platform::OpenFileForReading(name)) {}
  ~OpenFile() { platform::CloseFile(handle_); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override {
    return platform::ReadFromFile(handle_, buffer, size);
  }

 private:
  platform::FileHandle handle_;
};

void ShowUsage() {
  qcp::PrintHelpScreen(objOutput, {
      u"    FileShow.exe <filename.txt|bat|ini|etc>",
      u"",
      u"    Pass the filename of the text file to display.",
      u"    Press CTRL+C to interrupt listing.",
  });
}

void ShowError(std::u16string_view description) {
  std::u16string line = u"ERROR! ";
  line += description;
  line += u'.';
  qcp::PrintLine(objOutput, line);
}

}  // namespace

void Main() {
  try {
    const std::u16string file_name = qcp::CleanCommandLine(qcp::CommandTail());
    objOutput = qcp::StdOutput();
    if (file_name.empty()) {
      ShowUsage();
      return;
    }
    OpenFile file(file_name);
    qcp::LineReader reader(file);
    // The bytes of each line go out unchanged, in one write with their CR LF,
    // as soon as the line is complete: an interrupted listing keeps them all.
    std::string_view line;
    while (reader.NextLine(line)) qcp::PrintLineBytes(objOutput, line);
  } catch (const qcp::Failure& failure) {
    ShowError(failure.Description());
  } catch (const std::bad_alloc&) {
    ShowError(qcp::failures::kOutOfMemory);
  }
}

}  // namespace FileShow::modStartup
