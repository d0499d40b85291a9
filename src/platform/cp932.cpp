// CP932 through glibc's iconv. "CP932" and never "SHIFT_JIS": the latter maps
// 0x5C to the yen sign and would change every backslash of a Windows-made file.
#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace morlavin::platform {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

class Iconv {
 public:
  Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Iconv() {
    if (valid()) iconv_close(m_cd);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of `in` as possible, appending to `out`; stops at the first
  // sequence that cannot be converted and returns how many input bytes were used.
  std::size_t convert(std::string_view in, std::string& out) {
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char buffer[4096];
    while (inLeft > 0) {
      char* outPtr = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t rc = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
      if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) break;
    }
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    return in.size() - inLeft;
  }

 private:
  iconv_t m_cd;
};

// Length and code point of the UTF-8 sequence at the start of `text`, or
// {1, U+FFFD} when it is not a valid sequence.
std::pair<std::size_t, char32_t> decodeUtf8(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = byte(0);
  std::size_t length = 0;
  char32_t codePoint = 0;
  if (first < 0x80) return {1, first};
  if (first >= 0xC2 && first <= 0xDF) { length = 2; codePoint = first & 0x1F; }
  else if (first >= 0xE0 && first <= 0xEF) { length = 3; codePoint = first & 0x0F; }
  else if (first >= 0xF0 && first <= 0xF4) { length = 4; codePoint = first & 0x07; }
  else return {1, 0xFFFD};
  if (text.size() < length) return {1, 0xFFFD};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {1, 0xFFFD};
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
  if (overlong || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    return {1, 0xFFFD};
  }
  return {length, codePoint};
}

// ASCII reads the same in both encodings; most paths and settings are ASCII,
// and skipping iconv for them spares loading its conversion module.
bool isAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string cp932ToUtf8(std::string_view bytes) {
  if (isAscii(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  Iconv iconv("UTF-8", "CP932");
  while (!bytes.empty()) {
    const std::size_t used = iconv.valid() ? iconv.convert(bytes, out) : 0;
    bytes.remove_prefix(used);
    if (bytes.empty()) break;
    out.append(kReplacementUtf8);
    bytes.remove_prefix(1);
  }
  return out;
}

std::optional<std::string> utf8ToCp932(std::string_view text) {
  if (isAscii(text)) return std::string(text);
  std::string out;
  Iconv iconv("CP932", "UTF-8");
  if (!iconv.valid() || iconv.convert(text, out) != text.size()) return std::nullopt;
  return out;
}

std::string utf8ToCp932ForHtml(std::string_view text) {
  if (isAscii(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  Iconv iconv("CP932", "UTF-8");
  while (!text.empty()) {
    const std::size_t used = iconv.valid() ? iconv.convert(text, out) : 0;
    text.remove_prefix(used);
    if (text.empty()) break;
    const auto [length, codePoint] = decodeUtf8(text);
    char reference[16];
    std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(codePoint));
    out.append(reference);
    text.remove_prefix(length);
  }
  return out;
}

}  // namespace morlavin::platform
