#include "conversion/line_splitter.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/utf8.h"
#include "test_support/case_table.h"
#include "test_support/line_rule.h"

namespace morlavin::conversion {
namespace {

// The lines a splitter reading `path` through `buffer` bytes hands out, to the file's last byte.
std::vector<std::string> linesOf(const std::string& path, std::size_t buffer,
                                 EncodingChoice encoding, Vectors vectors = Vectors::kAvx512) {
  platform::InputFile file;
  EXPECT_TRUE(file.open(path).ok());
  LineSplitter splitter(file, buffer, encoding, {}, vectors);
  std::vector<std::string> lines;
  EXPECT_TRUE(splitter.forEachLine([&](std::string_view line) { lines.emplace_back(line); }).ok());
  EXPECT_EQ(splitter.bytesRead(), file.size());
  return lines;
}

TEST(LineSplitter, FollowsTheLineRuleAtEveryBufferBoundary) {
  test::TempDir dir;
  const std::string path = dir.file("t.txt");
  for (const auto& row : test::caseTable("conversion/line_texts.txt", 2)) {
    const std::string& text = row[1];
    test::writeFile(path, text);
    for (bool dropMark : {false, true}) {
      const auto expected = test::referenceLines(
          dropMark && text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text);
      for (std::size_t buffer : {1u, 2u, 3u, 4u, 7u, 64u, 65u, 4096u}) {
        if (dropMark && buffer < 3) continue;  // the first read must hold the mark
        for (Vectors vectors :
             {Vectors::kAvx512, Vectors::kAvx2, Vectors::kSsse3, Vectors::kNone}) {
          SCOPED_TRACE(row[0] + ", buffer " + std::to_string(buffer) + ", drop mark " +
                       std::to_string(dropMark) + ", vectors " +
                       std::to_string(static_cast<int>(vectors)));
          EXPECT_EQ(linesOf(path, buffer,
                            dropMark ? EncodingChoice::kUtf8 : EncodingChoice::kShiftJis, vectors),
                    expected);
        }
      }
    }
  }
}

// UTF-16 is decoded as it is read, a character's bytes cut by any read.
TEST(LineSplitter, ReadsUtf16AsItsUtf8AtEveryBufferBoundary) {
  test::TempDir dir;
  const std::string path = dir.file("t.txt");
  for (const auto& row : test::caseTable("conversion/line_texts.txt", 2)) {
    const std::string text = row[1] + "日本\r\n😀";
    for (const bool bigEndian : {false, true}) {
      std::string utf16 = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
      for (std::string_view rest = text; !rest.empty();) {
        const auto character = platform::decodeUtf8(rest);
        rest.remove_prefix(character.length);
        const char32_t c = character.codePoint;
        for (const char32_t unit :
             c < 0x10000 ? std::u32string{c}
                         : std::u32string{0xD800 + ((c - 0x10000) >> 10), 0xDC00 + (c & 0x3FF)}) {
          const char bytes[2] = {static_cast<char>(unit >> (bigEndian ? 8 : 0)),
                                 static_cast<char>(unit >> (bigEndian ? 0 : 8))};
          utf16.append(bytes, 2);
        }
      }
      test::writeFile(path, utf16);
      for (const std::size_t buffer : {1u, 2u, 3u, 5u, 64u, 4096u}) {
        for (const EncodingChoice encoding :
             {EncodingChoice::kAuto,
              bigEndian ? EncodingChoice::kUtf16Be : EncodingChoice::kUtf16Le}) {
          SCOPED_TRACE(row[0] + ", big-endian " + std::to_string(bigEndian) + ", buffer " +
                       std::to_string(buffer));
          EXPECT_EQ(linesOf(path, buffer, encoding), test::referenceLines(repairUtf8(text)));
        }
      }
    }
  }
}

}  // namespace
}  // namespace morlavin::conversion
