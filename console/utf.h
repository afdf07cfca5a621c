// UTF-8 <-> UTF-16 for platforms whose narrow text is UTF-8. Bytes that are
// not valid UTF-8 travel as the lone surrogates U+DC80..U+DCFF and come back
// unchanged, so names and text round-trip byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace qcp {

std::u16string Utf16FromUtf8(std::string_view bytes);

// Appends `code` (at most U+10FFFF) in UTF-8's 1 to 4 bytes. A surrogate is
// encoded like any other code, in 3 bytes.
void AppendUtf8(std::string& bytes, char32_t code);

// Lone surrogates outside U+DC80..U+DCFF become `replacement`.
std::string Utf8FromUtf16(std::u16string_view text, char replacement = '?');

// Each character that could drive a terminal or reorder what it shows becomes
// '?': C0 and C1 controls, DEL, the bidi controls, and escaped bytes
// 0x80..0x9F (which an 8-bit terminal takes as C1 controls).
void MaskTerminalControls(std::u16string& text);

}  // namespace qcp
