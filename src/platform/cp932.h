// Conversion between the program's UTF-8 texts and Shift-JIS (code page 932),
// the encoding of every file Morlavin reads and writes.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morlavin::platform {

// True for the first byte of a double-byte CP932 character.
constexpr bool isCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// True for a byte that can follow a lead byte as the second of a pair.
constexpr bool isCp932TrailByte(unsigned char byte) {
  return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

// Appends what `converter` makes of the one character in `bytes`; false, and
// nothing appended, when it knows no character there or did not open.
bool appendConverted(std::string& out, iconv_t converter, std::string_view bytes);

// The character of a lead and a trail byte, or 0 for a pair without one.
char32_t cp932Character(unsigned char lead, unsigned char trail);

// The CP932 bytes that stand for `c` and decode back to it (one byte below
// 0x100, else lead × 256 + trail), or 0 when there are none.
std::uint16_t cp932Bytes(char32_t c);

// Decodes CP932 bytes so that decoding never fails, never drops
// the rest of a text and gives every byte that encodes back a character:
// 0x80 is U+0080 and 0xA0, 0xFD, 0xFE, 0xFF are U+F8F0 to U+F8F3; a lead byte
// and its trail byte are one character, and an unassigned pair or a lead byte
// at the end is one "・" (U+30FB). A lead byte followed by a byte that cannot be
// a trail byte is one "・" on its own, and that byte is decoded by itself, so a
// line end after a stray lead byte still ends the line.
std::string cp932ToUtf8(std::string_view bytes);

// Encodes UTF-8 text as CP932, or nullopt when a character has no CP932 form
// that decodes back to the same character (or the text is not valid UTF-8).
// "〜" (U+301C), "¥" and the like are refused rather than turned into "～" or
// "\" and coming back as other characters.
std::optional<std::string> utf8ToCp932(std::string_view text);

// Encodes UTF-8 text as CP932, writing each character that has no CP932 form
// (by the rule of utf8ToCp932) as an HTML numeric character reference
// ("&#x1F600;"), so that it still shows in a browser. A byte that is not valid
// UTF-8 is written as "&#xFFFD;".
std::string utf8ToCp932ForHtml(std::string_view text);

}  // namespace morlavin::platform
