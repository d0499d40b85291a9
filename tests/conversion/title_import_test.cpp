#include "conversion/title_import.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "test_support/temp_dir.h"

namespace morlavin::conversion {
namespace {

using test::TempDir;
using test::writeFile;

TEST(TitleImport, StripsOnlyTheListedTagFormsInOrder) {
  const struct {
    const char* line;
    const char* title;
  } cases[] = {
      {"<H1><FONT SIZE=+2>Annual report</FONT></H1><BR>", "Annual report"},
      {"<font size=\"5\">Minutes</font>", "Minutes"},
      {"<H2 ALIGN=CENTER>Notes</H2>", "<H2 ALIGN=CENTER>Notes"},
      {"<FONT SIZE=-1>memo</FONT>", "memo"},
      {"<B>Bold title</B>", "<B>Bold title</B>"},
      {"<B<BR>R>", "<BR>"},
      {"<br><h7>x</h7><H0><H8>", "x<H0><H8>"},
      {"<FONT SIZE=8>a<FONT SIZE=+4>b<FONT SIZE=\"+3\">c<FONT SIZE=4>d", "<FONT SIZE=8>a<FONT SIZE=+4>bcd"},
      {"<FONT SIZE=\"-3\">a<FONT SIZE= 3>b<FONT SIZE=+0>", "a<FONT SIZE= 3>b<FONT SIZE=+0>"},
      {"<FONT SIZE=-4>x", "<FONT SIZE=-4>x"},
      {"  plain title  ", "  plain title  "},
      {"<!--#BEGIN_MORLAVIN_NOBR#-->", "<!--#BEGIN_MORLAVIN_NOBR#-->"},
      // A later removal does find what an earlier one joined; the "SIZE=1"
      // pass ran before "</FONT>" was removed, so that tag stays.
      {"<H</H1>2>t", "t"},
      {"<</FONT>FONT SIZE=1>t", "<FONT SIZE=1>t"},
  };
  for (const auto& c : cases) EXPECT_EQ(stripTitleTags(c.line), c.title) << c.line;
}

TEST(TitleImport, ReadsTheFirstLineOfARegularFileOnly) {
  TempDir dir;
  const auto A = EncodingChoice::kAuto;
  const struct {
    const char* name;
    std::string bytes;
    std::optional<std::string> title;
    EncodingChoice encoding = EncodingChoice::kAuto;
  } cases[] = {
      {"crlf.txt", "<H1>First</H1>\r\nsecond\r\n", "First"},
      {"lone_cr.doc", "first\rsecond", "first"},
      {"lf.txt", "a\nb\r\nc", "a"},
      {"lf_cr.txt", "a\n\rb", "a"},
      {"empty_first_line.txt", "\r\nsecond", ""},
      {"empty_first_line_lf.txt", "\nsecond", ""},
      {"no_line_end", "only", "only"},
      {"sjis.txt", "\x95\x5C\x91\xE8<BR>\r\n", "表題"},
      {"zero_bytes.txt", "", std::nullopt},
      {"utf8_mark.txt", "\xEF\xBB\xBF<H1>表題</H1>\n", "表題"},
      {"utf8.txt", "表題\n本文\n", "表題"},
      {"utf8_until_the_end.txt", "表題\n" + std::string(9000, 'a') + "\x95\x5C", platform::cp932ToUtf8("表題"), A},
      {"utf8_asked_for.txt", "\x95\x5C\n", "\xEF\xBF\xBD\\", EncodingChoice::kUtf8},
      {"sjis_asked_for.txt", "\xEF\xBB\xBF" "a", platform::cp932ToUtf8("\xEF\xBB\xBF" "a"),
       EncodingChoice::kShiftJis},
      {".hidden.txt", "title", std::nullopt},
  };
  for (const auto& c : cases) {
    writeFile(dir.file(c.name), c.bytes);
    const Result<std::string> title = importTitle(dir.file(c.name), c.encoding);
    EXPECT_EQ(title ? std::optional(*title) : std::nullopt, c.title) << c.name;
  }
  EXPECT_EQ(importTitle("").status().code(), StatusCode::kNotFound);
  EXPECT_EQ(importTitle(dir.path()).status().code(), StatusCode::kNotRegularFile);
  EXPECT_EQ(importTitle(dir.file("missing.txt")).status().code(), StatusCode::kNotFound);
}

}  // namespace
}  // namespace morlavin::conversion
