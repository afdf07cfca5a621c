#include "tools/text/line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Hands out `text` in pieces of at most `chunk` bytes.
class TextSource final : public qcp::LineReader::Source {
 public:
  TextSource(std::string text, std::size_t chunk) : text_(std::move(text)), chunk_(chunk) {}

  std::size_t Read(char* buffer, std::size_t size) override {
    ++reads_;
    const std::size_t count = std::min({size, chunk_, text_.size() - position_});
    std::memcpy(buffer, text_.data() + position_, count);
    position_ += count;
    return count;
  }

  int reads() const { return reads_; }

 private:
  std::string text_;
  std::size_t chunk_;
  std::size_t position_ = 0;
  int reads_ = 0;
};

Lines ReadAll(const std::string& text, std::size_t chunk, std::size_t block) {
  TextSource source(text, chunk);
  qcp::LineReader reader(source, block);
  Lines lines;
  std::string_view line;
  while (reader.NextLine(line)) lines.emplace_back(line);
  return lines;
}

TEST(LineReaderTest, LineEndsWhereverTheBlocksAreCut) {
  using namespace std::string_literals;
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\rb", {"a", "b"}},
      {"a\nb\n", {"a\nb\n"}},
      {"\n", {"\n"}},
      {"\r\n", {""}},
      {"\r", {""}},
      {"\r\r\n", {"", ""}},
      {"a\r\n\r", {"a", ""}},
      {"a\r\n\nb", {"a", "\nb"}},
      {"a\n\r\nb\r\r", {"a\n", "b", ""}},
      {"a\0b\r\n\0"s, {"a\0b"s, "\0"s}},
      {"\xff\xfe\x1a\r\n\x80", {"\xff\xfe\x1a", "\x80"}},
  };
  // Chunks and blocks of a byte or two put every CR LF across a boundary.
  for (const Case& c : cases) {
    for (std::size_t chunk : {1, 2, 3, 7, 1000}) {
      for (std::size_t block : {1, 2, 5, 4096}) {
        EXPECT_EQ(ReadAll(c.text, chunk, block), c.lines) << testing::PrintToString(c.text) << " chunk " << chunk
                                                          << " block " << block;
      }
    }
  }
}

TEST(LineReaderTest, LongLinesHaveNoLimit) {
  const std::string long_line(1 << 20, 'x');
  const std::string longer_line((3 << 20) + 1, 'y');
  const std::string text = long_line + "\r\n" + "short\r" + longer_line;
  for (std::size_t chunk : {4096, 65536, 1 << 22}) {
    EXPECT_EQ(ReadAll(text, chunk, 65536), (Lines{long_line, "short", longer_line}));
  }
}

TEST(LineReaderTest, ALineComesOutAsSoonAsItsEndIsRead) {
  // A pipe or a slow file: "a" must not wait for what follows its CR.
  TextSource source("a\r\nb\r\n", 2);
  qcp::LineReader reader(source, 16);
  std::string_view line;
  ASSERT_TRUE(reader.NextLine(line));
  EXPECT_EQ(line, "a");
  EXPECT_EQ(source.reads(), 1);
  ASSERT_TRUE(reader.NextLine(line));
  EXPECT_EQ(line, "b");
  EXPECT_FALSE(reader.NextLine(line));
  EXPECT_FALSE(reader.NextLine(line));
}

}  // namespace
