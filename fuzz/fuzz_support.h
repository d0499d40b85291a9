// Helpers shared by the fuzz targets: a scratch file on a memory file system,
// and a check that aborts with a message so that the fuzzer keeps the input.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "conversion/text_decoders.h"
#include "conversion/text_encoding.h"

namespace morlavin::fuzz {

[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

inline void check(bool condition, const char* what) {
  if (!condition) fail(what);
}

// A per-process scratch directory, in RAM where the machine has /dev/shm.
inline const std::string& scratchDir() {
  static const std::string dir = [] {
    std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                          std::string("/morlavin-fuzz-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) fail("mkdtemp");
    return pattern;
  }();
  return dir;
}

inline void writeBytes(const std::string& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) fail("cannot write scratch file");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

inline std::string readBytes(const std::string& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return "<missing>";
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    bytes.append(buffer, got);
  std::fclose(file);
  return bytes;
}

// UTF-8 validity by decoding each character and checking its code point.
inline bool validUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c < 0x80    ? 1
                               : c >= 0xF8 ? 0
                               : c >= 0xF0 ? 4
                               : c >= 0xE0 ? 3
                               : c >= 0xC0 ? 2
                                           : 0;
    if (length == 0 || i + length > text.size()) return false;
    char32_t code = length == 1 ? c : c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += length;
  }
  return true;
}

// The encoding rule as plainly as it can be said: UTF-8 for a mark, or for
// valid UTF-8 holding a byte above 0x7F.
inline bool isUtf8Text(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) return true;
  bool high = false;
  for (char c : text) high = high || static_cast<unsigned char>(c) >= 0x80;
  return high && validUtf8(text);
}

// The whole text's encoding, by the detector fed byte by byte without vectors.
inline conversion::Encoding plainEncoding(std::string_view text) {
  conversion::EncodingDetector detector(conversion::Vectors::kNone);
  for (char c : text) detector.feed(std::string_view(&c, 1));
  return detector.current();
}

// The text the lines are split from: UTF-16 decoded, a UTF-8 mark dropped.
inline std::string textOf(std::string_view bytes, conversion::Encoding encoding) {
  using conversion::Encoding;
  if (encoding == Encoding::kUtf16Le || encoding == Encoding::kUtf16Be) {
    conversion::Utf16Decoder decoder(encoding == Encoding::kUtf16Be, true);
    std::string out(conversion::Utf16Decoder::maxOutput(bytes.size()) + 4, '\0');
    std::size_t n = decoder.decode(bytes.data(), bytes.size(), out.data());
    n += decoder.finish(out.data() + n);
    out.resize(n);
    return out;
  }
  const bool mark = encoding == Encoding::kUtf8 && bytes.starts_with("\xEF\xBB\xBF");
  return std::string(bytes.substr(mark ? 3 : 0));
}

}  // namespace morlavin::fuzz
