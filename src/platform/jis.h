// The JIS character sets behind every Japanese encoding the program reads:
// JIS X 0208 (through the tables of code page 932, so that a character reads
// alike whether it came as Shift-JIS, EUC-JP or ISO-2022-JP), JIS X 0212 and
// JIS X 0213, and EUC-JP, which writes JIS X 0208 as bytes 0xA1 to 0xFE.
#pragma once

#include <string>
#include <string_view>

namespace morlavin::platform {

// A place in a 94 × 94 JIS plane, both counted from 1. Code page 932 goes on
// past row 94 (user-defined and IBM rows), which only Shift-JIS can write.
struct JisCell {
  int row;
  int cell;
};

// The cell of a Shift-JIS lead and trail byte (the caller checks both).
constexpr JisCell shiftJisCell(unsigned char lead, unsigned char trail) {
  int row = lead <= 0x9F ? (lead - 0x81) * 2 + 1 : (lead - 0xE0) * 2 + 63;
  if (trail >= 0x9F) return {row + 1, trail - 0x9E};
  return {row, trail - 0x3F - (trail > 0x7F ? 1 : 0)};
}

// The character at a cell of JIS X 0208 as code page 932 fills it (with NEC's
// row 13 and the IBM characters of rows 89 to 92), or 0 for an empty cell.
char32_t jisX0208Character(JisCell cell);

// Appends the UTF-8 form of the character at a cell of JIS X 0212, or of
// plane 1 or 2 of JIS X 0213; false, and nothing appended, for an empty cell.
bool appendJisX0212(std::string& out, JisCell cell);
bool appendJisX0213(std::string& out, int plane, JisCell cell);

// Decodes EUC-JP bytes: JIS X 0208 pairs, half-width katakana after 0x8E and
// JIS X 0212 after 0x8F. A byte or pair that decodes to nothing is U+FFFD, and
// decoding goes on after it.
std::string eucJpToUtf8(std::string_view bytes);

// Encodes UTF-8 text as EUC-JP, writing each character that has no EUC-JP
// form that decodes back to it as an HTML numeric character reference
// ("&#x1F600;"), as utf8ToCp932ForHtml does; a byte that is not valid UTF-8
// is "&#xFFFD;".
std::string utf8ToEucJpForHtml(std::string_view text);

}  // namespace morlavin::platform
