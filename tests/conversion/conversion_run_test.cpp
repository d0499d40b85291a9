#include "conversion/conversion_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>

#include "conversion/page_format.h"
#include "conversion/title_import.h"
#include "settings/settings_file.h"
#include "test_support/case_table.h"
#include "test_support/core_fakes.h"
#include "test_support/encoding_names.h"
#include "test_support/tmpfs.h"

namespace morlavin::conversion {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;
namespace fs = std::filesystem;

// What the user saw, in order: each repaint of the status line, each message
// box, the bar put back to 0, and the text in place whenever the bar or a
// message box could let the window repaint (only when it changed since).
struct RecordingView : ConversionView {
  void setStatusText(std::string_view text) override { status = text; }
  void repaintStatus() override {
    barShown.push_back(bar());
    log.push_back("repaint " + (shown = status));
    if (log.size() == 2 && duringCounting) duringCounting();
  }
  void setProgress(double percent) override {
    inPlace();
    percents.push_back(percent);
    if (percent == 0) log.push_back("bar 0");
  }
  double progress() const override { return bar(); }
  void showError(std::string_view message) {
    barShown.push_back(bar());
    inPlace();
    log.push_back("error " + std::string(message));
  }
  bool drawsEveryStep() const override { return everyStep; }
  double bar() const { return percents.empty() ? 0 : percents.back(); }
  void inPlace() {
    if (status != shown) log.push_back("text " + (shown = status));
  }

  std::string status, shown;
  std::vector<std::string> log;
  std::vector<double> percents;
  std::vector<double> barShown;  // the bar at each repaint and message
  bool everyStep = true;
  std::function<void()> duringCounting;  // runs at the second repaint, while lines are counted
};

// A run as the window shows it: a failure's message, then what the run leaves.
Result<ConversionResult> convertShown(const ConversionRequest& request,
                                      const settings::SettingsRecord& settings, RecordingView& view,
                                      test::FakeLauncher& launcher) {
  auto result = convertFile(request, settings, view, launcher);
  if (!result.ok() && !result.status().silent()) {
    view.showError(result.status().message());
    showRunFailed(view);
  }
  return result;
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ConversionRun, RepaintIntervalsRoundHalfToEven) {
  for (const auto& c : test::caseTable("conversion/repaint_intervals.txt", 3)) {
    const long long n = std::stoll(c[1]);
    EXPECT_EQ(
        c[0] == "counting" ? countingRepaintInterval(n) : lineRepaintInterval(static_cast<int>(n)),
        std::stoll(c[2]))
        << c[0] << " " << n;
  }
}

// A run of the convert command in a fresh folder: the text `file`, `line`
// `times` over, beside an earlier page `pageName`; and what the user saw.
struct TextRun {
  void prepare(const std::string& file, const std::string& line, int times,
               const std::string& pageName) {
    input = dir.file(file), page = dir.file(pageName);
    fs::create_directories(fs::path(input).parent_path());
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    writeFile(input, text);
    writeFile(page, "earlier");
  }
  // Converts, then checks what every run shows: a failure told once, with the
  // message it returns, and the earlier page kept; a success's page replacing
  // it and opened; no temporary file left either way.
  void convert(const std::string& title = "t",
               const settings::SettingsRecord& record = settings::defaultSettings()) {
    result = convertShown({input, title, true, encoding}, record, view, launcher);
    view.inPlace();
    const std::string error = "error " + result.status().message();
    EXPECT_EQ(std::count(view.log.begin(), view.log.end(), error),
              result.ok() || error == "error " ? 0 : 1);
    for (std::string& line : view.log)
      line = test::replaced(line, dir.path(), "DIR");  // differs from run to run
    ASSERT_EQ(launcher.documents.size(), result.ok() ? 1u : 0u);
    if (result.ok()) {
      EXPECT_EQ(result->outputPath, page);
      EXPECT_EQ(launcher.documents[0].file, page);
      EXPECT_EQ(result->size, fs::file_size(page));
    }
    if (page.empty()) return;
    if (!result.ok()) {
      EXPECT_EQ(readFile(page), "earlier");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(page).parent_path()), {}), 2)
        << "no temporary file left";
  }

  TempDir dir;
  std::string input, page;
  EncodingChoice encoding = EncodingChoice::kAuto;
  RecordingView view;
  test::FakeLauncher launcher;
  Result<ConversionResult> result = Status::error(StatusCode::kIoError, "not run");
};

