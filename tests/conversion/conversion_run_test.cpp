#include "conversion/conversion_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <filesystem>
#include <functional>
#include <sstream>
#include <vector>

#include "conversion/page_format.h"
#include "settings/settings_record.h"
#include "test_support/core_fakes.h"
#include "test_support/case_table.h"

namespace morlavin::conversion {
namespace {

using settings::defaultSettings;
using settings::SettingsRecord;
using test::readFile;
using test::TempDir;
using test::writeFile;

// Keeps every call, so tests can check what the user saw and when.
struct RecordingView : ConversionView {
  void setStatusText(std::string_view text) override { status = text; calls.push_back("text " + status); }
  void repaintStatus() override {
    repainted.push_back(status);
    calls.push_back("repaint");
    if (repainted.size() == 2 && duringCounting) duringCounting();
  }
  void setProgress(double percent) override {
    progress.push_back(percent);
    calls.push_back("progress " + std::to_string(percent));
  }
  void showError(std::string_view message) override {
    errors.emplace_back(message);
    statusAtError.push_back(status);
    calls.push_back("error " + std::string(message));
  }

  std::string status;
  std::vector<std::string> repainted;     // the status text at each repaint
  std::vector<double> progress;
  std::vector<std::string> errors;
  std::vector<std::string> statusAtError;  // what the label showed behind each message box
  std::vector<std::string> calls;
  std::function<void()> duringCounting;  // runs at the first repaint of the counting pass
};

std::string linesOf(int count, std::string_view line = "x") {
  std::string text;
  for (int i = 0; i < count; ++i) text.append(line).append("\r\n");
  return text;
}

struct Run {
  Result<ConversionResult> result = Status::error(StatusCode::kNotConfigured, "");
  RecordingView view;
  test::FakeLauncher launcher;
};

std::unique_ptr<Run> convert(const std::string& path, const SettingsRecord& settings = defaultSettings(),
                             std::string title = "", EncodingChoice encoding = EncodingChoice::kAuto,
                             std::function<void()> duringCounting = {}) {
  auto run = std::make_unique<Run>();
  run->view.duringCounting = std::move(duringCounting);
  run->result = convertFile({path, std::move(title), true, encoding}, settings, run->view, run->launcher);
  return run;
}

TEST(ConversionRun, RepaintIntervalsRoundHalfToEven) {
  // Lines or bytes, and the interval: 13.5, 1.5 and 2.5 for counting; 3.35,
  // 1.49 and 1.509 for reading and converting.
  for (const auto& [bytes, interval] : {std::pair{9000, 14}, {0, 1}, {360, 2}, {1080, 2}}) {
    EXPECT_EQ(countingRepaintInterval(bytes), interval) << bytes;
  }
  for (const auto& [lines, interval] : {std::pair{120, 3}, {0, 1}, {25, 1}, {26, 2}, {65535, 1286}}) {
    EXPECT_EQ(lineRepaintInterval(lines), interval) << lines;
  }
  // So also for a caller that rounds upwards, whose rounding stays as it was.
  std::fesetround(FE_UPWARD);
  EXPECT_EQ(countingRepaintInterval(1080), 2);
  EXPECT_EQ(std::fegetround(), FE_UPWARD);
  std::fesetround(FE_TONEAREST);
}

// 120 lines, 9000 bytes: the counting pass repaints every 14 lines, the
// reading and converting passes every 3.
TEST(ConversionRun, RepaintsAndProgressOfAShortFile) {
  TempDir dir;
  const std::string input = dir.file("memo.txt");
  writeFile(input, linesOf(120, std::string(73, 'a')));
  ASSERT_EQ(readFile(input).size(), 9000u);
  const auto run = convert(input);
  ASSERT_TRUE(run->result);
  EXPECT_EQ(run->result->outputPath, dir.file("memo.htm"));

  std::vector<std::string> expected;
  std::istringstream golden(readFile(std::string(MORLAVIN_TEST_DATA) + "/conversion/repaints_120_lines.txt"));
  for (std::string line; std::getline(golden, line);) expected.push_back(line);
  EXPECT_EQ(run->view.repainted, expected);

  const std::uint64_t size = std::filesystem::file_size(dir.file("memo.htm"));
  EXPECT_EQ(run->view.status, "テキストを変換しました。(変換後のサイズ:" + std::to_string(size) + "bytes)");
  EXPECT_EQ(run->result->size, size);

  // 120 reading steps, 50, 120 converting steps, 100, then back to 0.
  const auto& p = run->view.progress;
  ASSERT_EQ(p.size(), 243u);
  EXPECT_DOUBLE_EQ(p[0], 50.0 / 120);
  EXPECT_DOUBLE_EQ(p[119], 50);
  EXPECT_DOUBLE_EQ(p[120], 50);
  EXPECT_DOUBLE_EQ(p[121], 50 + 50.0 / 120);
  EXPECT_DOUBLE_EQ(p[240], 100);
  EXPECT_DOUBLE_EQ(p[241], 100);
  EXPECT_DOUBLE_EQ(p[242], 0);
  ASSERT_EQ(run->launcher.documents.size(), 1u);
  EXPECT_EQ(run->launcher.documents[0].file, dir.file("memo.htm"));
  EXPECT_TRUE(run->view.errors.empty());
}

// The label shows the latest text of a pass before anything lets the window
// repaint, even when the pass ended between two repaint moments.
TEST(ConversionRun, LatestTextIsInPlaceAtTheEndOfEachPass) {
  TempDir dir;
  writeFile(dir.file("b.txt"), linesOf(100, std::string(100, 'a')));
  const auto ok = convert(dir.file("b.txt"));
  const auto& calls = ok->view.calls;
  const auto closing = std::find(calls.begin(), calls.end(), "text テキストを変換しています.... (100行/100行)");
  EXPECT_NE(closing, calls.end()) << "the last converting text is set although 100 is no multiple of 3";
}

TEST(ConversionRun, LastLineAllowedIsConverted) {
  TempDir dir;
  writeFile(dir.file("max.txt"), linesOf(65535));
  const auto ok = convert(dir.file("max.txt"));
  ASSERT_TRUE(ok->result);
  const auto& shown = ok->view.repainted;
  EXPECT_NE(std::find(shown.begin(), shown.end(), "テキストを変換しています....(65535行/65535行)"), shown.end());
  EXPECT_EQ(shown.back(), "テキストを変換しています.... (64300行/65535行)");
}

TEST(ConversionRun, EmptyFileGivesTheFrameOnly) {
  TempDir dir;
  writeFile(dir.file("empty.txt"), "");
  const auto run = convert(dir.file("empty.txt"));
  ASSERT_TRUE(run->result);
  const std::string page = readFile(dir.file("empty.htm"));
  EXPECT_TRUE(page.ends_with(
      "<BODY BGCOLOR=\"white\" TEXT=\"black\">\r\n"
      "<!-------- This File Created by Morlavin 1.62 Copyright (C) The Morlavin project. -------->\r\n"
      "</BODY>\r\n</HTML>\r\n")) << page;
  EXPECT_EQ(run->view.repainted, (std::vector<std::string>{
      "行数をチェックしています....0行", "テキストを変換しています....(0行/0行)"}));
  EXPECT_EQ(run->view.progress, (std::vector<double>{50, 100, 0}));
}

TEST(ConversionRun, WholePageForLineEndsTitleAndSettings) {
  TempDir dir;
  writeFile(dir.file("lf.TXT"), "a\nb\nc\n");
  SettingsRecord settings = defaultSettings();
  settings.OutputExtHTML = 1;
  settings.DisableEncodeMetaTag = 1;
  const auto run = convert(dir.file("lf.TXT"), settings, "表 & <t>");
  ASSERT_TRUE(run->result);
  EXPECT_EQ(run->result->outputPath, dir.file("lf.html"));
  EXPECT_EQ(readFile(dir.file("lf.html")), readFile(std::string(MORLAVIN_TEST_DATA) + "/conversion/lf_no_charset.html"));
  EXPECT_EQ(run->view.repainted.back(), "テキストを変換しています.... (3行/3行)");
}

TEST(ConversionRun, EncodingDecidesTheHeadAndTheMarkIsDropped) {
  const std::string ascii = linesOf(7000, "123456789");  // 70,000 bytes, past the first read
  const std::string asciiBody = [] {
    std::string body;
    for (int i = 0; i < 7000; ++i) body += "123456789<BR>\r\n";
    return body;
  }();
  const auto choice = [](const std::string& name) {
    return name == "utf8" ? EncodingChoice::kUtf8 : name == "sjis" ? EncodingChoice::kShiftJis : EncodingChoice::kAuto;
  };
  auto rows = test::caseTable("conversion/page_encoding.txt", 5);
  // Where the head had to be written before the deciding byte was read.
  rows.push_back({"UTF-8 after 64 KiB of ASCII", ascii + "日本", "auto", "utf8", asciiBody + "日本<BR>\r\n"});
  rows.push_back({"UTF-8 up to an invalid byte near the end", "日本\r\n" + ascii + "\xFF", "auto", "sjis",
                  "日本<BR>\r\n" + asciiBody + "\xFF<BR>\r\n"});
  TempDir dir;
  for (const auto& row : rows) {
    SCOPED_TRACE(row[0]);
    writeFile(dir.file("e.txt"), row[1]);
    ASSERT_TRUE(convert(dir.file("e.txt"), defaultSettings(), "表", choice(row[2]))->result);
    const std::string page = readFile(dir.file("e.htm"));
    const bool utf8 = row[3] == "utf8";
    EXPECT_NE(page.find(utf8 ? "charset=UTF-8\">\r\n" : "charset=x-sjis\">\r\n"), std::string::npos);
    EXPECT_NE(page.find(utf8 ? "<TITLE>表</TITLE>" : "<TITLE>\x95\x5C</TITLE>"), std::string::npos);
    const std::size_t body = page.find("-------->\r\n") + 11;
    EXPECT_EQ(page.substr(body, page.size() - body - kPageClosing.size()), row[4]);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << "no temporary page left";
}

// A run that fails reports it, with the latest text of its pass behind the
// message, keeps the earlier page (or writes none) and leaves the bar at 0 if
// it moved it; its result holds the message the user was shown.
TEST(ConversionRun, FailuresKeepTheEarlierPageAndResetTheBar) {
  TempDir dir;
  const std::string text = linesOf(2000, std::string(98, 'a'));  // repaints every 279 lines
  const auto resize = [](std::uintmax_t size) {
    return [size](const std::string& in) { std::filesystem::resize_file(in, size); };
  };
  const std::string changed = "ファイルが読み込み中に変更されました。もう一度変換してください。";
  const struct {
    const char* name;
    const char* file;
    std::string text;
    std::function<void(const std::string&)> duringCounting;
    bool earlierPage;
    std::string message, statusAtError;
    bool barMoved;
    std::optional<StatusCode> code;
  } rows[] = {
      {"file shrinks", "c.txt", text, resize(100), true, changed, "", false, StatusCode::kChanged},
      {"file grows", "c.txt", text, resize(300000), true, changed, "", false, StatusCode::kChanged},
      {"read-only page", "c.txt", text, nullptr, true, "(読み取り専用のファイルです)", "", true, StatusCode::kReadOnly},
      // Read every 3 lines: the last text is in place though 99 is not one of them.
      {"no .txt", "c.doc", linesOf(100, std::string(100, 'a')), nullptr, false, "このファイルは変換できません。",
       "テキストを読み込んでいます....  (99行/100行)", true, {}},
      {"one line too many, refused before reading", "c.txt", linesOf(65536), nullptr, false, "データが多すぎます。",
       "行数をチェックしています....  65536行", false, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string input = dir.file(row.file);
    writeFile(input, row.text);
    std::filesystem::remove(dir.file("c.htm"));
    if (row.earlierPage) writeFile(dir.file("c.htm"), "earlier");
    if (row.code == StatusCode::kReadOnly) std::filesystem::permissions(dir.file("c.htm"), std::filesystem::perms::owner_read);
    const auto run = convert(input, defaultSettings(), "", EncodingChoice::kAuto,
                             row.duringCounting ? std::function<void()>([&] { row.duringCounting(input); })
                                                : std::function<void()>());
    EXPECT_FALSE(run->result);
    ASSERT_EQ(run->view.errors.size(), 1u);
    EXPECT_NE(run->view.errors[0].find(row.message), std::string::npos) << run->view.errors[0];
    EXPECT_EQ(run->result.status().message(), run->view.errors[0]);
    if (row.code) { EXPECT_EQ(run->result.status().code(), *row.code); }
    if (!row.statusAtError.empty()) { EXPECT_EQ(run->view.statusAtError[0], row.statusAtError); }
    EXPECT_EQ(run->view.progress.empty(), !row.barMoved);
    if (row.barMoved) { EXPECT_EQ(run->view.progress.back(), 0); }
    EXPECT_EQ(run->view.status, "変換に失敗しました。");
    if (std::filesystem::exists(dir.file("c.htm"))) std::filesystem::permissions(dir.file("c.htm"), std::filesystem::perms::owner_all);
    EXPECT_EQ(readFile(dir.file("c.htm")), row.earlierPage ? "earlier" : "<missing>");
  }
}

TEST(ConversionRun, EmptyPathDoesNothingAndSpacesAreAPath) {
  const auto nothing = convert("");
  EXPECT_EQ(nothing->result.status().code(), StatusCode::kNotConfigured);
  EXPECT_TRUE(nothing->view.calls.empty());

  const auto spaces = convert("  ");
  EXPECT_FALSE(spaces->result);
  EXPECT_EQ(spaces->view.errors.size(), 1u);
  EXPECT_EQ(spaces->view.status, "変換に失敗しました。");
}

}  // namespace
}  // namespace morlavin::conversion
