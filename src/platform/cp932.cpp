// CP932 through tables built once from glibc's iconv. "CP932" and never
// "SHIFT_JIS": the latter maps 0x5C to the yen sign and would change every
// backslash of a file. iconv alone is not enough: it refuses the single bytes
// 0x80, 0xA0 and 0xFD to 0xFF, which must read as characters of their own so
// that every byte of a text comes back when encoded, and it encodes some
// characters as others ("〜" as the bytes of "～"), which a table checked both
// ways rules out.
#include "platform/cp932.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/utf8.h"

namespace morlavin::platform {
namespace {

// A pair without a character reads as one middle dot: the rest of the text
// survives, and the reader sees where something was.
constexpr char32_t kUnassigned = 0x30FB;  // ・

// Both directions of the code page. Every entry of `encoded` decodes back to
// its own code point; that is what makes a character representable.
class Tables {
 public:
  static const Tables& get() {
    static const Tables tables;
    return tables;
  }

  // The character of a single byte that is no lead byte.
  char32_t single(unsigned char byte) const { return m_single[byte]; }
  // The character of a lead and a trail byte, or 0 when the pair is unassigned.
  char32_t pair(unsigned char lead, unsigned char trail) const {
    return m_pairs[leadIndex(lead) * 256 + trail];
  }
  // The bytes of `c` (one byte below 0x100, else lead × 256 + trail), or 0.
  std::uint16_t encoded(char32_t c) const { return c < m_encoded.size() ? m_encoded[c] : 0; }

 private:
  Tables() : m_pairs(60 * 256, 0), m_encoded(0x10000, 0) {
    for (unsigned byte = 0; byte < 0x80; ++byte) m_single[byte] = byte;
    for (unsigned byte = 0xA1; byte <= 0xDF; ++byte) m_single[byte] = 0xFF61 + (byte - 0xA1);
    m_single[0x80] = 0x80;
    m_single[0xA0] = 0xF8F0;
    m_single[0xFD] = 0xF8F1;
    m_single[0xFE] = 0xF8F2;
    m_single[0xFF] = 0xF8F3;
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
      if (m_single[byte] != 0) m_encoded[m_single[byte]] = static_cast<std::uint16_t>(byte);
    }

    const iconv_t decoder = iconv_open("UTF-32LE", "CP932");
    const iconv_t encoder = iconv_open("CP932", "UTF-32LE");
    const iconv_t invalid = reinterpret_cast<iconv_t>(-1);
    if (decoder != invalid && encoder != invalid) {
      std::string out;
      for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isCp932LeadByte(static_cast<unsigned char>(lead))) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
          if (!isCp932TrailByte(static_cast<unsigned char>(trail))) continue;
          const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
          out.clear();
          if (!appendConverted(out, decoder, {bytes, 2}) || out.size() != 4) continue;
          const char32_t c = utf32(out);
          if (c == 0 || c > 0xFFFF) continue;
          m_pairs[leadIndex(static_cast<unsigned char>(lead)) * 256 + trail] = c;
        }
      }
      // Where several pairs decode to one character, iconv knows the one that
      // is usually written; its answer counts only if it decodes back to the same.
      for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isCp932LeadByte(static_cast<unsigned char>(lead))) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
          const char32_t c = m_pairs[leadIndex(static_cast<unsigned char>(lead)) * 256 + trail];
          if (c == 0 || m_encoded[c] != 0) continue;
          const char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF), 0,
                              0};
          out.clear();
          if (!appendConverted(out, encoder, {in, 4}) || out.size() != 2) continue;
          const auto l = static_cast<unsigned char>(out[0]);
          const auto t = static_cast<unsigned char>(out[1]);
          if (isCp932LeadByte(l) && pair(l, t) == c)
            m_encoded[c] = static_cast<std::uint16_t>(l << 8 | t);
        }
      }
    }
    if (decoder != invalid) iconv_close(decoder);
    if (encoder != invalid) iconv_close(encoder);
  }

  static std::size_t leadIndex(unsigned char lead) {
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
  }
  static char32_t utf32(const std::string& bytes) {
    char32_t c = 0;
    for (int i = 3; i >= 0; --i) c = (c << 8) | static_cast<unsigned char>(bytes[i]);
    return c;
  }

  std::array<char32_t, 256> m_single{};
  std::vector<char32_t> m_pairs;
  std::vector<std::uint16_t> m_encoded;
};

// ASCII reads the same in both encodings; most paths and settings are ASCII,
// and skipping the tables for them spares building them.
bool isAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

void appendEncoded(std::string& out, std::uint16_t bytes) {
  if (bytes >= 0x100) out += static_cast<char>(bytes >> 8);
  out += static_cast<char>(bytes & 0xFF);
}

}  // namespace

bool appendConverted(std::string& out, iconv_t converter, std::string_view bytes) {
  const auto failed = static_cast<std::size_t>(-1);
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char buffer[16];
  char* outPtr = buffer;
  std::size_t outLeft = sizeof buffer;
  const std::size_t rc = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
  // A character that may combine with the next is held back until the end.
  const std::size_t flushed = iconv(converter, nullptr, nullptr, &outPtr, &outLeft);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (rc == failed || flushed == failed || inLeft != 0 || outPtr == buffer) return false;
  out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
  return true;
}

char32_t cp932Character(unsigned char lead, unsigned char trail) {
  if (!isCp932LeadByte(lead) || !isCp932TrailByte(trail)) return 0;
  return Tables::get().pair(lead, trail);
}

std::uint16_t cp932Bytes(char32_t c) { return Tables::get().encoded(c); }

std::string cp932ToUtf8(std::string_view bytes) {
  if (isAscii(bytes)) return std::string(bytes);
  const Tables& tables = Tables::get();
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  for (std::size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (!isCp932LeadByte(byte)) {
      appendUtf8(out, tables.single(byte));
      ++i;
      continue;
    }
    const auto trail = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    if (!isCp932TrailByte(trail)) {
      appendUtf8(out, kUnassigned);
      ++i;
      continue;
    }
    const char32_t c = tables.pair(byte, trail);
    appendUtf8(out, c != 0 ? c : kUnassigned);
    i += 2;
  }
  return out;
}

namespace {

// Encodes `text`, handing each character CP932 cannot hold to
// `unrepresentable(out, codePoint)`, which appends what stands for it or
// returns false to give up.
template <class Unrepresentable>
bool encodeCp932(std::string_view text, std::string& out, Unrepresentable unrepresentable) {
  if (isAscii(text)) {
    out.assign(text);
    return true;
  }
  const Tables& tables = Tables::get();
  out.reserve(text.size());
  while (!text.empty()) {
    const auto [length, codePoint, valid] = decodeUtf8(text);
    if (codePoint < 0x80) {
      out += static_cast<char>(codePoint);
    } else if (const std::uint16_t bytes = tables.encoded(codePoint); bytes != 0) {
      appendEncoded(out, bytes);
    } else if (!unrepresentable(out, codePoint)) {
      return false;
    }
    text.remove_prefix(length);
  }
  return true;
}

}  // namespace

std::optional<std::string> utf8ToCp932(std::string_view text) {
  std::string out;
  if (!encodeCp932(text, out, [](std::string&, char32_t) { return false; })) return std::nullopt;
  return out;
}

std::string utf8ToCp932ForHtml(std::string_view text) {
  std::string out;
  (void)encodeCp932(text, out, [](std::string& to, char32_t codePoint) {
    char reference[16];
    std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(codePoint));
    to.append(reference);
    return true;
  });
  return out;
}

}  // namespace morlavin::platform
