// Bad input through the main window: whatever the file, the folder or the
// settings, the user gets one clear message and nothing else on disk changes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QLabel>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>

#include "mainwindow/form1_fixture.h"
#include "platform/file_ops.h"
#include "test_support/tmpfs.h"

namespace morlavin::mainwindow {
namespace {

namespace fs = std::filesystem;

// Every file below `dir` with its bytes, to see that nothing changed.
std::map<std::string, std::string> snapshot(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    files[entry.path().string()] = entry.is_regular_file() ? test::readFile(entry.path()) : "<folder>";
  }
  return files;
}

std::string lines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "x\r\n";
  return text;
}

TEST_F(Form1, RefusedFilesChangeNothingButTheStatusLine) {
  const std::string disk = work.file("full");
  fs::create_directory(disk);
  test::Tmpfs full(disk, 64 << 10);
  const std::string readOnlyDir = work.file("readonly");
  fs::create_directory(readOnlyDir);
  test::Tmpfs readOnly(readOnlyDir, 64 << 10);

  // clang-format off
  struct Row { const char* name; std::function<std::string()> input; const char* message; bool needsMount; };
  const Row rows[] = {
      {"missing file", [&] { return work.file("missing.txt"); }, "ファイルを開けません (ファイルまたはフォルダが見つかりません)", false},
      {"a folder", [&] { fs::create_directory(work.file("dir.txt")); return work.file("dir.txt"); }, "ファイルを開けません (フォルダです)", false},
      {"a pipe", [&] { ::mkfifo(work.file("pipe.txt").c_str(), 0600); return work.file("pipe.txt"); }, "ファイルを開けません (通常のファイルではありません)", false},
      {"a device through a link", [&] { fs::create_symlink("/dev/zero", work.file("zero.txt")); return work.file("zero.txt"); }, "ファイルを開けません (通常のファイルではありません)", false},
      {"read-only page of that name", [&] { writeFile(work.file("ro.htm"), "earlier"); fs::permissions(work.file("ro.htm"), fs::perms::owner_read); writeFile(work.file("ro.txt"), "x\r\n"); return work.file("ro.txt"); }, "(読み取り専用のファイルです)", false},
      {"no .txt in the file name", [&] { fs::create_directory(work.file("a.txt.d")); writeFile(work.file("a.txt.d/b"), "x\r\n"); return work.file("a.txt.d/b"); }, "このファイルは変換できません。", false},
      {"65536 lines", [&] { writeFile(work.file("many.txt"), lines(65536)); return work.file("many.txt"); }, "データが多すぎます。", false},
      {"no .txt in the path", [&] { writeFile(work.file("memo.doc"), "x\r\n"); return work.file("memo.doc"); }, "このファイルは変換できません。", false},
      {"full disk", [&] { writeFile(disk + "/big.htm", "earlier page"); writeFile(disk + "/big.txt", std::string(40000, 'a')); return disk + "/big.txt"; }, "(ディスクの空き容量が足りません)", true},
      {"read-only folder", [&] { writeFile(readOnlyDir + "/r.txt", "x\r\n"); readOnly.makeReadOnly(); return readOnlyDir + "/r.txt"; }, "(読み取り専用のファイルシステムです)", true},
  };
  // clang-format on
  open();
  convert(work.file("good.txt"));
  const std::string lastPage = window->lastOutputPath();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.needsMount && !(full.ok() && readOnly.ok())) {
      std::printf("skipped without root, who alone may mount a tmpfs: %s\n", row.name);
      continue;
    }
    boxes.boxes.clear();
    line("Text1")->setText(QString::fromStdString(row.input()));
    const auto before = snapshot(work.path());
    control<QPushButton>("Command2")->click();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].icon + " " + boxes.boxes[0].title, "critical エラー");
    EXPECT_TRUE(boxes.boxes[0].text.contains(QString::fromUtf8(row.message))) << box();
    EXPECT_EQ(control<QLabel>("Label2")->text(), "変換に失敗しました。");
    EXPECT_EQ(window->lastOutputPath(), lastPage);
    EXPECT_TRUE(control<QPushButton>("Command4")->isEnabled());
    EXPECT_EQ(snapshot(work.path()), before);
  }
}

// Names a shell would read and bytes that are no text are converted like any
// other file: every byte reaches the page, and no command runs.
TEST_F(Form1, OddNamesAndBytesConvert) {
  open();
  const std::string bytes = std::string("\x81\x20\xFF\xFE\0<B>\x95\x5C\r\n", 11) + std::string(2000, '\x01');
  std::string longest;  // 83 characters of three bytes each and ".txt": 253 bytes
  for (int i = 0; i < 83; ++i) longest += "長";
  const std::string names[] = {"with space.txt", "quote'\"s.txt", "$(touch pwned).txt", "semi;colon.txt",
                               "`touch pwned`.txt", "日本語 メモ.txt", longest + ".txt"};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    writeFile(work.file(name), bytes);
    line("Text1")->setText(QString::fromStdString(work.file(name)));
    control<QPushButton>("Command2")->click();
    const std::string page = test::readFile(window->lastOutputPath());
    EXPECT_NE(page.find(std::string("\x81\x20\xFF\xFE\0<B>\x95\x5C<BR>\r\n", 14)), std::string::npos);
    EXPECT_TRUE(control<QLabel>("Label2")->text().startsWith("テキストを変換しました。"));
  }
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_FALSE(platform::exists("pwned") || platform::exists(work.file("pwned")));
}

