// Narrow text round-trips: any bytes read as UTF-8 (with escapes for the
// invalid ones) come back unchanged, and valid UTF-16 survives the trip.
#include <cstdlib>

#include "console/utf.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (qcp::Utf8FromUtf16(qcp::Utf16FromUtf8(bytes)) != bytes) std::abort();

  const std::u16string text = Utf16FromFuzz(data, size);
  const std::u16string back = qcp::Utf16FromUtf8(qcp::Utf8FromUtf16(text));
  bool valid = true;  // well-formed UTF-16 with no unit in the escape range
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      valid = false;
    }
  }
  if (valid && back != text) std::abort();
  return 0;
}
