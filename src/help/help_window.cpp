// The help is read afresh at each request, so an edited or restored help file
// shows without restarting the program.
#include "help/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/ui_font.h"

namespace morlavin::help {

QString topicAnchor(int contextNumber) { return QStringLiteral("topic-%1").arg(contextNumber); }

HelpWindow::HelpWindow(QString helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), m_helpFile(std::move(helpFile)), m_browser(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Morlavin ヘルプ"));
  setFont(ui::windowFont());
  m_browser->setObjectName(QStringLiteral("HelpBrowser"));
  m_browser->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_browser);
  resize(560, 480);
}

void HelpWindow::showTopics() { showAnchor(QStringLiteral("topics")); }

void HelpWindow::showTopic(int contextNumber) { showAnchor(topicAnchor(contextNumber)); }

void HelpWindow::showAnchor(const QString& anchor) {
  const QFileInfo file(m_helpFile);
  if (file.isFile() && file.isReadable()) {
    QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    url.setFragment(anchor);
    m_browser->clearHistory();
    m_browser->setSource(url, QTextDocument::HtmlResource);
  } else {
    m_browser->setHtml(QStringLiteral("<p>ヘルプファイル %1 が見つかりません。</p>"
                                      "<p>Morlavin を入れ直すと、ヘルプファイルも元に戻ります。</p>")
                           .arg(m_helpFile.toHtmlEscaped()));
  }
  show();
  raise();
  activateWindow();
}

}  // namespace morlavin::help
