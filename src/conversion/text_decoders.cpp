// ISO-2022-JP and UTF-16 into UTF-8.
#include "conversion/text_decoders.h"

#include <cstdint>

#include "conversion/vector_instructions.h"
#include "platform/cp932.h"
#include "platform/jis.h"
#include "platform/utf8.h"

namespace morlavin::conversion {
namespace {

constexpr char kEscape = '\x1B';

bool isJisByte(unsigned char b) { return b >= 0x21 && b <= 0x7E; }

}  // namespace

void Iso2022JpDecoder::decode(std::string_view line, std::string& out) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(line[i]); };
  for (std::size_t i = 0; i < line.size();) {
    const unsigned char b = at(i);
    if (b == kEscape) {
      const std::string_view after = line.substr(i + 1);
      std::size_t length = 0;
      for (const JisEscape& escape : kJisEscapes) {
        if (after.starts_with(escape.afterEscape)) {
          m_set = escape.set;
          length = escape.afterEscape.size();
        }
      }
      // "ESC & @" announces the 1990 edition of JIS X 0208 before its "ESC $ B".
      if (length == 0 && after.starts_with("&@")) length = 2;
      if (length == 0) platform::appendUtf8(out, platform::kReplacementCharacter);
      i += 1 + length;
      continue;
    }
    if (b >= 0x80) {
      platform::appendUtf8(out, platform::kReplacementCharacter);
      ++i;
      continue;
    }
    ++i;
    switch (m_set) {
      case JisSet::kAscii:
        out += static_cast<char>(b);
        continue;
      case JisSet::kRoman:
        platform::appendUtf8(out, b == 0x5C ? U'\u00A5' : b == 0x7E ? U'\u203E' : char32_t{b});
        continue;
      case JisSet::kKatakana:
        if (b >= 0x21 && b <= 0x5F) {
          platform::appendUtf8(out, 0xFF61 + (b - 0x21));
        } else {
          platform::appendUtf8(out, b < 0x21 ? char32_t{b} : platform::kReplacementCharacter);
        }
        continue;
      default:
        break;
    }
    // A double-byte set: blanks and control characters stand for themselves.
    if (b < 0x21) {
      out += static_cast<char>(b);
      continue;
    }
    if (!isJisByte(b) || i == line.size() || !isJisByte(at(i))) {
      platform::appendUtf8(out, platform::kReplacementCharacter);
      continue;
    }
    const platform::JisCell cell{b - 0x20, at(i) - 0x20};
    ++i;
    bool decoded = false;
    if (m_set == JisSet::kJisX0208) {
      const char32_t c = platform::jisX0208Character(cell);
      if (c != 0) platform::appendUtf8(out, c);
      decoded = c != 0;
    } else if (m_set == JisSet::kJisX0212) {
      decoded = platform::appendJisX0212(out, cell);
    } else {
      decoded = platform::appendJisX0213(out, m_set == JisSet::kJisX0213Plane1 ? 1 : 2, cell);
    }
    if (!decoded) platform::appendUtf8(out, platform::kReplacementCharacter);
  }
}

namespace {

template <bool kBigEndian>
char32_t unitAt(const unsigned char* p) {
  return kBigEndian ? (char32_t{p[0]} << 8 | p[1]) : (char32_t{p[1]} << 8 | p[0]);
}

// Whole units from `p` on, up to the first surrogate or the end: the common
// run of characters, without the state a piece's edges need. Each unit's
// UTF-8 is chosen without a branch (Japanese text mixes one- and three-byte
// characters too irregularly for the branches to be guessed) and written as
// three bytes, of which the next unit overwrites those not taken.
template <bool kBigEndian>
const unsigned char* decodePlainUnits(const unsigned char* p, const unsigned char* end, char*& out,
                                      std::size_t most = SIZE_MAX) {
  for (; end - p >= 2 && most > 0; p += 2, --most) {
    const std::uint32_t unit = unitAt<kBigEndian>(p);
    if (unit - 0xD800 < 0x800) break;
    const bool small = unit < 0x80, middle = unit < 0x800;
    const std::uint32_t last = 0x80 | (unit & 0x3F);
    out[0] = static_cast<char>(small ? unit : middle ? 0xC0 | unit >> 6 : 0xE0 | unit >> 12);
    out[1] = static_cast<char>(middle ? last : 0x80 | (unit >> 6 & 0x3F));
    out[2] = static_cast<char>(last);
    out += 3 - small - middle;
  }
  return p;
}

#if defined(__x86_64__)
// Sixteen units at a time, of any mix of lengths: each unit's UTF-8 is made
// in a lane of four bytes, and the bytes it does not use are squeezed out.
template <bool kBigEndian>
__attribute__((target("avx2,avx512bw,avx512vbmi2"))) const unsigned char* decodeUnitsAvx512(
    const unsigned char* p, const unsigned char* end, char*& out) {
  const __m256i swap = _mm256_setr_epi8(1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14, 1, 0,
                                        3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14);
  const __m512i low6 = _mm512_set1_epi32(0x3F);
  for (; end - p >= 32; p += 32) {
    __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    if (kBigEndian) raw = _mm256_shuffle_epi8(raw, swap);
    const __m512i units = _mm512_cvtepu16_epi32(raw);
    const __mmask16 surrogate = _mm512_cmpeq_epi32_mask(
        _mm512_and_si512(units, _mm512_set1_epi32(0xF800)), _mm512_set1_epi32(0xD800));
    if (surrogate != 0) break;
    const __mmask16 one = _mm512_cmplt_epu32_mask(units, _mm512_set1_epi32(0x80));
    const __mmask16 two = _mm512_cmplt_epu32_mask(units, _mm512_set1_epi32(0x800));
    const __m512i last = _mm512_or_si512(_mm512_and_si512(units, low6), _mm512_set1_epi32(0x80));
    const __m512i middle = _mm512_or_si512(_mm512_and_si512(_mm512_srli_epi32(units, 6), low6),
                                           _mm512_set1_epi32(0x80));
    const __m512i three =
        _mm512_or_si512(_mm512_or_si512(_mm512_srli_epi32(units, 12), _mm512_set1_epi32(0xE0)),
                        _mm512_or_si512(_mm512_slli_epi32(middle, 8), _mm512_slli_epi32(last, 16)));
    const __m512i twoBytes =
        _mm512_or_si512(_mm512_or_si512(_mm512_srli_epi32(units, 6), _mm512_set1_epi32(0xC0)),
                        _mm512_slli_epi32(last, 8));
    __m512i bytes = _mm512_mask_blend_epi32(two, three, twoBytes);
    bytes = _mm512_mask_blend_epi32(one, bytes, units);
    __m512i used =
        _mm512_mask_blend_epi32(two, _mm512_set1_epi32(0x00FFFFFF), _mm512_set1_epi32(0x0000FFFF));
    used = _mm512_mask_blend_epi32(one, used, _mm512_set1_epi32(0x000000FF));
    const __mmask64 keep = _mm512_movepi8_mask(used);
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(keep, bytes));
    out += __builtin_popcountll(keep);
  }
  return p;
}
#endif

