// Conversion between the program's UTF-8 texts and Shift-JIS (code page 932),
// the encoding of every file Morlavin reads and writes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morlavin::platform {

// True for the first byte of a double-byte CP932 character.
constexpr bool isCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Decodes CP932 bytes. A byte that does not start a valid CP932 character
// becomes U+FFFD, so decoding never fails and never drops the rest of a text.
std::string cp932ToUtf8(std::string_view bytes);

// Encodes UTF-8 text as CP932, or nullopt when a character has no CP932 form
// (or the text is not valid UTF-8).
std::optional<std::string> utf8ToCp932(std::string_view text);

// Encodes UTF-8 text as CP932, writing each character that has no CP932 form as
// an HTML numeric character reference ("&#x1F600;"), so that it still shows in a
// browser. A byte that is not valid UTF-8 is written as "&#xFFFD;".
std::string utf8ToCp932ForHtml(std::string_view text);

}  // namespace morlavin::platform
