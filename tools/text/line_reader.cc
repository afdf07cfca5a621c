#include "tools/text/line_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__GNUC__)
#include <tmmintrin.h>
#define QCP_SSSE3_COMPACTION 1
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

LineReader::~LineReader() {
  std::free(buffer_);
  std::free(out_);
}

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
// or LF in, LF out), the input goes out as it is, in one piece; otherwise
// whole lines are copied between the line ends that differ.
bool LineReader::TakeCompleteLines(std::string_view& text) {
  const std::size_t done = AfterLastLineEnd();
  if (done == 0) {
    scanned_ = end_;
    return false;
  }
  std::size_t run = begin_;  // from here on the input goes out as it is
  std::size_t put = 0;
#ifdef __SSE2__
  if (kept_ == Kept::kLf) {
    const void* cr = std::memchr(buffer_ + scanned_, '\r', done - scanned_);
    if (cr == nullptr) {
      // LF in, LF out: the lines go out as they are, with no second look.
      text = std::string_view(buffer_ + begin_, done - begin_ - line_end_.size());
      begin_ = scanned_ = done;
      return true;
    }
    if (out_ == nullptr) AllocateOut();
    run = static_cast<std::size_t>(static_cast<const char*>(cr) - buffer_);
    std::memcpy(out_, buffer_ + begin_, run - begin_);
    put = DropCrs(run, done, run - begin_);
    run = done;
  }
#endif
  for (std::size_t at = run == begin_ ? scanned_ : done;;) {
    const std::size_t odd = NextRewrite(at);
    if (odd >= done) break;
    std::size_t length = 1;
    if (buffer_[odd] == '\r') {
      if (odd + 1 == end_) {
        after_cr_ = true;  // the line goes out now; an LF read next is skipped
      } else if (buffer_[odd + 1] == '\n') {
        length = 2;
      }
    }
    if (out_ == nullptr) AllocateOut();
    std::memcpy(out_ + put, buffer_ + run, odd - run);
    put += odd - run;
    if (line_end_.size() == 1) {
      out_[put++] = line_end_[0];
    } else {
      std::memcpy(out_ + put, line_end_.data(), line_end_.size());
      put += line_end_.size();
    }
    run = at = odd + length;
  }
  if (run == begin_) {
    text = std::string_view(buffer_ + begin_, done - begin_ - line_end_.size());
  } else {
    std::memcpy(out_ + put, buffer_ + run, done - run);
    put += done - run;
    text = std::string_view(out_, put - line_end_.size());
  }
  begin_ = scanned_ = done;
  return true;
}

#ifdef QCP_SSSE3_COMPACTION
namespace {

// For each set of bytes to leave out of eight (a bit each), the shuffle that
// moves the others to the front, and how many they are.
struct Compaction {
  std::uint64_t shuffle[256];
  std::uint8_t kept[256];
};

constexpr Compaction MakeCompaction() {
  Compaction table{};
  for (unsigned dropped = 0; dropped < 256; ++dropped) {
    std::uint64_t shuffle = 0;
    unsigned kept = 0;
    for (unsigned i = 0; i < 8; ++i) {
      if ((dropped >> i) & 1) continue;
      shuffle |= static_cast<std::uint64_t>(i) << (8 * kept++);
    }
    for (unsigned i = kept; i < 8; ++i) shuffle |= std::uint64_t{0x80} << (8 * i);  // zero
    table.shuffle[dropped] = shuffle;
    table.kept[dropped] = static_cast<std::uint8_t>(kept);
  }
  return table;
}

constexpr Compaction kCompaction = MakeCompaction();

// The block loop of DropCrs where the processor has SSSE3's byte shuffle:
// each sixteen bytes go out without their paired CRs, lone CRs as LFs, in
// two stores and with no branch on the bytes. Returns where it stopped.
__attribute__((target("ssse3"))) std::size_t CompactBlocks(const char* in, char* out, std::size_t at, std::size_t to,
                                                           std::size_t end, std::size_t& put) {
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr_to_lf = _mm_set1_epi8('\r' ^ '\n');
  const __m128i high_half = _mm_set_epi64x(0x0808080808080808, 0);
  std::size_t put_at = put;
  for (; at + 16 <= to && at + 16 < end; at += 16) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at + 1));
    const __m128i crs = _mm_cmpeq_epi8(here, cr);
    const __m128i paired = _mm_and_si128(crs, _mm_cmpeq_epi8(next, lf));
    const unsigned drop = static_cast<unsigned>(_mm_movemask_epi8(paired));
    // Lone CRs are rare: the branch on them is foreseen.
    __m128i shown = here;
    if (static_cast<unsigned>(_mm_movemask_epi8(crs)) != drop) {
      shown = _mm_xor_si128(here, _mm_and_si128(_mm_andnot_si128(paired, crs), cr_to_lf));
    }
    const unsigned low = drop & 0xff;
    const unsigned high = drop >> 8;
    const __m128i shuffle =
        _mm_add_epi8(_mm_set_epi64x(static_cast<long long>(kCompaction.shuffle[high]),
                                    static_cast<long long>(kCompaction.shuffle[low])),
                     high_half);
    const __m128i packed = _mm_shuffle_epi8(shown, shuffle);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + put_at), packed);
    put_at += kCompaction.kept[low];
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + put_at), _mm_unpackhi_epi64(packed, packed));
    put_at += kCompaction.kept[high];
  }
  put = put_at;
  return at;
}

}  // namespace
#endif