// Each run of tests/data/conversion/runs.txt against what the user must see:
// the status texts and repaints, the bar, the message, and the page.
TEST(ConversionRun, ShowsEachPassAndKeepsTheEarlierPageOnFailure) {
  const std::map<std::string, StatusCode> codes = {{"ok", StatusCode::kOk},
                                                   {"read-only", StatusCode::kReadOnly},
                                                   {"bad input", StatusCode::kBadInput}};
  const std::string data = std::string(MORLAVIN_TEST_DATA) + "/conversion/";
  for (const auto& c : test::caseTable("conversion/runs.txt", 12)) {
    SCOPED_TRACE(c[0]);
    TextRun run;
    run.prepare(c[1], c[2], std::stoi(c[3]), c[8]);
    fs::permissions(run.page, static_cast<fs::perms>(std::stoi(c[9], nullptr, 8)));
    run.convert(c[5], c[4].empty() ? settings::defaultSettings()
                                   : settings::readSettings(data + c[4]).value());
    EXPECT_EQ(run.result.status().code(), codes.at(c[11])) << run.result.status().message();
    EXPECT_EQ(run.view.log, linesOf(readFile(data + "runs/" + c[6])));
    std::vector<double> values;
    for (const std::string& value : linesOf(readFile(data + c[7])))
      values.push_back(std::stod(value));
    if (!c[7].empty()) {
      EXPECT_EQ(run.view.percents, values);
    }
    if (!c[10].empty()) {
      EXPECT_EQ(readFile(run.page), readFile(data + c[10]));
    }
  }
}

// A file that shrinks or grows once counted is not converted. What the user
// saw before depends on how the file is read; only the outcome is compared.
TEST(ConversionRun, KeepsTheEarlierPageWhenTheTextChangesWhileRead) {
  for (const std::uintmax_t size : {100, 300000}) {
    TextRun run;
    run.prepare("c.txt", std::string(98, 'a') + "\r\n", 2000, "c.htm");
    run.view.duringCounting = [&] { fs::resize_file(run.input, size); };
    run.convert();
    EXPECT_EQ(run.result.status().message(),
              "ファイルが読み込み中に変更されました。もう一度変換してください。");
    EXPECT_EQ(run.view.log.back(), "text 変換に失敗しました。");
    EXPECT_TRUE(run.view.percents.empty());
  }
}

TEST(ConversionRun, KeepsTheEarlierPageOnAFullDisk) {
  if (!test::Tmpfs::possible()) GTEST_SKIP() << "needs root to mount a small tmpfs as a full disk";
  TextRun run;
  test::Tmpfs disk(run.dir.path(), 64 << 10);
  ASSERT_TRUE(disk.ok());
  run.prepare("big.txt", "a", 40000, "big.htm");
  run.convert();
  EXPECT_EQ(run.result.status().message(),
            "書き込めません: " + run.page + " (ディスクの空き容量が足りません)");
  EXPECT_EQ(run.view.log.back(), "text 変換に失敗しました。");
}

// A name no file stands for is taken as it is; an empty one is not even tried.
TEST(ConversionRun, TakesTheNameAsItIs) {
  TextRun spaces, empty;
  spaces.input = "  ";
  spaces.convert();
  EXPECT_EQ(spaces.view.log,
            linesOf(readFile(std::string(MORLAVIN_TEST_DATA) + "/conversion/runs/spaces.txt")));
  empty.convert();
  EXPECT_EQ(empty.result.status().code(), StatusCode::kNotConfigured);
  EXPECT_EQ(empty.view.log, std::vector<std::string>{});
}

// A view that draws the bar only with the status line is given the value a
// bar drawn at every step holds at each repaint; messages and the end of the
// run find the same value too.
TEST(ConversionRun, BarDrawnOnlyWithTheStatusLineShowsTheSameValues) {
  for (const bool readOnlyPage : {false, true}) {
    std::vector<double> shown[2];
    for (const bool everyStep : {false, true}) {
      TextRun run;
      run.prepare("m.txt", "\n", 120, "m.htm");
      if (readOnlyPage) fs::permissions(run.page, fs::perms::owner_read);
      run.view.everyStep = everyStep;
      run.convert();
      EXPECT_EQ(run.result.ok(), !readOnlyPage);
      EXPECT_EQ(run.view.percents.size() > 120, everyStep)
          << "a value a line only where it is drawn";
      shown[everyStep] = run.view.barShown;
      shown[everyStep].push_back(run.view.bar());
    }
    EXPECT_EQ(shown[0], shown[1]) << readOnlyPage;
  }
}

