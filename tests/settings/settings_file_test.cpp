#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cfenv>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <vector>

#include "platform/profile_file.h"
#include "platform/texts.h"
#include "test_support/core_fakes.h"
#include "settings/setting_number.h"
#include "test_support/rows.h"
#include "test_support/settings_rows.h"
#include "test_support/temp_dir.h"

namespace morlavin::settings {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

using RecordedMessages = test::FakeSettingsMessages;

std::string fixture(const std::string& name) {
  return readFile(std::string(MORLAVIN_TEST_DATA) + "/settings/" + name);
}

// A program directory holding `iniFixture` as its settings file (none if empty).
struct ProgramDir {
  explicit ProgramDir(const std::string& iniFixture = "") {
    if (!iniFixture.empty()) writeFile(ini(), fixture(iniFixture));
  }
  std::string prefix() const { return dir.path() + "/"; }
  std::string ini() const { return dir.file("Morlavin.ini"); }
  TempDir dir;
};

// The text stored under `key` in the settings file at `path`.
std::string stored(const std::string& path, std::string_view key) {
  return platform::readProfileString(path, "Setting", key, "?");
}

TEST(SettingsFile, LoadsFilesWithTheirVersionHandling) {
  const std::map<std::string, std::string> notices = {
      {"-", ""}, {"upgrade", std::string(program::texts::kUpgradeNotice)}, {"backup", std::string(program::texts::kBackupNotice)}};
  for (const test::Row& row : test::readRows("settings/load_cases.txt")) {
    SCOPED_TRACE(row.at(0));
    ProgramDir program(row[0] == "-" ? "" : row[0]);
    SettingsRecord expected = defaultSettings();
    std::istringstream values(row.at(3));
    for (std::string pair; std::getline(values, pair, '|');)
      expected = test::with({{pair.substr(0, pair.find('=')), pair.substr(pair.find('=') + 1)}}, expected);
    RecordedMessages messages;
    SettingsRecord record;
    SettingsFile(program.prefix(), messages).loadSettings(record);
    EXPECT_EQ(record, expected);
    EXPECT_EQ(messages.notices, notices.at(row.at(1)).empty() ? std::vector<std::string>{} : std::vector{notices.at(row[1])});
    EXPECT_TRUE(messages.failures.empty());
    EXPECT_EQ(readFile(program.ini()), fixture(row.at(2) == "-" ? row[0] : row[2]));
  }
}

// A settings file that exists but cannot be read says nothing of its version:
// it is reported with the reason, the run gets the defaults, and nothing is
// written over it, not even by a later save.
TEST(SettingsFile, UnreadableFileIsReportedAndNeverWrittenOver) {
  const struct {
    const char* name;
    std::function<void(const std::string&)> make;
    const char* reason;
  } cases[] = {
      {"folder", [](const std::string& ini) { std::filesystem::create_directory(ini); }, "(フォルダです)"},
      {"FIFO", [](const std::string& ini) { ::mkfifo(ini.c_str(), 0644); }, "(通常のファイルではありません)"},
      {"no read permission",
       [](const std::string& ini) {
         writeFile(ini, "[Setting]\r\nVersion=1.00\r\n");
         ::chmod(ini.c_str(), 0200);
       },
       "(アクセスが拒否されました)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (::geteuid() == 0 && std::string(c.name) == "no read permission") {
      std::cout << "skipped as root, who reads any file: " << c.name << "\n";
      continue;
    }
    ProgramDir program;
    c.make(program.ini());
    RecordedMessages messages;
    SettingsFile file(program.prefix(), messages);
    SettingsRecord record;
    file.loadSettings(record);
    EXPECT_EQ(record, defaultSettings());
    EXPECT_TRUE(messages.notices.empty());
    EXPECT_EQ(messages.failures,
              std::vector<std::string>{"設定ファイルを読み込めません: " + program.ini() + " " + c.reason});
    EXPECT_FALSE(file.saveSettings(record));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(program.dir.path())) {
      names.push_back(entry.path().filename());
    }
    EXPECT_EQ(names, std::vector<std::string>{"Morlavin.ini"});
    ::chmod(program.ini().c_str(), 0600);
    if (std::filesystem::is_regular_file(program.ini())) {
      EXPECT_EQ(readFile(program.ini()), "[Setting]\r\nVersion=1.00\r\n");
    }
  }
}

// Bytes this process has read and written so far.
std::pair<long, long> ioSoFar() {
  std::ifstream io("/proc/self/io");
  long read = 0, written = 0;
  for (std::string name; io >> name;) {
    long value = 0;
    io >> value;
    if (name == "rchar:") read = value;
    if (name == "wchar:") written = value;
  }
  return {read, written};
}

