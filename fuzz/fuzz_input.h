// Turns fuzzer bytes into the tools' UTF-16 text: two bytes per code unit,
// so every unit, lone surrogates included, can occur.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline std::u16string Utf16FromFuzz(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  return text;
}

// Text drawn mostly from the characters that matter to a parser: a byte
// picks one of `alphabet`, or (when it is 0xFF) the next two bytes make any unit.
inline std::u16string TextFromAlphabet(const std::uint8_t* data, std::size_t size, std::u16string_view alphabet) {
  std::u16string text;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && i + 2 < size) {
      text += static_cast<char16_t>(data[i + 1] | (data[i + 2] << 8));
      i += 2;
    } else {
      text += alphabet[data[i] % alphabet.size()];
    }
  }
  return text;
}
