// Found by looking at Qt's dialogs in a Japanese session: the words the
// catalogue holds are those that stayed English there.
#include "ui/qt_texts.h"

#include "platform/texts.h"
#include "ui/controls.h"

namespace morlavin::ui {

MissingQtTexts::MissingQtTexts(const QTranslator& qt, QObject* parent)
    : QTranslator(parent), m_qt(qt) {}

QString MissingQtTexts::translate(const char* context, const char* sourceText,
                                  const char* disambiguation, int n) const {
  if (const QString qt = m_qt.translate(context, sourceText, disambiguation, n); !qt.isEmpty())
    return qt;
  if (context == nullptr || sourceText == nullptr) return {};
  for (const texts::qt_words::QtWord& word : texts::qt_words::kJapanese) {
    if (context == word.context && sourceText == word.source) return fromUtf8(word.japanese);
  }
  return {};
}

}  // namespace morlavin::ui
