#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <sstream>

#include "test_support/case_table.h"

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
  for (const auto& cells : test::caseTable("platform/cp932_cases.txt", 4)) {
    SCOPED_TRACE(cells[3]);
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
}

}  // namespace
}  // namespace morlavin::platform
