#include "conversion/text_encoding.h"

#include <gtest/gtest.h>

#include "test_support/case_table.h"

namespace morlavin::conversion {
namespace {

TEST(EncodingDetector, EveryVectorWidthFindsEachErrorAtEveryPlaceOfABlock) {
  for (const auto& row : test::caseTable("conversion/utf8_texts.txt", 3)) {
    const bool utf8 = row[2] == "utf8";
    for (std::size_t padding = 0; padding <= 128; ++padding) {
      const std::string text = std::string(padding, 'x') + row[1];
      for (Vectors vectors : {Vectors::kAvx512, Vectors::kAvx2, Vectors::kSsse3, Vectors::kNone}) {
        SCOPED_TRACE(row[0] + ", after " + std::to_string(padding) + " bytes, vectors " +
                     std::to_string(static_cast<int>(vectors)));
        EncodingDetector whole(vectors), bytes(vectors);
        whole.feed(text);
        for (char c : text) bytes.feed(std::string_view(&c, 1));
        EXPECT_EQ(whole.current() == Encoding::kUtf8, utf8);
        EXPECT_EQ(bytes.current() == Encoding::kUtf8, utf8);
      }
    }
  }
}

}  // namespace
}  // namespace morlavin::conversion
