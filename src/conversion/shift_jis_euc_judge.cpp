// Both readings advance together, a byte at a time; ASCII, the same in both,
// is passed over eight bytes at a time. An EUC-JP text usually stops reading
// as Shift-JIS within its first lines (at a byte 0xFD or 0xFE); from then on
// only EUC-JP's structure is checked, with vectors where the machine has them.
#include "conversion/shift_jis_euc_judge.h"

#include <array>
#include <cstring>

#include "conversion/vector_instructions.h"
#include "platform/cp932.h"
#include "platform/jis.h"

namespace morlavin::conversion {
namespace {

// The weights of every cell a Shift-JIS pair or an EUC-JP pair can name.
constexpr int kRows = 120;
constexpr auto kWeights = [] {
  std::array<std::int8_t, kRows * 94> weights{};
  for (int row = 1; row <= kRows; ++row) {
    for (int cell = 1; cell <= 94; ++cell)
      weights[(row - 1) * 94 + cell - 1] = jisCellWeight(row, cell);
  }
  return weights;
}();

int weight(platform::JisCell c) { return kWeights[(c.row - 1) * 94 + c.cell - 1]; }

bool isEucByte(unsigned char b) { return b >= 0xA1 && b <= 0xFE; }

#if defined(__x86_64__)
// One block of 64 bytes that holds only ASCII and bytes 0xA1 to 0xFE, as the
// mask of its bytes above 0x7F. Within each run of such bytes the characters
// are pairs, so a run's bytes at even distance from its start are leads, and
// a run must not end on a lead; `lead` is 1 when the block before ended on a
// lead, whose trail must open this one. False for a broken pair. Without a
// branch: whether a block boundary splits a character is as good as random in
// Japanese text, and a mispredicted branch would cost more than the block.
bool eucPairsWhole(std::uint64_t high, std::uint64_t& lead) {
  constexpr std::uint64_t kOdd = 0xAAAAAAAAAAAAAAAAULL;
  // A run that goes on from the block before opens here with a trail byte.
  const std::uint64_t starts = high & ~(high << 1 | lead);
  // Adding a run's first bit carries through the run: the runs that start
  // at an even place. Their leads are at even places, the others' at odd
  // ones, and a run ends well on a trail byte.
  const std::uint64_t fromEven = ((high + (starts & ~kOdd)) ^ high) & high;
  const std::uint64_t leads = high & (fromEven ^ kOdd);
  const std::uint64_t ends = high & ~(high >> 1);
  const bool whole = ((ends & leads & ~(std::uint64_t{1} << 63)) | (lead & ~high)) == 0;
  lead = leads >> 63;
  return whole;
}

// The bytes of 32 at `at` that are above 0x7F, and those that are neither
// ASCII nor 0xA1 to 0xFE.
__attribute__((target("avx2"))) void eucMasks(const unsigned char* at, std::uint64_t& high,
                                              std::uint64_t& other) {
  const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  high = static_cast<std::uint32_t>(_mm256_movemask_epi8(bytes));
  // Bytes 0x80 to 0xA0 are below 0xA1 as signed bytes, ASCII is not.
  const __m256i belowA1 =
      _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(0xA1 - 0x100)), bytes);
  const __m256i ff = _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(static_cast<char>(0xFF)));
  other = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_or_si256(belowA1, ff)));
}

// Checks blocks of 64 bytes; returns the blocks taken: all of them, or up to
// the first block holding a byte other than ASCII and 0xA1 to 0xFE (0x8E,
// 0x8F and invalid bytes alike), or up to and including one where a pair is
// broken, which clears `valid`. AVX2 only: with AVX-512 the masks, and GCC's
// arithmetic on them, stay in mask registers, and their moves made a block
// twice as slow.
__attribute__((target("avx2"))) std::size_t eucBlocksAvx2(const unsigned char* p,
                                                          std::size_t blocks, std::uint64_t& lead,
                                                          bool& valid) {
  std::uint64_t carried = lead;  // in a register, not through memory, from block to block
  std::size_t block = 0;
  for (; block < blocks; ++block, p += 64) {
    std::uint64_t high0, other0, high1, other1;
    eucMasks(p, high0, other0);
    eucMasks(p + 32, high1, other1);
    if ((other0 | other1) != 0) break;
    if (!eucPairsWhole(high0 | high1 << 32, carried)) {
      valid = false;
      ++block;
      break;
    }
  }
  lead = carried;
  return block;
}

#endif

}  // namespace

const unsigned char* ShiftJisEucJudge::checkEucBlocks(const unsigned char* p,
                                                      const unsigned char* end) {
#if defined(__x86_64__)
  const bool pairPending = m_eucWanted == 1 && m_eucFirst != 0x8E && m_eucFirst != 0x8F;
  if (m_vectors < Vectors::kAvx2 || (m_eucWanted != 0 && !pairPending)) return p;
  std::uint64_t lead = pairPending ? 1 : 0;
  const std::size_t blocks = static_cast<std::size_t>(end - p) / 64;
  p += 64 * eucBlocksAvx2(p, blocks, lead, m_eucValid);
  m_eucWanted = static_cast<int>(lead);
  m_eucFirst = lead != 0 ? 0xA1 : 0;
#endif
  return p;
}

void ShiftJisEucJudge::feed(const unsigned char* p, std::size_t n) {
  const unsigned char* const end = p + n;
  while (p < end && m_eucValid) {
    if (m_sjisValid) {
      p = feedBytes(p, end);
      continue;
    }
    p = checkEucBlocks(p, end);
    // What the blocks left: a block of other bytes, or the last bytes.
    const unsigned char* const stop = end - p >= 64 ? p + 64 : end;
    feedBytes(p, stop);
    p = stop;
  }
}

const unsigned char* ShiftJisEucJudge::feedBytes(const unsigned char* p,
                                                 const unsigned char* const end) {
  const bool bothReadings = m_sjisValid;
  while (p < end && m_eucValid && m_sjisValid == bothReadings) {
    if (m_sjisLead == 0 && m_eucWanted == 0) {
      while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ULL) break;
        p += 8;
      }
      while (p < end && *p < 0x80) ++p;
      if (p == end) return p;
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
      m_eucScore += m_eucFirst == 0x8E   ? kHalfWidthKatakanaWeight
                    : m_eucFirst == 0x8F ? kJisX0212Weight
                                         : weight({m_eucFirst - 0xA0, b - 0xA0});
      m_eucWanted = 0;
    }
  }
  return p;
}

Encoding ShiftJisEucJudge::answer(bool atEnd) const {
  const bool euc = m_eucValid && !(atEnd && m_eucWanted != 0);
  const bool sjis = m_sjisValid && !(atEnd && m_sjisLead != 0);
  if (euc && (!sjis || m_eucScore > m_sjisScore)) return Encoding::kEucJp;
  return Encoding::kShiftJis;
}

}  // namespace morlavin::conversion
