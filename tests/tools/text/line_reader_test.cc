#include "tools/text/line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using Rule = qcp::LineReader::Rule;
using namespace std::string_literals;

// Hands out `text` in pieces of at most `chunk` bytes, and calls `on_read`
// with how much it has handed out before each read.
class TextSource final : public qcp::LineReader::Source {
 public:
  TextSource(std::string text, std::size_t chunk) : text_(std::move(text)), chunk_(chunk) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    if (on_read) on_read(position_);
    ++reads_;
    const std::size_t count = std::min({size, chunk_, text_.size() - position_});
    std::memcpy(buffer, text_.data() + position_, count);
    position_ += count;
    return count;
  }

  int reads() const { return reads_; }
  std::function<void(std::size_t)> on_read;

 private:
  std::string text_;
  std::size_t chunk_;
  std::size_t position_ = 0;
  int reads_ = 0;
};

struct Output {
  std::string bytes;
  int stretches = 0;
};

Output ReadAll(qcp::LineReader& reader, std::string_view line_end) {
  Output out;
  std::string_view text;
  bool ends_line = false;
  while (reader.Next(text, ends_line)) {
    out.bytes.append(text);
    if (ends_line) out.bytes.append(line_end);
    ++out.stretches;
  }
  EXPECT_FALSE(reader.Next(text, ends_line));
  return out;
}

std::string Joined(const Lines& lines, std::string_view line_end) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append(line_end);
  return text;
}

struct Case {
  std::string text;
  Lines windows;  // CR LF and a lone CR end a line
  Lines native;   // a lone LF too
};

const Case kCases[] = {
    {"", {}, {}},
    {"a\r\nb", {"a", "b"}, {"a", "b"}},
    {"a\r\nb\r\n", {"a", "b"}, {"a", "b"}},
    {"a\r\n\r\n", {"a", ""}, {"a", ""}},
    {"a\rb", {"a", "b"}, {"a", "b"}},
    {"a\nb\n", {"a\nb\n"}, {"a", "b"}},
    {"a\nb", {"a\nb"}, {"a", "b"}},
    {"\n", {"\n"}, {""}},
    {"\n\n", {"\n\n"}, {"", ""}},
    {"\r\n", {""}, {""}},
    {"\r", {""}, {""}},
    {"\r\r\n", {"", ""}, {"", ""}},
    {"\n\r", {"\n"}, {"", ""}},
    {"a\r\n\r", {"a", ""}, {"a", ""}},
    {"a\r\n\nb", {"a", "\nb"}, {"a", "", "b"}},
    {"a\n\r\nb\r\r", {"a\n", "b", ""}, {"a", "", "b", ""}},
    {"a\0b\r\n\0"s, {"a\0b"s, "\0"s}, {"a\0b"s, "\0"s}},
    {"\xff\xfe\x1a\r\n\x80", {"\xff\xfe\x1a", "\x80"}, {"\xff\xfe\x1a", "\x80"}},
    {"long line\r\nx\r\n\r\nyz\rq\n\n", {"long line", "x", "", "yz", "q\n\n"}, {"long line", "x", "", "yz", "q", ""}},
    // Many line ends in each sixteen bytes.
    {"a\r\n\r\n\r\n\r\rb\r\n\r\n\r\n\r\n\r\n\r\n\r\nc\n\r\n\r\r\nd",
     {"a", "", "", "", "", "b", "", "", "", "", "", "", "c\n", "", "", "d"},
     {"a", "", "", "", "", "b", "", "", "", "", "", "", "c", "", "", "", "d"}},
    // Only CR LFs, a few in each sixteen bytes, one in the last place of one:
    // what lies between them goes out in runs.
    {"a\r\nbc\r\ndef\r\nghij\r\nk\r\n\r\nlmnopqrstuvwx\r\nyz0123456789abcdefg\r\nhi\r\njklmnopqrstu\r\nv\r\nwxyz012\r\n34\r\n5\r\n6789abcdef\r\nend\r\n",
     {"a", "bc", "def", "ghij", "k", "", "lmnopqrstuvwx", "yz0123456789abcdefg", "hi", "jklmnopqrstu", "v", "wxyz012", "34", "5", "6789abcdef", "end"},
     {"a", "bc", "def", "ghij", "k", "", "lmnopqrstuvwx", "yz0123456789abcdefg", "hi", "jklmnopqrstu", "v", "wxyz012", "34", "5", "6789abcdef", "end"}},
    // With blocks of 64 and a held limit of 32, the second read fills the
    // reused buffer to its last byte, a CR: the vector scans reach that end.
    {"0123456789abcdefghijklmnopqrstu\r\n" + std::string(31, 'y') + std::string(63, 'w') + "\r\nend",
     {"0123456789abcdefghijklmnopqrstu", std::string(31, 'y') + std::string(63, 'w'), "end"},
     {"0123456789abcdefghijklmnopqrstu", std::string(31, 'y') + std::string(63, 'w'), "end"}},
};