// Settings files the program did not write itself: start-up says what it
// does, keeps every byte it did not mean to change, and still opens.
TEST_F(Form1, StartUpSurvivesBrokenSettingsFiles) {
  std::string sections;
  for (int i = 0; i < 10000; ++i) sections += "[S" + std::to_string(i) + "]\r\nk=v\r\n";
  const std::string upgrade = "plain Morlavin " + std::string(program::texts::kUpgradeNotice);
  const std::string backup = "plain Morlavin " + std::string(program::texts::kBackupNotice);
  // clang-format off
  struct Row { const char* name; std::string ini; std::function<void(const std::string&)> prepare; std::vector<std::string> boxesStart; bool unchanged; };
  const Row rows[] = {
      {"binary garbage", std::string("\xFF\0\x1B[\x01=\r\r\n\x95", 10), nullptr, {upgrade}, false},
      {"a 1 MB line", std::string(1 << 20, 'k') + "\r\n", nullptr, {upgrade}, false},
      {"10,000 sections", sections, nullptr, {upgrade}, false},
      {"read-only file", "[Setting]\r\nVersion=1.00\r\n", [](const std::string& d) { fs::permissions(d + "/Morlavin.ini", fs::perms::owner_read); }, {upgrade, "critical Morlavin 設定ファイルに保存できなかった設定があります"}, true},
      {"backup name is a read-only file", "[Setting]\r\nVersion=1.70\r\n", [](const std::string& d) { writeFile(d + "/Morlavin.170", "old"); fs::permissions(d + "/Morlavin.170", fs::perms::owner_read); }, {backup, "critical Morlavin 設定ファイルのバックアップを作成できません"}, true},
      {"backup name is a folder", "[Setting]\r\nVersion=1.70\r\n", [](const std::string& d) { fs::create_directory(d + "/Morlavin.170"); }, {backup, "critical Morlavin 設定ファイルのバックアップを作成できません"}, true},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    writeFile(dir.file("Morlavin.ini"), row.ini);
    if (row.prepare) row.prepare(dir.path());
    const auto before = snapshot(dir.path());
    boxes.boxes.clear();
    start = program::startUp(dir.path(), {}, settings, settingsBoxes);
    ASSERT_EQ(boxes.boxes.size(), row.boxesStart.size());
    for (std::size_t i = 0; i < row.boxesStart.size(); ++i) EXPECT_EQ(box(i).substr(0, row.boxesStart[i].size()), row.boxesStart[i]);
    const std::string after = test::readFile(dir.file("Morlavin.ini"));
    if (row.unchanged) {
      EXPECT_EQ(snapshot(dir.path()), before);
    } else {
      EXPECT_EQ(after.substr(0, row.ini.size()), row.ini) << "the file's own bytes stay, the keys are added";
      EXPECT_NE(after.find("\r\nVersion=1.62\r\n"), std::string::npos);
    }
    EXPECT_EQ(settings.Textcolor, 75);
    MainWindow opened(start, settings, Services{boxes, dialogs, help, launcher});
  }
}

TEST_F(Form1, SettingsInAFolderThatCannotBeWrittenAreReportedOnce) {
  const std::string folder = work.file("program");
  fs::create_directory(folder);
  test::Tmpfs readOnly(folder, 64 << 10);
  if (!readOnly.ok()) GTEST_SKIP() << "needs root, who alone may mount a tmpfs";
  fs::create_directory(folder + "/old");
  writeFile(folder + "/old/Morlavin.ini", "[Setting]\r\nVersion=1.00\r\nBgcolor=3\r\n");
  ASSERT_TRUE(readOnly.makeReadOnly());
  platform::UserEnvironment environment;
  environment.home = work.file("home");
  for (const std::string& dir : {folder, folder + "/old"}) {
    SCOPED_TRACE(dir);
    boxes.boxes.clear();
    // Without a settings file of its own, a folder the user cannot write sends
    // the settings to the user's config folder, silently.
    start = program::startUp(dir, {}, settings, settingsBoxes, environment);
    const bool upgrade = dir.ends_with("old");
    if (!upgrade) {
      EXPECT_TRUE(boxes.boxes.empty());
      EXPECT_TRUE(fs::exists(work.file("home/.config/morlavin/Morlavin.ini")));
      continue;
    }
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_TRUE(boxes.boxes.back().text.contains(QStringLiteral("(読み取り専用のファイルシステムです)"))) << box(boxes.boxes.size() - 1);
    EXPECT_EQ(settings.Bgcolor, upgrade ? 3 : 0);
  }
  EXPECT_EQ(test::readFile(folder + "/old/Morlavin.ini"), "[Setting]\r\nVersion=1.00\r\nBgcolor=3\r\n");
}

TEST_F(Form1, TranslatorThatIsNoProgramIsReported) {
  platform::DesktopLauncher desktop;
  open(&desktop);
  writeFile(work.file("notes.txt"), "not a program");
  settings.Translator = work.file("notes.txt");
  control<QPushButton>("Command5")->click();
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(box(), "critical エラー 起動できません: " + work.file("notes.txt") + " (アクセスが拒否されました)");
}

}  // namespace
}  // namespace morlavin::mainwindow
