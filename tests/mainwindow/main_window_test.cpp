// The main window over a scratch program directory, every seam answered by a
// fake. The rules behind the buttons are decided and tested in the program
// library; here the window shows them and keeps the user's files safe.
#include "mainwindow/main_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "platform/file_ops.h"
#include "program/start_up.h"
#include "test_support/rows.h"
#include "test_support/temp_dir.h"
#include "test_support/tmpfs.h"
#include "test_support/ui_fakes.h"

// Failures show texts, not arrays of UTF-16 code units.
void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace morlavin::mainwindow {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::writeFile;

// Every file below `dir` with its bytes, to see that nothing changed.
std::map<std::string, std::string> snapshot(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    files[entry.path().string()] = entry.is_regular_file() ? test::readFile(entry.path()) : "<folder>";
  return files;
}

class Form1 : public testing::Test {
 protected:
  void open(platform::Launcher* use = nullptr, const std::vector<std::string>& arguments = {}) {
    window.reset();
    boxes.boxes.clear();
    start = program::startUp(programDir.path(), arguments, settings, settingsBoxes);
    window = std::make_unique<MainWindow>(start, settings, Services{boxes, dialogs, help, use ? *use : launcher});
    window->showCentred();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  template <typename T = QWidget>
  T* control(const std::string& name) {
    return window->findChild<T*>(QString::fromStdString(name));
  }
  QLineEdit* line(const char* name) { return control<QLineEdit>(name); }
  QString status() { return control<QLabel>("Label2")->text(); }
  // Writes a one-line text file and names it in the file-name box.
  void name(const std::string& path) {
    writeFile(path, "line\r\n");
    line("Text1")->setText(QString::fromStdString(path));
  }
  void convert(const std::string& path) {
    name(path);
    control<QPushButton>("Command2")->click();
  }
  std::string box(std::size_t i = 0) {
    const auto& b = boxes.boxes.at(i);
    return (b.icon + " " + b.title + " " + b.text).toStdString();
  }

  TempDir programDir, work;
  settings::SettingsRecord settings;
  test::FakeMessageBoxes boxes;
  test::FakeFileDialogs dialogs;
  test::FakeHelpViewer help;
  test::FakeLauncher launcher;
  SettingsMessageBoxes settingsBoxes{boxes};
  program::StartUp start;
  std::unique_ptr<MainWindow> window;
};

TEST_F(Form1, LayoutPlacesEveryControlAndTheTabOrder) {
  open();
  QStringList menus;
  for (const QAction* menu : window->menuBar()->actions()) {
    menus << menu->text();
    for (const QAction* item : menu->menu()->actions()) menus << item->text() + item->shortcut().toString();
  }
  QStringList expectedMenus;
  for (const test::Row& row : test::readRows("mainwindow/layout.txt")) {
    SCOPED_TRACE(row.at(0));
    if (row[0] == "menu") {
      expectedMenus << QString::fromStdString(row.at(1));
      continue;
    }
    QWidget* widget = row[0] == "client" ? window->centralWidget() : control(row[0]);
    ASSERT_NE(widget, nullptr);
    // The client area's place below the menu bar is the platform's.
    EXPECT_EQ(row[0] == "client" ? QRect({}, widget->size()) : widget->geometry(), QRect(std::stoi(row.at(1)) / 15, std::stoi(row.at(2)) / 15,
                                        std::stoi(row.at(3)) / 15, std::stoi(row.at(4)) / 15));
    if (row.size() < 6) continue;
    const QString caption = widget->property("text").toString();
    EXPECT_EQ(caption, QString::fromStdString(row[5]));
    const QString shown = QString(caption).replace(QRegularExpression(R"(\(&(\w)\))"), "(\\1)");
    EXPECT_LE(widget->fontMetrics().horizontalAdvance(shown), widget->width());
  }
  EXPECT_EQ(menus, expectedMenus);
  EXPECT_EQ(window->windowTitle(), "Morlavin");
  EXPECT_TRUE(window->minimumSize() == window->maximumSize() && !(window->windowFlags() & Qt::WindowMaximizeButtonHint));
  // The whole window, frame included, in the middle of the screen.
  const QPoint offCentre = window->frameGeometry().center() - window->screen()->availableGeometry().center();
  EXPECT_LE(offCentre.manhattanLength(), 1);
  EXPECT_FALSE(control("Command4")->isEnabled());

  convert(work.file("memo.txt"));  // the delete button takes focus only when enabled
  line("Text1")->setFocus();
  QStringList visited;
  for (int i = 0; i < 7; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(visited, QStringList({"Command1", "Command2", "Command4", "Command5", "txtTitle", "Command3", "Text1"}));
}

TEST_F(Form1, EnterConvertsUnlessAnotherButtonHasFocus) {
  open();
  const std::string page = work.file("memo.htm");
  struct Row { const char* focus; Qt::Key key; bool converts; };
  for (const Row row : {Row{"Text1", Qt::Key_Return, true}, Row{"txtTitle", Qt::Key_Return, true},
                        Row{"Text1", Qt::Key_Enter, true}, Row{"Command5", Qt::Key_Return, false}}) {
    SCOPED_TRACE(row.focus);
    fs::remove(page);
    name(work.file("memo.txt"));
    control(row.focus)->setFocus();
    QTest::keyClick(control(row.focus), row.key);
    EXPECT_EQ(platform::exists(page), row.converts);
  }
  EXPECT_EQ(launcher.documents.size(), 3u);
  EXPECT_EQ(boxes.boxes.size(), 1u);  // the translator button's own message
}

TEST_F(Form1, DropsFillTheFileNameOnlyOnTheirTargets) {
  open();
  QMimeData files, text, link, shiftJis;
  files.setUrls({QUrl::fromLocalFile("/data/メモ 1.txt"), QUrl::fromLocalFile("/b.txt"), QUrl::fromLocalFile("/c.txt")});
  shiftJis.setUrls({QUrl::fromEncoded("file:///data/%83%81%83%82%201.txt")});  // shows as Shift-JIS
  text.setText("/data/dragged.txt");
  link.setUrls({QUrl("https://example.org/memo.txt")});
  // As the platform delivers a drag: to the window, which finds the control under it.
  const auto drag = [&](const std::string& target, const QMimeData& data, bool drops) {
    line("Text1")->setText("typed.txt");
    line("txtTitle")->setText("title");
    const QPoint at = target == "Form1"  // between the file-name row and the status line
                          ? window->centralWidget()->mapTo(window.get(), QPoint(200, 28))
                          : control(target)->mapTo(window.get(), control(target)->rect().center());
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QDragLeaveEvent leave;
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    for (QEvent* event : {static_cast<QEvent*>(&enter), static_cast<QEvent*>(&move), drops ? static_cast<QEvent*>(&drop) : &leave})
      QCoreApplication::sendEvent(window->windowHandle(), event);
    // A move would have the file manager delete the dropped file.
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
  };
  struct Row { const char* target; const QMimeData& data; bool taken; };
  for (const Row& row : {Row{"Form1", files, true}, Row{"Text1", files, true}, Row{"Label1", files, true},
                         Row{"Label2", files, true}, Row{"Command1", files, true}, Row{"Command2", files, true},
                         Row{"Command4", files, true}, Row{"Command5", files, true}, Row{"Label3", files, false},
                         Row{"txtTitle", files, false}, Row{"Command3", files, false},
                         Row{"ProgressBar1", files, false}, Row{"Text1", text, false}, Row{"txtTitle", text, false},
                         Row{"Form1", link, false}, Row{"Command2", shiftJis, true}}) {
    SCOPED_TRACE(row.target);
    EXPECT_EQ(drag(row.target, row.data, true), row.taken ? Qt::CopyAction : Qt::IgnoreAction);
    EXPECT_EQ(line("Text1")->text(), row.taken ? "/data/メモ 1.txt" : "typed.txt");
    EXPECT_EQ(line("txtTitle")->text(), "title");
  }
  drag("Text1", files, false);  // passes over without a drop
  EXPECT_EQ(line("Text1")->text(), "typed.txt");
  EXPECT_TRUE(status().startsWith("ファイル名を指定して"));
  EXPECT_TRUE(launcher.documents.empty() && boxes.boxes.empty());
}

// A name from the command line that is not UTF-8 (Shift-JIS from an archive)
// reads as Shift-JIS in the box and reaches the file system byte for byte.
// Start-up's notices come as plain boxes titled Morlavin.
TEST_F(Form1, NameThatIsNotUtf8IsUsedAsItsBytes) {
  const std::string memo = work.file("\x83\x81\x83\x82.txt");
  writeFile(memo, "<H1>Memo</H1>\r\nline\r\n");
  writeFile(programDir.file("Morlavin.ini"), "[Setting]\r\nVersion=1.00\r\n");
  open(nullptr, {memo});
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(box(), "plain Morlavin バージョンアップのため、設定ファイルを更新します。");
  settingsBoxes.failure("x");  // and failures as critical ones
  EXPECT_EQ(box(1), "critical Morlavin x");
  boxes.boxes.clear();
  EXPECT_EQ(line("Text1")->text(), QString::fromStdString(work.file("メモ.txt")));
  control<QPushButton>("Command3")->click();
  EXPECT_EQ(line("txtTitle")->text(), "Memo");
  control<QPushButton>("Command2")->click();
  EXPECT_TRUE(platform::exists(work.file("\x83\x81\x83\x82.htm")));
  EXPECT_TRUE(boxes.boxes.empty());
}

// The menu bar takes Alt+letter first: Alt+S opens 設定 every time and never
// starts the translator, which shares the letter.
TEST_F(Form1, AltSOpensTheSettingsMenu) {
  open();
  for (int i = 0; i < 2; ++i) {
    QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == control("mnuOpt"); })) << i;
    if (QWidget* menu = QApplication::activePopupWidget()) QTest::keyClick(menu, Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_Escape);  // and out of the menu bar
  }
  EXPECT_NE(QApplication::focusWidget(), control("Command5"));
  EXPECT_TRUE(boxes.boxes.empty() && launcher.programs.empty());
}

