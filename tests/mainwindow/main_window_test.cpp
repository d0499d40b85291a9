// The main window over a scratch program directory, every seam answered by a
// fake. The rules behind the buttons are decided and tested in the program
// library; here the window shows them and keeps the user's files safe.
#include "mainwindow/main_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <memory>
#include <set>

#include "platform/file_ops.h"
#include "program/start_up.h"
#include "test_support/case_table.h"
#include "test_support/temp_dir.h"
#include "test_support/ui_fakes.h"

namespace morlavin {
namespace {

namespace fs = std::filesystem;
using test::writeFile;

class MainWindow : public testing::Test {
 protected:
  void open(platform::Launcher* use = nullptr, const std::vector<std::string>& arguments = {}) {
    window.reset();
    boxes.boxes.clear();
    start = program::startUp(programDir.path(), arguments, settings, settingsBoxes);
    window = std::make_unique<mainwindow::MainWindow>(
        start, settings, mainwindow::Services{boxes, dialogs, help, use ? *use : launcher});
    window->showCentred();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  template <typename T = QWidget>
  T* control(const std::string& name) {
    return window->findChild<T*>(QString::fromStdString(name));
  }
  QLineEdit* line(const char* name) { return control<QLineEdit>(name); }
  QString status() { return control<QLabel>("statusLabel")->text(); }
  // Writes a one-line text file and names it in the file-name box.
  void name(const std::string& path) {
    writeFile(path, "line\r\n");
    line("fileNameEdit")->setText(QString::fromStdString(path));
  }
  void convert(const std::string& path) {
    name(path);
    control<QPushButton>("convertButton")->click();
  }

  test::TempDir programDir, work;
  settings::SettingsRecord settings;
  test::FakeMessageBoxes boxes;
  test::FakeFileDialogs dialogs;
  test::FakeHelpViewer help;
  test::FakeLauncher launcher;
  mainwindow::SettingsMessageBoxes settingsBoxes{boxes};
  program::StartUp start;
  std::unique_ptr<mainwindow::MainWindow> window;
};

// Controls where the layout puts them, captions whole and fitting in any face; fixed and centred.
TEST_F(MainWindow, CaptionsMenusPlaceTabOrderAndARefusedFile) {
  open();
  QStringList menus, expectedMenus;
  for (const QAction* menu : window->menuBar()->actions()) {
    menus << menu->text();
    for (const QAction* item : menu->menu()->actions())
      menus << item->text() + item->shortcut().toString();
  }
  for (const auto& row : test::caseTable("mainwindow/captions.txt", 6)) {
    if (row.at(0) == "menu") {
      expectedMenus << QString::fromStdString(row.at(1));
      continue;
    }
    const QWidget* placed = control(row[0]);
    const QString caption = placed->property("text").toString();
    EXPECT_EQ(caption, QString::fromStdString(row.at(1)));
    EXPECT_EQ(QRect(placed->mapTo(window->centralWidget(), QPoint()), placed->size()),
              QRect(std::stoi(row[2]) / 15, std::stoi(row[3]) / 15, std::stoi(row[4]) / 15,
                    std::stoi(row[5]) / 15))
        << row[0];
    // Whole, and on a button clear of its bevel, two pixels each side.
    const QString shown = QString(caption).replace(QRegularExpression(R"(\(&(\w)\))"), "(\\1)");
    EXPECT_LE(placed->fontMetrics().horizontalAdvance(shown),
              placed->width() - (placed->inherits("QPushButton") ? 4 : 0))
        << row[0];
  }
  // Each box is read out by its label, and the bar shows its chunks, no percentage.
  for (const std::string box : {"fileName", "title"})
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control(box + "Edit"))->text(QAccessible::Name),
              control<QLabel>(box + "Label")->text());
  auto* progress = control<QProgressBar>("progressBar");
  progress->setValue(progress->maximum() / 2);
  const QImage drawn = progress->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage bar = drawn.copy(3, 3, drawn.width() - 6, drawn.height() - 6);
  const auto* pixels = reinterpret_cast<const QRgb*>(bar.constBits());
  EXPECT_EQ(std::set(pixels, pixels + bar.width() * bar.height()).size(), 2u);
  progress->setValue(0);
  EXPECT_EQ(menus, expectedMenus);
  EXPECT_EQ(window->windowTitle(), "Morlavin");
  EXPECT_TRUE(window->minimumSize() == window->maximumSize() &&
              !(window->windowFlags() & Qt::WindowMaximizeButtonHint));
  // The whole window, frame included, in the middle of the screen.
  const QPoint offCentre =
      window->frameGeometry().center() - window->screen()->availableGeometry().center();
  EXPECT_LE(offCentre.manhattanLength(), 1);
  EXPECT_FALSE(control("deletePageButton")->isEnabled());

