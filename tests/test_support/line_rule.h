// The line rule written as plainly as possible, byte by byte, for checking the
// program's chunked line reader against: a line ends at CR LF, a lone CR or a
// lone LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morlavin::test {

inline std::vector<std::string> referenceLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(current);
      current.clear();
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += text[i];
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

}  // namespace morlavin::test
