// Realistic text for benchmarks: Japanese sentences mixed with ASCII words,
// numbers and the odd tag, in lines of a chosen length: Shift-JIS with CR LF
// ends, or UTF-8 with LF ends, the two kinds of file the program meets most.
#pragma once

#include <cstdint>
#include <string>

namespace morlavin::bench {

// `lines` lines averaging about `bytesPerLine` bytes (line end included).
// The same arguments always give the same text.
inline std::string makeSampleText(int lines, int bytesPerLine, bool utf8 = false, std::uint32_t seed = 1) {
  // A small linear congruential generator keeps the output identical everywhere.
  std::uint32_t state = seed;
  const auto next = [&state](std::uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  };
  static const char* const kWords[] = {"Morlavin", "HTML", "page", "2026", "<B>", "</B>",
                                       "C:\\doc", "memo.txt", "&", "OK", "version", "1.62"};
  std::string text;
  text.reserve(static_cast<std::size_t>(lines) * (bytesPerLine + 8));
  for (int line = 0; line < lines; ++line) {
    const int target = static_cast<int>(next(static_cast<std::uint32_t>(bytesPerLine))) + bytesPerLine / 2;
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
          } else if (next(2) == 0) {
            text += '\x82';
            text += static_cast<char>(0x9F + next(0xF1 - 0x9F + 1));
          } else {
            text += static_cast<char>(0x89 + next(0x97 - 0x89 + 1));
            const std::uint32_t trail = 0x40 + next(0xFC - 0x40);
            text += static_cast<char>(trail == 0x7F ? 0x80 : trail);
          }
        }
        text += utf8 ? "\xE3\x80\x82" : "\x81\x42";  // 。
      }
    }
    text += utf8 ? "\n" : "\r\n";
  }
  return text;
}

}  // namespace morlavin::bench
