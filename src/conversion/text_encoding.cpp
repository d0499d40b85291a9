// The detector's rules, in the order they decide.
#include "conversion/text_encoding.h"

#include "conversion/text_decoders.h"

namespace morlavin::conversion {
namespace {

constexpr unsigned char kEscape = 0x1B;

// Whether UTF-16 in the given byte order reads `window` as text: its NUL
// bytes sit in characters below U+0100 that text holds, and every surrogate
// is paired (one cut by the window's end excepted).
bool readsAsUtf16(std::string_view window, bool bigEndian) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(window[i]); };
  bool highSurrogate = false;
  for (std::size_t i = 0; i + 1 < window.size(); i += 2) {
    const unsigned high = bigEndian ? byte(i) : byte(i + 1);
    const unsigned low = bigEndian ? byte(i + 1) : byte(i);
    const bool lowSurrogate = high >= 0xDC && high <= 0xDF;
    if (highSurrogate != lowSurrogate) return false;
    highSurrogate = high >= 0xD8 && high <= 0xDB;
    if (high == 0 && low != '\t' && low != '\n' && low != '\r' && (low < 0x20 || (low >= 0x7F && low < 0xA0))) {
      return false;
    }
  }
  return true;
}

}  // namespace

TextStart sniffTextStart(std::string_view window) {
  if (window.starts_with(kUtf8ByteOrderMark)) return TextStart::kUtf8Mark;
  if (window.starts_with("\xFF\xFE")) return TextStart::kUtf16Le;
  if (window.starts_with("\xFE\xFF")) return TextStart::kUtf16Be;
  bool evenNul = false, oddNul = false;
  for (std::size_t i = 0; i < window.size(); ++i) {
    if (window[i] == '\0') (i % 2 == 0 ? evenNul : oddNul) = true;
  }
  if (oddNul && !evenNul && readsAsUtf16(window, false)) return TextStart::kUtf16Le;
  if (evenNul && !oddNul && readsAsUtf16(window, true)) return TextStart::kUtf16Be;
  return TextStart::kPlain;
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
    std::visit(
        [&](auto& validator) {
          validator.feed(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
          m_utf8Invalid = !validator.clean();
        },
        m_validator);
  }
  if (!m_eightBit) scanSevenBit(bytes);
  if (!m_judge.settled()) m_judge.feed(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
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
        const std::uint64_t hasEscape = (escapes - 0x0101010101010101ULL) & ~escapes & 0x8080808080808080ULL;
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
      opening = opening || (escape.afterEscape.size() > after.size() && escape.afterEscape.starts_with(after));
    }
    if (m_jisEscape || !opening) m_escape.assign(b == kEscape && !m_jisEscape ? 1 : 0, static_cast<char>(kEscape));
  }
}

bool EncodingDetector::decided() const {
  if (m_startKnown && m_start != TextStart::kPlain) return true;
  // Invalid UTF-8 holds a byte above 0x7F, so the text is not ISO-2022-JP either.
  return m_utf8Invalid && m_judge.settled();
}

Encoding EncodingDetector::answer(bool atEnd) const {
  switch (start()) {
    case TextStart::kUtf8Mark: return Encoding::kUtf8;
    case TextStart::kUtf16Le: return Encoding::kUtf16Le;
    case TextStart::kUtf16Be: return Encoding::kUtf16Be;
    case TextStart::kPlain: break;
  }
  if (!m_eightBit && m_jisEscape) return Encoding::kIso2022Jp;
  const bool utf8 = std::visit(
      [&](const auto& validator) {
        return !m_utf8Invalid && (!atEnd || validator.validAtEnd()) && validator.sawNonAscii();
      },
      m_validator);
  return utf8 ? Encoding::kUtf8 : m_judge.answer(atEnd);
}

}  // namespace morlavin::conversion
