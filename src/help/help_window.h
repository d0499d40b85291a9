// Morlavin's own help viewer: a window that shows the help file, opened at its
// topics list or at one topic by context number, or the read-me as plain text,
// with a find box for searching the text. Start-up tells it where the two files
// are (beside the program, or in the system's share folder).
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
  HelpWindow(QString helpFile, QString readmeFile, QWidget* parent = nullptr);

  void showTopics() override;
  void showTopic(int contextNumber) override;
  // The read-me is never handed to the desktop: the program may be the
  // desktop's viewer for text files itself.
  void showReadme() override;

  // What the viewer shows: the help file at an anchor, the read-me, or its
  // own message when the file cannot be read.
  QTextBrowser* browser() const { return m_browser; }

 private:
  void connectSignals();
  void showAnchor(const QString& anchor);
  void present();
  void fitToScreen();
  void openFind();
  void findNext();
  // Escape closes the find box when it is open, else the window.
  void escape();

  QString m_helpFile;
  QString m_readmeFile;
  QTextBrowser* m_browser;
  QWidget* m_findBar;
  QLineEdit* m_findBox;
  QLabel* m_notFound;
  bool m_sized = false;
};

}  // namespace morlavin::help
