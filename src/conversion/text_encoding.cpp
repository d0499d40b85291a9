// The detector's rules, in the order they decide.
#include "conversion/text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "conversion/vector_instructions.h"
#if defined(__x86_64__)
#define MORLAVIN_UTF8_VECTORS 1
#endif

#include "conversion/text_decoders.h"

namespace morlavin::conversion {
namespace {

#if MORLAVIN_UTF8_VECTORS
// UTF-8 validation many bytes at a time (the lookup-table method of Keiser
// and Lemire): every UTF-8 error shows as a pair of neighbouring bytes whose
// nibbles select a common error bit, or as a lead without its continuation
// bytes. It keeps a large UTF-8 page as fast as a Shift-JIS one.
namespace utf8_vectors {

// The error bits, and the three tables: the high and the low nibble of a
// byte, and the high nibble of the byte after it.
constexpr char kTooShort = 1 << 0, kTooLong = 1 << 1, kOverlong3 = 1 << 2, kTooLarge = 1 << 3,
               kSurrogate = 1 << 4, kOverlong2 = 1 << 5, kTooLarge1000 = 1 << 6,
               kOverlong4 = 1 << 6;
constexpr char kTwoConts = static_cast<char>(1 << 7);
constexpr char kCarry = kTooShort | kTooLong | kTwoConts;
constexpr char kLarge = kCarry | kTooLarge | kTooLarge1000;
constexpr char kCont = kTooLong | kOverlong2 | kTwoConts;
// Each table twice, for both halves of a 32-byte register.
alignas(32) inline constexpr char kByte1High[32] = {
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTwoConts,
    kTwoConts,
    kTwoConts,
    kTwoConts,
    kTooShort | kOverlong2,
    kTooShort,
    kTooShort | kOverlong3 | kSurrogate,
    kTooShort | kTooLarge | kTooLarge1000 | kOverlong4,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTwoConts,
    kTwoConts,
    kTwoConts,
    kTwoConts,
    kTooShort | kOverlong2,
    kTooShort,
    kTooShort | kOverlong3 | kSurrogate,
    kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};
alignas(32) inline constexpr char kByte1Low[32] = {kCarry | kOverlong3 | kOverlong2 | kOverlong4,
                                                   kCarry | kOverlong2,
                                                   kCarry,
                                                   kCarry,
                                                   kCarry | kTooLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge | kSurrogate,
                                                   kLarge,
                                                   kLarge,
                                                   kCarry | kOverlong3 | kOverlong2 | kOverlong4,
                                                   kCarry | kOverlong2,
                                                   kCarry,
                                                   kCarry,
                                                   kCarry | kTooLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge,
                                                   kLarge | kSurrogate,
                                                   kLarge,
                                                   kLarge};
alignas(32) inline constexpr char kByte2High[32] = {kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kCont | kOverlong3 | kTooLarge1000 | kOverlong4,
                                                    kCont | kOverlong3 | kTooLarge,
                                                    kCont | kSurrogate | kTooLarge,
                                                    kCont | kSurrogate | kTooLarge,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kCont | kOverlong3 | kTooLarge1000 | kOverlong4,
                                                    kCont | kOverlong3 | kTooLarge,
                                                    kCont | kSurrogate | kTooLarge,
                                                    kCont | kSurrogate | kTooLarge,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort,
                                                    kTooShort};
// Subtracted from the last bytes of a block: what is left of a lead there
// still waits for its continuations.
alignas(32) inline constexpr unsigned char kIncomplete[32] = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,     0xFF,     0xFF,    0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,     0xFF,     0xFF,    0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0 - 1, 0xE0 - 1, 0xC0 - 1};

// Sixteen bytes at a time, for any machine with SSSE3.
struct Ssse3 {
  static constexpr std::size_t kSize = 16;
  struct State {
    __m128i previous, incomplete, error;
  };
  __attribute__((target("ssse3"))) static bool run(State& state, const unsigned char* p,
                                                   std::size_t blocks) {
    // The state lives in registers for the run of blocks.
    __m128i previous = state.previous, incomplete = state.incomplete, error = state.error;
    const __m128i nibble = _mm_set1_epi8(0x0F);
    bool nonAscii = false;
    for (; blocks > 0; --blocks, p += kSize) {
      const __m128i input = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      if (_mm_movemask_epi8(input) == 0) {
        error = _mm_or_si128(error, incomplete);
        incomplete = _mm_setzero_si128();
        previous = input;
        continue;
      }
      nonAscii = true;
      const __m128i prev1 = _mm_alignr_epi8(input, previous, 15);
      const __m128i special = _mm_and_si128(
          _mm_and_si128(
              _mm_shuffle_epi8(table(kByte1High), _mm_and_si128(_mm_srli_epi16(prev1, 4), nibble)),
              _mm_shuffle_epi8(table(kByte1Low), _mm_and_si128(prev1, nibble))),
          _mm_shuffle_epi8(table(kByte2High), _mm_and_si128(_mm_srli_epi16(input, 4), nibble)));
      // Third and fourth bytes of a character must be continuations: the bytes
      // two after a three- or four-byte lead, and three after a four-byte lead.
      const __m128i third =
          _mm_subs_epu8(_mm_alignr_epi8(input, previous, 14), _mm_set1_epi8(char(0xE0 - 0x80)));
      const __m128i fourth =
          _mm_subs_epu8(_mm_alignr_epi8(input, previous, 13), _mm_set1_epi8(char(0xF0 - 0x80)));
      const __m128i mustContinue =
          _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(char(0x80)));
      error = _mm_or_si128(error, _mm_xor_si128(mustContinue, special));
      incomplete =
          _mm_subs_epu8(input, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kIncomplete + 16)));
      previous = input;
    }
    state = State{previous, incomplete, error};
    return nonAscii;
  }
  __attribute__((target("ssse3"))) static bool clean(const State& state, bool atEnd) {
    const __m128i error = atEnd ? _mm_or_si128(state.error, state.incomplete) : state.error;
    return _mm_movemask_epi8(_mm_cmpeq_epi8(error, _mm_setzero_si128())) == 0xFFFF;
  }

 private:
  __attribute__((target("ssse3"), always_inline)) static __m128i table(const char* bytes) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(bytes));
  }
};