// Whole units up to the first surrogate or the end, sixteen at a time where
// `vectors` allows.
template <bool kBigEndian>
const unsigned char* decodeUnits(const unsigned char* p, const unsigned char* end, char*& out,
                                 bool vectors) {
#if defined(__x86_64__)
  if (vectors) p = decodeUnitsAvx512<kBigEndian>(p, end, out);
#endif
  return decodePlainUnits<kBigEndian>(p, end, out);
}

}  // namespace

namespace {

bool canCompressBytes(Vectors widest) {
#if defined(__x86_64__)
  return widest == Vectors::kAvx512 && usableVectors(widest) == Vectors::kAvx512 &&
         __builtin_cpu_supports("avx512vbmi2");
#else
  return false;
#endif
}

}  // namespace

Utf16Decoder::Utf16Decoder(bool bigEndian, bool dropMark, Vectors widest)
    : m_bigEndian(bigEndian), m_atStart(dropMark), m_vectors(canCompressBytes(widest)) {}

std::size_t Utf16Decoder::decode(const char* in, std::size_t n, char* out) {
  char* const start = out;
  const auto* p = reinterpret_cast<const unsigned char*>(in);
  const unsigned char* const end = p + n;
  while (p < end) {
    // Past the first unit and any surrogate, runs of other units go the quick way.
    if (!m_oddByte && m_highSurrogate == 0 && !m_atStart) {
      p = m_bigEndian ? decodeUnits<true>(p, end, out, m_vectors)
                      : decodeUnits<false>(p, end, out, m_vectors);
      if (p == end) break;
    }
    char32_t unit;
    if (m_oddByte) {
      const unsigned char pair[2] = {*m_oddByte, *p++};
      unit = m_bigEndian ? unitAt<true>(pair) : unitAt<false>(pair);
      m_oddByte.reset();
    } else if (end - p >= 2) {
      unit = m_bigEndian ? unitAt<true>(p) : unitAt<false>(p);
      p += 2;
    } else {
      m_oddByte = *p++;
      break;
    }
    const bool first = m_atStart;
    m_atStart = false;
    if (m_highSurrogate != 0) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        out += platform::writeUtf8(0x10000 + ((m_highSurrogate - 0xD800) << 10) + (unit - 0xDC00),
                                   out);
        m_highSurrogate = 0;
        continue;
      }
      out += platform::writeUtf8(platform::kReplacementCharacter, out);
      m_highSurrogate = 0;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      m_highSurrogate = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      out += platform::writeUtf8(platform::kReplacementCharacter, out);
    } else if (!(first && unit == 0xFEFF)) {
      out += platform::writeUtf8(unit, out);
    }
  }
  return static_cast<std::size_t>(out - start);
}

std::size_t Utf16Decoder::finish(char* out) {
  const bool cut = m_oddByte || m_highSurrogate != 0;
  m_oddByte.reset();
  m_highSurrogate = 0;
  return cut ? platform::writeUtf8(platform::kReplacementCharacter, out) : 0;
}

std::string repairUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const platform::Utf8Character character = platform::decodeUtf8(text);
    out.append(character.valid ? text.substr(0, character.length) : "\xEF\xBF\xBD");
    text.remove_prefix(character.length);
  }
  return out;
}

std::string decodeLine(std::string_view line, Encoding encoding) {
  switch (encoding) {
    case Encoding::kShiftJis:
      return platform::cp932ToUtf8(line);
    case Encoding::kEucJp:
      return platform::eucJpToUtf8(line);
    case Encoding::kIso2022Jp: {
      std::string out;
      Iso2022JpDecoder().decode(line, out);
      return out;
    }
    default:
      return repairUtf8(line);
  }
}

}  // namespace morlavin::conversion