TEST_F(Form1, BrowsePrefillsThePreviousChoiceAndCancelChangesNothing) {
  open();
  dialogs.answer = "/data/chosen.txt";
  control<QPushButton>("Command1")->click();
  EXPECT_EQ(line("Text1")->text(), "/data/chosen.txt");
  dialogs.answer.reset();
  line("Text1")->setText("typed.txt");
  control<QAction>("mnuOpen")->trigger();
  EXPECT_EQ(line("Text1")->text(), "typed.txt");
  EXPECT_EQ(dialogs.preselections, std::vector<QString>({"", "/data/chosen.txt"}));
  EXPECT_EQ(dialogs.filters, std::vector<QString>(2, "テキスト ファイル (*.txt)"));
}

TEST_F(Form1, DeleteButtonFollowsThePageAndKeepsItsPath) {
  open();
  auto* button = control<QPushButton>("Command4");
  const std::string page = work.file("memo.htm");
  name(work.file("memo.txt"));
  QTest::keyClick(window.get(), Qt::Key_C, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return button->isEnabled(); }));
  QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !button->isEnabled(); }));
  EXPECT_FALSE(platform::exists(page));
  EXPECT_EQ(status(), "変換したHTMLファイルを消去しました.");
  EXPECT_EQ(window->lastOutputPath(), page);

  convert(work.file("memo.txt"));  // a page that stays is reported, and the button with it
  fs::remove(page);
  fs::create_directory(page);
  button->click();
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(status(), "HTMLファイルを消去できませんでした。");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(box(), "critical エラー ファイルを削除できません: " + page + " (フォルダです)");
}

