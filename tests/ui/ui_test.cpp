// How the windows meet the desktop: Qt's own texts in Japanese, and windows of one size.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QTest>
#include <QWindow>
#include <filesystem>

#include "test_support/temp_dir.h"
#include "ui/fixed_windows.h"
#include "ui/qt_texts.h"

namespace morlavin::ui {
namespace {

// With Qt's Japanese catalogue, Qt's words stay Qt's, and the words it leaves
// English in the file dialog come out Japanese.
TEST(MissingQtTexts, FillInWhatQtsJapaneseCatalogueLacks) {
  QTranslator qt;
  if (!qt.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
               QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    GTEST_SKIP() << "Qt's Japanese catalogue (qt6-translations-l10n) is not installed";
  }
  MissingQtTexts missing(qt);
  QCoreApplication::installTranslator(&qt);
  QCoreApplication::installTranslator(&missing);
  EXPECT_EQ(
      QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"),
      "フォルダ");
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"),
            qt.translate("QFileDialog", "Open"));
  EXPECT_FALSE(qt.translate("QFileDialog", "Open").isEmpty());
  EXPECT_TRUE(missing.translate(nullptr, "Folder", nullptr, -1).isEmpty() &&
              missing.translate("QFileDialog", nullptr, nullptr, -1).isEmpty() &&
              missing.translate("Morlavin", "Folder", nullptr, -1).isEmpty() &&
              missing.translate("QAbstractFileIconProvider", "Morlavin", nullptr, -1).isEmpty());
  QCoreApplication::removeTranslator(&missing);
  QCoreApplication::removeTranslator(&qt);
}

// A window of one size that the compositor maximises anyway goes back to its size and tells its
// title bar it has no edges to drag. Our own title bars are used where their plugin lies, and
// never over the user's choice.
TEST(FixedWindows, StayTheirSizeUnderOurOwnTitleBars) {
  keepFixedWindowsUnmaximized(QCoreApplication::instance());
  QDialog fixed;
  fixed.setFixedSize(300, 200);
  fixed.show();
  fixed.setWindowState(Qt::WindowMaximized);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !fixed.isMaximized(); }) &&
              fixed.size() == QSize(300, 200));
  EXPECT_TRUE(fixed.windowHandle()->property("morlavinFixedSize").toBool());

  test::TempDir dir;
  const auto chosen = [&dir](const std::string& folder) {
    useOwnWaylandTitleBars(folder);
    return qgetenv("QT_WAYLAND_DECORATION");
  };
  EXPECT_EQ(chosen("") + chosen(dir.path()), "");
  std::filesystem::create_directory(dir.file("wayland-decoration-client"));
  test::writeFile(dir.file("wayland-decoration-client/libmorlavin-title-bar.so"), "");
  EXPECT_EQ(chosen(dir.path()), "morlavin");
  qputenv("QT_WAYLAND_DECORATION", "bradient");
  EXPECT_EQ(chosen(dir.path()), "bradient");
}

}  // namespace
}  // namespace morlavin::ui