#ifdef __SSE2__
// Copies [from, to) to out_ from `put` on, each CR LF as its LF and each lone
// CR as an LF, sixteen bytes at a time; returns the end of what it put.
std::size_t LineReader::DropCrs(std::size_t from, std::size_t to, std::size_t put) {
  // Locals: the stores to out_ could alias the members, which the compiler
  // would read again after each one.
  const char* const in = buffer_;
  char* const out = out_;
  const std::size_t end = end_;
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr_to_lf = _mm_set1_epi8('\r' ^ '\n');
  std::size_t at = from;
#ifdef QCP_SSSE3_COMPACTION
  static const bool shuffles = __builtin_cpu_supports("ssse3");
  if (shuffles) at = CompactBlocks(in, out, at, to, end, put);
#endif
  // The byte after the sixteen tells whether a CR in the last place has its
  // LF; the runs between CRs are loaded up to 31 bytes on.
  while (at + 16 <= to && at + 32 <= end) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at + 1));
    const __m128i crs = _mm_cmpeq_epi8(here, cr);
    const int all = _mm_movemask_epi8(crs);
    if (all == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + put), here);
      at += 16;
      put += 16;
      continue;
    }
    const int paired = _mm_movemask_epi8(_mm_and_si128(crs, _mm_cmpeq_epi8(next, lf)));
    if (paired != all) {
      // A lone CR becomes an LF in place: rare, so one byte at a time.
      alignas(16) char lane[16];
      _mm_store_si128(reinterpret_cast<__m128i*>(lane),
                      _mm_xor_si128(here, _mm_and_si128(crs, cr_to_lf)));
      for (int i = 0; i < 16; ++i) {
        out[put] = lane[i];
        put += ((paired >> i) & 1) ^ 1;
      }
      at += 16;
      continue;
    }
    // Every CR has its LF: the runs between them go out with one store each,
    // each store's excess overwritten by the next (out_ has room for the last).
    unsigned drop = static_cast<unsigned>(paired);
    std::size_t run = at;
    do {
      const std::size_t cr_at = at + static_cast<std::size_t>(__builtin_ctz(drop));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + put), _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + run)));
      put += cr_at - run;
      run = cr_at + 1;
      drop &= drop - 1;
    } while (drop != 0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + put), _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + run)));
    put += at + 16 - run;
    at += 16;
  }
  for (; at < to; ++at) {
    if (in[at] != '\r') {
      out[put++] = in[at];
    } else if (at + 1 == end) {
      out[put++] = '\n';
      after_cr_ = true;  // an LF read next is skipped
    } else if (in[at + 1] != '\n') {
      out[put++] = '\n';
    }
  }
  return put;
}
#endif

// Just after the last line end between scanned_ and end_; 0 when there is
// none. A CR at the very end counts: the LF it may still get is skipped later.
std::size_t LineReader::AfterLastLineEnd() const {
  const bool lf_ends = rule_ == Rule::kCrLfCrOrLf;
  std::size_t at = end_;
#ifdef __GLIBC__
  const auto last = [this](char wanted, std::size_t from) -> std::size_t {
    const void* found = memrchr(buffer_ + from, wanted, end_ - from);
    return found == nullptr ? 0 : static_cast<std::size_t>(static_cast<const char*>(found) - buffer_) + 1;
  };
  // Only a CR after the last LF can end later: an LF file is not searched
  // for CRs from its start.
  const std::size_t after_lf = lf_ends ? last('\n', scanned_) : 0;
  at = std::max(last('\r', std::max(scanned_, after_lf)), after_lf);
  if (at == 0) return 0;
#else
  while (at > scanned_ && buffer_[at - 1] != '\r' && !(lf_ends && buffer_[at - 1] == '\n')) --at;
  if (at == scanned_) return 0;
#endif
  // `at` is just after the line end's last byte; a CR LF ends after its LF.
  return at < end_ && buffer_[at - 1] == '\r' && buffer_[at] == '\n' ? at + 1 : at;
}

void LineReader::AllocateOut() {
  // Each byte read turns into at most one line end; sixteen more take a whole
  // last store of the vector copy.
  const std::size_t widest = std::max<std::size_t>(line_end_.size(), 1);
  const std::size_t held = longest_held_ + block_size_;
  if (held > (SIZE_MAX - 16) / widest) throw std::bad_alloc();
  out_ = static_cast<char*>(std::malloc(held * widest + 16));
  if (out_ == nullptr) throw std::bad_alloc();
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

void LineReader::ReadBlock() {
  if (buffer_ == nullptr) {
    // What is held before a read is always shorter than the held limit, so
    // the buffer is exactly as long as the bytes it can hold: a read past
    // them is a read past the buffer.
    if (longest_held_ - 1 > SIZE_MAX - block_size_) throw std::bad_alloc();
    buffer_ = static_cast<char*>(std::malloc(longest_held_ - 1 + block_size_));
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
