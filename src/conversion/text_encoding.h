// Which encoding a text file is in. The whole file decides, read once: the
// detector is fed the bytes as they are read and gives its answer at the end.
// In order: a byte-order mark (UTF-8, UTF-16LE, UTF-16BE), or UTF-16 without
// one (NUL bytes at the start); JIS escape sequences in a 7-bit text
// (ISO-2022-JP); valid UTF-8 with a multi-byte character; else Shift-JIS or
// EUC-JP, whichever decodes the text and reads more like Japanese. Pure ASCII,
// and a text that fits no rule, is Shift-JIS.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "conversion/encoding.h"
#include "conversion/shift_jis_euc_judge.h"
#include "conversion/vectors.h"
#include "platform/cp932.h"

namespace morlavin::conversion {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// What the start of a text says before any other rule.
enum class TextStart { kPlain, kUtf8Mark, kUtf16Le, kUtf16Be };

// The bytes at the start of a text that tell UTF-16 without a mark.
inline constexpr std::size_t kSniffWindow = 4096;

// What `window`, the first kSniffWindow bytes of a text (or the whole text
// when shorter), says: a byte-order mark; or UTF-16 without one, when the
// window holds a NUL byte and nine of its units in ten, in one byte order,
// are characters of Japanese text, with no NUL character and no unpaired
// surrogate. No Shift-JIS, EUC-JP, UTF-8 or ISO-2022-JP text holds a NUL
// byte, and UTF-16 holds one in every ASCII character, line ends included.
TextStart sniffTextStart(std::string_view window);

// UTF-8 validation of a text fed in pieces: byte by byte, or with the
// widest vectors the machine has.
class Utf8Validator {
 public:
  virtual ~Utf8Validator() = default;
  static std::unique_ptr<Utf8Validator> create(Vectors widest);

  virtual void feed(const unsigned char* p, std::size_t n) = 0;
  // No error in the bytes so far (a character may still be open).
  virtual bool clean() const = 0;
  // The bytes fed are whole, valid UTF-8 if they end here.
  virtual bool validAtEnd() const = 0;
  // A character above U+007F was fed (by vectors: a byte above 0x7F).
  virtual bool sawNonAscii() const = 0;
};

class EncodingDetector {
 public:
  explicit EncodingDetector(Vectors widest = Vectors::kAvx512)
      : m_validator(Utf8Validator::create(widest)), m_judge(widest) {}

  void feed(std::string_view bytes);
  // True once more input cannot change the answer.
  bool decided() const;
  // The answer for the bytes fed so far, taken as a whole text.
  Encoding current() const { return answer(true); }
  // The answer if the text goes on as it has so far: UTF-8 as soon as a
  // multi-byte character appeared in valid UTF-8, a reading of Shift-JIS or
  // EUC-JP that still holds though its last character may be cut short.
  Encoding likely() const { return answer(false); }
  // The text may still be ISO-2022-JP: 7-bit so far, with a JIS escape sequence.
  bool mayBeIso2022Jp() const {
    return !m_eightBit && m_jisEscape && !(m_startKnown && m_start != TextStart::kPlain);
  }

 private:
  Encoding answer(bool atEnd) const;
  TextStart start() const { return m_startKnown ? m_start : sniffTextStart(m_window); }
  // Looks for JIS escape sequences and bytes above 0x7F.
  void scanSevenBit(std::string_view bytes);

  std::string m_window;  // the text's first kSniffWindow bytes
  bool m_startKnown = false;
  TextStart m_start = TextStart::kPlain;
  bool m_utf8Invalid = false;
  std::unique_ptr<Utf8Validator> m_validator;
  bool m_eightBit = false;   // a byte above 0x7F was seen
  bool m_jisEscape = false;  // an escape sequence of ISO-2022-JP was seen
  std::string m_escape;      // the bytes of an escape sequence cut by the end of a piece
  ShiftJisEucJudge m_judge;
};

// True when `text` is valid UTF-8 (an empty text and pure ASCII are).
bool isValidUtf8(std::string_view text);

// A file name as the user reads it: UTF-8 as it stands, any other bytes as
// the CP932 that archives made on Windows leave in names.
inline std::string readableName(std::string_view bytes) {
  return isValidUtf8(bytes) ? std::string(bytes) : platform::cp932ToUtf8(bytes);
}

}  // namespace morlavin::conversion