TEST(LineReaderTest, LinesWhereverTheReadsAndBlocksAreCut) {
  // Chunks and blocks of a byte or two put every CR LF across a boundary; a
  // held limit of a byte or two sends every line out in parts. None of it
  // may change a byte of the output, whatever line end the caller adds: its
  // own CR LF or LF (which the input's line ends may already be) or another.
  for (const Case& c : kCases) {
    for (Rule rule : {Rule::kCrLfOrCr, Rule::kCrLfCrOrLf}) {
      for (std::string_view line_end : {"\r\n", "\n", "<end>"}) {
        const std::string expected = Joined(rule == Rule::kCrLfOrCr ? c.windows : c.native, line_end);
        for (std::size_t chunk : {1, 2, 3, 7, 1000}) {
          for (std::size_t block : {1, 2, 5, 64, 4096}) {
            for (std::size_t held : {1, 2, 32, 4096}) {
              TextSource source(c.text, chunk);
              qcp::LineReader reader(source, rule, line_end, block, held);
              EXPECT_EQ(ReadAll(reader, line_end).bytes, expected)
                  << testing::PrintToString(c.text) << (rule == Rule::kCrLfOrCr ? " windows" : " native")
                  << " end " << testing::PrintToString(line_end) << " chunk " << chunk << " block " << block
                  << " held " << held;
            }
          }
        }
      }
    }
  }
}

TEST(LineReaderTest, ALineIsOutBeforeTheNextRead) {
  // A FIFO or a growing log: whatever a read completed is handed on before
  // the reader asks for more, a lone CR included (it ends a line whatever
  // follows it). Each piece of the text is one read.
  const std::vector<std::string> pieces = {"a\r", "\nb\r\n", "c", "\r", "\r\n", "d\ne\n", "tail"};
  // A source whose reads end exactly at the piece boundaries.
  class PieceSource final : public qcp::LineReader::Source {
   public:
    PieceSource(const std::vector<std::string>& pieces, std::function<void(std::size_t)> before)
        : pieces_(pieces), before_(std::move(before)) {}
    std::size_t Read(char* buffer, std::size_t size) override {
      before_(index_);
      if (index_ == pieces_.size()) return 0;
      const std::string& piece = pieces_[index_++];
      EXPECT_LE(piece.size(), size);
      std::memcpy(buffer, piece.data(), piece.size());
      return piece.size();
    }

   private:
    const std::vector<std::string>& pieces_;
    std::function<void(std::size_t)> before_;
    std::size_t index_ = 0;
  };
  for (Rule rule : {Rule::kCrLfOrCr, Rule::kCrLfCrOrLf}) {
    const std::vector<std::string> windows_due = {"", "a|", "a|b|", "a|b|", "a|b|c|", "a|b|c||", "a|b|c||"};
    const std::vector<std::string> native_due = {"", "a|", "a|b|", "a|b|", "a|b|c|", "a|b|c||", "a|b|c||d|e|"};
    const std::vector<std::string>& due = rule == Rule::kCrLfOrCr ? windows_due : native_due;
    std::string out;
    PieceSource source(pieces, [&](std::size_t reads_done) {
      if (reads_done < due.size()) {
        EXPECT_EQ(out, due[reads_done]) << "before read " << reads_done;
      }
    });
    qcp::LineReader reader(source, rule, "|", 64, 64);
    std::string_view piece;
    bool ends_line = false;
    while (reader.Next(piece, ends_line)) {
      out.append(piece);
      if (ends_line) out += '|';
    }
    EXPECT_EQ(out, rule == Rule::kCrLfOrCr ? "a|b|c||d\ne\ntail|" : "a|b|c||d|e|tail|");
  }
}

TEST(LineReaderTest, AnEndlessLineGoesOutInBoundedParts) {
  // /dev/zero, or gigabytes without a line end: the parts go out as they
  // come, none larger than the held limit and a block, and the line's end
  // only at its real end.
  class Endless final : public qcp::LineReader::Source {
   public:
    std::size_t Read(char* buffer, std::size_t size) override {
      std::memset(buffer, 'x', size);
      given += size;
      return size;
    }
    std::size_t given = 0;
  } endless;
  qcp::LineReader reader(endless, Rule::kCrLfCrOrLf, "\n", 4096, 8192);
  std::string_view text;
  bool ends_line = true;
  std::size_t out = 0;
  for (int i = 0; i < 1000; ++i) {
    ASSERT_TRUE(reader.Next(text, ends_line));
    EXPECT_FALSE(ends_line);
    EXPECT_LE(text.size(), 8192u + 4096u);
    EXPECT_EQ(text.find_first_not_of('x'), text.npos);
    out += text.size();
    EXPECT_LE(endless.given - out, 8192u + 4096u);  // what is held back
  }

  // A line of 3 MiB and more comes out whole and ends once.
  const std::string long_line((3 << 20) + 1, 'y');
  TextSource source("short\r" + long_line + "\r\nend", 65536);
  qcp::LineReader long_reader(source, Rule::kCrLfOrCr, "\r\n");
  const Output result = ReadAll(long_reader, "\r\n");
  EXPECT_EQ(result.bytes, "short\r\n" + long_line + "\r\nend\r\n");
}

TEST(LineReaderTest, TheCompleteLinesOfAReadAreOneStretch) {
  // 10000 lines in one read: one stretch for them all, so one write; the
  // input itself when its ends are already the caller's, a copy when not.
  std::string crlf_lines, cr_lines;
  for (int i = 0; i < 10000; ++i) {
    crlf_lines += std::to_string(i) + "\r\n";
    cr_lines += std::to_string(i) + "\r";
  }
  for (const std::string& text : {crlf_lines, cr_lines}) {
    TextSource source(text, text.size());
    qcp::LineReader reader(source, Rule::kCrLfOrCr, "\r\n", text.size(), 16);
    const Output out = ReadAll(reader, "\r\n");
    EXPECT_EQ(out.bytes, crlf_lines);
    EXPECT_EQ(out.stretches, 1);
  }
}

}  // namespace
