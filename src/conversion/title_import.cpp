// Title import: reads no more of the file than its first line.
#include "conversion/title_import.h"

#include "conversion/line_splitter.h"
#include "platform/cp932.h"
#include "platform/file_ops.h"

namespace morlavin::conversion {
namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

void removeAll(std::string& text, std::string_view pattern) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    bool match = i + pattern.size() <= text.size();
    for (std::size_t k = 0; match && k < pattern.size(); ++k) {
      match = lowerAscii(text[i + k]) == lowerAscii(pattern[k]);
    }
    if (match) {
      i += pattern.size();
    } else {
      out += text[i++];
    }
  }
  text = std::move(out);
}

}  // namespace

std::string stripTitleTags(std::string_view line) {
  std::string title(line);
  removeAll(title, "<BR>");
  for (char n = '1'; n <= '7'; ++n) {
    removeAll(title, std::string("<H") + n + ">");
    removeAll(title, std::string("</H") + n + ">");
  }
  for (int n = 1; n <= 7; ++n) {
    const std::string digit = std::to_string(n);
    const std::string relative = (n < 4 ? "-" : "+") + std::to_string(n < 4 ? 4 - n : n - 4);
    removeAll(title, "<FONT SIZE=" + digit + ">");
    if (n != 4) removeAll(title, "<FONT SIZE=" + relative + ">");
    removeAll(title, "<FONT SIZE=\"" + digit + "\">");
    if (n != 4) removeAll(title, "<FONT SIZE=\"" + relative + "\">");
    removeAll(title, "</FONT>");
  }
  return title;
}

std::optional<std::string> importTitle(const std::string& path) {
  if (path.empty() || !platform::isRegularFile(path)) return std::nullopt;
  platform::InputFile file;
  if (!file.open(path)) return std::nullopt;
  // A small buffer: only the first line is wanted, however large the file.
  LineSplitter lines(file, 4096);
  std::string_view line;
  if (!lines.next(line)) return std::nullopt;  // zero bytes: no first line at all
  return stripTitleTags(platform::cp932ToUtf8(line));
}

}  // namespace morlavin::conversion