// Thirty-two bytes at a time, where the machine has AVX2.
struct Avx2 {
  static constexpr std::size_t kSize = 32;
  struct State {
    __m256i previous, incomplete, error;
  };
  __attribute__((target("avx2"))) static bool run(State& state, const unsigned char* p,
                                                  std::size_t blocks) {
    __m256i previous = state.previous, incomplete = state.incomplete, error = state.error;
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    bool nonAscii = false;
    for (; blocks > 0; --blocks, p += kSize) {
      const __m256i input = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
      if (_mm256_movemask_epi8(input) == 0) {
        error = _mm256_or_si256(error, incomplete);
        incomplete = _mm256_setzero_si256();
        previous = input;
        continue;
      }
      nonAscii = true;
      // The bytes before each byte of the block: the halves of a register
      // shift apart, so the earlier half is put beside each first.
      const __m256i before = _mm256_permute2x128_si256(previous, input, 0x21);
      const __m256i prev1 = _mm256_alignr_epi8(input, before, 15);
      const __m256i special = _mm256_and_si256(
          _mm256_and_si256(
              _mm256_shuffle_epi8(table(kByte1High),
                                  _mm256_and_si256(_mm256_srli_epi16(prev1, 4), nibble)),
              _mm256_shuffle_epi8(table(kByte1Low), _mm256_and_si256(prev1, nibble))),
          _mm256_shuffle_epi8(table(kByte2High),
                              _mm256_and_si256(_mm256_srli_epi16(input, 4), nibble)));
      const __m256i third = _mm256_subs_epu8(_mm256_alignr_epi8(input, before, 14),
                                             _mm256_set1_epi8(char(0xE0 - 0x80)));
      const __m256i fourth = _mm256_subs_epu8(_mm256_alignr_epi8(input, before, 13),
                                              _mm256_set1_epi8(char(0xF0 - 0x80)));
      const __m256i mustContinue =
          _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(char(0x80)));
      error = _mm256_or_si256(error, _mm256_xor_si256(mustContinue, special));
      incomplete =
          _mm256_subs_epu8(input, _mm256_load_si256(reinterpret_cast<const __m256i*>(kIncomplete)));
      previous = input;
    }
    state = State{previous, incomplete, error};
    return nonAscii;
  }
  __attribute__((target("avx2"))) static bool clean(const State& state, bool atEnd) {
    const __m256i error = atEnd ? _mm256_or_si256(state.error, state.incomplete) : state.error;
    return _mm256_testz_si256(error, error);
  }

 private:
  __attribute__((target("avx2"), always_inline)) static __m256i table(const char* bytes) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(bytes));
  }
};

