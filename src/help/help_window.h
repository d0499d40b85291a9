// Morlavin's own help viewer: a window that shows the help file beside the
// program, opened at its topics list or at one topic by context number, with
// a find box for searching the text.
#pragma once

#include <QString>
#include <QWidget>

#include "ui/seams.h"

class QLabel;
class QLineEdit;
class QTextBrowser;

namespace morlavin::help {

// The help file is an HTML document whose topics carry anchors "topic-N" for
// context number N, and "topics" for the list of topics.
QString topicAnchor(int contextNumber);

class HelpWindow : public QWidget, public ui::HelpViewer {
  Q_OBJECT

 public:
  explicit HelpWindow(QString helpFile, QWidget* parent = nullptr);

  void showTopics() override;
  void showTopic(int contextNumber) override;

  // What the viewer shows: the help file at an anchor, or its own message
  // when the file cannot be read.
  QTextBrowser* browser() const { return m_browser; }

 private:
  void connectSignals();
  void showAnchor(const QString& anchor);
  void fitToScreen();
  void openFind();
  void findNext();
  // Escape closes the find box when it is open, else the window.
  void escape();

  QString m_helpFile;
  QTextBrowser* m_browser;
  QWidget* m_findBar;
  QLineEdit* m_findBox;
  QLabel* m_notFound;
  bool m_sized = false;
};

}  // namespace morlavin::help
