// Decoders into UTF-8 for the texts whose bytes cannot go into a page as they
// are: ISO-2022-JP (a "<" byte may be half of a kanji) and UTF-16 (NUL bytes,
// and line-end bytes inside characters); and the first line of any text, for
// its title. What does not decode becomes U+FFFD, and decoding goes on.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/encoding.h"
#include "conversion/vectors.h"

namespace morlavin::conversion {

// The character sets ISO-2022-JP switches between with its escape sequences.
enum class JisSet {
  kAscii,
  kRoman,
  kKatakana,
  kJisX0208,
  kJisX0212,
  kJisX0213Plane1,
  kJisX0213Plane2
};

struct JisEscape {
  std::string_view afterEscape;  // the bytes that follow ESC
  JisSet set;
};
// The escape sequences of ISO-2022-JP and its extensions for JIS X 0212 and
// JIS X 0213: any of them in a 7-bit text makes it ISO-2022-JP.
inline constexpr JisEscape kJisEscapes[] = {
    {"(B", JisSet::kAscii},           {"(J", JisSet::kRoman},
    {"(I", JisSet::kKatakana},        {"$@", JisSet::kJisX0208},
    {"$B", JisSet::kJisX0208},        {"$(D", JisSet::kJisX0212},
    {"$(O", JisSet::kJisX0213Plane1}, {"$(Q", JisSet::kJisX0213Plane1},
    {"$(P", JisSet::kJisX0213Plane2}};

class Iso2022JpDecoder {
 public:
  // Appends the decoding of `line` (without its line end) to `out`. The set in
  // force at the end of a line carries on into the next, as it does in a
  // mail whose line leaves kanji open.
  void decode(std::string_view line, std::string& out);

 private:
  JisSet m_set = JisSet::kAscii;
};

class Utf16Decoder {
 public:
  // With `dropMark`, a byte-order mark as the text's first character is no
  // text. With `widest` kAvx512, on a machine with AVX-512 VBMI2, units are
  // decoded sixteen at a time.
  Utf16Decoder(bool bigEndian, bool dropMark, Vectors widest = Vectors::kAvx512);

  // The room decode() needs for `n` bytes: it may write up to 64 bytes past
  // the text it returns.
  static constexpr std::size_t maxOutput(std::size_t n) { return 2 * n + 64; }
  // Decodes the next `n` bytes of the text to UTF-8 at `out`; returns the
  // bytes written. A character cut by the end of `in` is completed by the
  // next call.
  std::size_t decode(const char* in, std::size_t n, char* out);
  // Ends the text: a lone last byte or a high surrogate without its low one
  // is U+FFFD. Writes at most 3 bytes.
  std::size_t finish(char* out);

 private:
  bool m_bigEndian;
  bool m_atStart;
  bool m_vectors;
  std::optional<unsigned char> m_oddByte;  // the first byte of a unit cut by the end of a piece
  char32_t m_highSurrogate = 0;
};

// `text` with each byte that starts no valid UTF-8 character replaced by U+FFFD.
std::string repairUtf8(std::string_view text);

// A line of a text in `encoding` as UTF-8, decoded on its own (an
// ISO-2022-JP line starts in ASCII). A UTF-16 line has been decoded to
// UTF-8 already, as the line splitter reads it.
std::string decodeLine(std::string_view line, Encoding encoding);

}  // namespace morlavin::conversion