// Sixty-four bytes at a time, where the machine has AVX-512 (byte and word
// instructions). The method is the same; the register's four 16-byte lanes
// each look their tables up alike.
struct Avx512 {
  static constexpr std::size_t kSize = 64;
  struct State {
    __m512i previous, incomplete, error;
  };
  __attribute__((target("avx512bw"))) static bool run(State& state, const unsigned char* p,
                                                      std::size_t blocks) {
    __m512i previous = state.previous, incomplete = state.incomplete, error = state.error;
    const __m512i nibble = _mm512_set1_epi8(0x0F);
    // Only the last lane has the tail of a character to wait for.
    const __m512i lastBytes =
        _mm512_inserti64x4(_mm512_set1_epi8(char(0xFF)),
                           _mm256_load_si256(reinterpret_cast<const __m256i*>(kIncomplete)), 1);
    bool nonAscii = false;
    for (; blocks > 0; --blocks, p += kSize) {
      const __m512i input = _mm512_loadu_si512(p);
      if (_mm512_movepi8_mask(input) == 0) {
        error = _mm512_or_si512(error, incomplete);
        incomplete = _mm512_setzero_si512();
        previous = input;
        continue;
      }
      nonAscii = true;
      // Each lane beside the one before it: the last lane of the previous
      // block, then the first three of this one.
      const __m512i before = _mm512_alignr_epi64(input, previous, 6);
      const __m512i prev1 = _mm512_alignr_epi8(input, before, 15);
      const __m512i special = _mm512_and_si512(
          _mm512_and_si512(
              _mm512_shuffle_epi8(table(kByte1High),
                                  _mm512_and_si512(_mm512_srli_epi16(prev1, 4), nibble)),
              _mm512_shuffle_epi8(table(kByte1Low), _mm512_and_si512(prev1, nibble))),
          _mm512_shuffle_epi8(table(kByte2High),
                              _mm512_and_si512(_mm512_srli_epi16(input, 4), nibble)));
      const __m512i third = _mm512_subs_epu8(_mm512_alignr_epi8(input, before, 14),
                                             _mm512_set1_epi8(char(0xE0 - 0x80)));
      const __m512i fourth = _mm512_subs_epu8(_mm512_alignr_epi8(input, before, 13),
                                              _mm512_set1_epi8(char(0xF0 - 0x80)));
      const __m512i mustContinue =
          _mm512_and_si512(_mm512_or_si512(third, fourth), _mm512_set1_epi8(char(0x80)));
      error = _mm512_or_si512(error, _mm512_xor_si512(mustContinue, special));
      incomplete = _mm512_subs_epu8(input, lastBytes);
      previous = input;
    }
    state = State{previous, incomplete, error};
    return nonAscii;
  }
  __attribute__((target("avx512bw"))) static bool clean(const State& state, bool atEnd) {
    const __m512i error = atEnd ? _mm512_or_si512(state.error, state.incomplete) : state.error;
    return _mm512_test_epi64_mask(error, error) == 0;
  }

 private:
  __attribute__((target("avx512bw"), always_inline)) static __m512i table(const char* bytes) {
    return _mm512_broadcast_i32x4(_mm_load_si128(reinterpret_cast<const __m128i*>(bytes)));
  }
};

// Feeds whole blocks to `Lanes` and keeps a block's worth of bytes that
// arrived in pieces until it is complete.
template <class Lanes>
class BlockValidator final : public Utf8Validator {
 public:
  static constexpr std::size_t kSize = Lanes::kSize;

  void feed(const unsigned char* p, std::size_t n) override {
    if (m_tailSize > 0) {
      const std::size_t take = std::min(n, kSize - m_tailSize);
      std::memcpy(m_tail + m_tailSize, p, take);
      m_tailSize += take;
      p += take;
      n -= take;
      if (m_tailSize < kSize) return;
      m_nonAscii |= Lanes::run(m_state, m_tail, 1);
      m_tailSize = 0;
    }
    m_nonAscii |= Lanes::run(m_state, p, n / kSize);
    std::memcpy(m_tail, p + n / kSize * kSize, n % kSize);
    m_tailSize = n % kSize;
  }
  bool clean() const override { return Lanes::clean(m_state, false); }
  bool validAtEnd() const override {
    BlockValidator end = *this;
    if (end.m_tailSize > 0) {
      std::memset(end.m_tail + end.m_tailSize, 0, kSize - end.m_tailSize);
      Lanes::run(end.m_state, end.m_tail, 1);
    }
    return Lanes::clean(end.m_state, true);
  }
  bool sawNonAscii() const override {
    return m_nonAscii ||
           std::any_of(m_tail, m_tail + m_tailSize, [](unsigned char c) { return c >= 0x80; });
  }

