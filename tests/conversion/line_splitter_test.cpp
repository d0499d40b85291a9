#include "conversion/line_splitter.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_support/line_rule.h"
#include "test_support/temp_dir.h"

namespace morlavin::conversion {
namespace {

using test::referenceLines;
using test::TempDir;
using test::writeFile;

std::vector<std::string> splitFile(const std::string& path, std::size_t bufferSize, bool dropMark,
                                   Vectors vectors) {
  platform::InputFile file;
  EXPECT_TRUE(file.open(path).isOk());
  LineSplitter splitter(file, bufferSize, {}, dropMark, vectors);
  std::vector<std::string> lines;
  std::string_view line;
  while (splitter.next(line)) lines.emplace_back(line);
  EXPECT_EQ(splitter.bytesRead(), file.size());
  return lines;
}

TEST(LineSplitter, FollowsTheLineRuleAtEveryBufferBoundary) {
  const std::vector<std::string> texts = {
      "", "a", "a\r\n", "a\r", "\r\n", "\r", "\n", "a\nb", "a\r\rb", "a\r\n\nb\r\n", "\r\n\r\n",
      "a\n\r\n", "end\r\n\n", "a\n\rb", "\n\n", "x\ry\nz\r\n\n\rw",
      "\xEF\xBB\xBF", "\xEF\xBB\xBF\r\n", "\xEF\xBB\xBF" "a\nb", "\xEF\xBBx", std::string("n\0l\r\n", 5), "\x95\x5C\r\n\x83\x5C", std::string(300, 'x'),
      // Line ends on both sides of the scanner's 64-byte blocks.
      std::string(62, 'x') + "\r\n" + std::string(63, 'y') + "\r\n\n" + std::string(64, 'z') + "\r",
  };
  TempDir dir;
  const std::string path = dir.file("t.txt");
  for (const std::string& text : texts) {
    writeFile(path, text);
    for (bool dropMark : {false, true}) {
      const auto expected = referenceLines(dropMark && text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text);
      for (std::size_t buffer : {1u, 2u, 3u, 4u, 7u, 64u, 65u, 4096u}) {
        if (dropMark && buffer < 3) continue;  // the first read must hold the mark
        SCOPED_TRACE(testing::PrintToString(text) + " buffer " + std::to_string(buffer) + " drop mark " +
                     std::to_string(dropMark));
        for (Vectors vectors : {Vectors::kAvx2, Vectors::kSsse3, Vectors::kNone}) {
          EXPECT_EQ(splitFile(path, buffer, dropMark, vectors), expected) << static_cast<int>(vectors);
        }
      }
    }
  }
}

}  // namespace
}  // namespace morlavin::conversion
