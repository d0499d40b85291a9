#include "conversion/text_encoding.h"

#include <gtest/gtest.h>

#include "conversion/text_decoders.h"
#include "test_support/case_table.h"
#include "test_support/encoding_names.h"

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

TEST(EncodingDetector, EucJpAloneIsCheckedAlikeByVectorsAndByteByByte) {
  for (const auto& row : test::caseTable("conversion/euc_texts.txt", 3)) {
    for (std::size_t pairs = 0; pairs <= 66; ++pairs) {
      for (const std::string& padding : {std::string(), std::string("x")}) {
        SCOPED_TRACE(row[0] + ", after " + std::to_string(pairs) + " pairs" + padding);
        std::string text = "\xA1\xFE" + padding;  // "◇" in EUC-JP, a byte 0xFE in Shift-JIS
        for (std::size_t i = 0; i < pairs; ++i) text += "\xA4\xA2";
        text += row[1];
        for (int i = 0; i < 70; ++i) text += "\xA4\xA2";
        EncodingDetector avx512(Vectors::kAvx512), avx2(Vectors::kAvx2), bytes(Vectors::kNone);
        avx512.feed(text);
        avx2.feed(text);
        for (char c : text) bytes.feed(std::string_view(&c, 1));
        EXPECT_EQ(avx512.current(), test::encodingNamed(row[2]));
        EXPECT_EQ(avx2.current(), test::encodingNamed(row[2]));
        EXPECT_EQ(bytes.current(), test::encodingNamed(row[2]));
      }
    }
  }
}

TEST(EncodingDetector, TheWholeTextDecidesInOrderOfTheRules) {
  for (const auto& row : test::caseTable("conversion/detection.txt", 3)) {
    SCOPED_TRACE(row[0]);
    EncodingDetector whole, bytes(Vectors::kNone);
    whole.feed(row[1]);
    for (char c : row[1]) bytes.feed(std::string_view(&c, 1));
    EXPECT_EQ(whole.current(), test::encodingNamed(row[2]));
    EXPECT_EQ(bytes.current(), test::encodingNamed(row[2]));
  }
}

TEST(TextDecoders, DecodeEachLineToUtf8) {
  for (const auto& row : test::caseTable("conversion/decoding.txt", 4)) {
    EXPECT_EQ(decodeLine(row[2], test::encodingNamed(row[1])), row[3]) << row[0];
  }
}

}  // namespace
}  // namespace morlavin::conversion
