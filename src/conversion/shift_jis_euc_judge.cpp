// Both readings advance together, a byte at a time; ASCII, the same in both,
// is passed over eight bytes at a time.
#include "conversion/shift_jis_euc_judge.h"

#include <array>
#include <cstring>

#include "platform/cp932.h"
#include "platform/jis.h"

namespace morlavin::conversion {
namespace {

// The weights of every cell a Shift-JIS pair or an EUC-JP pair can name.
constexpr int kRows = 120;
constexpr auto kWeights = [] {
  std::array<std::int8_t, kRows * 94> weights{};
  for (int row = 1; row <= kRows; ++row) {
    for (int cell = 1; cell <= 94; ++cell) weights[(row - 1) * 94 + cell - 1] = jisCellWeight(row, cell);
  }
  return weights;
}();

int weight(platform::JisCell c) { return kWeights[(c.row - 1) * 94 + c.cell - 1]; }

bool isEucByte(unsigned char b) { return b >= 0xA1 && b <= 0xFE; }

}  // namespace

void ShiftJisEucJudge::feed(const unsigned char* p, std::size_t n) {
  const unsigned char* const end = p + n;
  while (p < end && m_eucValid) {
    if (m_sjisLead == 0 && m_eucWanted == 0) {
      while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ULL) break;
        p += 8;
      }
      while (p < end && *p < 0x80) ++p;
      if (p == end) return;
    }
    const unsigned char b = *p++;

    if (m_sjisValid) {
      if (m_sjisLead != 0) {
        if (platform::isCp932TrailByte(b)) {
          m_sjisScore += weight(platform::shiftJisCell(m_sjisLead, b));
        } else {
          m_sjisValid = false;
        }
        m_sjisLead = 0;
      } else if (platform::isCp932LeadByte(b)) {
        m_sjisLead = b;
      } else if (b >= 0xA1 && b <= 0xDF) {
        m_sjisScore += kHalfWidthKatakanaWeight;
      } else if (b >= 0x80) {
        m_sjisValid = false;
      }
    }

    if (m_eucWanted == 0) {
      if (b < 0x80) continue;
      if (b == 0x8E || isEucByte(b)) {
        m_eucWanted = 1;
      } else if (b == 0x8F) {
        m_eucWanted = 2;
      } else {
        m_eucValid = false;
      }
      m_eucFirst = b;
      continue;
    }
    if (m_eucFirst == 0x8E ? b < 0xA1 || b > 0xDF : !isEucByte(b)) {
      m_eucValid = false;
    } else if (m_eucFirst == 0x8F && m_eucWanted == 2) {
      --m_eucWanted;
    } else {
      m_eucScore += m_eucFirst == 0x8E ? kHalfWidthKatakanaWeight
                    : m_eucFirst == 0x8F ? kJisX0212Weight
                                         : weight({m_eucFirst - 0xA0, b - 0xA0});
      m_eucWanted = 0;
    }
  }
}

Encoding ShiftJisEucJudge::answer(bool atEnd) const {
  const bool euc = m_eucValid && !(atEnd && m_eucWanted != 0);
  const bool sjis = m_sjisValid && !(atEnd && m_sjisLead != 0);
  if (euc && (!sjis || m_eucScore > m_sjisScore)) return Encoding::kEucJp;
  return Encoding::kShiftJis;
}

}  // namespace morlavin::conversion
