#include "help/help_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include "ui/ui_font.h"

namespace morlavin::help {
namespace {

const QString kHelpFile = QStringLiteral(MORLAVIN_DATA_DIR "/Morlavin.hlp");
const QString kReadmeFile = QStringLiteral(MORLAVIN_DATA_DIR "/Morlavin.txt");

// The shipped help holds every topic the program can ask for and opens at
// the one asked for: its heading is what the window shows first. A help file
// that is missing is reported in the viewer itself.
TEST(HelpWindow, OpensAtTheTopicAskedForAndFindsAndCloses) {
  HelpWindow window(kHelpFile, kReadmeFile);
  window.resize(560, 200);
  window.showTopics();
  const QString html = window.browser()->document()->toHtml();
  for (const int context : {1, 2, 3, 4, 5, 15, 16, 17, 18})
    EXPECT_TRUE(html.contains(QStringLiteral("name=\"%1\"").arg(topicAnchor(context)))) << context;
  EXPECT_TRUE(window.browser()->toPlainText().contains("変換するソフトです。テキストの1行"))
      << "no blank where a line ends";
  const struct {
    int context;
    const char* heading;
  } cases[] = {// -1: the topics list
               {17, "一括変換"},
               {-1, "目次"},
               {15, "環境設定"},
               {2, "テキストファイルを変換する"}};
  for (const auto& c : cases) {
    c.context < 0 ? window.showTopics() : window.showTopic(c.context);
    const QTextBlock top = window.browser()->cursorForPosition(QPoint(4, 4)).block();
    EXPECT_TRUE(top.text().contains(QString::fromUtf8(c.heading)))
        << c.context << ": " << top.text().toStdString();
    if (c.context == 17) {
      EXPECT_EQ(window.browser()->horizontalScrollBar()->maximum(), 0) << "long lines wrap";
    }
  }
  HelpWindow missing(QStringLiteral("/nonexistent/Morlavin.hlp"), QString());
  missing.resize(5000, 5000);  // first shown smaller, on the screen
  missing.showTopic(15);
  EXPECT_TRUE(missing.isVisible() &&
              missing.screen()->availableGeometry().contains(missing.frameGeometry()));
  EXPECT_TRUE(
      missing.browser()->toPlainText().contains("/nonexistent/Morlavin.hlp が見つかりません"));

  window.showTopics();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  auto* find = window.findChild<QLineEdit*>("findEdit");
  QTest::keyClick(window.browser(), Qt::Key_F, Qt::ControlModifier);
  auto* notFound = window.findChild<QWidget*>("notFoundLabel");
  ASSERT_TRUE(find->isVisible() && find->hasFocus() && !notFound->isVisible());
  const QWidget* bar = find->parentWidget();
  const QRect box = find->geometry();
  EXPECT_EQ(QMargins(bar->childrenRect().left(), box.top(), bar->width() - 1 - box.right(),
                     bar->height() - 1 - box.bottom()),
            QMargins(6, 4, 6, 4));
  EXPECT_TRUE(QAccessible::queryAccessibleInterface(find)->text(QAccessible::Name) == "検索：" &&
              find->font() == ui::windowFont());
  find->setText("見当たらない語");
  QTest::keyClick(find, Qt::Key_Return);
  EXPECT_TRUE(notFound->isVisible());
  QTest::keyClick(find, Qt::Key_Escape);
  EXPECT_TRUE(!find->isVisible() && window.isVisible());
  QTest::keyClick(window.browser(), Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
  window.showTopics();
  QApplication::setActiveWindow(&window);
  QTest::keyClick(window.browser(), Qt::Key_W, Qt::ControlModifier);
  EXPECT_FALSE(window.isVisible());
}

// The read-me shows as its file is written, markup-like text included, in the
// same window with the same keys; the help comes back in full afterwards.
TEST(HelpWindow, ShowsTheReadmeAsPlainText) {
  HelpWindow window(kHelpFile, kReadmeFile);
  window.resize(560, 200);
  window.showReadme();
  EXPECT_TRUE(window.isVisible() && window.windowTitle() == "Morlavin ReadMe");
  QFile readme(kReadmeFile);
  ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(readme.readAll());
  EXPECT_TRUE(text.contains("<BR>"));
  EXPECT_EQ(window.browser()->toPlainText(), text);
  // A little room between the lines shows the face's underscores.
  const QTextBlock second = window.browser()->document()->firstBlock().next();
  EXPECT_NEAR(second.layout()->position().y() - second.previous().layout()->position().y(),
              QFontMetricsF(ui::textFont()).lineSpacing() * 1.15, 0.05);
  window.showTopic(15);
  EXPECT_EQ(window.windowTitle(), "Morlavin ヘルプ");
  EXPECT_TRUE(window.browser()->document()->toHtml().contains("name=\"topic-15\""));

  window.showReadme();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  auto* find = window.findChild<QLineEdit*>("findEdit");
  QTest::keyClick(window.browser(), Qt::Key_F, Qt::ControlModifier);
  find->setText("<BR>");
  std::vector<int> found;
  for (qsizetype i = 0; i <= text.count("<BR>"); ++i) {
    QTest::keyClick(find, Qt::Key_Return);
    found.push_back(window.browser()->textCursor().position());
  }
  EXPECT_EQ(window.browser()->textCursor().selectedText(), "<BR>");
  EXPECT_TRUE(found[0] < found[1] && found.front() == found.back())
      << "on to the next place, after the last the first";

  HelpWindow missing(kHelpFile, QStringLiteral("/nonexistent/Morlavin.txt"));
  missing.showReadme();
  EXPECT_EQ(missing.size(), QSize(560, 480)) << "its own size where the screen has room";
  EXPECT_TRUE(missing.browser()->toPlainText().startsWith(
      "ReadMe ファイル /nonexistent/Morlavin.txt が見つかりません。"));
}

}  // namespace
}  // namespace morlavin::help
