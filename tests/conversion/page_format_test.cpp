#include "conversion/page_format.h"
#include "conversion/preview_page.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/settings_record.h"

namespace morlavin::conversion {
namespace {

using settings::defaultSettings;
using settings::SettingsRecord;

TEST(PageFormat, HeadLinesByteForByte) {
  SettingsRecord record = defaultSettings();
  EXPECT_EQ(pageHead(record, "/doc/memo.htm", ""),
            "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2 Final//EN\">\r\n"
            "<HTML>\r\n"
            "<HEAD>\r\n"
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html ; charset=x-sjis\">\r\n"
            "<META NAME=\"Generator\" CONTENT=\"Morlavin 1.62 Copyright (C) The Morlavin project.\">\r\n"
            "<TITLE>Morlavin - /doc/memo.htm</TITLE>\r\n"
            "</HEAD>\r\n"
            "<BODY BGCOLOR=\"white\" TEXT=\"black\">\r\n"
            "<!-------- This File Created by Morlavin 1.62 Copyright (C) The Morlavin project. -------->\r\n");

  record.DisableEncodeMetaTag = 1;
  EXPECT_NE(pageHead(record, "x.htm", "t").find("\r\n<HEAD>\r\n<META NAME=\"Generator\""), std::string::npos)
      << "no character-set line";
}

TEST(PageFormat, TitlesAreWrittenUnescapedInThePagesEncoding) {
  const auto S = Encoding::kShiftJis;
  const auto U = Encoding::kUtf8;
  const struct {
    const char* title;
    const char* path;
    Encoding encoding;
    std::string line;
  } cases[] = {
      {"   ", "a.htm", S, "<TITLE>   </TITLE>"},
      {"a<b> & c", "a.htm", S, "<TITLE>a<b> & c</TITLE>"},
      {"表題", "a.htm", S, "<TITLE>\x95\x5C\x91\xE8</TITLE>"},
      {"smile 😀", "a.htm", S, "<TITLE>smile &#x1F600;</TITLE>"},
      {"", "/home/表/memo.htm", S, "<TITLE>Morlavin - /home/\x95\x5C/memo.htm</TITLE>"},
      {"", "/tmp/\x95\x5C\xFF.htm", S, "<TITLE>Morlavin - /tmp/\x95\x5C\xFF.htm</TITLE>"},
      {"表題 😀", "a.htm", U, "<TITLE>表題 😀</TITLE>"},
      {"", "/tmp/\x95\x5C.htm", U, "<TITLE>Morlavin - /tmp/表.htm</TITLE>"},
      {"a</TITLE><SCRIPT>x</SCRIPT>", "a.htm", S, "<TITLE>a&lt;/TITLE><SCRIPT>x</SCRIPT></TITLE>"},
      {"</title </TiTlE></titl", "a.htm", U, "<TITLE>&lt;/title &lt;/TiTlE></titl</TITLE>"},
      {"", "/t/</title>.htm", S, "<TITLE>Morlavin - /t/&lt;/title>.htm</TITLE>"},
  };
  for (const auto& c : cases) {
    const std::string head = pageHead(defaultSettings(), c.path, c.title, c.encoding);
    EXPECT_NE(head.find("\r\n" + c.line + "\r\n"), std::string::npos) << c.title << "\n" << head;
  }
  EXPECT_NE(pageHead(defaultSettings(), "a.htm", "", U).find("\r\n<META HTTP-EQUIV=\"Content-Type\" "
                                                             "CONTENT=\"text/html ; charset=UTF-8\">\r\n"),
            std::string::npos);
}

TEST(PageFormat, BodyTagFollowsTheColourAndBackgroundFields) {
  const auto with = [](auto change) {
    SettingsRecord record = defaultSettings();
    change(record);
    return record;
  };
  const struct {
    SettingsRecord record;
    const char* tag;
  } cases[] = {
      {defaultSettings(), "<BODY BGCOLOR=\"white\" TEXT=\"black\">"},
      {with([](SettingsRecord& r) {
         r.ManualBgcolorSet = 1; r.ManualTextcolorSet = 1; r.HTMLTextcolorB = 128;
         r.CheckBackground = 1; r.HTMLBackGround = "back.gif";
       }), "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000080\" BACKGROUND=\"back.gif\">"},
      {with([](SettingsRecord& r) {
         r.ManualBgcolorSet = 1; r.HTMLBgcolorR = 10; r.HTMLBgcolorG = 0; r.HTMLBgcolorB = 0;
       }), "<BODY BGCOLOR=\"#0A0000\" TEXT=\"black\">"},
      {with([](SettingsRecord& r) { r.Bgcolor = 20; r.Textcolor = 73; }),
       "<BODY BGCOLOR=\"deeppink\" TEXT=\"slategray\">"},
      {with([](SettingsRecord& r) { r.CheckBackground = 1; }),
       "<BODY BGCOLOR=\"white\" TEXT=\"black\" BACKGROUND=\"\">"},
      {with([](SettingsRecord& r) { r.CheckBackground = 2; r.HTMLBackGround = "x.gif"; }),
       "<BODY BGCOLOR=\"white\" TEXT=\"black\">"},
      {with([](SettingsRecord& r) {
         r.ManualBgcolorSet = 2; r.HTMLBgcolorG = 128; r.HTMLBgcolorB = 0; r.Bgcolor = 3; r.Textcolor = 41;
       }), "<BODY BGCOLOR=\"#FF8000\" TEXT=\"olivedrab\">"},
      {with([](SettingsRecord& r) { r.CheckBackground = 1; r.HTMLBackGround = "画像/\"a b\".gif"; }),
       "<BODY BGCOLOR=\"white\" TEXT=\"black\" BACKGROUND=\"\x89\xE6\x91\x9C/\"a b\".gif\">"},
  };
  for (const auto& c : cases) EXPECT_EQ(bodyTag(c.record), c.tag);
  EXPECT_EQ(bodyTag(cases[7].record, Encoding::kUtf8),
            "<BODY BGCOLOR=\"white\" TEXT=\"black\" BACKGROUND=\"画像/\"a b\".gif\">");
}

// Runs `lines` through one converter, as a run does.
std::string convertLines(const std::vector<std::string>& lines, bool escapeTags) {
  LineConverter converter(escapeTags);
  std::string out;
  for (const std::string& line : lines) converter.convert(line, out);
  return out;
}

TEST(PageFormat, LineConversionWithMarkers) {
  const struct {
    const char* name;
    std::vector<std::string> lines;
    bool escape;
    std::string body;
  } cases[] = {
      {"tags work", {"a<B>b</B>"}, false, "a<B>b</B><BR>\r\n"},
      {"tags escaped", {"a<B>b</B>"}, true, "a&lt;B&gt;b&lt;/B&gt;<BR>\r\n"},
      {"ampersand passes", {"AT&T"}, true, "AT&T<BR>\r\n"},
      {"empty line", {""}, false, "<BR>\r\n"},
      {"spaces and tabs pass", {"  \t "}, false, "  \t <BR>\r\n"},
      {"LF inside a line", {"a\nb"}, false, "a\nb<BR>\r\n"},
      {"Shift-JIS with 0x5C and 0x7C trail bytes", {"\x95\x5C\x83\x7C"}, true, "\x95\x5C\x83\x7C<BR>\r\n"},
      {"NUL bytes pass", {std::string("a\0b", 3)}, false, std::string("a\0b<BR>\r\n", 9)},
      {"escaping switched on by marker on line 2",
       {"<I>1</I>", "<!--#BEGIN_MORLAVIN_INVALID_TAGS#-->", "<I>2</I>", "<I>3</I>"}, false,
       "<I>1</I><BR>\r\n&lt;I&gt;2&lt;/I&gt;<BR>\r\n&lt;I&gt;3&lt;/I&gt;<BR>\r\n"},
      {"escaping switched off", {"<p>", "<!--#END_MORLAVIN_INVALID_TAGS#-->", "<p>"}, true,
       "&lt;p&gt;<BR>\r\n<p><BR>\r\n"},
      {"NOBR stretch", {"a", "<!--#BEGIN_MORLAVIN_NOBR#-->", "b", "", "<!--#END_MORLAVIN_NOBR#-->", "c"},
       false, "a<BR>\r\nb\r\n\r\nc<BR>\r\n"},
      {"NOBR never closed", {"<!--#BEGIN_MORLAVIN_NOBR#-->", "a", "b"}, false, "a\r\nb\r\n"},
      {"markers do not count", {"<!--#BEGIN_MORLAVIN_NOBR#-->", "<!--#BEGIN_MORLAVIN_NOBR#-->",
        "<!--#END_MORLAVIN_NOBR#-->", "a"}, false, "a<BR>\r\n"},
      {"END without BEGIN", {"<!--#END_MORLAVIN_NOBR#-->", "<!--#END_MORLAVIN_INVALID_TAGS#-->", "<a>"},
       true, "<a><BR>\r\n"},
      {"marker with trailing space is text", {"<!--#END_MORLAVIN_NOBR#--> "}, true,
       "&lt;!--#END_MORLAVIN_NOBR#--&gt; <BR>\r\n"},
      {"lower-case marker is text", {"<!--#begin_morlavin_nobr#-->", "x"}, false,
       "<!--#begin_morlavin_nobr#--><BR>\r\nx<BR>\r\n"},
      {"marker inside a longer line is text", {"x<!--#BEGIN_MORLAVIN_NOBR#-->"}, false,
       "x<!--#BEGIN_MORLAVIN_NOBR#--><BR>\r\n"},
      {"full-width brackets pass", {"＜b＞"}, true, "＜b＞<BR>\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(convertLines(c.lines, c.escape), c.body) << c.name;
}

// The preview writes the image whenever its box is ticked, and is otherwise
// the converted page's body tag in a fixed five-line frame.
TEST(PageFormat, PreviewPageLines) {
  SettingsRecord manualBackground = defaultSettings();
  manualBackground.ManualBgcolorSet = 1;
  SettingsRecord manualText = defaultSettings();
  manualText.ManualTextcolorSet = 1;
  manualText.HTMLTextcolorB = 128;
  manualText.CheckBackground = 2;
  manualText.HTMLBackGround = "bg.gif";
  const struct {
    SettingsRecord values;
    const char* bodyLine;
  } cases[] = {
      {manualBackground, "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"black\">"},
      {manualText, "<BODY BGCOLOR=\"white\" TEXT=\"#000080\" BACKGROUND=\"bg.gif\">"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(previewPage(c.values), std::string("<HTML>\r\n<HEAD><TITLE>Color Preview</TITLE></HEAD>\r\n") +
                                         c.bodyLine +
                                         "\r\n<P ALIGN=CENTER><FONT SIZE=6><B><I>Color Sample</I></B></FONT></P>\r\n"
                                         "</BODY></HTML>\r\n");
  }
}

}  // namespace
}  // namespace morlavin::conversion
