#include "mainwindow/main_window.h"

#include <unistd.h>

#include <gtest/gtest.h>

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
#include <memory>

#include "platform/file_ops.h"
#include "mainwindow/form1_fixture.h"

// Failures show texts, not arrays of UTF-16 code units.
void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace morlavin::mainwindow {
namespace {


TEST_F(Form1, LayoutPlacesEveryControlAndTheTabOrder) {
  open();
  // Labels show their text as it stands, so the status line's "D&D" is stored as shown.
  // clang-format off
  struct Row { const char* name; int left, top, width, height; const char* caption; };
  for (const Row& row : {
           Row{"Label1",       120,  120,  975,  255, "ファイル名："},
           Row{"Text1",        1080, 120,  3975, 270, ""},
           Row{"Command1",     5040, 120,  855,  255, "参照...(&B)"},
           Row{"Label2",       120,  480,  5775, 255, "ファイル名を指定して変換キーを押してください。D&Dに対応しています。"},
           Row{"ProgressBar1", 120,  840,  5775, 255, nullptr},
           Row{"Label3",       120,  1200, 975,  255, "タイトル："},
           Row{"txtTitle",     1080, 1200, 3975, 270, ""},
           Row{"Command3",     5040, 1200, 855,  255, "取込(&G)"},
           Row{"Command2",     1080, 1560, 1215, 375, "変換開始(&C)"},
           Row{"Command4",     2400, 1560, 1215, 375, "HTML消去(&D)"},
           Row{"Command5",     3720, 1560, 1215, 375, "ソフト起動(&S)"}}) {
    // clang-format on
    SCOPED_TRACE(row.name);
    QWidget* widget = control(row.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(),
              QRect(row.left / 15, row.top / 15, row.width / 15, row.height / 15));
    if (!row.caption) continue;
    const QString caption = widget->property("text").toString();
    EXPECT_EQ(caption, QString::fromUtf8(row.caption));
    const QString shown = QString(caption).replace(QRegularExpression(R"(\(&(\w)\))"), "(\\1)");
    EXPECT_LE(widget->fontMetrics().horizontalAdvance(shown), widget->width());
  }
  QStringList menus;
  for (const QAction* menu : window->menuBar()->actions()) {
    menus << menu->text();
    for (const QAction* item : menu->menu()->actions())
      menus << item->text() + item->shortcut().toString();
  }
  EXPECT_EQ(menus, QStringList({"ファイル(&F)", "テキストファイルを開く(&O)", "", "終了(&X)",
                                "設定(&S)", "環境設定...(&E)", "ヘルプ(&H)", "トピックの検索(&H)F1",
                                "ReadMe(&R)", "", "バージョン情報(&A)"}));
  EXPECT_EQ(window->windowTitle(), "Morlavin");
  EXPECT_EQ(window->centralWidget()->size(), QSize(401, 138));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
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
  EXPECT_EQ(visited, QStringList({"Command1", "Command2", "Command4", "Command5", "txtTitle",
                                  "Command3", "Text1"}));
}

TEST_F(Form1, EnterConvertsUnlessAnotherButtonHasFocus) {
  open();
  const std::string page = work.file("memo.htm");
  // clang-format off
  struct Row { const char* focus; Qt::Key key; bool converts; };
  for (const Row row : {Row{"Text1", Qt::Key_Return, true}, Row{"txtTitle", Qt::Key_Return, true},
                        Row{"Text1", Qt::Key_Enter, true}, Row{"Command5", Qt::Key_Return, false}}) {
    // clang-format on
    SCOPED_TRACE(row.focus);
    std::filesystem::remove(page);
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
  files.setUrls({QUrl::fromLocalFile("/data/メモ 1.txt"), QUrl::fromLocalFile("/b.txt"),
                 QUrl::fromLocalFile("/c.txt")});
  shiftJis.setUrls({QUrl::fromEncoded("file:///data/%83%81%83%82%201.txt")});  // shows as Shift-JIS
  text.setText("/data/dragged.txt");
  link.setUrls({QUrl("https://example.org/memo.txt")});
  // As the platform delivers a drag: to the window, which finds the control under it.
  const auto drag = [&](const char* target, const QMimeData& data, QEvent::Type last) {
    line("Text1")->setText("typed.txt");
    line("txtTitle")->setText("title");
    const QPoint at =
        std::string(target) == "Form1"  // between the file-name row and the status line
            ? window->centralWidget()->mapTo(window.get(), QPoint(200, 28))
            : control(target)->mapTo(window.get(), control(target)->rect().center());
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QDragLeaveEvent leave;
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QEvent* const end = last == QEvent::Drop ? static_cast<QEvent*>(&drop) : &leave;
    for (QEvent* event : {static_cast<QEvent*>(&enter), static_cast<QEvent*>(&move), end}) {
      QCoreApplication::sendEvent(window->windowHandle(), event);
    }
    // A move would have the file manager delete the dropped file.
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
  };
  // clang-format off
  struct Row { const char* target; const QMimeData& data; bool taken; };
  for (const Row& row : {
           Row{"Form1", files, true},  Row{"Text1", files, true},    Row{"Label1", files, true},
           Row{"Label2", files, true}, Row{"Command1", files, true}, Row{"Command2", files, true},
           Row{"Command4", files, true}, Row{"Command5", files, true},
           Row{"Label3", files, false}, Row{"txtTitle", files, false}, Row{"Command3", files, false},
           Row{"ProgressBar1", files, false}, Row{"Text1", text, false}, Row{"txtTitle", text, false},
           Row{"Form1", link, false}, Row{"Command2", shiftJis, true}}) {
    // clang-format on
    SCOPED_TRACE(row.target);
    EXPECT_EQ(drag(row.target, row.data, QEvent::Drop),
              row.taken ? Qt::CopyAction : Qt::IgnoreAction);
    EXPECT_EQ(line("Text1")->text(), row.taken ? "/data/メモ 1.txt" : "typed.txt");
    EXPECT_EQ(line("txtTitle")->text(), "title");
  }
  drag("Text1", files, QEvent::DragLeave);  // passes over without a drop
  EXPECT_EQ(line("Text1")->text(), "typed.txt");
  EXPECT_TRUE(control<QLabel>("Label2")->text().startsWith("ファイル名を指定して"));
  EXPECT_TRUE(launcher.documents.empty() && boxes.boxes.empty());
}

// A name that is not UTF-8 (Shift-JIS from an archive) reads as Shift-JIS in
// the box and reaches the file system byte for byte.
TEST_F(Form1, NameThatIsNotUtf8IsUsedAsItsBytes) {
  const std::string memo = work.file("\x83\x81\x83\x82.txt");
  writeFile(memo, "<H1>Memo</H1>\r\nline\r\n");
  open(nullptr, {memo});
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
  EXPECT_EQ(control<QLabel>("Label2")->text(), "変換したHTMLファイルを消去しました.");
  EXPECT_EQ(window->lastOutputPath(), page);

  // A page that is gone already counts as deleted; one that stays is reported.
  for (const bool stays : {false, true}) {
    convert(work.file("memo.txt"));
    std::filesystem::remove(page);
    if (stays) std::filesystem::create_directory(page);
    button->click();
    EXPECT_EQ(button->isEnabled(), stays);
    EXPECT_EQ(control<QLabel>("Label2")->text() == "変換したHTMLファイルを消去しました.", !stays);
  }
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(box(), "critical エラー ファイルを削除できません: " + page + " (フォルダです)");

  // A failed run leaves the page's path and the button as they were.
  line("Text1")->setText(QString::fromStdString(work.file("missing.txt")));
  control<QPushButton>("Command2")->click();
  EXPECT_EQ(boxes.boxes.back().icon + boxes.boxes.back().title, "criticalエラー");
  EXPECT_EQ(control<QLabel>("Label2")->text(), "変換に失敗しました。");
  EXPECT_TRUE(button->isEnabled());
  EXPECT_EQ(window->lastOutputPath(), page);
}

TEST_F(Form1, TranslatorButtonStartsTheProgramWithItsOneArgument) {
  platform::DesktopLauncher desktop;
  // The folder is started for real: the failure is the operating system's.
  struct Row { std::string translator; platform::Launcher* use; std::string shown; };
  for (const Row& row :
       {Row{"", nullptr, "exclamation メッセージ 翻訳ソフトを指定してください。"},
        Row{"/opt/翻訳 ソフト/trans; rm -rf ~", nullptr, ""},
        Row{programDir.path(), &desktop, "critical エラー 起動できません: " + programDir.path()}}) {
    SCOPED_TRACE(row.translator);
    launcher.programs.clear();
    open(row.use);
    settings.Translator = row.translator;
    control<QPushButton>("Command5")->click();
    EXPECT_EQ(boxes.boxes.empty() ? "" : box().substr(0, row.shown.size()), row.shown);
    using Launch = test::FakeLauncher::Launch;
    const bool fakeStarts = !row.use && !row.translator.empty();
    EXPECT_EQ(launcher.programs.size(), fakeStarts ? 1u : 0u);
    for (const Launch& launch : launcher.programs) {
      EXPECT_EQ(launch.file + " " + launch.arguments.at(0), row.translator + " 0");
      EXPECT_EQ(launch.arguments.size(), 1u);
    }
  }
}

// Start-up speaks before the window exists; the window then shows the file
// the command line named.
TEST_F(Form1, StartUpLoadsTheSettingsBeforeTheWindowAppears) {
  TempDir dir;
  writeFile(dir.file("Morlavin.ini"), test::readFile(std::string(MORLAVIN_TEST_DATA) + "/settings/version_1_00.ini"));
  start = program::startUp(dir.path(), {"/data/my", "メモ.txt"}, settings, settingsBoxes);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(box(), "plain Morlavin " + std::string(program::texts::kUpgradeNotice));
  MainWindow window(start, settings, Services{boxes, dialogs, help, launcher});
  EXPECT_EQ(window.findChild<QLineEdit*>("Text1")->text(), "/data/my メモ.txt");
}

TEST_F(Form1, ExitDeletesOnlyTheLastPageWhenAsked) {
  // clang-format off
  struct Row { int quitDelete, conversions; bool byMenu, folderInPlace; std::string remaining; };
  for (const Row& row : {Row{1, 2, true, false, "a old"}, Row{1, 2, false, false, "a old"},
                         Row{1, 0, true, false, "old"},   Row{0, 2, false, false, "a b old"},
                         Row{1, 2, true, true, "a b old"}}) {
    // clang-format on
    SCOPED_TRACE(testing::Message() << row.quitDelete << row.conversions << row.byMenu << row.folderInPlace);
    TempDir dir;
    writeFile(dir.file("old.htm"), "earlier run");
    open();
    settings.QuitDeleteHTML = static_cast<std::uint8_t>(row.quitDelete);
    for (int i = 0; i < row.conversions; ++i) convert(dir.file(i == 0 ? "a.txt" : "b.txt"));
    if (row.folderInPlace) {
      std::filesystem::remove(dir.file("b.htm"));
      std::filesystem::create_directory(dir.file("b.htm"));
    }
    row.byMenu ? control<QAction>("mnuExit")->trigger() : (void)window->close();
    EXPECT_FALSE(window->isVisible());
    std::string remaining;
    for (const char* name : {"a", "b", "old"}) {
      if (platform::exists(dir.file(name + std::string(".htm"))))
        remaining += (remaining.empty() ? "" : " ") + std::string(name);
    }
    EXPECT_EQ(remaining, row.remaining);
    EXPECT_EQ(boxes.boxes.size(), row.folderInPlace ? 1u : 0u);
  }
}


TEST_F(Form1, HelpMenuOpensTopicsReadmeAndAbout) {
  open();
  QTest::keyClick(window.get(), Qt::Key_F1);
  control<QAction>("mnuTopic")->trigger();
  EXPECT_EQ(help.requests, (std::vector<int>{-1, -1})) << "the topics list, by F1 and by the menu";

  const std::string before = std::filesystem::current_path();
  std::filesystem::current_path(work.path());  // the read-me is found wherever Morlavin was started
  control<QAction>("mnuReadme")->trigger();
  std::filesystem::current_path(before);
  ASSERT_EQ(launcher.documents.size(), 1u);
  EXPECT_EQ(launcher.documents[0].file, programDir.path() + "/Morlavin.txt");
  EXPECT_EQ(launcher.documents[0].workingDirectory, programDir.path());

  control<QAction>("mnuAbout")->trigger();
  EXPECT_EQ(box(), "plain About Morlavin Morlavin Ver 1.62\nCopyright (C) The Morlavin project(Morlavin project)\n"
                   "https://morlavin.example.org/");
}

}  // namespace
}  // namespace morlavin::mainwindow
