#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>

#include "platform/texts.h"
#include "program/about.h"
#include "program/commands.h"
#include "program/preview.h"
#include "program/start_up.h"
#include "test_support/case_table.h"
#include "test_support/core_fakes.h"
#include "test_support/settings_rows.h"

namespace morlavin::program {
namespace {

using test::readFile;
using test::TempDir;
using test::with;
using test::writeFile;
namespace fs = std::filesystem;

// A start of the program from the folder `dir`, with the user's home in `home`.
struct Started {
  void run(const std::string& programDirectory, const std::vector<std::string>& arguments = {}) {
    platform::UserEnvironment environment;
    environment.home = home.path();
    start = startUp(programDirectory, arguments, settings, messages, environment);
  }
  TempDir dir, home;
  test::FakeSettingsMessages messages;
  settings::SettingsRecord settings;
  StartUp start;
};

std::vector<std::string> listOf(const std::string& text) {
  return text.empty() ? std::vector<std::string>{} : std::vector{text};
}

const std::string kSettingsData = std::string(MORLAVIN_TEST_DATA) + "/settings/";

// Start-up joins the command line, loads the settings file beside the
// program, creating it when missing, and still starts with files it did not
// write; what it tells the user arrives as notices and failures, each once.
TEST(StartUp, TakesTheCommandLineAndLoadsTheSettingsBesideTheProgram) {
  for (const auto& row : test::caseTable("program/start_up.txt", 9)) {
    SCOPED_TRACE(row[0]);
    Started started;
    const std::string ini = started.dir.file("Morlavin.ini");
    if (!row[1].empty()) {
      writeFile(ini, readFile(kSettingsData + row[1]));
      fs::permissions(ini, static_cast<fs::perms>(std::stoi(row[2], nullptr, 8)));
    }
    std::istringstream words(row[3]);
    started.run(started.dir.path(), {std::istream_iterator<std::string>(words), {}});
    EXPECT_EQ(started.start.inputPath, row[4]);
    EXPECT_EQ(started.messages.notices, listOf(row[5]));
    EXPECT_EQ(started.messages.failures, listOf(test::replaced(row[6], "DIR", started.dir.path())));
    if (!row[7].empty()) {
      EXPECT_EQ(readFile(ini), readFile(kSettingsData + row[7]));
    }
    EXPECT_EQ(settingsPrefix(started.start).value(), started.dir.path() + "/");
    EXPECT_TRUE(fs::is_regular_file(ini));
    EXPECT_TRUE(fs::is_directory(started.start.previewDirectory)) << started.start.previewDirectory;
    EXPECT_EQ(started.settings.Bgcolor, std::stoi(row[8]));
  }
}

// Without a program folder the settings live in the user's folder; with no
// folder for them at all, they are neither loaded nor saved. The user is told.
TEST(StartUp, WithoutAProgramFolderKeepsTheSettingsInTheUsersFolderIfAny) {
  Started started, homeless;
  started.run("", {"a"});
  EXPECT_EQ(started.start.inputPath, "a");
  EXPECT_EQ(started.messages.failures, listOf(std::string(texts::kNoProgramDirectory)));
  EXPECT_TRUE(fs::is_regular_file(started.home.file(".config/morlavin/Morlavin.ini")));
  homeless.start =
      startUp("", {}, homeless.settings, homeless.messages, platform::UserEnvironment{});
  EXPECT_EQ(homeless.messages.failures,
            (std::vector<std::string>{std::string(texts::kNoProgramDirectory),
                                      std::string(texts::kNoSettingsFolder)}));
  EXPECT_EQ(homeless.settings, settings::defaultSettings());
  EXPECT_EQ(settingsPrefix(homeless.start).status().message(), texts::kNoSettingsFolder);
}

TEST(MainCommands, TranslatorStartsWithItsOneArgumentOnceNamed) {
  const Status refused = Status::error(StatusCode::kRefused, "起動できません: /bin/x");
  struct Row {
    std::string translator;
    Status answer;
    StatusCode code;
    std::string message;
  };
  for (const Row& row :
       {Row{"", Status(), StatusCode::kNotConfigured, std::string(texts::kNoTranslator)},
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
  const auto values = with({{"ManualTextcolorSet", "1"},
                            {"HTMLTextcolorB", "128"},
                            {"CheckBackground", "2"},
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
  EXPECT_EQ(failed.message(),
            "プレビューを作成できません: 書き込めません: " + path + " (フォルダです)");
}

TEST(About, MinorVersionHasTwoDigitsAtLeast) {
  EXPECT_EQ(aboutText(1, 5, "(C) X", "nick", "https://h/"),
            "Morlavin Ver 1.05\r\n(C) X(nick)\r\nhttps://h/");
}

}  // namespace
}  // namespace morlavin::program
