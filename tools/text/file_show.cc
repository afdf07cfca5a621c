// FileShow: lists a text file on standard output, one line at a time.
#include <cstdint>
#include <new>
#include <string>
#include <string_view>

#include "console/command_line.h"
#include "console/failure.h"
#include "platform/console.h"
#include "platform/files.h"
#include "tools/entry.h"
#include "tools/std_output.h"
#include "tools/text/line_reader.h"

namespace file_show {

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

qcp::Status ShowError(qcp::IPrintTarget& out, std::u16string_view description) {
  std::u16string line = u"ERROR! ";
  line += description;
  line += u'.';
  qcp::PrintLine(out, line);
  return qcp::Status::kFailed;
}

}  // namespace

constexpr std::u16string_view kHelp[] = {
    u"    FileShow.exe <filename.txt|bat|ini|etc>",
    u"",
    u"    Pass the filename of the text file to display.",
    u"    Press CTRL+C to interrupt listing.",
};

qcp::Status Main(std::u16string_view tail, qcp::IPrintTarget& out) {
  try {
    const std::u16string file_name(tail);
    const std::string_view line_end = platform::LineEnd();
    OpenFile file(file_name);
    // Windows keeps a lone LF inside its line; natively it ends one, as it
    // does for every other program there.
    const auto rule = platform::LoneLfEndsLine() ? qcp::LineReader::Rule::kCrLfCrOrLf
                                                 : qcp::LineReader::Rule::kCrLfOrCr;
    qcp::LineReader reader(file, rule, line_end);
    // The bytes of each line go out unchanged, with the writer's line end,
    // in one write per read: a line is out as soon as the read that completed
    // it, so an interrupted listing keeps it, and a pipe streams line by line.
    std::string_view text;
    bool ends_line = false;
    while (reader.Next(text, ends_line)) {
      out.WriteBytes(text, ends_line ? line_end : std::string_view());
      // A line longer than the column can count (2 GiB without an end) must
      // not end the listing with an overflow; a raw listing keeps no column.
      if (!ends_line) out.Column(0);
      // Nothing more can reach a reader that has gone, nor a full disk.
      if (platform::StdOutFailed()) break;
    }
    return qcp::Status::kDone;
  } catch (const qcp::Failure& failure) {
    return ShowError(out, failure.Description());
  } catch (const std::bad_alloc&) {
    return ShowError(out, qcp::failures::kOutOfMemory);
  }
}

}  // namespace file_show

namespace qcp::entries {
// FileShow, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: files
//   Sources: line_reader.cc
//   Description: Lists a text file on standard output
//   About: Prints a file line by line (CR LF and lone CR end lines, on Linux a lone LF too).
//   Example: FileShow notes.txt > copy.txt
//   Example: FileShow notes.txt || echo "FileShow failed with status $?"
//   Batch example: FileShow.exe C:\Logs\today.log
//   Synopsis: file
//   Pack page: Prints every line of a file, one at a time.
//     CR LF, a lone CR and a lone LF end a line (on Windows a lone LF stays
//     inside it).
//     The bytes of each line are written unchanged, each line followed by the
//     platform's line end, also a last line that had none.
extern const ToolEntry kFileShow{u"FileShow", file_show::kHelp, HelpRule::kEmptyTail, true, &file_show::Main};
}  // namespace qcp::entries