 private:
  typename Lanes::State m_state{};
  unsigned char m_tail[kSize] = {};
  std::size_t m_tailSize = 0;
  bool m_nonAscii = false;
};

}  // namespace utf8_vectors
#endif

// UTF-8 validation a byte at a time, where the machine has no vectors to
// use; it answers as BlockValidator does.
class ByteValidator final : public Utf8Validator {
 public:
  void feed(const unsigned char* p, std::size_t n) override {
    const unsigned char* const end = p + n;
    while (p < end) {
      if (m_pending == 0) {
        // ASCII runs, eight bytes at a time.
        while (end - p >= 8) {
          std::uint64_t word;
          std::memcpy(&word, p, 8);
          if (word & 0x8080808080808080ULL) break;
          p += 8;
        }
        while (p < end && *p < 0x80) ++p;
        if (p == end) return;
        const unsigned char lead = *p++;
        m_low = 0x80;
        m_high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
          m_pending = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
          m_pending = 2;
          if (lead == 0xE0)
            m_low = 0xA0;  // no overlong forms
          else if (lead == 0xED)
            m_high = 0x9F;  // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
          m_pending = 3;
          if (lead == 0xF0)
            m_low = 0x90;
          else if (lead == 0xF4)
            m_high = 0x8F;  // nothing above U+10FFFF
        } else {
          m_invalid = true;
          return;
        }
        continue;
      }
      const unsigned char next = *p++;
      if (next < m_low || next > m_high) {
        m_invalid = true;
        return;
      }
      m_low = 0x80;
      m_high = 0xBF;
      if (--m_pending == 0) m_multiByte = true;
    }
  }
  bool clean() const override { return !m_invalid; }
  bool validAtEnd() const override { return !m_invalid && m_pending == 0; }
  bool sawNonAscii() const override { return m_multiByte; }

 private:
  bool m_invalid = false;
  bool m_multiByte = false;
  int m_pending = 0;  // continuation bytes still due
  unsigned char m_low = 0x80;
  unsigned char m_high = 0xBF;
};

constexpr unsigned char kEscape = 0x1B;

// How many units of `window` UTF-16 in the given byte order reads as
// characters of Japanese text (ASCII, Latin-1, punctuation, kana, CJK
// ideographs, full-width forms, a paired surrogate), or -1 when it meets a
// NUL character or an unpaired surrogate, which no text holds.
int textUnits(std::string_view window, bool bigEndian) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(window[i]); };
  int count = 0;
  bool highSurrogate = false;
  for (std::size_t i = 0; i + 1 < window.size(); i += 2) {
    const char32_t unit =
        bigEndian ? (char32_t{byte(i)} << 8 | byte(i + 1)) : (char32_t{byte(i + 1)} << 8 | byte(i));
    const bool lowSurrogate = unit >= 0xDC00 && unit <= 0xDFFF;
    if (unit == 0 || highSurrogate != lowSurrogate) return -1;
    highSurrogate = unit >= 0xD800 && unit <= 0xDBFF;
    const auto within = [unit](char32_t first, char32_t last) {
      return unit >= first && unit <= last;
    };
    count += unit == '\t' || unit == '\n' || unit == '\r' || within(0x20, 0x7E) ||
             within(0xA0, 0xFF) || within(0x2000, 0x206F) || within(0x3000, 0x30FF) ||
             within(0x4E00, 0x9FFF) || within(0xFF00, 0xFFEF) || lowSurrogate;
  }
  return count;
}

}  // namespace

std::unique_ptr<Utf8Validator> Utf8Validator::create(Vectors widest) {
  switch (usableVectors(widest)) {
#if MORLAVIN_UTF8_VECTORS
    case Vectors::kAvx512:
      return std::make_unique<utf8_vectors::BlockValidator<utf8_vectors::Avx512>>();
    case Vectors::kAvx2:
      return std::make_unique<utf8_vectors::BlockValidator<utf8_vectors::Avx2>>();
    case Vectors::kSsse3:
      return std::make_unique<utf8_vectors::BlockValidator<utf8_vectors::Ssse3>>();
#endif
    default:
      return std::make_unique<ByteValidator>();
  }
}

