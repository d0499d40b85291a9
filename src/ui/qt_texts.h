// Qt's own texts in the session's language: Qt's catalogue, and a few words
// of our own where Qt's Japanese catalogue has none (the file dialog's
// "Folder").
#pragma once

#include <QTranslator>

namespace morlavin::ui {

// Answers from `qt` (Qt's catalogue for the session's language) and, where it
// has no answer, from the program's own Japanese words for Qt's texts.
// Install it after `qt`, so that it is asked first.
class MissingQtTexts : public QTranslator {
 public:
  explicit MissingQtTexts(const QTranslator& qt, QObject* parent = nullptr);

  QString translate(const char* context, const char* sourceText, const char* disambiguation,
                    int n) const override;
  bool isEmpty() const override { return false; }

 private:
  const QTranslator& m_qt;
};

}  // namespace morlavin::ui
