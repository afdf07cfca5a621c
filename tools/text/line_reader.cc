#include "tools/text/line_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace qcp {
LineReader::LineReader(Source& source, Rule rule, std::string_view line_end, std::size_t block_size,
                       std::size_t longest_held)
    : source_(source),
      rule_(rule),
      line_end_(line_end),
      block_size_(block_size > 0 ? block_size : 1),
      longest_held_(longest_held > 0 ? longest_held : 1),
      kept_(rule == Rule::kCrLfOrCr && line_end == "\r\n"   ? Kept::kCrLf
            : rule == Rule::kCrLfCrOrLf && line_end == "\n" ? Kept::kLf
                                                             : Kept::kNone) {}

LineReader::~LineReader() { std::free(buffer_); }

bool LineReader::Next(std::string_view& text, bool& ends_line) {
  for (;;) {
    // The LF of a CR LF split between two reads.
    if (after_cr_ && begin_ < end_) {
      if (buffer_[begin_] == '\n') ++begin_;
      after_cr_ = false;
      if (scanned_ < begin_) scanned_ = begin_;
    }
    if (scanned_ < end_ && TakeCompleteLines(text)) {
      ends_line = true;
      open_line_ = false;
      return true;
    }
    // What is held now is one unfinished line.
    const std::size_t held = end_ - begin_;
    if (ended_ || held >= longest_held_) {
      if (held == 0 && !open_line_) return false;
      text = std::string_view(buffer_ + begin_, held);
      ends_line = ended_;
      open_line_ = !ended_;
      begin_ = scanned_ = end_;
      return true;
    }
    ReadBlock();
  }
}

// Every complete line from begin_ on, each with the caller's line end. Where
// the input's own line ends are that line end already (CR LF in, CR LF out;
// or LF in, LF out), the input goes out as it is, in one piece: only the line
// ends that differ are looked at one by one, and copied with their lines.
bool LineReader::TakeCompleteLines(std::string_view& text) {
  std::size_t run = begin_;   // from here on the input goes out as it is
  std::size_t done = begin_;  // just after the last line end found
  bool copied = false;
  for (std::size_t at = scanned_;;) {
    const std::size_t odd = NextRewrite(at);
    const std::size_t last = LastKeptEnd(at, odd);
    if (last != 0) done = last;
    if (odd == end_) break;
    std::size_t length = 1;
    if (buffer_[odd] == '\r') {
      if (odd + 1 == end_) {
        after_cr_ = true;  // the line goes out now; an LF read next is skipped
      } else if (buffer_[odd + 1] == '\n') {
        length = 2;
      }
    }
    if (!copied) out_.clear();
    out_.append(buffer_ + run, odd - run).append(line_end_);
    run = done = at = odd + length;
    copied = true;
  }
  if (done == begin_) {
    scanned_ = end_;
    return false;
  }
  if (copied) {
    out_.append(buffer_ + run, done - run);
    text = std::string_view(out_.data(), out_.size() - line_end_.size());
  } else {
    text = std::string_view(buffer_ + begin_, done - begin_ - line_end_.size());
  }
  begin_ = scanned_ = done;
  return true;
}

// The first line end at or after `from` that does not go out as it is, or
// end_. A CR at the end of the bytes read is one: what follows is unknown.
std::size_t LineReader::NextRewrite(std::size_t from) const {
  const auto find = [this](std::size_t at, char wanted) -> std::size_t {
    const void* found = std::memchr(buffer_ + at, wanted, end_ - at);
    return found == nullptr ? end_ : static_cast<std::size_t>(static_cast<const char*>(found) - buffer_);
  };
  switch (kept_) {
    case Kept::kCrLf: {
      // Only a CR without its LF. Sixteen bytes at a time where the machine
      // can: a file of short lines holds one every few bytes.
      std::size_t at = from;
#ifdef __SSE2__
      const __m128i cr = _mm_set1_epi8('\r');
      const __m128i lf = _mm_set1_epi8('\n');
      for (; at + 17 <= end_; at += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer_ + at));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer_ + at + 1));
        const int lone = _mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi8(next, lf), _mm_cmpeq_epi8(here, cr)));
        if (lone != 0) return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(lone)));
      }
#endif
      for (;;) {
        at = find(at, '\r');
        if (at == end_ || at + 1 == end_ || buffer_[at + 1] != '\n') return at;
        at += 2;
      }
    }
    case Kept::kLf:
      return find(from, '\r');  // an LF on its own is kept; a CR, alone or before an LF, is not
    case Kept::kNone:
    default: {
      const std::size_t cr = find(from, '\r');
      return rule_ == Rule::kCrLfCrOrLf ? std::min(cr, find(from, '\n')) : cr;
    }
  }
}

// Just after the last line end in [from, to), where every line end goes out
// as it is; 0 when there is none.
std::size_t LineReader::LastKeptEnd(std::size_t from, std::size_t to) const {
  if (kept_ == Kept::kNone) return 0;
  const char last = kept_ == Kept::kCrLf ? '\r' : '\n';
  for (std::size_t at = to; at > from; --at) {
    if (buffer_[at - 1] == last) return kept_ == Kept::kCrLf ? at + 1 : at;
  }
  return 0;
}

void LineReader::ReadBlock() {
  if (buffer_ == nullptr) {
    if (longest_held_ > SIZE_MAX - block_size_) throw std::bad_alloc();
    buffer_ = static_cast<char*>(std::malloc(longest_held_ + block_size_));
    if (buffer_ == nullptr) throw std::bad_alloc();
  }
  // Keep only the unfinished line, at the front: it is shorter than the
  // held limit, so a whole block fits after it.
  if (begin_ > 0) {
    std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
    end_ -= begin_;
    scanned_ -= begin_;
    begin_ = 0;
  }
  const std::size_t got = source_.Read(buffer_ + end_, block_size_);
  if (got == 0) ended_ = true;
  end_ += got;
}

}  // namespace qcp
