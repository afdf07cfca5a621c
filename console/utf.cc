#include "console/utf.h"

#include <cstdint>

namespace qcp {

std::u16string Utf16FromUtf8(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 < 0x80) {
      text += static_cast<char16_t>(b0);
      ++i;
      continue;
    }
    int length = 0;
    std::uint32_t code = 0;
    std::uint32_t minimum = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
      length = 2, code = b0 & 0x1F, minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      length = 3, code = b0 & 0x0F, minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      length = 4, code = b0 & 0x07, minimum = 0x10000;
    }
    bool valid = length > 0 && i + length <= n;
    for (int k = 1; valid && k < length; ++k) {
      const auto b = static_cast<unsigned char>(bytes[i + k]);
      if ((b & 0xC0) != 0x80) valid = false;
      code = (code << 6) | (b & 0x3F);
    }
    if (valid && (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))) {
      valid = false;
    }
    if (!valid) {
      text += static_cast<char16_t>(0xDC00 + b0);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      text += static_cast<char16_t>(0xD800 + (code >> 10));
      text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
      text += static_cast<char16_t>(code);
    }
    i += length;
  }
  return text;
}

void AppendUtf8(std::string& bytes, char32_t code) {
  if (code < 0x80) {
    bytes += static_cast<char>(code);
  } else if (code < 0x800) {
    bytes += static_cast<char>(0xC0 | (code >> 6));
    bytes += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    bytes += static_cast<char>(0xE0 | (code >> 12));
    bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    bytes += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    bytes += static_cast<char>(0xF0 | (code >> 18));
    bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    bytes += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::string Utf8FromUtf16(std::u16string_view text, char replacement) {
  std::string bytes;
  bytes.reserve(text.size());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xDC80 && code <= 0xDCFF) {
      bytes += static_cast<char>(code - 0xDC00);  // an escaped byte
      continue;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      bytes += replacement;
      continue;
    }
    AppendUtf8(bytes, code);
  }
  return bytes;
}

void MaskTerminalControls(std::u16string& text) {
  for (char16_t& c : text) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0xDC80 && c <= 0xDC9F) || c == 0x200E || c == 0x200F ||
        (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069)) {
      c = u'?';
    }
  }
}

}  // namespace qcp