// Whatever the file, a refused conversion shows one message and the status
// line, keeps the last page and its button, and changes nothing on disk. Each
// reason's text is the conversion's own, tested with it.
TEST_F(Form1, RefusedFilesChangeNothingButTheStatusLine) {
  const std::string disk = work.file("full");
  fs::create_directory(disk);
  test::Tmpfs full(disk, 64 << 10);
  std::string many;
  for (int i = 0; i < 65536; ++i) many += "x\r\n";
  struct Row { const char* name; std::function<std::string()> input; const char* message; };
  const Row rows[] = {
      {"missing file", [&] { return work.file("missing.txt"); }, "ファイルを開けません (ファイルまたはフォルダが見つかりません)"},
      {"no .txt", [&] { writeFile(work.file("memo.doc"), "x\r\n"); return work.file("memo.doc"); }, "このファイルは変換できません。"},
      {"65536 lines", [&] { writeFile(work.file("many.txt"), many); return work.file("many.txt"); }, "データが多すぎます。"},
      {"full disk", [&] { writeFile(disk + "/big.htm", "earlier page"); writeFile(disk + "/big.txt", std::string(40000, 'a')); return disk + "/big.txt"; }, "(ディスクの空き容量が足りません)"},
      // A pipe or a device would hold the window for ever if it were opened.
      {"pipe", [&] { ::mkfifo(work.file("pipe.txt").c_str(), 0600); return work.file("pipe.txt"); }, "ファイルを開けません (通常のファイルではありません)"},
      {"device", [&] { fs::create_symlink("/dev/zero", work.file("zero.txt")); return work.file("zero.txt"); }, "ファイルを開けません (通常のファイルではありません)"},
  };
  open();
  convert(work.file("good.txt"));
  const std::string lastPage = window->lastOutputPath();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (std::string(row.name) == "full disk" && !full.ok()) {
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
    EXPECT_EQ(status(), "変換に失敗しました。");
    EXPECT_EQ(window->lastOutputPath(), lastPage);
    EXPECT_TRUE(control<QPushButton>("Command4")->isEnabled());
    EXPECT_EQ(snapshot(work.path()), before);
  }
  // A name of 253 bytes still leaves room for the page's temporary file.
  std::string longName;
  for (int i = 0; i < 83; ++i) longName += "長";
  convert(work.file(longName + ".txt"));
  EXPECT_EQ(window->lastOutputPath(), work.file(longName + ".htm"));
  EXPECT_TRUE(status().startsWith("テキストを変換しました。"));
}

