// Which encoding a text file is in. A file is UTF-8 when it starts with the
// UTF-8 byte-order mark, or when all of its bytes are valid UTF-8 and at least
// one character takes more than one byte; every other file (pure ASCII
// included) is Shift-JIS. The whole file decides, so the detector is fed the
// bytes as they are read and gives its answer at the end.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace morlavin::conversion {

enum class Encoding { kShiftJis, kUtf8 };
// What the user asked for: the rule above, or an encoding taken as given.
enum class EncodingChoice { kAuto, kShiftJis, kUtf8 };

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

class EncodingDetector {
 public:
  void feed(std::string_view bytes) {
    std::size_t i = 0;
    while (m_offset < kUtf8ByteOrderMark.size() && i < bytes.size()) {
      m_markSoFar = m_markSoFar && bytes[i] == kUtf8ByteOrderMark[m_offset];
      ++m_offset;
      ++i;
      if (m_markSoFar && m_offset == kUtf8ByteOrderMark.size()) m_mark = true;
    }
    if (decided()) return;
    // The mark's bytes, when the text only began like it, are checked below
    // like any other bytes; they were not consumed by the validator yet.
    validate(bytes);
  }
  // True once more input cannot change the answer.
  bool decided() const { return m_mark || m_invalid; }
  bool hasByteOrderMark() const { return m_mark; }
  // The bytes checked so far are whole, valid UTF-8 (nothing is checked
  // after a byte-order mark).
  bool valid() const { return !m_invalid && m_pending == 0; }
  // The answer for the bytes fed so far, taken as a whole text.
  Encoding current() const {
    if (m_mark) return Encoding::kUtf8;
    return valid() && m_multiByte ? Encoding::kUtf8 : Encoding::kShiftJis;
  }
  // The answer if the text continues as it has so far: UTF-8 as soon as a
  // multi-byte character appeared in valid UTF-8.
  Encoding likely() const {
    if (m_mark) return Encoding::kUtf8;
    return !m_invalid && m_multiByte ? Encoding::kUtf8 : Encoding::kShiftJis;
  }

 private:
  void validate(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* const end = p + bytes.size();
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
          if (lead == 0xE0) m_low = 0xA0;       // no overlong forms
          else if (lead == 0xED) m_high = 0x9F;  // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
          m_pending = 3;
          if (lead == 0xF0) m_low = 0x90;
          else if (lead == 0xF4) m_high = 0x8F;  // nothing above U+10FFFF
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

  std::size_t m_offset = 0;  // bytes seen, counted only as far as the mark's length
  bool m_markSoFar = true;
  bool m_mark = false;
  bool m_invalid = false;
  bool m_multiByte = false;
  int m_pending = 0;  // continuation bytes still due
  unsigned char m_low = 0x80;
  unsigned char m_high = 0xBF;
};

// True when `text` is valid UTF-8 (an empty text and pure ASCII are).
inline bool isValidUtf8(std::string_view text) {
  EncodingDetector detector;
  detector.feed("x");  // a text that cannot start with the mark: every byte is checked
  detector.feed(text);
  return detector.valid();
}

// `text` with each byte that starts no valid UTF-8 character replaced by U+FFFD.
inline std::string repairUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0x80) length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0x80 || (i + length <= text.size() && isValidUtf8(text.substr(i, length)))) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      out.append("\xEF\xBF\xBD");
      ++i;
    }
  }
  return out;
}

}  // namespace morlavin::conversion
