// The help and the read-me are read afresh at each request, so an edited or
// restored file shows without restarting the program.
#include "help/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/cp932.h"
#include "platform/texts.h"
#include "ui/controls.h"
#include "ui/ui_font.h"

namespace morlavin::help {
namespace {

constexpr QSize kPreferredSize(560, 480);
// More than any read-me needs; a larger file is shown up to here.
constexpr qint64 kReadmeLimit = 1 << 20;
const QString kHelpTitle = ui::fromUtf8(texts::help_window::kHelpTitle);
const QString kReadmeTitle = ui::fromUtf8(texts::help_window::kReadmeTitle);
// Room for the frame the desktop puts around the window.
constexpr QSize kFrameAllowance(16, 48);

// The read-me as the user wrote it: UTF-8, or else Shift-JIS.
QString readmeText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8.decode(bytes);
  if (!utf8.hasError()) return text;
  return QString::fromStdString(
      platform::cp932ToUtf8(std::string_view(bytes.constData(), bytes.size())));
}

// Japanese is written without blanks, but HTML shows a line break inside a
// paragraph as one. A break between two wide characters is taken out as the
// help is loaded, so that the file's lines can be wrapped as its writer likes.
QString joinWideLines(QString html) {
  static const QRegularExpression kWideBreak(QStringLiteral(
      "([\\x{2E80}-\\x{9FFF}\\x{F900}-\\x{FAFF}\\x{FF00}-\\x{FFEF}])[ \\t]*\\r?\\n[ \\t]*"
      "(?=[\\x{2E80}-\\x{9FFF}\\x{F900}-\\x{FAFF}\\x{FF00}-\\x{FFEF}])"));
  return html.replace(kWideBreak, QStringLiteral("\\1"));
}

class HelpBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

  QVariant loadResource(int type, const QUrl& name) override {
    const QVariant resource = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::HtmlResource || resource.userType() != QMetaType::QByteArray) {
      return resource;
    }
    return joinWideLines(QString::fromUtf8(resource.toByteArray()));
  }
};

}  // namespace

QString topicAnchor(int contextNumber) { return QStringLiteral("topic-%1").arg(contextNumber); }

HelpWindow::HelpWindow(QString helpFile, QString readmeFile, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_helpFile(std::move(helpFile)),
      m_readmeFile(std::move(readmeFile)),
      m_browser(new HelpBrowser(this)),
      m_findBar(new QWidget(this)),
      m_findBox(new QLineEdit(m_findBar)),
      m_notFound(new QLabel(ui::fromUtf8(texts::help_window::kNotFound), m_findBar)) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(kHelpTitle);
  setFont(ui::windowFont());
  m_browser->setObjectName(QStringLiteral("helpBrowser"));
  m_browser->setOpenExternalLinks(true);
  m_findBox->setObjectName(QStringLiteral("findEdit"));
  m_notFound->setObjectName(QStringLiteral("notFoundLabel"));
  m_notFound->hide();

  auto* findLayout = new QHBoxLayout(m_findBar);
  findLayout->setContentsMargins(6, 4, 6, 4);
  auto* findLabel = new QLabel(ui::fromUtf8(texts::help_window::kFind), m_findBar);
  findLabel->setBuddy(m_findBox);  // which names the box for a screen reader
  findLayout->addWidget(findLabel);
  findLayout->addWidget(m_findBox, 1);
  findLayout->addWidget(m_notFound);
  m_findBar->hide();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_browser);
  layout->addWidget(m_findBar);
  resize(kPreferredSize);
  connectSignals();
}

void HelpWindow::connectSignals() {
  connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this,
          &HelpWindow::openFind);
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
          &HelpWindow::escape);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this), &QShortcut::activated, this,
          &QWidget::close);
  connect(m_findBox, &QLineEdit::returnPressed, this, &HelpWindow::findNext);
  connect(m_findBox, &QLineEdit::textEdited, m_notFound, &QWidget::hide);
}

void HelpWindow::showTopics() { showAnchor(QStringLiteral("topics")); }

void HelpWindow::showTopic(int contextNumber) { showAnchor(topicAnchor(contextNumber)); }

void HelpWindow::showAnchor(const QString& anchor) {
  setWindowTitle(kHelpTitle);
  m_browser->document()->setDefaultFont(font());
  const QFileInfo file(m_helpFile);
  if (file.isFile() && file.isReadable()) {
    QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    url.setFragment(anchor);
    m_browser->clearHistory();
    m_browser->setSource(url, QTextDocument::HtmlResource);
  } else {
    m_browser->setHtml(
        ui::fromUtf8(texts::help_window::kHelpMissing).arg(m_helpFile.toHtmlEscaped()));
  }
  present();
}

void HelpWindow::showReadme() {
  setWindowTitle(kReadmeTitle);
  m_browser->clearHistory();
  m_browser->document()->setDefaultFont(ui::textFont());
  QFile file(m_readmeFile);
  // A folder or a pipe in its place would be read forever, or block.
  if (QFileInfo(m_readmeFile).isFile() && file.open(QIODevice::ReadOnly)) {
    m_browser->setPlainText(readmeText(file.read(kReadmeLimit)));
  } else {
    m_browser->setPlainText(ui::fromUtf8(texts::help_window::kReadmeMissing).arg(m_readmeFile));
  }
  // The face's underscore lies below its line: a little more room shows it.
  QTextBlockFormat spaced;
  spaced.setLineHeight(115, QTextBlockFormat::ProportionalHeight);
  QTextCursor all(m_browser->document());
  all.select(QTextCursor::Document);
  all.mergeBlockFormat(spaced);
  present();
}

void HelpWindow::present() {
  fitToScreen();
  show();
  raise();
  activateWindow();
}

// The first showing keeps the window's size where the screen has room for it,
// and makes it smaller where not (a large scale factor makes a screen small),
// so that the whole window, frame included, stays on the screen.
void HelpWindow::fitToScreen() {
  if (m_sized) return;
  m_sized = true;
  const QRect available = screen()->availableGeometry();
  resize(size().boundedTo(available.size() - kFrameAllowance));
  if (!available.contains(frameGeometry())) move(available.topLeft());
}

void HelpWindow::openFind() {
  // The search starts where the reader is, not where a link last led.
  if (!m_browser->viewport()->rect().intersects(m_browser->cursorRect())) {
    m_browser->setTextCursor(m_browser->cursorForPosition(QPoint(0, 0)));
  }
  m_findBar->show();
  m_findBox->setFocus(Qt::ShortcutFocusReason);
  m_findBox->selectAll();
}

// Enter finds the next place, and from the top again after the last one.
void HelpWindow::findNext() {
  const QString text = m_findBox->text();
  if (text.isEmpty()) return;
  const QTextCursor before = m_browser->textCursor();
  bool found = m_browser->find(text);
  if (!found) {
    QTextCursor top = before;
    top.movePosition(QTextCursor::Start);
    m_browser->setTextCursor(top);
    found = m_browser->find(text);
    if (!found) m_browser->setTextCursor(before);
  }
  m_notFound->setVisible(!found);
}

void HelpWindow::escape() {
  if (m_findBar->isVisible()) {
    m_findBar->hide();
    m_browser->setFocus();
  } else {
    close();
  }
}

}  // namespace morlavin::help