TEST_F(Form1, TranslatorButtonShowsWhatStartingItGave) {
  platform::DesktopLauncher desktop;
  writeFile(work.file("notes.txt"), "not a program");
  struct Row { std::string translator; platform::Launcher* use; std::string shown; std::size_t started; };
  for (const Row& row : {Row{"", nullptr, "exclamation メッセージ 翻訳ソフトを指定してください。", 0},
                         Row{"/opt/tr", nullptr, "", 1},
                         Row{work.file("notes.txt"), &desktop,  // started for real: the failure is the system's
                             "critical エラー 起動できません: " + work.file("notes.txt") + " (アクセスが拒否されました)", 0}}) {
    SCOPED_TRACE(row.translator);
    launcher.programs.clear();
    open(row.use);
    settings.Translator = row.translator;
    control<QPushButton>("Command5")->click();
    EXPECT_EQ(boxes.boxes.empty() ? "" : box(), row.shown);
    EXPECT_EQ(launcher.programs.size(), row.started);
  }
}

// Exit, by the menu or the close box, asks the program library to delete the
// last page; a page it cannot delete is reported.
TEST_F(Form1, ExitDeletesTheLastPageWhenAsked) {
  struct Row { bool byMenu, folderInPlace; std::string remaining; };
  for (const Row& row : {Row{true, false, "a old"}, Row{false, false, "a old"}, Row{true, true, "a b old"}}) {
    SCOPED_TRACE(testing::Message() << row.byMenu << row.folderInPlace);
    TempDir dir;
    writeFile(dir.file("old.htm"), "earlier run");
    open();
    settings.QuitDeleteHTML = 1;
    convert(dir.file("a.txt"));
    convert(dir.file("b.txt"));
    if (row.folderInPlace) {
      fs::remove(dir.file("b.htm"));
      fs::create_directory(dir.file("b.htm"));
    }
    row.byMenu ? control<QAction>("mnuExit")->trigger() : (void)window->close();
    EXPECT_FALSE(window->isVisible());
    std::string remaining;
    for (const std::string name : {"a", "b", "old"})
      if (platform::exists(dir.file(name + ".htm"))) remaining += (remaining.empty() ? "" : " ") + name;
    EXPECT_EQ(remaining, row.remaining);
    EXPECT_EQ(boxes.boxes.size(), row.folderInPlace ? 1u : 0u);
  }
}

TEST_F(Form1, HelpMenuOpensTopicsReadmeAndAbout) {
  open();
  QTest::keyClick(window.get(), Qt::Key_F1);
  control<QAction>("mnuTopic")->trigger();
  EXPECT_EQ(help.requests, (std::vector<int>{-1, -1})) << "the topics list, by F1 and by the menu";

  const std::string before = fs::current_path();
  fs::current_path(work.path());  // the read-me is found wherever Morlavin was started
  control<QAction>("mnuReadme")->trigger();
  fs::current_path(before);
  ASSERT_EQ(launcher.documents.size(), 1u);
  EXPECT_EQ(launcher.documents[0].file, programDir.path() + "/Morlavin.txt");
  EXPECT_EQ(launcher.documents[0].workingDirectory, programDir.path());

  control<QAction>("mnuAbout")->trigger();
  EXPECT_EQ(box(), "plain About Morlavin Morlavin Ver 1.62\nCopyright (C) The Morlavin project(Morlavin project)\n"
                   "https://morlavin.example.org/");
}

}  // namespace
}  // namespace morlavin::mainwindow
