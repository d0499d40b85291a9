// ASCII rules on raw bytes: case, blanks and hex digits. Safe on Shift-JIS
// and UTF-8, since only the bytes of ASCII letters and blanks are touched.
#pragma once

#include <string>
#include <string_view>

namespace morlavin::platform {

constexpr char toLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// True when `text` holds `pattern` at `at`, ASCII case ignored.
constexpr bool holdsIgnoringAsciiCase(std::string_view text, std::size_t at,
                                      std::string_view pattern) {
  if (at > text.size() || text.size() - at < pattern.size()) return false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (toLowerAscii(text[at + i]) != toLowerAscii(pattern[i])) return false;
  }
  return true;
}

// `text` without the bytes of `blanks` at either end.
constexpr std::string_view trimmed(std::string_view text, std::string_view blanks) {
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

enum class HexCase { kUpper, kLower };

// `byte` as two hex digits: a page's colours are written in upper case, a
// terminal's escapes in lower case.
inline std::string hexByte(unsigned char byte, HexCase letters) {
  static constexpr char kDigits[] = "0123456789ABCDEF0123456789abcdef";
  const char* digits = kDigits + (letters == HexCase::kLower ? 16 : 0);
  return {digits[byte >> 4], digits[byte & 0x0F]};
}

}  // namespace morlavin::platform
