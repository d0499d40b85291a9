#include "ui/qt_texts.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

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
              missing.translate("QFileDialog", nullptr, nullptr, -1).isEmpty());
  QCoreApplication::removeTranslator(&missing);
  QCoreApplication::removeTranslator(&qt);
}

}  // namespace
}  // namespace morlavin::ui