// Saving builds the new file in memory and replaces the file once, so a large
// file is not read and written once per key.
TEST(SettingsFile, UpgradeReadsAndWritesALargeFileOnce) {
  std::string padding;
  for (int i = 0; i < 40000; ++i) padding += "; a comment line of fifty bytes or so, kept as is\r\n";
  ProgramDir program;
  writeFile(program.ini(), fixture("version_1_00.ini") + padding);
  RecordedMessages messages;
  SettingsRecord record;
  const auto [readBefore, writtenBefore] = ioSoFar();
  SettingsFile(program.prefix(), messages).loadSettings(record);
  const auto [readAfter, writtenAfter] = ioSoFar();
  EXPECT_EQ(messages.notices, std::vector<std::string>{std::string(program::texts::kUpgradeNotice)});
  EXPECT_EQ(readFile(program.ini()), fixture("version_1_00.after.ini") + padding);
  const long size = static_cast<long>(padding.size());
  EXPECT_LT(readAfter - readBefore, 3 * size) << "read once to load and once to save";
  EXPECT_LT(writtenAfter - writtenBefore, 2 * size) << "written once";
}

TEST(SettingsFile, NewerFileIsBackedUpAtEveryStartUntilSaved) {
  ProgramDir program("version_1_70.ini");
  RecordedMessages messages;
  SettingsRecord record;
  SettingsFile file(program.prefix(), messages);
  file.loadSettings(record);
  writeFile(program.dir.file("Morlavin.170"), "stale backup");
  file.loadSettings(record);
  EXPECT_EQ(messages.notices.size(), 2u);
  EXPECT_EQ(readFile(program.dir.file("Morlavin.170")), fixture("version_1_70.ini"));

  EXPECT_TRUE(file.saveSettings(record));
  messages.notices.clear();
  file.loadSettings(record);
  EXPECT_TRUE(messages.notices.empty());
  EXPECT_NE(readFile(program.ini()).find("\r\nFutureKey=yes\r\n"), std::string::npos)
      << "keys the program does not know survive a save";
}

// A backup that cannot be made, because its name is taken by a folder or
// because the version is too large to name it, is reported; the load completes.
TEST(SettingsFile, BackupThatCannotBeMadeIsReportedAndTheLoadCompletes) {
  for (const char* name : {"version_1_70.ini", "version_too_large.ini"}) {
    SCOPED_TRACE(name);
    ProgramDir program(name);
    std::filesystem::create_directory(program.dir.file("Morlavin.170"));
    RecordedMessages messages;
    SettingsRecord record;
    SettingsFile(program.prefix(), messages).loadSettings(record);
    EXPECT_EQ(messages.notices.size(), 1u);
    ASSERT_EQ(messages.failures.size(), 1u);
    EXPECT_TRUE(messages.failures[0].starts_with("設定ファイルのバックアップを作成できません: "));
    EXPECT_EQ(record.TextIgnoreTags, 1);
    EXPECT_EQ(readFile(program.ini()), fixture(name));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program.dir.path()), {}), 2);
  }
}

TEST(SettingsFile, BackupNameIsTheVersionTimesOneHundred) {
  for (const test::Row& row : test::readRows("settings/backup_names.txt"))
    EXPECT_EQ(backupFileName(std::stof(row.at(0))).value_or("none"), row.at(1)) << row[0];
}

TEST(SettingsRecord, ColourValuesOfAPage) {
  for (const test::Row& row : test::readRows("settings/colour_values.txt")) {
    const auto byte = [&](int i) { return static_cast<std::uint8_t>(std::stoi(row.at(i))); };
    EXPECT_EQ(htmlColourValue(byte(0), byte(1), byte(2), byte(3), byte(4)), row.at(5)) << row[0] << " " << row[1];
  }
}

// Checked without the row helper, which assigns through the same code.
TEST(SettingsRecord, NumberKeysKeepTheirLargestValue) {
  for (const test::Row& row : test::readRows("settings/byte_values.txt")) {
    SettingsRecord record;
    const SettingKey* key = findSettingKey(row.at(0));
    ASSERT_NE(key, nullptr) << row[0];
    assignSetting(record, *key, row.at(1));
    EXPECT_EQ(std::to_string(record.*key->byte), row.at(2)) << row[0] << "=" << row[1];
  }
}

// The defaults button's rule: both colour groups go back to their defaults,
// every other setting stays.
TEST(SettingsRecord, ResetColoursKeepsTheOtherSettings) {
  SettingsRecord record = test::with({{"Translator", "t"}, {"ManualBgcolorSet", "1"}, {"Bgcolor", "20"}, {"HTMLBgcolorG", "2"},
                                      {"ManualTextcolorSet", "1"}, {"Textcolor", "3"}, {"HTMLTextcolorB", "3"}, {"CheckBackground", "1"}});
  resetColours(record);
  EXPECT_EQ(record, test::with({{"Translator", "t"}, {"CheckBackground", "1"}}));
}

