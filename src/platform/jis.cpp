// JIS X 0208 through the code page 932 tables; the rarer planes of JIS X 0212
// and JIS X 0213 through glibc's iconv, one character at a time.
#include "platform/jis.h"

#include <iconv.h>

#include <cstdio>

#include "platform/cp932.h"
#include "platform/utf8.h"

namespace morlavin::platform {
namespace {

// Converters opened once for the program; (iconv_t)-1 where glibc lacks one.
iconv_t jisX0212Decoder() {
  static const iconv_t decoder = iconv_open("UTF-8", "EUC-JP");
  return decoder;
}
iconv_t jisX0213Decoder() {
  static const iconv_t decoder = iconv_open("UTF-8", "EUC-JISX0213");
  return decoder;
}

char eucByte(int rowOrCell) { return static_cast<char>(rowOrCell + 0xA0); }

bool inPlane(JisCell c) { return c.row >= 1 && c.row <= 94 && c.cell >= 1 && c.cell <= 94; }

}  // namespace

char32_t jisX0208Character(JisCell c) {
  if (!inPlane(c)) return 0;
  const int lead = (c.row + 1) / 2 + (c.row <= 62 ? 0x80 : 0xC0);
  const int trail = c.row % 2 == 1 ? c.cell + 0x3F + (c.cell >= 64 ? 1 : 0) : c.cell + 0x9E;
  return cp932Character(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
}

bool appendJisX0212(std::string& out, JisCell c) {
  if (!inPlane(c)) return false;
  const char bytes[3] = {'\x8F', eucByte(c.row), eucByte(c.cell)};
  return appendConverted(out, jisX0212Decoder(), {bytes, 3});
}

bool appendJisX0213(std::string& out, int plane, JisCell c) {
  if (!inPlane(c) || (plane != 1 && plane != 2)) return false;
  const char bytes[3] = {'\x8F', eucByte(c.row), eucByte(c.cell)};
  return appendConverted(out, jisX0213Decoder(),
                         plane == 1 ? std::string_view(bytes + 1, 2) : std::string_view(bytes, 3));
}

std::string eucJpToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  const auto at = [&](std::size_t i) {
    return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
  };
  const auto isEuc = [](unsigned char b) { return b >= 0xA1 && b <= 0xFE; };
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char b = at(i);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
    } else if (b == 0x8E && at(i + 1) >= 0xA1 && at(i + 1) <= 0xDF) {
      appendUtf8(out, 0xFF61 + (at(i + 1) - 0xA1));
      i += 2;
    } else if (b == 0x8F && isEuc(at(i + 1)) && isEuc(at(i + 2))) {
      if (!appendJisX0212(out, {at(i + 1) - 0xA0, at(i + 2) - 0xA0}))
        appendUtf8(out, kReplacementCharacter);
      i += 3;
    } else if (isEuc(b) && isEuc(at(i + 1))) {
      const char32_t c = jisX0208Character({b - 0xA0, at(i + 1) - 0xA0});
      appendUtf8(out, c != 0 ? c : kReplacementCharacter);
      i += 2;
    } else {
      appendUtf8(out, kReplacementCharacter);
      ++i;
    }
  }
  return out;
}

std::string utf8ToEucJpForHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const Utf8Character character = decodeUtf8(text);
    text.remove_prefix(character.length);
    const char32_t c = character.codePoint;
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    const std::uint16_t bytes = cp932Bytes(c);
    if (bytes >= 0xA1 && bytes <= 0xDF) {  // half-width katakana
      out += '\x8E';
      out += static_cast<char>(bytes);
      continue;
    }
    if (bytes >= 0x100) {
      const JisCell cell =
          shiftJisCell(static_cast<unsigned char>(bytes >> 8), static_cast<unsigned char>(bytes));
      if (cell.row <= 94) {
        out += eucByte(cell.row);
        out += eucByte(cell.cell);
        continue;
      }
    }
    char reference[16];
    std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(c));
    out += reference;
  }
  return out;
}

}  // namespace morlavin::platform
