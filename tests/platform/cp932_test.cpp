#include "platform/cp932.h"

#include <gtest/gtest.h>

#include "test_support/case_table.h"

namespace morlavin::platform {
namespace {

TEST(Cp932, ConvertsBothWaysByTheCaseTable) {
  for (const auto& cells : test::caseTable("platform/cp932_cases.txt", 4)) {
    SCOPED_TRACE(cells[3]);
    const std::string &bytes = cells[0], &text = cells[1], &way = cells[2];
    if (way.find('!') != std::string::npos) {
      EXPECT_EQ(utf8ToCp932(text), std::nullopt);
      EXPECT_EQ(utf8ToCp932ForHtml(text), bytes);
      continue;
    }
    EXPECT_EQ(cp932ToUtf8(bytes), text);
    const auto encoded = utf8ToCp932(text);
    ASSERT_TRUE(encoded) << "refused by the encoder";
    EXPECT_EQ(utf8ToCp932ForHtml(text), *encoded);
    if (way.find("<>") != std::string::npos)
      EXPECT_EQ(*encoded, bytes);
    else
      EXPECT_EQ(cp932ToUtf8(*encoded), text) << "round trip";
  }
}

}  // namespace
}  // namespace morlavin::platform