bool isValidUtf8(std::string_view text) {
  ByteValidator validator;
  validator.feed(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  return validator.validAtEnd();
}

TextStart sniffTextStart(std::string_view window) {
  if (window.starts_with(kUtf8ByteOrderMark)) return TextStart::kUtf8Mark;
  if (window.starts_with("\xFF\xFE")) return TextStart::kUtf16Le;
  if (window.starts_with("\xFE\xFF")) return TextStart::kUtf16Be;
  if (window.find('\0') == std::string_view::npos) return TextStart::kPlain;
  // Nine units in ten must read as text in the likelier byte order.
  const int little = textUnits(window, false), big = textUnits(window, true);
  const int units = static_cast<int>(window.size() / 2);
  if (std::max(little, big) * 10 < units * 9) return TextStart::kPlain;
  return little >= big ? TextStart::kUtf16Le : TextStart::kUtf16Be;
}

void EncodingDetector::feed(std::string_view bytes) {
  if (m_window.size() < kSniffWindow) {
    m_window.append(bytes.substr(0, kSniffWindow - m_window.size()));
    if (m_window.size() == kSniffWindow) {
      m_start = sniffTextStart(m_window);
      m_startKnown = true;
    }
  }
  if (m_startKnown && m_start != TextStart::kPlain) return;
  if (!m_utf8Invalid) {
    m_validator->feed(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    m_utf8Invalid = !m_validator->clean();
  }
  if (!m_eightBit) scanSevenBit(bytes);
  if (!m_judge.settled())
    m_judge.feed(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void EncodingDetector::scanSevenBit(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* const end = p + bytes.size();
  while (p < end) {
    if (m_escape.empty()) {
      // ASCII without an ESC, eight bytes at a time.
      for (std::uint64_t word; end - p >= 8; p += 8) {
        std::memcpy(&word, p, 8);
        const std::uint64_t escapes = word ^ 0x1B1B1B1B1B1B1B1BULL;
        const std::uint64_t hasEscape =
            (escapes - 0x0101010101010101ULL) & ~escapes & 0x8080808080808080ULL;
        if ((word & 0x8080808080808080ULL) != 0 || hasEscape != 0) break;
      }
      if (p == end) return;
    }
    const unsigned char b = *p++;
    if (b >= 0x80) {
      m_eightBit = true;
      return;
    }
    if (m_escape.empty()) {
      if (b == kEscape) m_escape.assign(1, static_cast<char>(b));
      continue;
    }
    // Within an escape sequence: it goes on while it is the start of a known one.
    m_escape += static_cast<char>(b);
    const std::string_view after = std::string_view(m_escape).substr(1);
    bool opening = false;
    for (const JisEscape& escape : kJisEscapes) {
      if (after == escape.afterEscape) m_jisEscape = true;
      opening = opening ||
                (escape.afterEscape.size() > after.size() && escape.afterEscape.starts_with(after));
    }
    if (m_jisEscape || !opening)
      m_escape.assign(b == kEscape && !m_jisEscape ? 1 : 0, static_cast<char>(kEscape));
  }
}

bool EncodingDetector::decided() const {
  if (m_startKnown && m_start != TextStart::kPlain) return true;
  // Invalid UTF-8 holds a byte above 0x7F, so the text is not ISO-2022-JP either.
  return m_utf8Invalid && m_judge.settled();
}

Encoding EncodingDetector::answer(bool atEnd) const {
  switch (start()) {
    case TextStart::kUtf8Mark:
      return Encoding::kUtf8;
    case TextStart::kUtf16Le:
      return Encoding::kUtf16Le;
    case TextStart::kUtf16Be:
      return Encoding::kUtf16Be;
    case TextStart::kPlain:
      break;
  }
  if (!m_eightBit && m_jisEscape) return Encoding::kIso2022Jp;
  const bool utf8 =
      !m_utf8Invalid && (!atEnd || m_validator->validAtEnd()) && m_validator->sawNonAscii();
  return utf8 ? Encoding::kUtf8 : m_judge.answer(atEnd);
}

}  // namespace morlavin::conversion
