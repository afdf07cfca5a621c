// The text lister's line reader: over any bytes, read in blocks and chunks
// of any size and with any held limit, its output is the input's lines, each
// followed by the line end, the lines split at CR LF and lone CR (and lone
// LF under the native rule); the last line without an end included, no
// extra line after a final end.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/text/line_reader.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

class ChunkedSource final : public qcp::LineReader::Source {
 public:
  ChunkedSource(std::string_view data, std::size_t chunk) : data_(data), chunk_(chunk) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, data_.size() - position_});
    std::copy_n(data_.data() + position_, n, buffer);
    position_ += n;
    return n;
  }

 private:
  std::string_view data_;
  std::size_t chunk_;
  std::size_t position_ = 0;
};

std::string Reference(std::string_view data, bool lone_lf_ends_line, std::string_view line_end) {
  std::string out;
  bool open = false;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '\r' || (lone_lf_ends_line && data[i] == '\n')) {
      out += line_end;
      open = false;
      if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
    } else {
      out += data[i];
      open = true;
    }
  }
  if (open) out += line_end;
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::size_t block = 1 + data[0] % 32;
  const std::size_t chunk = 1 + data[1] % 17;
  const std::size_t held = 1 + data[2] % 40;
  const bool lone_lf_ends_line = (data[3] & 1) != 0;
  constexpr std::string_view kEnds[] = {"\r\n", "\n", "<end>"};
  const std::string_view line_end = kEnds[(data[3] >> 1) % 3];
  const std::string_view text(reinterpret_cast<const char*>(data + 4), size - 4);
  ChunkedSource source(text, chunk);
  qcp::LineReader reader(source,
                         lone_lf_ends_line ? qcp::LineReader::Rule::kCrLfCrOrLf : qcp::LineReader::Rule::kCrLfOrCr,
                         line_end, block, held);
  std::string out;
  std::string_view stretch;
  bool ends_line = false;
  while (reader.Next(stretch, ends_line)) {
    Check(ends_line || stretch.size() <= held + block);
    out.append(stretch);
    if (ends_line) out.append(line_end);
  }
  Check(out == Reference(text, lone_lf_ends_line, line_end));
  return 0;
}
