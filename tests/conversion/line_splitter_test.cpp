#include "conversion/line_splitter.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_support/case_table.h"
#include "test_support/line_rule.h"

namespace morlavin::conversion {
namespace {

TEST(LineSplitter, FollowsTheLineRuleAtEveryBufferBoundary) {
  test::TempDir dir;
  const std::string path = dir.file("t.txt");
  for (const auto& row : test::caseTable("conversion/line_texts.txt", 2)) {
    const std::string& text = row[1];
    test::writeFile(path, text);
    for (bool dropMark : {false, true}) {
      const auto expected = test::referenceLines(dropMark && text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text);
      for (std::size_t buffer : {1u, 2u, 3u, 4u, 7u, 64u, 65u, 4096u}) {
        if (dropMark && buffer < 3) continue;  // the first read must hold the mark
        for (Vectors vectors : {Vectors::kAvx512, Vectors::kAvx2, Vectors::kSsse3, Vectors::kNone}) {
          SCOPED_TRACE(row[0] + ", buffer " + std::to_string(buffer) + ", drop mark " + std::to_string(dropMark) +
                       ", vectors " + std::to_string(static_cast<int>(vectors)));
          platform::InputFile file;
          ASSERT_TRUE(file.open(path).isOk());
          LineSplitter splitter(file, buffer, dropMark ? EncodingChoice::kUtf8 : EncodingChoice::kShiftJis, {},
                                vectors);
          std::vector<std::string> lines;
          splitter.forEachLine([&](std::string_view line) { lines.emplace_back(line); });
          EXPECT_EQ(lines, expected);
          EXPECT_EQ(splitter.bytesRead(), file.size());
        }
      }
    }
  }
}

}  // namespace
}  // namespace morlavin::conversion
