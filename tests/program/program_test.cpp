#include <gtest/gtest.h>

#include <filesystem>

#include "conversion/preview_page.h"
#include "program/about.h"
#include "program/commands.h"
#include "program/preview.h"
#include "program/start_up.h"
#include "platform/texts.h"
#include "settings/version.h"
#include "test_support/core_fakes.h"
#include "test_support/settings_rows.h"
#include "test_support/temp_dir.h"

namespace morlavin::program {
namespace {

using test::readFile;
using test::TempDir;
using test::with;
using test::writeFile;

// Start-up joins the command line, finds the settings file and loads it,
// creating it when missing; what it tells the user arrives as notices and
// failures, each once.
TEST(StartUp, FindsItsFilesTakesTheCommandLineAndLoadsTheSettings) {
  struct Row {
    const char* fixture;
    std::vector<std::string> arguments;
    bool knownProgram;
    std::string inputPath, notice, failure;
    std::uint8_t bgcolor;
  };
  // clang-format off
  for (const Row& row : {
           Row{nullptr, {}, true, "", "", "", 0},
           Row{"version_1_00.ini", {"/data/my", "メモ.txt"}, true, "/data/my メモ.txt", std::string(texts::kUpgradeNotice), "", 3},
           Row{"version_1_70.ini", {"memo.txt"}, true, "memo.txt", std::string(texts::kBackupNotice), "", 0},
           Row{nullptr, {"a"}, false, "a", "", std::string(texts::kNoProgramDirectory), 0}}) {
    // clang-format on
    SCOPED_TRACE(row.inputPath);
    TempDir dir, home;
    if (row.fixture) {
      writeFile(dir.file("Morlavin.ini"), readFile(std::string(MORLAVIN_TEST_DATA) + "/settings/" + row.fixture));
    }
    platform::UserEnvironment environment;
    environment.home = home.path();
    test::FakeSettingsMessages messages;
    settings::SettingsRecord settings;
    const StartUp start =
        startUp(row.knownProgram ? dir.path() : "", row.arguments, settings, messages, environment);
    EXPECT_EQ(start.inputPath, row.inputPath);
    EXPECT_EQ(messages.notices, row.notice.empty() ? std::vector<std::string>{} : std::vector{row.notice});
    EXPECT_EQ(messages.failures, row.failure.empty() ? std::vector<std::string>{} : std::vector{row.failure});
    EXPECT_EQ(settings.Bgcolor, row.bgcolor);
    EXPECT_TRUE(std::filesystem::is_regular_file(start.settingsDirectory + "/Morlavin.ini"));
    EXPECT_EQ(start.settingsDirectory, row.knownProgram ? dir.path() : home.file(".config/morlavin"));
    EXPECT_EQ(settingsPrefix(start).value(), start.settingsDirectory + "/");
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

TEST(MainCommands, TranslatorStartsWithItsOneArgumentOnceNamed) {
  struct Row { std::string translator; Status launcherAnswer; StatusCode code; std::string message; };
  for (const Row& row : {Row{"", Status::ok(), StatusCode::kNotConfigured, std::string(texts::kNoTranslator)},
                         Row{"/opt/翻訳 ソフト/tr; rm -rf ~", Status::ok(), StatusCode::kOk, ""},
                         Row{"/bin/x", Status::error(StatusCode::kRefused, "起動できません: /bin/x"),
                             StatusCode::kRefused, "起動できません: /bin/x"}}) {
    SCOPED_TRACE(row.translator);
    test::FakeLauncher launcher;
    launcher.startResult = row.launcherAnswer;
    const Status status = launchTranslator(with({{"Translator", row.translator}}), launcher);
    EXPECT_EQ(status.code(), row.code);
    EXPECT_EQ(status.message(), row.message);
    std::string started;
    for (const auto& launch : launcher.programs) {
      started += launch.file;
      for (const std::string& argument : launch.arguments) started += "|" + argument;
    }
    EXPECT_EQ(started, row.translator.empty() ? "" : row.translator + "|0");
  }
}

// What the delete button does with the page at its path, and what the exit
// does with it depending on QuitDeleteHTML; a fresh identity never matches a
// file on disk, so a page there stands for one changed since it was written.
TEST(MainCommands, DeletePageOnlyWhileItIsTheOneWritten) {
  struct Row { const char* name; const char* quitDelete; bool keepButton; std::string status, failure, onExit; };
  TempDir dir;
  const std::string page = dir.file("memo.htm");
  // clang-format off
  for (const Row& row : {
           Row{"gone", "1", false, std::string(texts::kPageDeleted), "", ""},
           Row{"changed", "1", true, std::string(texts::kPageNotDeleted), std::string(texts::kPageChanged) + page, std::string(texts::kPageChanged) + page},
           Row{"folder", "1", true, std::string(texts::kPageNotDeleted), "ファイルを削除できません: " + page + " (フォルダです)", "ファイルを削除できません: " + page + " (フォルダです)"},
           Row{"changed", "0", true, std::string(texts::kPageNotDeleted), std::string(texts::kPageChanged) + page, ""},
           Row{"changed", "2", true, std::string(texts::kPageNotDeleted), std::string(texts::kPageChanged) + page, ""}}) {
    // clang-format on
    SCOPED_TRACE(std::string(row.name) + " " + row.quitDelete);
    std::filesystem::remove_all(page);
    if (std::string(row.name) == "changed") writeFile(page, "edited");
    if (std::string(row.name) == "folder") std::filesystem::create_directory(page);
    const auto settings = with({{"QuitDeleteHTML", row.quitDelete}});
    EXPECT_EQ(deletePageOnExit(settings, page, {}).message(), row.onExit);
    EXPECT_TRUE(deletePageOnExit(settings, "", {})) << "no page written";
    const PageDeletion deletion = deleteWrittenPage(page, {});
    EXPECT_EQ(deletion.statusText, row.status);
    EXPECT_EQ(deletion.keepButton, row.keepButton);
    EXPECT_EQ(deletion.failure.message(), row.failure);
    EXPECT_EQ(std::filesystem::exists(page), row.keepButton);
  }
}

TEST(Preview, IsWrittenInItsFolderAndRemovedAgain) {
  TempDir dir;
  const auto values = with({{"ManualBgcolorSet", "1"}, {"HTMLBackGround", "bg.gif"}});
  const std::string path = dir.file("~mlvpre.htm");
  EXPECT_EQ(previewPath(dir.path()), path);
  ASSERT_TRUE(writePreview(dir.path(), values));
  EXPECT_EQ(readFile(path), conversion::previewPage(values));
  removePreview(dir.path());
  EXPECT_FALSE(std::filesystem::exists(path));
  removePreview(dir.path());

  std::filesystem::create_directory(path);
  const Status failed = writePreview(dir.path(), values);
  EXPECT_EQ(failed.code(), StatusCode::kNotRegularFile);
  EXPECT_EQ(failed.message(), "プレビューを作成できません: 書き込めません: " + path + " (フォルダです)");
}

TEST(About, VersionAndAboutTexts) {
  EXPECT_EQ(settings::programVersionText(), "1.62");
  EXPECT_EQ(static_cast<float>(1.62), settings::programVersionNumber()) << "compares equal to its own text";
  EXPECT_EQ(settings::versionText(1, 5), "1.05");
  EXPECT_EQ(aboutText(1, 5, "(C) X", "nick", "https://h/"), "Morlavin Ver 1.05\r\n(C) X(nick)\r\nhttps://h/");
}

}  // namespace
}  // namespace morlavin::program
