#include "conversion/page_format.h"

#include <gtest/gtest.h>

#include "test_support/case_table.h"
#include "test_support/encoding_names.h"
#include "test_support/settings_rows.h"

namespace morlavin::conversion {
namespace {

TEST(PageFormat, TitlesAreWrittenUnescapedInThePagesEncoding) {
  for (const auto& c : test::caseTable("conversion/page_titles.txt", 4)) {
    const std::string head =
        pageHead(settings::defaultSettings(), c[1], c[0], test::encodingNamed(c[2]));
    EXPECT_NE(head.find("\r\n" + c[3] + "\r\n"), std::string::npos) << c[0] << "\n" << head;
  }
  // The name the window shows for a path: the same reading the UTF-8 page gives it.
  EXPECT_EQ(readableName("/tmp/\x83\x81\x83\x82.txt"), "/tmp/メモ.txt");
  EXPECT_EQ(readableName("/tmp/メモ.txt"), "/tmp/メモ.txt");
}

TEST(PageFormat, BodyTagFollowsTheColourAndBackgroundFields) {
  for (const auto& c : test::caseTable("conversion/body_tags.txt", 3)) {
    EXPECT_EQ(bodyTag(test::withCell(c[0]), c[1] == "utf8" ? Encoding::kUtf8 : Encoding::kShiftJis),
              c[2])
        << c[0];
  }
}

TEST(PageFormat, LineConversionWithMarkers) {
  for (const auto& c : test::caseTable("conversion/line_conversion.txt", 4)) {
    LineConverter converter(c[2] == "1");
    std::string out;
    for (std::size_t from = 0, end; (end = c[1].find('\n', from)) != std::string::npos;
         from = end + 1) {
      converter.convert(std::string_view(c[1]).substr(from, end - from), out);
    }
    EXPECT_EQ(out, c[3]) << c[0];
  }
}

}  // namespace
}  // namespace morlavin::conversion
