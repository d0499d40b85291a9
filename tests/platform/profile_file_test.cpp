#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_support/temp_dir.h"

namespace morlavin::platform {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;
using namespace std::string_literals;

TEST(ProfileFile, ReadsKeysByTheProfileRules) {
  const struct {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::string expected;
  } cases[] = {
      {"plain", "[Setting]\r\nKey=value\r\n", "Setting", "Key", "value"},
      {"section and key in other case", "[SETTING]\r\nkEY=v\r\n", "Setting", "Key", "v"},
      {"blanks around everything", "  [ Setting ]  \r\n \t Key \t=\t  a b  \r\n", "Setting", "Key", "a b"},
      {"LF line ends", "[Setting]\nKey=lf\n", "Setting", "Key", "lf"},
      {"no line end at all", "[Setting]\r\nKey=last", "Setting", "Key", "last"},
      {"first of two keys wins", "[Setting]\r\nKey=1\r\nKey=2\r\n", "Setting", "Key", "1"},
      {"key in another section", "[Other]\r\nKey=x\r\n[Setting]\r\nB=1\r\n", "Setting", "Key", "dflt"},
      {"missing section", "[Other]\r\nKey=x\r\n", "Setting", "Key", "dflt"},
      {"empty value is a value", "[Setting]\r\nKey=\r\n", "Setting", "Key", ""},
      {"equals sign inside value", "[Setting]\r\nKey=a=b\r\n", "Setting", "Key", "a=b"},
      {"comment line is not the key", "[Setting]\r\n;Key=c\r\nKey=real\r\n", "Setting", "Key", "real"},
      {"line without equals sign", "[Setting]\r\nKey\r\n", "Setting", "Key", "dflt"},
      {"value cut at NUL, then trimmed", "[Setting]\r\nKey=abc \0def\r\n"s, "Setting", "Key", "abc"},
      {"Japanese value", "[Setting]\r\nKey=\x95\x5C\x8E\xA6\r\n", "Setting", "Key", "\x95\x5C\x8E\xA6"},
      {"lone CR ends a line", "[Setting]\r\nVersion=1.62\rTranslator=abc\r\n", "Setting", "Translator", "abc"},
      {"lone CR ends the key's line", "[Setting]\rKey=cr\rB=1", "Setting", "Key", "cr"},
      {"trail byte 0x43 is not 0x63", "[Setting]\r\n\x83\x41\x83\x43=1\r\n", "Setting", "\x83\x41\x83\x63", "dflt"},
      {"in section names neither", "[\x83\x41\x83\x43]\r\nKey=1\r\n", "\x83\x41\x83\x63", "Key", "dflt"},
      {"single bytes after a double-byte one fold", "[Setting]\r\n\x83\x41" "a=1\r\n", "Setting", "\x83\x41" "A", "1"},
      {"double quotes removed", "[Setting]\r\nKey= \"a b\" \r\n", "Setting", "Key", "a b"},
      {"single quotes removed", "[Setting]\r\nKey='x'\r\n", "Setting", "Key", "x"},
      {"quotes that do not match stay", "[Setting]\r\nKey=\"x'\r\n", "Setting", "Key", "\"x'"},
      {"one pair of quotes only", "[Setting]\r\nKey=\"\"x\"\"\r\n", "Setting", "Key", "\"x\""},
      {"a quote alone stays", "[Setting]\r\nKey=\"\r\n", "Setting", "Key", "\""},
      {"byte-order mark skipped", "\xEF\xBB\xBF[Setting]\r\nKey=bom\r\n", "Setting", "Key", "bom"},
      {"^Z is a blank", "\x1A[Setting]\x1A\r\n\x1AKey\x1A=\x1Av\x1A\r\n", "Setting", "Key", "v"},
      {"binary garbage", std::string("\xFF\xFE\0[\x01]\r\n=\r\n[", 12), "Setting", "Key", "dflt"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeFile(dir.file("a.ini"), c.file);
    EXPECT_EQ(readProfileString(dir.file("a.ini"), c.section, c.key, "dflt"), c.expected);
  }
  EXPECT_EQ(readProfileString(dir.file("missing.ini"), "Setting", "Key", "dflt"), "dflt");
  EXPECT_EQ(readProfileString(dir.path(), "Setting", "Key", "dflt"), "dflt");  // a folder
}

// 254 bytes come back at most, and a double-byte character straddling the
// limit is left out rather than cut in half.
TEST(ProfileFile, LongValuesAreCutWithoutSplittingACharacter) {
  TempDir dir;
  const std::string ascii(300, 'a');
  writeFile(dir.file("a.ini"), "[Setting]\r\nKey=" + ascii + "\r\n");
  EXPECT_EQ(readProfileString(dir.file("a.ini"), "Setting", "Key", ""), std::string(254, 'a'));

  std::string japanese = "a";  // puts every lead byte at an odd offset
  for (int i = 0; i < 150; ++i) japanese += "\x95\x5C";
  writeFile(dir.file("a.ini"), "[Setting]\r\nKey=" + japanese + "\r\n");
  const std::string value = readProfileString(dir.file("a.ini"), "Setting", "Key", "");
  EXPECT_EQ(value, japanese.substr(0, 253));
}

TEST(ProfileFile, WritesChangeOnlyTheirOwnLine) {
  const struct {
    const char* name;
    std::string before;
    const char* key;
    const char* value;
    std::string after;
  } cases[] = {
      {"new file", "", "Key", "v", "[Setting]\r\nKey=v\r\n"},
      {"replace in place keeps neighbours and line end",
       "; comment\r\n[Setting]\r\nA=1\r\n  key = old  \r\nB=2\r\n", "Key", "new",
       "; comment\r\n[Setting]\r\nA=1\r\nKey=new\r\nB=2\r\n"},
      {"replace keeps an LF line end", "[Setting]\nKey=old\nB=2\n", "Key", "v", "[Setting]\nKey=v\nB=2\n"},
      {"append after the section's last line, before blank lines and the next section",
       "[Setting]\r\nA=1\r\n\r\n[Other]\r\nKey=x\r\n", "Key", "v",
       "[Setting]\r\nA=1\r\nKey=v\r\n\r\n[Other]\r\nKey=x\r\n"},
      {"append to a last line without line end", "[Setting]\r\nA=1", "Key", "v",
       "[Setting]\r\nA=1\r\nKey=v\r\n"},
      {"new section at the end", "[Other]\r\nX=1\r\n", "Key", "v",
       "[Other]\r\nX=1\r\n[Setting]\r\nKey=v\r\n"},
      {"new section after a last line without line end", "[Other]\r\nX=1", "Key", "v",
       "[Other]\r\nX=1\r\n[Setting]\r\nKey=v\r\n"},
      {"section line ending in a lone CR", "[Setting\r", "Key", "v", "[Setting\rKey=v\r\n"},
      {"lone CR ends a line, and what follows it stays", "[Setting]\r\nVersion=1.00\rTranslator=abc\r\n",
       "Version", "1.62", "[Setting]\r\nVersion=1.62\rTranslator=abc\r\n"},
      {"byte-order mark stays", "\xEF\xBB\xBF[Setting]\r\nKey=old\r\n", "Key", "v",
       "\xEF\xBB\xBF[Setting]\r\nKey=v\r\n"},
      {"byte-order mark alone", "\xEF\xBB\xBF", "Key", "v", "\xEF\xBB\xBF[Setting]\r\nKey=v\r\n"},
      {"a Japanese key is not another's", "[Setting]\r\n\x83\x41\x83\x43=1\r\n", "\x83\x41\x83\x63", "v",
       "[Setting]\r\n\x83\x41\x83\x43=1\r\n\x83\x41\x83\x63=v\r\n"},
      {"section matched regardless of case", "[setting]\r\n", "Key", "v", "[setting]\r\nKey=v\r\n"},
      {"empty value", "[Setting]\r\nKey=x\r\n", "Key", "", "[Setting]\r\nKey=\r\n"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file("a.ini");
    ::unlink(path.c_str());
    if (!c.before.empty()) writeFile(path, c.before);
    EXPECT_TRUE(writeProfileString(path, "Setting", c.key, c.value).isOk());
    EXPECT_EQ(readFile(path), c.after);
    EXPECT_EQ(readProfileString(path, "Setting", c.key, "?"), c.value) << "reads back";
  }
}

TEST(ProfileFile, FailedWritesLeaveTheFileAsItWas) {
  TempDir dir;
  const std::string path = dir.file("a.ini");
  writeFile(path, "[Setting]\r\nKey=old\r\n");
  ::chmod(path.c_str(), 0444);
  EXPECT_FALSE(writeProfileString(path, "Setting", "Key", "new").isOk());
  EXPECT_EQ(readFile(path), "[Setting]\r\nKey=old\r\n");

  EXPECT_FALSE(writeProfileString(dir.path(), "Setting", "Key", "new").isOk());
  EXPECT_FALSE(writeProfileString(dir.file("no/such/a.ini"), "Setting", "Key", "v").isOk());
}

}  // namespace
}  // namespace morlavin::platform
