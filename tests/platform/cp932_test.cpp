#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace morlavin::platform {
namespace {

struct Cp932Case {
  const char* name;
  std::string utf8;
  std::string cp932;
};

// Characters whose trail byte is 0x5C ("表", "ソ") and the backslash itself are
// where a wrong code page (SHIFT_JIS) would corrupt a Windows-made file.
TEST(Cp932, RoundTripsTextsThatWrongCodePagesBreak) {
  const Cp932Case cases[] = {
      {"ascii", "abc", "abc"},
      {"backslash stays a backslash", "C:\\doc\\memo.txt", "C:\\doc\\memo.txt"},
      {"tilde stays a tilde", "~/x", "~/x"},
      {"trail byte 0x5C", "表ソ", "\x95\x5C\x83\x5C"},
      {"half-width katakana", "ｷｬﾝｾﾙ", "\xB7\xAC\xDD\xBE\xD9"},
      {"NEC special character", "①", "\x87\x40"},
      {"full-width tilde", "～", "\x81\x60"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(cp932ToUtf8(c.cp932), c.utf8);
    EXPECT_EQ(utf8ToCp932(c.utf8), c.cp932);
    EXPECT_EQ(utf8ToCp932ForHtml(c.utf8), c.cp932);
  }
}

TEST(Cp932, UnmappableCharactersAreRefusedOrWrittenAsReferences) {
  const struct {
    std::string utf8;
    std::string html;
  } cases[] = {
      {"a😀b", "a&#x1F600;b"},
      {"日本語€", "\x93\xFA\x96\x7B\x8C\xEA&#x20AC;"},
      {"é", "&#xE9;"},
      {"bad\xFFutf8", "bad&#xFFFD;utf8"},
      {"cut\xE6\x97", "cut&#xFFFD;&#xFFFD;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(utf8ToCp932(c.utf8), std::nullopt);
    EXPECT_EQ(utf8ToCp932ForHtml(c.utf8), c.html);
  }
}

TEST(Cp932, InvalidBytesDecodeAsReplacementWithoutLosingTheRest) {
  EXPECT_EQ(cp932ToUtf8("a\xA0z"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(cp932ToUtf8("\x95"), "\xEF\xBF\xBD");  // a lead byte cut off at the end
  EXPECT_EQ(cp932ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
}  // namespace morlavin::platform
