// The text lister's line reader: over any bytes, read in blocks and chunks
// of any size, its lines are the input split at CR LF and lone CR (the last
// line without an end included, no extra line after a final end).
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

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

std::vector<std::string> Reference(std::string_view data) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '\r') {
      lines.push_back(line);
      line.clear();
      if (i + 1 < data.size() && data[i + 1] == '\n') ++i;
    } else {
      line += data[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t block = 1 + data[0] % 32;
  const std::size_t chunk = 1 + data[1] % 17;
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  ChunkedSource source(text, chunk);
  qcp::LineReader reader(source, block);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.NextLine(line)) lines.emplace_back(line);
  Check(lines == Reference(text));
  return 0;
}
