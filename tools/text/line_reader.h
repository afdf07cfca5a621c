// Splits a stream of bytes into text lines and hands them on in stretches,
// each line followed by the caller's line end. The bytes of a line pass
// through unchanged. Memory stays bounded whatever the input: a line longer
// than the held limit goes out in parts, and its end still only at its end.
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

  // Which bytes end a line. CR LF and a lone CR always do; a lone LF ends a
  // line only under the native rule, and stays inside the line otherwise.
  enum class Rule { kCrLfOrCr, kCrLfCrOrLf };

  static constexpr std::size_t kBlockSize = 64 * 1024;
  static constexpr std::size_t kLongestHeld = 64 * 1024;

  // `line_end` must outlive the reader.
  LineReader(Source& source, Rule rule, std::string_view line_end, std::size_t block_size = kBlockSize,
             std::size_t longest_held = kLongestHeld);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next stretch of output, valid until the next call; false once all is
  // out. A stretch is every line completed by the reads so far, each followed
  // by the line end except the last, whose end is left to the caller
  // (`ends_line`). Once an unfinished line grows past the held limit, its
  // part read so far comes out alone, with `ends_line` false. The last line
  // gets an end also when the input has none; an end at the very end of the
  // input makes no extra empty line. Nothing is read while complete lines
  // wait, so a line is never held back for the read after the one that
  // completed it.
  bool Next(std::string_view& text, bool& ends_line);

 private:
  // Which of the input's line ends are the caller's line end already.
  enum class Kept { kNone, kCrLf, kLf };

  bool TakeCompleteLines(std::string_view& text);
  std::size_t NextRewrite(std::size_t from) const;
  std::size_t AfterLastLineEnd() const;
  void AllocateOut();
  std::size_t DropCrs(std::size_t from, std::size_t to, std::size_t put);
  void ReadBlock();

  Source& source_;
  const Rule rule_;
  const std::string_view line_end_;
  const std::size_t block_size_;
  const std::size_t longest_held_;
  const Kept kept_;
  char* buffer_ = nullptr;   // longest_held_ - 1 + block_size_ bytes once the first read is due
  std::size_t begin_ = 0;    // start of the bytes not yet handed on
  std::size_t scanned_ = 0;  // no line end between begin_ and this
  std::size_t end_ = 0;      // end of the bytes read
  bool after_cr_ = false;    // a CR ended the bytes read: an LF that follows belongs to it
  bool open_line_ = false;   // part of the current line has been handed on
  bool ended_ = false;
  char* out_ = nullptr;      // the stretch, when its line ends differ from the input's
};

}  // namespace qcp
