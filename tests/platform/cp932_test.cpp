#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "test_support/temp_dir.h"

namespace morlavin::platform {
namespace {

std::string utf8(char32_t c) {
  const auto part = [&](int shift, unsigned mark) { return char(mark | ((c >> shift) & 0x3F)); };
  if (c < 0x80) return {char(c)};
  if (c < 0x800) return {char(0xC0 | c >> 6), part(0, 0x80)};
  if (c < 0x10000) return {char(0xE0 | c >> 12), part(6, 0x80), part(0, 0x80)};
  return {char(0xF0 | c >> 18), part(12, 0x80), part(6, 0x80), part(0, 0x80)};
}

// One column of the case table: hex bytes, "ASCII text", U+XXXX code points
// and b:XX raw bytes, as the table's header explains.
std::string column(const std::string& text) {
  std::istringstream tokens(text);
  std::string out;
  for (std::string token; tokens >> token;) {
    if (token.front() == '"') out += token.substr(1, token.size() - 2);
    else if (token.starts_with("U+")) out += utf8(std::stoul(token.substr(2), nullptr, 16));
    else out += static_cast<char>(std::stoul(token.substr(token.starts_with("b:") ? 2 : 0), nullptr, 16));
  }
  return out;
}

TEST(Cp932, ConvertsBothWaysByTheCaseTable) {
  std::istringstream table(test::readFile(std::string(MORLAVIN_TEST_DATA) + "/platform/cp932_cases.txt"));
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line.front() == '#') continue;
    std::vector<std::string> cells;
    for (std::size_t from = 0, bar; from != std::string::npos; from = bar == std::string::npos ? bar : bar + 1) {
      bar = line.find('|', from);
      cells.push_back(line.substr(from, bar == std::string::npos ? bar : bar - from));
    }
    ASSERT_EQ(cells.size(), 4u) << line;
    SCOPED_TRACE(cells[3]);
    ++rows;
    const std::string bytes = column(cells[0]), text = column(cells[1]), way = cells[2];
    if (way.find('!') != std::string::npos) {
      EXPECT_EQ(utf8ToCp932(text), std::nullopt);
      EXPECT_EQ(utf8ToCp932ForHtml(text), bytes);
      continue;
    }
    EXPECT_EQ(cp932ToUtf8(bytes), text);
    const auto encoded = utf8ToCp932(text);
    if (!encoded) {
      ADD_FAILURE() << "refused by the encoder";
      continue;
    }
    EXPECT_EQ(utf8ToCp932ForHtml(text), *encoded);
    if (way.find("<>") != std::string::npos) EXPECT_EQ(*encoded, bytes);
    else EXPECT_EQ(cp932ToUtf8(*encoded), text) << "round trip";
  }
  EXPECT_GT(rows, 30);
}

}  // namespace
}  // namespace morlavin::platform
