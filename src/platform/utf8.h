// One UTF-8 character at a time, by the strict rule: no overlong forms, no
// surrogates, nothing above U+10FFFF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace morlavin::platform {

struct Utf8Character {
  std::size_t length;  // bytes taken: 1 for a byte that starts no valid character
  char32_t codePoint;  // U+FFFD for such a byte
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
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2;
    codePoint = first & 0x1F;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3;
    codePoint = first & 0x0F;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4;
    codePoint = first & 0x07;
  } else
    return kInvalid;
  if (text.size() < length) return kInvalid;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return kInvalid;
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
  if (overlong || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
    return kInvalid;
  return {length, codePoint, true};
}

// Writes the UTF-8 form of the code point `c` (at most U+10FFFF) at `out`,
// which has room for 4 bytes; returns the bytes written.
inline std::size_t writeUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

inline void appendUtf8(std::string& out, char32_t c) {
  char bytes[4];
  out.append(bytes, writeUtf8(c, bytes));
}

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

}  // namespace morlavin::platform
