#include "tools/text/line_reader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace qcp {

LineReader::LineReader(Source& source, std::size_t block_size)
    : source_(source), block_size_(block_size > 0 ? block_size : 1) {}

LineReader::~LineReader() { std::free(buffer_); }

bool LineReader::NextLine(std::string_view& line) {
  for (;;) {
    // The LF of a CR LF split between two blocks.
    if (after_cr_ && begin_ < end_) {
      if (buffer_[begin_] == '\n') ++begin_;
      after_cr_ = false;
      scanned_ = begin_;
    }
    if (scanned_ < end_) {
      const void* cr = std::memchr(buffer_ + scanned_, '\r', end_ - scanned_);
      if (cr != nullptr) {
        const std::size_t at = static_cast<const char*>(cr) - buffer_;
        line = std::string_view(buffer_ + begin_, at - begin_);
        begin_ = at + 1;
        if (begin_ < end_) {
          if (buffer_[begin_] == '\n') ++begin_;
        } else {
          after_cr_ = true;  // the line goes out now; a following LF is skipped later
        }
        scanned_ = begin_;
        return true;
      }
      scanned_ = end_;
    }
    if (ended_) {
      if (begin_ == end_) return false;
      line = std::string_view(buffer_ + begin_, end_ - begin_);
      begin_ = end_;
      return true;
    }
    ReadBlock();
  }
}

void LineReader::ReadBlock() {
  // Keep only the unfinished line, at the front.
  if (begin_ > 0) {
    std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
    end_ -= begin_;
    scanned_ -= begin_;
    begin_ = 0;
  }
  if (capacity_ - end_ < block_size_) {
    // realloc moves large blocks by remapping them, and only the pages
    // written below become resident.
    if (end_ > SIZE_MAX - block_size_) throw std::bad_alloc();
    std::size_t grown = capacity_ == 0 ? 2 * block_size_ : capacity_ <= SIZE_MAX / 2 ? capacity_ * 2 : 0;
    if (grown < end_ + block_size_) grown = end_ + block_size_;
    void* larger = std::realloc(buffer_, grown);
    if (larger == nullptr) throw std::bad_alloc();
    buffer_ = static_cast<char*>(larger);
    capacity_ = grown;
  }
  const std::size_t got = source_.Read(buffer_ + end_, block_size_);
  if (got == 0) ended_ = true;
  end_ += got;
}

}  // namespace qcp
