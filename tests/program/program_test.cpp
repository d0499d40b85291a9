#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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
#include "test_support/tmpfs.h"

namespace morlavin::program {
namespace {

using test::readFile;
using test::TempDir;
using test::with;
using test::writeFile;
namespace fs = std::filesystem;

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
    EXPECT_TRUE(fs::is_directory(start.previewDirectory)) << start.previewDirectory;
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

// Settings files the program did not write itself: start-up says what it
// does, keeps every byte it did not mean to change, and still starts.
TEST(StartUp, SurvivesSettingsFilesItDidNotWrite) {
  std::string sections;
  for (int i = 0; i < 10000; ++i) sections += "[S" + std::to_string(i) + "]\r\nk=v\r\n";
  const std::string upgrade(texts::kUpgradeNotice), backup(texts::kBackupNotice);
  const auto readOnly = [](const std::string& path) { fs::permissions(path, fs::perms::owner_read); };
  struct Row { const char* name; std::string ini; std::function<void(const std::string&)> prepare; std::string notice, failure; };
  const Row rows[] = {
      {"binary garbage", std::string("\xFF\0\x1B[\x01=\r\r\n\x95", 10), nullptr, upgrade, ""},
      {"a 1 MB line", std::string(1 << 20, 'k') + "\r\n", nullptr, upgrade, ""},
      {"10,000 sections", sections, nullptr, upgrade, ""},
      {"read-only file", "[Setting]\r\nVersion=1.00\r\n", [&](const std::string& d) { readOnly(d + "/Morlavin.ini"); }, upgrade, std::string(texts::kSettingsNotAllSaved)},
      {"backup name is a read-only file", "[Setting]\r\nVersion=1.70\r\n", [&](const std::string& d) { writeFile(d + "/Morlavin.170", "old"); readOnly(d + "/Morlavin.170"); }, backup, std::string(texts::kBackupFailed)},
      {"backup name is a folder", "[Setting]\r\nVersion=1.70\r\n", [](const std::string& d) { fs::create_directory(d + "/Morlavin.170"); }, backup, std::string(texts::kBackupFailed)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    writeFile(dir.file("Morlavin.ini"), row.ini);
    if (row.prepare) row.prepare(dir.path());
    test::FakeSettingsMessages messages;
    settings::SettingsRecord settings;
    startUp(dir.path(), {}, settings, messages);
    EXPECT_EQ(messages.notices, std::vector{row.notice});
    ASSERT_EQ(messages.failures.size(), row.failure.empty() ? 0u : 1u);
    const std::string after = readFile(dir.file("Morlavin.ini"));
    if (!row.failure.empty()) {
      EXPECT_TRUE(messages.failures[0].starts_with(row.failure)) << messages.failures[0];
      EXPECT_EQ(after, row.ini);
      if (fs::is_regular_file(dir.file("Morlavin.170"))) {
        EXPECT_EQ(readFile(dir.file("Morlavin.170")), "old");
      }
    } else {
      EXPECT_EQ(after.substr(0, row.ini.size()), row.ini) << "the file's own bytes stay, the keys are added";
      EXPECT_NE(after.find("\r\nVersion=1.62\r\n"), std::string::npos);
    }
    EXPECT_EQ(settings.Textcolor, 75);
  }
}

// A program folder the user cannot write: without a settings file of its own
// the settings go to the user's config folder silently; with one, the upgrade
// that cannot be saved is reported and the loaded values still hold.
TEST(StartUp, ProgramFolderThatCannotBeWritten) {
  TempDir work;
  const std::string folder = work.file("program");
  fs::create_directory(folder);
  test::Tmpfs readOnly(folder, 64 << 10);
  if (!readOnly.ok()) GTEST_SKIP() << "needs root, who alone may mount a tmpfs";
  fs::create_directory(folder + "/old");
  writeFile(folder + "/old/Morlavin.ini", "[Setting]\r\nVersion=1.00\r\nBgcolor=3\r\n");
  ASSERT_TRUE(readOnly.makeReadOnly());
  platform::UserEnvironment environment;
  environment.home = work.file("home");
  for (const bool own : {false, true}) {
    SCOPED_TRACE(own);
    test::FakeSettingsMessages messages;
    settings::SettingsRecord settings;
    startUp(own ? folder + "/old" : folder, {}, settings, messages, environment);
    EXPECT_EQ(messages.notices.size(), own ? 1u : 0u);
    ASSERT_EQ(messages.failures.size(), own ? 1u : 0u);
    if (own) {
      EXPECT_NE(messages.failures[0].find("(読み取り専用のファイルシステムです)"), std::string::npos) << messages.failures[0];
    }
    EXPECT_EQ(settings.Bgcolor, own ? 3 : 0);
    EXPECT_EQ(fs::exists(work.file("home/.config/morlavin/Morlavin.ini")), true);
  }
  EXPECT_EQ(readFile(folder + "/old/Morlavin.ini"), "[Setting]\r\nVersion=1.00\r\nBgcolor=3\r\n");
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
