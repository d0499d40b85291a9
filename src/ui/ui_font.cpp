// Font choice for the fixed layouts.
#include "ui/ui_font.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace morlavin::ui {

QFont windowFont() {
  QFont font;
  const QStringList families = QFontDatabase::families();
  for (const char* candidate : {"IPAPGothic", "MS UI Gothic", "Noto Sans CJK JP", "IPAGothic",
                                "VL PGothic", "TakaoPGothic"}) {
    if (families.contains(QString::fromLatin1(candidate))) {
      font.setFamily(QString::fromLatin1(candidate));
      break;
    }
  }
  font.setPixelSize(12);
  return font;
}

}  // namespace morlavin::ui
