// The bytes of a page: the head, the body tag built from the colour settings,
// the body lines with their marker lines, and the closing lines. A page is in
// the encoding of its text file (Shift-JIS, EUC-JP or UTF-8), whose body lines
// it copies, or UTF-8 for a text that had to be decoded.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "conversion/text_encoding.h"
#include "settings/settings_record.h"

namespace morlavin::conversion {

inline constexpr std::string_view kPageClosing = "</BODY>\r\n</HTML>\r\n";

inline constexpr std::string_view kBeginInvalidTags = "<!--#BEGIN_MORLAVIN_INVALID_TAGS#-->";
inline constexpr std::string_view kEndInvalidTags = "<!--#END_MORLAVIN_INVALID_TAGS#-->";
inline constexpr std::string_view kBeginNoBr = "<!--#BEGIN_MORLAVIN_NOBR#-->";
inline constexpr std::string_view kEndNoBr = "<!--#END_MORLAVIN_NOBR#-->";

// A text of the program (a title, a path, the background reference) as bytes
// of the page made from a text in `encoding`. UTF-8 text goes into a Shift-JIS
// or EUC-JP page in that encoding, with the characters it cannot hold as
// numeric character references, and into a UTF-8 page as it stands. Bytes that
// are not UTF-8 are a name from the file system in CP932, as archives made
// with that code page leave names: a Shift-JIS page takes them as they are,
// the others their decoding.
std::string pageText(std::string_view text, Encoding encoding);

// The body's opening tag (without line end) for the colour and background
// fields of `settings`, the background reference encoded for the page.
std::string bodyTag(const settings::SettingsRecord& settings,
                    Encoding encoding = Encoding::kShiftJis);

// Lines 1 to 9 of a page: document type, META lines, title, body tag and the
// file comment. `title` is used when not empty, else "Morlavin - " and
// `outputPath`; either is written unescaped (see pageText) except that the "<"
// of a "</title" (any case) becomes "&lt;", so that no title ends the element
// early.
std::string pageHead(const settings::SettingsRecord& settings, std::string_view outputPath,
                     std::string_view title, Encoding encoding = Encoding::kShiftJis);

// Turns input lines into body lines, following the marker lines. Tag escaping
// starts from the caller's choice and lives only as long as the converter.
class LineConverter {
 public:
  explicit LineConverter(bool escapeTags) : m_escapeTags(escapeTags) {}

  // Appends the body line for `line` (with its line end) to `out`, or nothing
  // for a marker line. `out` needs append(std::string_view).
  template <class Out>
  [[gnu::always_inline]] void convert(std::string_view line, Out& out);

 private:
  bool takeMarker(std::string_view line);
  template <class Out>
  [[gnu::noinline]] static void appendEscaped(std::string_view line, Out& out);

  bool m_escapeTags;
  bool m_lineBreaks = true;
};

// Inline where it is used: a page is written a line at a time, and most
// lines are copied as they stand.
template <class Out>
inline void LineConverter::convert(std::string_view line, Out& out) {
  // Every marker starts with "<!--#"; a quick test keeps ordinary lines fast.
  if (line.size() >= kEndNoBr.size() && line.substr(0, 5) == "<!--#" && takeMarker(line)) return;
  if (m_escapeTags) {
    appendEscaped(line, out);
  } else {
    out.append(line);
  }
  // Each end has a length known here, so that it is copied without a call.
  if (m_lineBreaks) {
    out.append(std::string_view("<BR>\r\n"));
  } else {
    out.append(std::string_view("\r\n"));
  }
}

template <class Out>
void LineConverter::appendEscaped(std::string_view line, Out& out) {
  // Tags are sparse in text: find each bracket with memchr rather than
  // looking at every byte.
  const char* p = line.data();
  const char* const end = p + line.size();
  const auto find = [&end](const char* from, char c) {
    return static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(end - from)));
  };
  const char* lt = find(p, '<');
  const char* gt = find(p, '>');
  while (lt != nullptr || gt != nullptr) {
    const bool isLt = gt == nullptr || (lt != nullptr && lt < gt);
    const char* hit = isLt ? lt : gt;
    out.append(std::string_view(p, static_cast<std::size_t>(hit - p)));
    out.append(isLt ? std::string_view("&lt;") : std::string_view("&gt;"));
    p = hit + 1;
    if (isLt) {
      lt = find(p, '<');
    } else {
      gt = find(p, '>');
    }
  }
  out.append(std::string_view(p, static_cast<std::size_t>(end - p)));
}

}  // namespace morlavin::conversion
