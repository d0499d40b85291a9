// Realistic text for benchmarks: Japanese sentences mixed with ASCII words,
// numbers and the odd tag, in lines of a chosen length: Shift-JIS with CR LF
// ends, or UTF-8 with LF ends, the two kinds of file the program meets most;
// EUC-JP with LF ends and UTF-16LE (with its mark) with CR LF ends, the same
// characters as the Shift-JIS text.
#pragma once

#include <cstdint>
#include <string>

#include "platform/cp932.h"
#include "platform/utf8.h"

namespace morlavin::bench {

enum class SampleEncoding { kShiftJis, kUtf8, kEucJp, kUtf16Le };

// A Shift-JIS text as UTF-16LE with its mark, as Windows' Notepad saves it.
inline std::string utf16le(std::string_view shiftJis) {
  const std::string utf8 = morlavin::platform::cp932ToUtf8(shiftJis);
  std::string out = "\xFF\xFE";
  for (std::string_view rest = utf8; !rest.empty();) {
    const auto character = morlavin::platform::decodeUtf8(rest);
    rest.remove_prefix(character.length);
    out += static_cast<char>(character.codePoint & 0xFF);
    out += static_cast<char>(character.codePoint >> 8);
  }
  return out;
}

// The EUC-JP form of a Shift-JIS pair of JIS X 0208.
inline void appendEucJp(std::string& text, unsigned lead, unsigned trail) {
  int row = lead <= 0x9F ? (lead - 0x81) * 2 + 1 : (lead - 0xE0) * 2 + 63;
  int cell = trail >= 0x9F ? trail - 0x9E : trail - 0x3F - (trail > 0x7F ? 1 : 0);
  if (trail >= 0x9F) ++row;
  text += static_cast<char>(row + 0xA0);
  text += static_cast<char>(cell + 0xA0);
}

// `lines` lines averaging about `bytesPerLine` bytes (line end included).
// The same arguments always give the same text.
inline std::string makeSampleText(int lines, int bytesPerLine,
                                  SampleEncoding encoding = SampleEncoding::kShiftJis,
                                  std::uint32_t seed = 1) {
  const bool utf8 = encoding == SampleEncoding::kUtf8;
  const bool euc = encoding == SampleEncoding::kEucJp;
  // A small linear congruential generator keeps the output identical everywhere.
  std::uint32_t state = seed;
  const auto next = [&state](std::uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  };
  static const char* const kWords[] = {"Morlavin", "HTML",     "page", "2026", "<B>",     "</B>",
                                       "C:\\doc",  "memo.txt", "&",    "OK",   "version", "1.62"};
  std::string text;
  text.reserve(static_cast<std::size_t>(lines) * (bytesPerLine + 8));
  for (int line = 0; line < lines; ++line) {
    const int target =
        static_cast<int>(next(static_cast<std::uint32_t>(bytesPerLine))) + bytesPerLine / 2;
    std::size_t start = text.size();
    while (static_cast<int>(text.size() - start) < target - 2) {
      if (next(3) == 0) {
        text += kWords[next(sizeof kWords / sizeof kWords[0])];
        text += ' ';
      } else {
        // Hiragana (0x829F-0x82F1) and level-1 kanji rows (0x889F-0x9872),
        // trail bytes 0x40-0x7E and 0x80-0xFC, 0x5C included.
        for (int k = static_cast<int>(next(8)) + 2; k > 0; --k) {
          if (utf8) {
            // Hiragana (U+3041-U+3093) and CJK ideographs (U+4E00-U+6FFF).
            const std::uint32_t code = next(2) == 0 ? 0x3041 + next(0x53) : 0x4E00 + next(0x2200);
            text += static_cast<char>(0xE0 | (code >> 12));
            text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
          } else {
            const bool kana = next(2) == 0;
            const unsigned lead = kana ? 0x82 : 0x89 + next(0x97 - 0x89 + 1);
            unsigned trail = kana ? 0x9F + next(0xF1 - 0x9F + 1) : 0x40 + next(0xFC - 0x40);
            if (trail == 0x7F) trail = 0x80;
            if (euc) {
              appendEucJp(text, lead, trail);
            } else {
              text += static_cast<char>(lead);
              text += static_cast<char>(trail);
            }
          }
        }
        text += utf8 ? "\xE3\x80\x82" : euc ? "\xA1\xA3" : "\x81\x42";  // 。
      }
    }
    text += utf8 || euc ? "\n" : "\r\n";
  }
  return encoding == SampleEncoding::kUtf16Le ? utf16le(text) : text;
}

}  // namespace morlavin::bench
