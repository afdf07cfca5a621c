// Runs a tool's Main in-process against the fake platform.
#pragma once

#include <string>
#include <string_view>

#include "platform/fake/fake_platform.h"
#include "tools/entry.h"
#include "tools/std_output.h"

// Declares the entry a tool file defines: QCP_TOOL_UNDER_TEST(PaneShut).
#define QCP_TOOL_UNDER_TEST(tool)      \
  namespace qcp::entries {             \
  extern const qcp::ToolEntry k##tool; \
  }

namespace qcp_test {

// Runs the tool with `tail` and a fresh writer, as the entry does (help
// rule, cleaning, Main), on the fake as it stands. As in a real run the
// writer outlives Main, for the events a test delivers afterwards.
inline qcp::Status Call(const qcp::ToolEntry& tool, std::u16string_view tail) {
  static qcp::StdOutput out;
  out = qcp::StdOutput();
  return qcp::RunTail(tool, tail, out);
}

// Resets the fake, runs the tool with `tail` and returns what it wrote to
// standard output.
inline std::string RunMain(const qcp::ToolEntry& tool, std::u16string_view tail) {
  fake::Reset();
  Call(tool, tail);
  return fake::StdOut();
}

// Keeps what is printed to it, leaving the fake's standard output alone.
class Capture final : public qcp::IPrintTarget {
 public:
  void WriteText(std::u16string_view text) override {
    column_ = qcp::ColumnAfter(column_, text);
    text_ += fake::Narrow(text);
  }
  void Column(std::int32_t new_column) override { column_ = new_column; }
  std::int32_t Column() const override { return column_; }
  void WriteBytes(std::string_view bytes, std::string_view more) override {
    column_ = qcp::ColumnAfter(column_, bytes, more);
    text_.append(bytes).append(more);
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  std::int32_t column_ = 0;
};

// What a tool's help screen writes, for checking when a tool shows it; the
// bytes themselves are checked end to end.
inline std::string Usage(const qcp::ToolEntry& tool) {
  Capture out;
  qcp::PrintToolHelp(tool, out);
  return out.Text();
}

}  // namespace qcp_test
