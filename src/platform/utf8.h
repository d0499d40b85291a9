// One UTF-8 character at a time, by the strict rule: no overlong forms, no
// surrogates, nothing above U+10FFFF.
#pragma once

#include <cstddef>
#include <string_view>

namespace morlavin::platform {

struct Utf8Character {
  std::size_t length;   // bytes taken: 1 for a byte that starts no valid character
  char32_t codePoint;   // U+FFFD for such a byte
  bool valid;
};

// The character at the start of the non-empty `text`.
constexpr Utf8Character decodeUtf8(std::string_view text) {
  constexpr Utf8Character kInvalid{1, 0xFFFD, false};
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = byte(0);
  std::size_t length = 0;
  char32_t codePoint = 0;
  if (first < 0x80) return {1, first, true};
  if (first >= 0xC2 && first <= 0xDF) { length = 2; codePoint = first & 0x1F; }
  else if (first >= 0xE0 && first <= 0xEF) { length = 3; codePoint = first & 0x0F; }
  else if (first >= 0xF0 && first <= 0xF4) { length = 4; codePoint = first & 0x07; }
  else return kInvalid;
  if (text.size() < length) return kInvalid;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return kInvalid;
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
  if (overlong || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return kInvalid;
  return {length, codePoint, true};
}

}  // namespace morlavin::platform