// A number ends where its text does, even when the bytes after it are digits.
TEST(SettingsRecord, NumbersAndBytesOfSettingTexts) {
  for (const test::Row& row : test::readRows("settings/numbers.txt")) {
    const std::string_view text = std::string_view(row.at(0)).substr(0, std::stoul(row.at(1)));
    EXPECT_EQ(parseSettingNumber(text), std::stod(row.at(2))) << row[0];
    EXPECT_EQ(settingByte(text) ? std::to_string(*settingByte(text)) : "none", row.at(3)) << row[0];
  }
  std::fesetround(FE_DOWNWARD);  // the caller's rounding mode is its own
  EXPECT_EQ(settingByte("2.5"), 2);
  EXPECT_EQ(std::fegetround(), FE_DOWNWARD);
  std::fesetround(FE_TONEAREST);
}

TEST(SettingsFile, SaveTrimsTextFieldsAndStampsTheRunningVersion) {
  ProgramDir program;
  RecordedMessages messages;
  SettingsFile file(program.prefix(), messages);
  SettingsRecord record = defaultSettings();
  record.Version = 1.0f;
  record.Translator = "  /usr/bin/trans  ";
  record.HTMLBackGround = "\tback.gif ";
  EXPECT_TRUE(file.saveSettings(record));
  EXPECT_EQ(record.Translator, "/usr/bin/trans");
  EXPECT_EQ(record.HTMLBackGround, "back.gif");
  EXPECT_EQ(stored(program.ini(), "Version"), "1.62");
  EXPECT_EQ(stored(program.ini(), "translator"), "/usr/bin/trans");
  EXPECT_EQ(readSettings(program.ini()).HTMLBackGround, "back.gif");
}

// Values the file cannot hold are reported, not stored mangled; every other
// key is still saved, and the unstorable key keeps its old value in the file.
TEST(SettingsFile, SaveReportsWhatItCouldNotStore) {
  ProgramDir program;
  RecordedMessages messages;
  SettingsFile file(program.prefix(), messages);
  SettingsRecord record = defaultSettings();
  ASSERT_TRUE(file.saveSettings(record));

  record.Translator = "/opt/〜/tr";  // would come back as "～"
  record.HTMLBackGround = "a\nb";
  record.Bgcolor = 7;
  const Status unstorable = file.saveSettings(record);
  EXPECT_EQ(unstorable.code(), StatusCode::kBadInput);
  EXPECT_EQ(unstorable.message(), "設定ファイルに保存できなかった設定があります: " + program.ini() +
                                      "\nTranslator: Shift-JISで表せない文字を含む値は保存できません"
                                      "\nHTMLBackGround: 改行を含む値は保存できません");
  EXPECT_EQ(stored(program.ini(), "Translator"), "");
  EXPECT_EQ(stored(program.ini(), "HTMLBackGround"), "");
  EXPECT_EQ(stored(program.ini(), "Bgcolor"), "7");

  ::chmod(program.ini().c_str(), 0444);
  const std::string before = readFile(program.ini());
  record.Translator = "/bin/tr";
  const Status refused = file.saveSettings(record);
  const std::string message = refused.message();
  EXPECT_EQ(refused.code(), StatusCode::kReadOnly);
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1)
      << "a file that refuses writes is reported once, not for every key: " << message;
  EXPECT_EQ(readFile(program.ini()), before);
  EXPECT_TRUE(messages.failures.empty()) << "the caller shows the failure";
}

TEST(SettingsFile, WriteSettingTrimsTheCallersVariable) {
  ProgramDir program;
  RecordedMessages messages;
  SettingsFile file(program.prefix(), messages);
  std::string value = "  spaced value \t";
  ASSERT_TRUE(file.writeSetting("Key", value));
  EXPECT_EQ(value, "spaced value");
  EXPECT_EQ(stored(program.ini(), "KEY"), "spaced value");
  value = " \t ";
  ASSERT_TRUE(file.writeSetting("Key", value));
  EXPECT_EQ(value + stored(program.ini(), "Key"), "") << "blanks alone are an empty value";
  value = "a\rb";
  const Status refused = file.writeSetting("Key", value);
  EXPECT_EQ(refused.code(), StatusCode::kBadInput);
  EXPECT_EQ(refused.message(), "Key: 改行を含む値は保存できません");
}

}  // namespace
}  // namespace morlavin::settings
