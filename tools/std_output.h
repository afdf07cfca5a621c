// The console writer: every line a tool prints goes through StdOutput.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qcp {

class IPrintTarget {
 public:
  virtual void WriteText(std::u16string_view text) = 0;
  virtual void Column(std::int32_t new_column) = 0;
  virtual std::int32_t Column() const = 0;
  // Bytes already in the console's encoding, written unchanged in one write:
  // `bytes` directly followed by `more` (the text lister's lines and their end).
  virtual void WriteBytes(std::string_view bytes, std::string_view more) = 0;

 protected:
  ~IPrintTarget() = default;
};

// Writes to standard output, unbuffered: each call fetches the handle anew
// and makes one write. Failed writes are silent; only the column is kept.
class StdOutput final : public IPrintTarget {
 public:
  void WriteText(std::u16string_view text) override;
  void Column(std::int32_t new_column) override;
  std::int32_t Column() const override { return column_; }
  void WriteBytes(std::string_view bytes, std::string_view more) override;

 private:
  void WriteRaw(std::u16string_view text);

  std::int32_t column_ = 0;
};

// Column after writing `text` from column `current`: the characters after the
// last line end (CR LF on Windows, LF natively), or current + length when
// there is none. Raises Overflow.
std::int32_t ColumnAfter(std::int32_t current, std::u16string_view text);
std::int32_t ColumnAfter(std::int32_t current, std::string_view bytes, std::string_view more);

// `text` and the line end, in one write.
void PrintLine(IPrintTarget& target, std::u16string_view text);
void PrintLine(IPrintTarget& target, std::int32_t value);
// One line of raw bytes, followed by the line end (CR LF on Windows, LF natively).
void PrintLineBytes(IPrintTarget& target, std::string_view bytes);

// Decimal text of a signed 64-bit value: digits, minus sign when negative.
std::u16string DecimalText(std::int64_t value);

}  // namespace qcp