  convert(work.file("memo.txt"));  // the delete button takes focus only when enabled
  line("fileNameEdit")->setFocus();
  QStringList visited;
  for (int i = 0; i < 7; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(visited,
            QStringList({"browseButton", "convertButton", "deletePageButton", "translatorButton",
                         "titleEdit", "importTitleButton", "fileNameEdit"}));

  // A refused file shows its message and the status line and keeps the last page and its button.
  // Which files are refused, with what words, and that nothing on disk changes is the conversion's.
  line("fileNameEdit")->setText(QString::fromStdString(work.file("missing.txt")));
  control<QPushButton>("convertButton")->click();
  EXPECT_EQ(boxes.shown(),
            "critical エラー ファイルを開けません (ファイルまたはフォルダが見つかりません)");
  EXPECT_EQ(status(), "変換に失敗しました。");
  EXPECT_EQ(window->lastOutputPath(), work.file("memo.htm"));
  EXPECT_TRUE(control<QPushButton>("deletePageButton")->isEnabled());
}

TEST_F(MainWindow, DropsFillTheFileNameOnlyOnTheirTargetsAndEnterConverts) {
  open();
  QMimeData files, text, link, shiftJis;
  files.setUrls({QUrl::fromLocalFile("/data/メモ 1.txt"), QUrl::fromLocalFile("/b.txt"),
                 QUrl::fromLocalFile("/c.txt")});
  shiftJis.setUrls({QUrl::fromEncoded("file:///data/%83%81%83%82%201.txt")});  // shows as Shift-JIS
  text.setText("/data/dragged.txt");
  link.setUrls({QUrl("https://example.org/memo.txt")});
  // As the platform delivers a drag: to the window, which finds the control under it.
  const auto drag = [&](const std::string& target, const QMimeData& data, bool drops) {
    line("fileNameEdit")->setText("typed.txt");
    line("titleEdit")->setText("title");
    const QPoint at = target == "MainWindow"  // between the file-name row and the status line
                          ? window->centralWidget()->mapTo(window.get(), QPoint(200, 28))
                          : control(target)->mapTo(window.get(), control(target)->rect().center());
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QDragLeaveEvent leave;
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    for (QEvent* event : {static_cast<QEvent*>(&enter), static_cast<QEvent*>(&move),
                          drops ? static_cast<QEvent*>(&drop) : &leave})
      QCoreApplication::sendEvent(window->windowHandle(), event);
    // A move would have the file manager delete the dropped file.
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
  };
  struct Row {
    const QMimeData& data;
    std::vector<std::string> targets;
    bool taken;
  };
  const Row rows[] = {
      {files,
       {"MainWindow", "fileNameEdit", "fileNameLabel", "statusLabel", "browseButton",
        "convertButton", "deletePageButton", "translatorButton"},
       true},
      {files, {"titleLabel", "titleEdit", "importTitleButton", "progressBar"}, false},
      {text, {"fileNameEdit", "titleEdit"}, false},
      {link, {"MainWindow"}, false},
      {shiftJis, {"convertButton"}, true}};
  for (const Row& row : rows) {
    for (const std::string& target : row.targets) {
      SCOPED_TRACE(target);
      EXPECT_EQ(drag(target, row.data, true), row.taken ? Qt::CopyAction : Qt::IgnoreAction);
      EXPECT_EQ(line("fileNameEdit")->text(), row.taken ? "/data/メモ 1.txt" : "typed.txt");
      EXPECT_EQ(line("titleEdit")->text(), "title");
    }
  }
  drag("fileNameEdit", files, false);  // passes over without a drop
  EXPECT_EQ(line("fileNameEdit")->text(), "typed.txt");
  EXPECT_TRUE(status().startsWith("ファイル名を指定して"));

  const std::string page = work.file("memo.htm");
  struct Key {
    const char* focus;
    Qt::Key key;
    bool converts;
  };
  for (const Key row :
       {Key{"fileNameEdit", Qt::Key_Return, true}, Key{"titleEdit", Qt::Key_Return, true},
        Key{"fileNameEdit", Qt::Key_Enter, true}, Key{"translatorButton", Qt::Key_Return, false}}) {
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

// A name from the command line that is not UTF-8 (Shift-JIS from an archive)
// reads as Shift-JIS in the box and reaches the file system byte for byte.
// Start-up's notices come as plain boxes titled Morlavin.
TEST_F(MainWindow, NameThatIsNotUtf8IsUsedAsItsBytes) {
  const std::string memo = work.file("\x83\x81\x83\x82.txt");
  writeFile(memo, "<H1>Memo</H1>\r\nline\r\n");
  writeFile(programDir.file("Morlavin.ini"), "[Setting]\r\nVersion=1.00\r\n");
  open(nullptr, {memo});
  settingsBoxes.failure("x");  // and failures as critical ones
  EXPECT_EQ(
      boxes.shown(),
      "plain Morlavin バージョンアップのため、設定ファイルを更新します。\ncritical Morlavin x");
  boxes.boxes.clear();
  EXPECT_EQ(line("fileNameEdit")->text(), QString::fromStdString(work.file("メモ.txt")));
  control<QPushButton>("importTitleButton")->click();
  EXPECT_EQ(line("titleEdit")->text(), "Memo");
  control<QPushButton>("convertButton")->click();
  EXPECT_TRUE(platform::exists(work.file("\x83\x81\x83\x82.htm")));
  EXPECT_TRUE(boxes.boxes.empty());
}

// The menu bar takes Alt+letter first: Alt+S opens 設定 every time and never
// starts the translator, which shares the letter.
TEST_F(MainWindow, AltSOpensTheSettingsMenuBrowseAndHelpMenu) {
  open();
  for (int i = 0; i < 2; ++i) {
    QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] {
      return QApplication::activePopupWidget() == control("settingsMenu");
    })) << i;
    if (QWidget* menu = QApplication::activePopupWidget()) QTest::keyClick(menu, Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_Escape);  // and out of the menu bar
  }
  EXPECT_NE(QApplication::focusWidget(), control("translatorButton"));

