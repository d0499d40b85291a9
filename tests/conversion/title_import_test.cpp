#include "conversion/title_import.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "test_support/case_table.h"
#include "test_support/encoding_names.h"

namespace morlavin::conversion {
namespace {

TEST(TitleImport, StripsOnlyTheListedTagFormsInOrder) {
  for (const auto& c : test::caseTable("conversion/title_strip.txt", 2))
    EXPECT_EQ(stripTitleTags(c[0]), c[1]) << c[0];
}

TEST(TitleImport, ReadsTheFirstLineOfARegularFileOnly) {
  test::TempDir dir;
  const auto title = [&](const std::string& name, const std::string& bytes,
                         EncodingChoice encoding) {
    test::writeFile(dir.file(name), bytes);
    const Result<std::string> title = importTitle(dir.file(name), encoding);
    return title.ok() ? *title : "-";
  };
  for (const auto& c : test::caseTable("conversion/title_import.txt", 4)) {
    EXPECT_EQ(title(c[0], c[1], test::encodingChoiceNamed(c[2])), c[3]) << c[0];
  }
  EXPECT_EQ(title("utf8_until_the_end.txt", "表題\n" + std::string(9000, 'a') + "\x95\x5C",
                  EncodingChoice::kAuto),
            platform::cp932ToUtf8("表題"));
  EXPECT_EQ(importTitle("").status().code(), StatusCode::kNotFound);
}

}  // namespace
}  // namespace morlavin::conversion
