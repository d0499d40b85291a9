// Font choice for the fixed layouts.
#include "ui/ui_font.h"

#include <fontconfig/fontconfig.h>

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace morlavin::ui {

namespace {

// The family name the font database uses for the face fontconfig installs
// under `name`. Fontconfig knows a face by several names (IPAPGothic is
// "IPA Pゴシック" in a Japanese session) and Qt lists only one of them, so
// every name of the face that really answers to `name` is tried. Empty
// when no installed face has that name: a substitute does not count.
QString installedFamily(const char* name, const QStringList& families) {
  QString found;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
  if (pattern == nullptr) return found;
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return found;
  QStringList names;
  FcChar8* value = nullptr;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
    names << QString::fromUtf8(reinterpret_cast<const char*>(value));
  }
  FcPatternDestroy(match);
  if (!names.contains(QString::fromLatin1(name), Qt::CaseInsensitive)) return found;
  for (const QString& candidate : names) {
    if (families.contains(candidate)) return candidate;
  }
  return found;
}

}  // namespace

QFont windowFont() {
  QFont font;
  const QStringList families = QFontDatabase::families();
  for (const char* candidate : {"IPAPGothic", "MS UI Gothic", "Noto Sans CJK JP", "IPAGothic",
                                "VL PGothic", "TakaoPGothic"}) {
    if (const QString family = installedFamily(candidate, families); !family.isEmpty()) {
      font.setFamily(family);
      break;
    }
  }
  font.setPixelSize(12);
  return font;
}

QFont textFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QStringList families = QFontDatabase::families();
  for (const char* candidate : {"IPAGothic", "Noto Sans Mono CJK JP", "VL Gothic", "TakaoGothic"}) {
    if (const QString family = installedFamily(candidate, families); !family.isEmpty()) {
      font.setFamily(family);
      break;
    }
  }
  font.setPixelSize(13);
  return font;
}

int largestFittingPixelSize(int from, const std::function<bool(int)>& fits) {
  int size = from;
  while (size > 8 && !fits(size)) --size;
  return size;
}

}  // namespace morlavin::ui
