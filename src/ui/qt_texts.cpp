// Found by looking at Qt's dialogs in a Japanese session: the words here are
// those that stayed English there.
#include "ui/qt_texts.h"

#include <cstring>

namespace morlavin::ui {
namespace {

struct Text {
  const char* context;
  const char* source;
  const char* japanese;
};

// The file dialog's type column names folders, links, drives and files of no
// known type with these. "フォルダ" as Qt's own "新しいフォルダ" has it.
constexpr Text kJapanese[] = {
    {"QAbstractFileIconProvider", "Folder", "フォルダ"},
    {"QAbstractFileIconProvider", "Alias", "エイリアス"},
    {"QAbstractFileIconProvider", "Shortcut", "ショートカット"},
    {"QAbstractFileIconProvider", "Drive", "ドライブ"},
    {"QAbstractFileIconProvider", "Unknown", "不明"},
    {"QAbstractFileIconProvider", "%1 File", "%1 ファイル"},
};

}  // namespace

MissingQtTexts::MissingQtTexts(const QTranslator& qt, QObject* parent) : QTranslator(parent), m_qt(qt) {}

QString MissingQtTexts::translate(const char* context, const char* sourceText, const char* disambiguation,
                                  int n) const {
  if (const QString qt = m_qt.translate(context, sourceText, disambiguation, n); !qt.isEmpty()) return qt;
  if (context == nullptr || sourceText == nullptr) return {};
  for (const Text& text : kJapanese) {
    if (std::strcmp(context, text.context) == 0 && std::strcmp(sourceText, text.source) == 0) {
      return QString::fromUtf8(text.japanese);
    }
  }
  return {};
}

}  // namespace morlavin::ui
