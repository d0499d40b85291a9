// The encodings of the texts the program reads, and what each makes of a page.
#pragma once

#include <optional>
#include <string_view>

namespace morlavin::conversion {

enum class Encoding { kShiftJis, kEucJp, kUtf8, kIso2022Jp, kUtf16Le, kUtf16Be };

// What the user asked for: the whole text decides (kAuto), or the encoding named.
enum class EncodingChoice { kAuto, kShiftJis, kEucJp, kIso2022Jp, kUtf8, kUtf16Le, kUtf16Be };

// The encoding a choice names; nullopt for kAuto.
constexpr std::optional<Encoding> chosenEncoding(EncodingChoice choice) {
  switch (choice) {
    case EncodingChoice::kShiftJis:
      return Encoding::kShiftJis;
    case EncodingChoice::kEucJp:
      return Encoding::kEucJp;
    case EncodingChoice::kIso2022Jp:
      return Encoding::kIso2022Jp;
    case EncodingChoice::kUtf8:
      return Encoding::kUtf8;
    case EncodingChoice::kUtf16Le:
      return Encoding::kUtf16Le;
    case EncodingChoice::kUtf16Be:
      return Encoding::kUtf16Be;
    case EncodingChoice::kAuto:
      break;
  }
  return std::nullopt;
}

// Shift-JIS, EUC-JP and UTF-8 are copied into the page byte for byte: no byte
// of a multi-byte character is a CR, an LF, "<" or ">". ISO-2022-JP and UTF-16
// are not (a "<" byte may be half of a kanji; UTF-16 is full of NUL bytes), so
// their text is decoded and the page is UTF-8.
constexpr bool isDecoded(Encoding encoding) {
  return encoding == Encoding::kIso2022Jp || encoding == Encoding::kUtf16Le ||
         encoding == Encoding::kUtf16Be;
}

// The encoding of the page made from a text in `encoding`.
constexpr Encoding pageEncoding(Encoding encoding) {
  return isDecoded(encoding) ? Encoding::kUtf8 : encoding;
}

// The character-set name a page in `encoding` declares.
constexpr std::string_view charsetName(Encoding encoding) {
  switch (pageEncoding(encoding)) {
    case Encoding::kEucJp:
      return "EUC-JP";
    case Encoding::kUtf8:
      return "UTF-8";
    default:
      return "x-sjis";
  }
}

}  // namespace morlavin::conversion
