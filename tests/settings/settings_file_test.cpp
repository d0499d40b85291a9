#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cfenv>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "platform/profile_file.h"
#include "platform/texts.h"
#include "settings/setting_number.h"
#include "test_support/case_table.h"
#include "test_support/core_fakes.h"
#include "test_support/settings_rows.h"

namespace morlavin::settings {
namespace {

using test::readFile;
using test::writeFile;
namespace fs = std::filesystem;
namespace texts = morlavin::texts::program;

std::string fixture(const std::string& name) {
  return readFile(std::string(MORLAVIN_TEST_DATA) + "/settings/" + name);
}

// A program folder with the fixture `iniFixture` as its settings file (none
// for "-"), and the settings file there with the messages it gave.
struct Program {
  explicit Program(const std::string& iniFixture = "-") {
    if (iniFixture != "-") writeFile(ini(), fixture(iniFixture));
  }
  std::string ini() const { return dir.file("Morlavin.ini"); }
  test::TempDir dir;
  test::FakeSettingsMessages messages;
  SettingsFile file{dir.path() + "/", messages};
  SettingsRecord record;
};

std::string stored(const std::string& path, std::string_view key) {
  return platform::ProfileSnapshot::read(path).value().get("Setting", key, "?");
}

// A settings file that exists but cannot be read says nothing of its version:
// it is reported with the reason, the run gets the defaults, and nothing is
// written over it, not even by a later save. A backup that cannot be made is
// reported, and the load completes. The rows of unreadable files, or the
// others.
void checkLoads(bool unreadable) {
  const std::map<std::string, std::string> notices = {
      {"upgrade", std::string(texts::kUpgradeNotice)},
      {"backup", std::string(texts::kBackupNotice)}};
  for (const auto& row : test::caseTable("settings/load_cases.txt", 7)) {
    if ((row.at(1) == "unreadable") != unreadable) continue;
    SCOPED_TRACE(row.at(0) + " " + row.at(1));
    Program program(row[0]);
    if (row[1] == "folder") fs::create_directory(program.ini());
    if (row[1] == "fifo") ::mkfifo(program.ini().c_str(), 0644);
    if (row[1] == "unreadable") ::chmod(program.ini().c_str(), 0200);
    if (row[1] == "backup_taken") fs::create_directory(program.dir.file("Morlavin.170"));
    const std::string failure = test::replaced(row.at(3), "{dir}", program.dir.path());
    program.file.loadSettings(program.record);
    EXPECT_EQ(program.record, test::withCell(row[6]));
    EXPECT_EQ(program.messages.notices,
              row[2] == "-" ? std::vector<std::string>{} : std::vector{notices.at(row[2])});
    EXPECT_EQ(program.messages.failures,
              failure == "-" ? std::vector<std::string>{} : std::vector{failure});
    if (failure.starts_with(texts::kSettingsUnreadable)) {
      EXPECT_FALSE(program.file.saveSettings(program.record).ok());
    }
    EXPECT_EQ(test::fileNames(program.dir.path()), row.at(4));
    ::chmod(program.ini().c_str(), 0600);
    if (fs::is_regular_file(program.ini())) {
      EXPECT_EQ(readFile(program.ini()), fixture(row[5] == "-" ? row[0] : row[5]));
    }
  }
}

TEST(SettingsFile, LoadsFilesByTheTable) { checkLoads(false); }

TEST(SettingsFile, ReportsAFileItCannotRead) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads any file; run as a normal user";
  checkLoads(true);
}

// Bytes this process has read and written so far.
std::pair<long, long> ioSoFar() {
  std::ifstream io("/proc/self/io");
  std::map<std::string, long> counts;
  long value = 0;
  for (std::string name; io >> name >> value;) counts[name] = value;
  return {counts["rchar:"], counts["wchar:"]};
}

// Saving builds the new file in memory and replaces the file once, so a large
// file (a line longer than any buffer, thousands of sections) is not read and
// written once per key.
TEST(SettingsFile, UpgradeReadsAndWritesALargeFileOnce) {
  std::string padding = std::string(1 << 20, 'k') + "\r\n";
  for (int i = 0; i < 20000; ++i)
    padding += "[S" + std::to_string(i) + "]\r\nk=v\r\n; a comment, kept as is\r\n";
  Program program;
  writeFile(program.ini(), fixture("version_1_00.ini") + padding);
  const auto [readBefore, writtenBefore] = ioSoFar();
  program.file.loadSettings(program.record);
  const auto [readAfter, writtenAfter] = ioSoFar();
  EXPECT_EQ(readFile(program.ini()), fixture("version_1_00.after.ini") + padding);
  const long size = static_cast<long>(padding.size());
  EXPECT_LT(readAfter - readBefore, 3 * size) << "read once to load and once to save";
  EXPECT_LT(writtenAfter - writtenBefore, 2 * size) << "written once";
}

TEST(SettingsFile, NewerFileIsBackedUpAtEveryStartUntilSaved) {
  Program program("version_1_70.ini");
  program.file.loadSettings(program.record);
  writeFile(program.dir.file("Morlavin.170"), "stale backup");
  program.file.loadSettings(program.record);
  EXPECT_EQ(program.messages.notices.size(), 2u);
  EXPECT_EQ(readFile(program.dir.file("Morlavin.170")), fixture("version_1_70.ini"));

  EXPECT_TRUE(program.file.saveSettings(program.record).ok());
  program.messages.notices.clear();
  program.file.loadSettings(program.record);
  EXPECT_TRUE(program.messages.notices.empty());
  EXPECT_NE(readFile(program.ini()).find("\r\nFutureKey=yes\r\n"), std::string::npos)
      << "keys the program does not know survive a save";
}

TEST(SettingsFile, BackupNameIsTheVersionTimesOneHundred) {
  for (const auto& row : test::caseTable("settings/backup_names.txt", 2))
    EXPECT_EQ(backupFileName(std::stof(row.at(0))).value_or("none"), row.at(1)) << row[0];
}

TEST(SettingsRecord, ColourValuesOfAPage) {
  for (const auto& row : test::caseTable("settings/colour_values.txt", 6)) {
    const auto byte = [&](int i) { return static_cast<std::uint8_t>(std::stoi(row.at(i))); };
    EXPECT_EQ(htmlColourValue(byte(0), byte(1), byte(2), byte(3), byte(4)), row.at(5))
        << row[0] << " " << row[1];
  }
}

// The defaults button's rule: both colour groups go back to their defaults,
// every other setting stays.
TEST(SettingsRecord, ResetColoursKeepsTheOtherSettings) {
  SettingsRecord record = test::with({{"Translator", "t"},
                                      {"ManualBgcolorSet", "1"},
                                      {"Bgcolor", "20"},
                                      {"HTMLBgcolorG", "2"},
                                      {"ManualTextcolorSet", "1"},
                                      {"Textcolor", "3"},
                                      {"HTMLTextcolorB", "3"},
                                      {"CheckBackground", "1"}});
  resetColours(record);
  EXPECT_EQ(record, test::with({{"Translator", "t"}, {"CheckBackground", "1"}}));
}

// A number ends where its text does, even when the bytes after it are digits.
TEST(SettingsRecord, NumbersAndBytesOfSettingTexts) {
  for (const auto& row : test::caseTable("settings/numbers.txt", 4)) {
    const std::string_view text = std::string_view(row.at(0)).substr(0, std::stoul(row.at(1)));
    EXPECT_EQ(parseSettingNumber(text), std::stod(row.at(2))) << row[0];
    EXPECT_EQ(settingByte(text) ? std::to_string(*settingByte(text)) : "none", row.at(3)) << row[0];
  }
  // Number keys keep their largest value; checked without the row helper,
  // which assigns through the same code.
  for (const auto& row : test::caseTable("settings/byte_values.txt", 3)) {
    SettingsRecord record;
    const SettingKey* key = findSettingKey(row.at(0));
    ASSERT_NE(key, nullptr) << row[0];
    assignSetting(record, *key, row.at(1));
    EXPECT_EQ(std::to_string(record.*key->byte), row.at(2)) << row[0] << "=" << row[1];
  }
  std::fesetround(FE_DOWNWARD);  // the caller's rounding mode is its own
  EXPECT_EQ(settingByte("2.5"), 2);
  EXPECT_EQ(std::fegetround(), FE_DOWNWARD);
  std::fesetround(FE_TONEAREST);
}

// Saving trims the two text fields. Values the file cannot hold are reported,
// not stored mangled; every other key is still saved, and the unstorable key
// keeps its old value in the file.
TEST(SettingsFile, SaveTrimsAndReportsWhatItCouldNotStore) {
  Program program;
  SettingsRecord& record = program.record = defaultSettings();
  record.Translator = "  /usr/bin/trans  ";
  record.HTMLBackGround = "\tback.gif ";
  ASSERT_TRUE(program.file.saveSettings(record).ok());
  EXPECT_EQ(record.Translator + "|" + record.HTMLBackGround, "/usr/bin/trans|back.gif");

  record.Translator = "/opt/〜/tr";  // would come back as "～"
  record.HTMLBackGround = "a\nb";
  record.Bgcolor = 7;
  const Status unstorable = program.file.saveSettings(record);
  EXPECT_EQ(unstorable.code(), StatusCode::kBadInput);
  EXPECT_EQ(unstorable.message(),
            "設定ファイルに保存できなかった設定があります: " + program.ini() +
                "\nTranslator: Shift-JISで表せない文字を含む値は保存できません"
                "\nHTMLBackGround: 改行を含む値は保存できません");
  EXPECT_EQ(stored(program.ini(), "Translator") + "|" + stored(program.ini(), "HTMLBackGround"),
            "/usr/bin/trans|back.gif");
  EXPECT_EQ(stored(program.ini(), "Bgcolor"), "7");

  ::chmod(program.ini().c_str(), 0444);
  const std::string before = readFile(program.ini());
  record.Translator = "/bin/tr";
  const Status refused = program.file.saveSettings(record);
  const std::string message = refused.message();
  EXPECT_EQ(refused.code(), StatusCode::kReadOnly);
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1)
      << "a file that refuses writes is reported once, not for every key: " << message;
  EXPECT_EQ(readFile(program.ini()), before);
  EXPECT_TRUE(program.messages.failures.empty()) << "the caller shows the failure";
}

}  // namespace
}  // namespace morlavin::settings