  dialogs.answer = "/data/chosen.txt";
  control<QPushButton>("browseButton")->click();
  EXPECT_EQ(line("fileNameEdit")->text(), "/data/chosen.txt");
  dialogs.answer.reset();
  line("fileNameEdit")->setText("typed.txt");
  control<QAction>("openAction")->trigger();
  EXPECT_EQ(line("fileNameEdit")->text(), "typed.txt");
  EXPECT_EQ(dialogs.preselections, std::vector<QString>({"", "/data/chosen.txt"}));
  EXPECT_EQ(dialogs.filters, std::vector<QString>(2, "テキスト ファイル (*.txt)"));

  window->setPreferencesCommand(
      [this] { help.requests.push_back(0); });  // the program's own dialog
  control<QAction>("preferencesAction")->trigger();
  QTest::keyClick(window.get(), Qt::Key_F1);
  control<QAction>("helpTopicsAction")->trigger();
  EXPECT_EQ(help.requests, (std::vector<int>{0, -1, -1}))
      << "the preferences, then the topics list by F1 and by the menu";

  // The read-me goes to the program's own viewer, never to the desktop.
  control<QAction>("readmeAction")->trigger();
  EXPECT_EQ(help.requests.back(), test::FakeHelpViewer::kReadme);
  EXPECT_TRUE(launcher.documents.empty());