TEST(ConversionRun, EncodingDecidesTheHeadAndTheMarkIsDropped) {
  std::string ascii, asciiBody;  // 70,000 bytes, past the first read
  for (int i = 0; i < 7000; ++i) {
    ascii += "123456789\r\n";
    asciiBody += "123456789<BR>\r\n";
  }
  auto rows = test::caseTable("conversion/page_encoding.txt", 5);
  // Where the head had to be written before the deciding byte was read.
  rows.push_back(
      {"UTF-8 after 64 KiB of ASCII", ascii + "日本", "auto", "utf8", asciiBody + "日本<BR>\r\n"});
  rows.push_back({"UTF-8 up to an invalid byte near the end", "日本\r\n" + ascii + "\xFF", "auto",
                  "sjis", "日本<BR>\r\n" + asciiBody + "\xFF<BR>\r\n"});
  rows.push_back({"EUC-JP after 64 KiB of ASCII", ascii + "\xA4\xA2", "auto", "euc",
                  asciiBody + "\xA4\xA2<BR>\r\n"});
  rows.push_back({"ISO-2022-JP after 64 KiB of ASCII", ascii + "\x1B$B$3\x1B(B", "auto", "utf8",
                  asciiBody + "こ<BR>\r\n"});
  rows.push_back({"ISO-2022-JP up to an 8-bit byte after 64 KiB",
                  "\x1B$B$3\x1B(B\r\n" + ascii + "\xA4\xA2", "auto", "euc",
                  "\x1B$B$3\x1B(B<BR>\r\n" + asciiBody + "\xA4\xA2<BR>\r\n"});
  for (const auto& row : rows) {
    SCOPED_TRACE(row[0]);
    TextRun run;
    run.prepare("e.txt", row[1], 1, "e.htm");
    run.encoding = test::encodingChoiceNamed(row[2]);
    run.convert("表");
    ASSERT_TRUE(run.result.ok());
    const std::string page = readFile(run.page);
    const Encoding encoding = test::encodingNamed(row[3]);
    EXPECT_NE(page.find("\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html ; charset=" +
                        std::string(charsetName(encoding)) + "\">\r\n"),
              std::string::npos);
    EXPECT_NE(page.find("<TITLE>" + pageText("表", encoding) + "</TITLE>"), std::string::npos);
    const std::size_t body = page.find("-------->\r\n") + 11;
    EXPECT_EQ(page.substr(body, page.size() - body - kPageClosing.size()), row[4]);
  }
}

// A title taken from the first line as the run reads it (all a stream allows)
// makes the same page as the title imported from the file beforehand, also
// where the whole file turns out another encoding than its first line
// suggested; the same holds for a page copied to a stream once complete.
TEST(ConversionRun, TitleFromTheFirstLineAsItIsReadIsTheImportedOne) {
  auto rows = test::caseTable("conversion/title_import.txt", 4);
  rows.push_back(
      {"utf8_until_the_end.txt", "表題\n" + std::string(70000, 'a') + "\x95\x5C", "auto", ""});
  TempDir dir;
  for (const auto& row : rows) {
    if (row[0].starts_with(".")) continue;  // no title for a hidden file is the caller's rule
    SCOPED_TRACE(row[0]);
    const std::string text = dir.file("t.txt");
    writeFile(text, row[1]);
    const EncodingChoice encoding = test::encodingChoiceNamed(row[2]);
    ConversionRequest imported{text, importTitle(text, encoding).value_or(""), false, encoding};
    ConversionRequest asRead = imported;
    asRead.title = "used for a file without lines only";
    asRead.titleFromFirstLine = true;
    asRead.outputPath = dir.file("as_read.htm");
    const int stream =
        ::open(dir.file("stream.htm").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0600);
    ConversionRequest streamed = asRead;
    streamed.outputStream = stream;
    for (const ConversionRequest* request : {&imported, &asRead, &streamed}) {
      RecordingView view;
      test::FakeLauncher launcher;
      ASSERT_TRUE(convertFile(*request, settings::defaultSettings(), view, launcher).ok());
    }
    ::close(stream);
    const std::string page = readFile(dir.file("t.htm"));
    if (row[3] != "-") {
      EXPECT_EQ(readFile(dir.file("as_read.htm")), test::replaced(page, "t.htm", "as_read.htm"));
    }
    EXPECT_EQ(readFile(dir.file("stream.htm")), readFile(dir.file("as_read.htm")));
  }
}

}  // namespace
}  // namespace morlavin::conversion
