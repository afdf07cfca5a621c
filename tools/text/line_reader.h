// Splits a stream of bytes into text lines: CR LF, or a CR on its own, ends
// a line; an LF on its own stays inside it. Only the current line is held,
// together with at most one block of what follows it, whatever its length.
#pragma once

#include <cstddef>
#include <string_view>

namespace qcp {

class LineReader {
 public:
  class Source {
   public:
    // Up to `size` bytes into `buffer`; 0 only at the end. May raise.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;

   protected:
    ~Source() = default;
  };

  static constexpr std::size_t kBlockSize = 64 * 1024;

  explicit LineReader(Source& source, std::size_t block_size = kBlockSize);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line without its end, valid until the next call; false once the
  // stream has ended. The last line counts also without a line end, but a
  // line end at the very end makes no extra empty line.
  bool NextLine(std::string_view& line);

 private:
  void ReadBlock();

  Source& source_;
  const std::size_t block_size_;
  char* buffer_ = nullptr;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;    // start of the line being read
  std::size_t scanned_ = 0;  // no CR before this
  std::size_t end_ = 0;      // end of the bytes read
  bool after_cr_ = false;    // the last line ended in a CR at the end of the bytes read
  bool ended_ = false;
};

}  // namespace qcp
