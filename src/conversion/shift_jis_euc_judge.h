// Shift-JIS or EUC-JP, for a text that is neither UTF-8 nor ISO-2022-JP. Most
// texts decode in only one of the two; an EUC-JP text often decodes as
// Shift-JIS too (as half-width katakana and rare kanji), and then the reading
// that looks more like Japanese wins.
#pragma once

#include <cstddef>
#include <cstdint>

#include "conversion/encoding.h"
#include "conversion/vectors.h"

namespace morlavin::conversion {

// How likely a character at a cell of JIS X 0208 (rows past 94 are code page
// 932's own) is in Japanese text, from the character set's layout alone: kana
// and the first level of kanji (the common ones, by the standard's own choice)
// speak for a reading, punctuation and the second level a little, other
// symbols not at all, and what ordinary text never holds (empty cells,
// user-defined rows, vendor extensions) against it.
constexpr int kHalfWidthKatakanaWeight = -2;
constexpr int kJisX0212Weight = -3;
constexpr int jisCellWeight(int row, int cell) {
  constexpr int kEmpty = -8;
  const auto within = [cell](int first, int last) { return cell >= first && cell <= last; };
  switch (row) {
    case 1:
      return 2;
    case 2:
      return within(1, 14) || within(26, 33) || within(42, 48) || within(60, 74) ||
                     within(82, 89) || cell == 94
                 ? 0
                 : kEmpty;
    case 3:
      return within(16, 25) || within(33, 58) || within(65, 90) ? 1 : kEmpty;
    case 4:
      return cell <= 83 ? 4 : kEmpty;
    case 5:
      return cell <= 86 ? 3 : kEmpty;
    case 6:
      return within(1, 24) || within(33, 56) ? 0 : kEmpty;
    case 7:
      return within(1, 33) || within(49, 81) ? 0 : kEmpty;
    case 8:
      return cell <= 32 ? 0 : kEmpty;
    case 13:
      return -1;  // NEC's circled numbers and units, written on Windows
    case 47:
      return cell <= 51 ? 3 : kEmpty;
    case 84:
      return cell <= 6 ? 1 : kEmpty;
    default:
      break;
  }
  if (row >= 16 && row <= 46) return 3;
  if (row >= 48 && row <= 83) return 1;
  if (row >= 89 && row <= 92) return -2;    // IBM kanji, as NEC chose them
  if (row >= 95 && row <= 114) return -6;   // user-defined
  if (row >= 115 && row <= 120) return -2;  // IBM kanji
  return kEmpty;
}

class ShiftJisEucJudge {
 public:
  // Once Shift-JIS has failed, EUC-JP is checked with vectors no wider than `widest`.
  explicit ShiftJisEucJudge(Vectors widest = Vectors::kAvx512) : m_vectors(usableVectors(widest)) {}

  void feed(const unsigned char* p, std::size_t n);
  // Nothing fed later can change the answer: EUC-JP no longer decodes, so the
  // answer is Shift-JIS whatever follows.
  bool settled() const { return !m_eucValid; }
  // EUC-JP when it decodes the bytes fed so far (as a whole text with
  // `atEnd`, else as the start of one) and Shift-JIS does not, or both do and
  // EUC-JP scores higher; Shift-JIS otherwise, a tie and pure ASCII included.
  Encoding answer(bool atEnd) const;

 private:
  // Both readings a byte at a time, from `p` to `end` or until Shift-JIS
  // fails; returns where it stopped.
  const unsigned char* feedBytes(const unsigned char* p, const unsigned char* end);
  // EUC-JP alone, whole 64-byte blocks of ASCII and pairs of 0xA1 to 0xFE at a
  // time, up to a block holding anything else; returns where it stopped.
  const unsigned char* checkEucBlocks(const unsigned char* p, const unsigned char* end);

  Vectors m_vectors;
  bool m_sjisValid = true;
  unsigned char m_sjisLead = 0;  // a lead byte waiting for its trail
  std::int64_t m_sjisScore = 0;
  bool m_eucValid = true;
  unsigned char m_eucFirst = 0;  // the first byte of the character under way
  int m_eucWanted = 0;           // bytes still due for it
  std::int64_t m_eucScore = 0;
};

}  // namespace morlavin::conversion
