#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <sstream>

#include "program/about.h"
#include "program/commands.h"
#include "program/preview.h"
#include "program/start_up.h"
#include "platform/texts.h"
#include "settings/version.h"
#include "test_support/case_table.h"
#include "test_support/core_fakes.h"
#include "test_support/settings_rows.h"
#include "test_support/tmpfs.h"

namespace morlavin::program {
namespace {

using test::readFile;
using test::TempDir;
using test::with;
using test::writeFile;
namespace fs = std::filesystem;

// Start-up joins the command line, finds the settings file and loads it,
// creating it when missing, and still starts with files it did not write;
// what it tells the user arrives as notices and failures, each once. The
// rows in a read-only folder, or the others.
void checkStartUps(bool inAReadOnlyFolder) {
  for (const auto& row : test::caseTable("program/start_up.txt", 11)) {
    if ((row[3] == "read-only folder") != inAReadOnlyFolder) continue;
    SCOPED_TRACE(row[0]);
    TempDir dir, home;
    std::optional<test::Tmpfs> disk;
    if (inAReadOnlyFolder) { ASSERT_TRUE(disk.emplace(dir.path(), 64 << 10).ok()); }
    const std::string ini = row[2].starts_with('<')
        ? readFile(std::string(MORLAVIN_TEST_DATA) + "/settings/" + row[2].substr(1)) : row[2];
    if (row[2] != "-") writeFile(dir.file("Morlavin.ini"), ini);
    if (row[3] == "read-only") fs::permissions(dir.file("Morlavin.ini"), fs::perms::owner_read);
    if (disk) { ASSERT_TRUE(disk->makeReadOnly()); }
    platform::UserEnvironment environment;
    environment.home = home.path();
    test::FakeSettingsMessages messages;
    settings::SettingsRecord settings;
    std::istringstream words(row[4]);
    const std::vector<std::string> arguments{std::istream_iterator<std::string>(words), {}};
    const StartUp start = startUp(row[1] == "known" ? dir.path() : "", arguments, settings, messages, environment);
    EXPECT_EQ(start.inputPath, row[5]);
    EXPECT_EQ(messages.notices, row[6] == "-" ? std::vector<std::string>{} : std::vector{row[6]});
    const std::string failure = test::replaced(row[7], "DIR", dir.path());
    EXPECT_EQ(messages.failures, failure == "-" ? std::vector<std::string>{} : std::vector{failure});
    const std::string after = readFile(dir.file("Morlavin.ini"));
    if (row[8] == "same") { EXPECT_EQ(after, ini); }
    if (row[8] == "added") {
      EXPECT_EQ(after.substr(0, ini.size()), ini);
      EXPECT_NE(after.find("\r\nVersion=1.62\r\n"), std::string::npos);
    }
    EXPECT_EQ(start.settingsDirectory, row[9] == "program" ? dir.path() : home.file(".config/morlavin"));
    EXPECT_TRUE(fs::is_regular_file(start.settingsDirectory + "/Morlavin.ini"));
    EXPECT_EQ(settingsPrefix(start).value(), start.settingsDirectory + "/");
    EXPECT_TRUE(fs::is_directory(start.previewDirectory)) << start.previewDirectory;
    EXPECT_EQ(settings.Bgcolor, std::stoi(row[10]));
  }
  // With no folder for them, settings are neither loaded nor saved, and the user is told.
  test::FakeSettingsMessages messages;
  settings::SettingsRecord settings;
  const StartUp start = startUp("", {}, settings, messages, platform::UserEnvironment{});
  EXPECT_EQ(messages.failures, (std::vector<std::string>{std::string(texts::kNoProgramDirectory),
                                                         std::string(texts::kNoSettingsFolder)}));
  EXPECT_EQ(settings, settings::defaultSettings());
  EXPECT_EQ(settingsPrefix(start).status().message(), texts::kNoSettingsFolder);
}

TEST(StartUp, FindsItsFilesTakesTheCommandLineAndLoadsTheSettings) { checkStartUps(false); }

TEST(StartUp, StartsInAFolderItCannotWrite) {
  if (!test::Tmpfs::possible()) GTEST_SKIP() << "needs root to mount a read-only tmpfs";
  checkStartUps(true);
}

TEST(MainCommands, TranslatorStartsWithItsOneArgumentOnceNamed) {
  const Status refused = Status::error(StatusCode::kRefused, "起動できません: /bin/x");
  struct Row { std::string translator; Status answer; StatusCode code; std::string message; };
  for (const Row& row : {Row{"", Status(), StatusCode::kNotConfigured, std::string(texts::kNoTranslator)},
                         Row{"/opt/翻訳 ソフト/tr; rm -rf ~", Status(), StatusCode::kOk, ""},
                         Row{"/bin/x", refused, StatusCode::kRefused, refused.message()}}) {
    test::FakeLauncher launcher;
    launcher.startResult = row.answer;
    const Status status = launchTranslator(with({{"Translator", row.translator}}), launcher);
    EXPECT_EQ(status.code(), row.code) << row.translator;
    EXPECT_EQ(status.message(), row.message);
    ASSERT_EQ(launcher.programs.size(), row.translator.empty() ? 0u : 1u);
    if (!row.translator.empty()) {
      EXPECT_EQ(launcher.programs[0].file, row.translator);
      EXPECT_EQ(launcher.programs[0].arguments, std::vector<std::string>{"0"});
    }
  }
}

// What the delete button does with the page at its path, and what the exit
// does with it depending on QuitDeleteHTML.
TEST(MainCommands, DeletePageOnlyWhileItIsTheOneWritten) {
  TempDir dir;
  const std::string page = dir.file("memo.htm");
  for (const auto& row : test::caseTable("program/page_deletion.txt", 6)) {
    SCOPED_TRACE(row[0] + " " + row[1]);
    fs::remove_all(page);
    if (row[0] == "changed") writeFile(page, "edited");
    if (row[0] == "folder") fs::create_directory(page);
    const auto settings = with({{"QuitDeleteHTML", row[1]}});
    EXPECT_EQ(deletePageOnExit(settings, page, {}).message(), test::replaced(row[5], "PAGE", page));
    EXPECT_TRUE(deletePageOnExit(settings, "", {}).ok()) << "no page written";
    const PageDeletion deletion = deleteWrittenPage(page, {});
    EXPECT_EQ(deletion.statusText, row[2]);
    EXPECT_EQ(deletion.keepButton, row[3] == "1");
    EXPECT_EQ(deletion.failure.message(), test::replaced(row[4], "PAGE", page));
    EXPECT_EQ(fs::exists(page), row[3] == "1");
  }
}

TEST(Preview, IsWrittenInItsFolderAndRemovedAgain) {
  TempDir dir;
  // The image is written whenever its box is ticked, whatever the tick.
  const auto values = with({{"ManualTextcolorSet", "1"}, {"HTMLTextcolorB", "128"}, {"CheckBackground", "2"},
                            {"HTMLBackGround", "bg.gif"}});
  const std::string path = dir.file("~mlvpre.htm");
  EXPECT_EQ(previewPath(dir.path()), path);
  ASSERT_TRUE(writePreview(dir.path(), values).ok());
  EXPECT_EQ(readFile(path), readFile(std::string(MORLAVIN_TEST_DATA) + "/program/preview.htm"));
  removePreview(dir.path());
  EXPECT_FALSE(fs::exists(path));
  removePreview(dir.path());

  fs::create_directory(path);
  const Status failed = writePreview(dir.path(), values);
  EXPECT_EQ(failed.code(), StatusCode::kNotRegularFile);
  EXPECT_EQ(failed.message(), "プレビューを作成できません: 書き込めません: " + path + " (フォルダです)");
}

TEST(About, VersionAndAboutTexts) {
  EXPECT_EQ(static_cast<float>(1.62), settings::programVersionNumber()) << "compares equal to its own text";
  EXPECT_EQ(settings::versionText(1, 5) + " " + settings::versionText(1, 10), "1.05 1.10");
  EXPECT_EQ(aboutText(1, 5, "(C) X", "nick", "https://h/"), "Morlavin Ver 1.05\r\n(C) X(nick)\r\nhttps://h/");
}

}  // namespace
}  // namespace morlavin::program