  control<QAction>("aboutAction")->trigger();
  EXPECT_EQ(boxes.shown(),
            "plain About Morlavin Morlavin Ver 1.62\nCopyright (C) The Morlavin project(Morlavin "
            "project)\n"
            "https://morlavin.example.org/");
}

// The delete button, and exit when asked, delete the last page only; one that cannot be deleted is
// reported, and the button then stays. The button keeps the page's path either way.
TEST_F(MainWindow, DeleteAndExitRemoveTheLastPage) {
  const std::string page = work.file("b.htm");
  struct Row {
    std::string by;
    bool folderInPlace;
    const char* status;
  };
  for (const Row& row : {Row{"deletePageButton", false, "変換したHTMLファイルを消去しました."},
                         Row{"exitAction", false, ""}, Row{"close box", true, ""},
                         Row{"deletePageButton", true, "HTMLファイルを消去できませんでした。"}}) {
    SCOPED_TRACE(row.by + (row.folderInPlace ? " on a folder" : ""));
    fs::remove_all(page);
    open();
    settings.QuitDeleteHTML = 1;
    convert(work.file("a.txt"));
    name(work.file("b.txt"));
    QTest::keyClick(window.get(), Qt::Key_C, Qt::AltModifier);  // by the buttons' access keys
    ASSERT_TRUE(QTest::qWaitFor([&] { return platform::exists(page); }));
    if (row.folderInPlace) {
      fs::remove(page);
      fs::create_directory(page);
    }
    if (row.by == "deletePageButton") {
      QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);
      ASSERT_TRUE(
          QTest::qWaitFor([&] { return !status().startsWith("テキストを変換しました。"); }));
      EXPECT_EQ(control("deletePageButton")->isEnabled(), row.folderInPlace);
      EXPECT_EQ(status(), row.status);
      EXPECT_EQ(window->lastOutputPath(), page);
    } else {
      row.by == "exitAction" ? control<QAction>("exitAction")->trigger() : (void)window->close();
      EXPECT_FALSE(window->isVisible());
    }
    EXPECT_TRUE(platform::exists(work.file("a.htm")));
    EXPECT_EQ(platform::exists(page), row.folderInPlace);
    EXPECT_EQ(boxes.shown(),
              row.folderInPlace
                  ? "critical エラー ファイルを削除できません: " + page + " (フォルダです)"
                  : "");
  }
}

// A page the desktop cannot open is written and kept, and the user is told why.
TEST_F(MainWindow, PageTheDesktopCannotOpenIsKeptAndTold) {
  launcher.openResult = Status::error(StatusCode::kNotFound, "開けません: x",
                                      "開くためのアプリケーションが見つかりません");
  open();
  convert(work.file("memo.txt"));
  EXPECT_EQ(boxes.shown(), "exclamation Morlavin HTMLファイルは作成しましたが、開けませんでした: " +
                               work.file("memo.htm") +
                               " (開くためのアプリケーションが見つかりません)");
  EXPECT_TRUE(status().startsWith("テキストを変換しました。"));
  EXPECT_TRUE(platform::exists(work.file("memo.htm")) && control("deletePageButton")->isEnabled());
}

TEST_F(MainWindow, TranslatorButtonShowsWhatStartingItGave) {
  platform::DesktopLauncher desktop;
  writeFile(work.file("notes.txt"), "not a program");
  struct Row {
    std::string translator;
    platform::Launcher* use;
    std::string shown;
  };
  for (const Row& row :
       {Row{"", nullptr, "exclamation メッセージ 翻訳ソフトを指定してください。"},
        Row{"/opt/tr", nullptr, ""},
        Row{work.file("notes.txt"), &desktop,  // started for real: the failure is the system's
            "critical エラー 起動できません: " + work.file("notes.txt") +
                " (アクセスが拒否されました)"}}) {
    SCOPED_TRACE(row.translator);
    open(row.use);
    settings.Translator = row.translator;  // the record as it stands, not as it was at start
    control<QPushButton>("translatorButton")->click();
    EXPECT_EQ(boxes.shown(), row.shown);
  }
  EXPECT_EQ(launcher.programs.size(), 1u);
}

}  // namespace
}  // namespace morlavin
