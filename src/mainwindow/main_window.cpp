// The main window: fixed controls on a fixed client area, laid out in twips,
// and actions that hand over to the core at once.
#include "mainwindow/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMoveEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <new>
#include <optional>
#include <utility>

#include "conversion/text_encoding.h"
#include "conversion/title_import.h"
#include "platform/launcher.h"
#include "platform/texts.h"
#include "program/about.h"
#include "program/commands.h"
#include "ui/controls.h"
#include "ui/seams.h"
#include "ui/ui_font.h"

namespace morlavin::mainwindow {
namespace {

using ui::fromUtf8;

const QString kProgramTitle = fromUtf8(texts::windows::kProgramName);
const QString kErrorTitle = fromUtf8(texts::windows::kErrorTitle);
const QString kMessageTitle = fromUtf8(texts::windows::kMessageTitle);

// Memory running out (a line of a text larger than memory) ends what the
// user asked for, not the program: it fails as a text that cannot be read,
// and whatever the command had begun, a temporary page, is gone by then.
template <typename Command>
auto outOfMemoryAsReadFailure(Command command) -> decltype(command()) {
  try {
    return command();
  } catch (const std::bad_alloc&) {
    return posixError(std::string(texts::files::kCannotRead), ENOMEM);
  }
}

// The bar counts in tenths of a percent: a thousand steps are finer than the
// bar can draw even at twice the pixel density, and every step costs the bar
// some work, which a run asks of it after each of up to 131070 lines.
constexpr int kProgressStepsPerPercent = 10;

// 15 twips make one logical pixel.
QRect twips(int left, int top, int width, int height) {
  return {left / 15, top / 15, width / 15, height / 15};
}

template <typename Widget>
Widget* placed(Widget* widget, const QRect& geometry) {
  widget->setGeometry(geometry);
  return widget;
}

template <typename Widget>
Widget* place(QWidget* parent, const char* name, const QRect& geometry) {
  auto* widget = new Widget(parent);
  widget->setObjectName(QString::fromLatin1(name));
  return placed(widget, geometry);
}

QLabel* label(QWidget* parent, const char* name, std::string_view caption, const QRect& geometry) {
  auto* widget = place<QLabel>(parent, name, geometry);
  // Status texts are never markup, whatever a message happens to contain.
  widget->setTextFormat(Qt::PlainText);
  widget->setText(fromUtf8(caption));
  return widget;
}

// A caption as it shows: "&&" is one "&", a single "&" only marks the access key.
QString shownCaption(const QString& caption) {
  QString shown;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  return shown;
}

// The first local file of a drop, as the bytes of its name; nothing for
// dragged text or web links. The URL's percent escapes are the name's bytes,
// which need not be UTF-8.
std::optional<std::string> droppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) {
      return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
    }
  }
  return std::nullopt;
}

QString shownName(const std::string& bytes) {
  return QString::fromStdString(conversion::readableName(bytes));
}

}  // namespace

MainWindow::MainWindow(program::StartUp startUp, settings::SettingsRecord& settings,
                       const Services& services, QWidget* parent)
    : QMainWindow(parent),
      m_settings(settings),
      m_services(services),
      m_startUp(std::move(startUp)) {
  createControls();
  createMenus();
  connectSignals();
  acceptDroppedFiles();
  fitFontToCaptions();
}

void MainWindow::showCentred() {
  adjustSize();
  m_centreWithFrame = true;
  centre();
  show();
  centre();
}

// The whole window, frame and all, goes in the middle. The desktop adds the
// frame only once the window is shown, often after show() returns; the first
// move that brings it centres the window once more.
void MainWindow::centre() {
  const QRect frame = frameGeometry();
  if (frame.size() != size()) m_centreWithFrame = false;
  move(screen()->availableGeometry().center() - QRect(QPoint(), frame.size()).center());
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (m_centreWithFrame && frameGeometry().size() != size()) centre();
}

void MainWindow::setPreferencesCommand(std::function<void()> command) {
  m_showPreferences = std::move(command);
}

void MainWindow::createControls() {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(kProgramTitle);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  // Message boxes are windows of their own; they share the font too.
  setAttribute(Qt::WA_WindowPropagation);
  setFont(ui::windowFont());

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("clientArea"));
  client->setFixedSize(6015 / 15, 2070 / 15);
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  namespace words = texts::main_window;
  m_fileNameLabel =
      label(client, "fileNameLabel", words::kFileNameLabel, twips(120, 120, 975, 255));
  m_fileNameEdit = place<QLineEdit>(client, "fileNameEdit", twips(1080, 120, 3975, 270));
  setInputName(m_startUp.inputPath);
  m_browseButton = placed(ui::button(client, "browseButton", texts::windows::kBrowse),
                          twips(5040, 120, 855, 255));
  m_statusLabel = label(client, "statusLabel", words::kStatusPrompt, twips(120, 480, 5775, 255));
  m_progressBar = place<QProgressBar>(client, "progressBar", twips(120, 840, 5775, 255));
  m_progressBar->setRange(0, 100 * kProgressStepsPerPercent);
  setProgress(0);
  m_progressBar->setTextVisible(false);
  // A plain bar: the default style's shaded one costs fifteen times as much
  // to draw, and a run repaints the bar about a hundred times while it holds
  // the window.
  if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) {
    plain->setParent(m_progressBar);
    m_progressBar->setStyle(plain);
  }
  m_titleLabel = label(client, "titleLabel", words::kTitleLabel, twips(120, 1200, 975, 255));
  m_titleEdit = place<QLineEdit>(client, "titleEdit", twips(1080, 1200, 3975, 270));
  // A screen reader names each box by its label.
  m_fileNameLabel->setBuddy(m_fileNameEdit);
  m_titleLabel->setBuddy(m_titleEdit);
  m_progressBar->setAccessibleName(fromUtf8(words::kProgressName));
  m_titleEdit->setMaxLength(std::numeric_limits<int>::max());  // an imported line replaces it whole
  m_importTitleButton = placed(ui::button(client, "importTitleButton", words::kImportTitle),
                               twips(5040, 1200, 855, 255));
  m_convertButton =
      placed(ui::button(client, "convertButton", words::kConvert), twips(1080, 1560, 1215, 375));
  m_convertButton->setDefault(true);
  m_deletePageButton = placed(ui::button(client, "deletePageButton", words::kDeletePage),
                              twips(2400, 1560, 1215, 375));
  m_deletePageButton->setEnabled(false);
  m_translatorButton = placed(ui::button(client, "translatorButton", words::kStartTranslator),
                              twips(3720, 1560, 1215, 375));
  // Alt+S is the settings menu's, as the menu bar takes Alt+letter first;
  // sharing it would have Qt alternate between the two.
  m_translatorButton->setShortcut(QKeySequence());

  QWidget* const tabOrder[] = {m_fileNameEdit,     m_browseButton,     m_convertButton,
                               m_deletePageButton, m_translatorButton, m_titleEdit,
                               m_importTitleButton};
  for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
  m_fileNameEdit->setFocus();
}

void MainWindow::createMenus() {
  const auto menu = [this](const char* name, std::string_view caption) {
    QMenu* created = menuBar()->addMenu(fromUtf8(caption));
    created->setObjectName(QString::fromLatin1(name));
    return created;
  };
  const auto add = [](QMenu* into, const char* name, std::string_view caption) {
    QAction* action = into->addAction(fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
  };
  namespace words = texts::main_window;
  QMenu* fileMenu = menu("fileMenu", words::kFileMenu);
  m_openAction = add(fileMenu, "openAction", words::kOpenText);
  fileMenu->addSeparator();
  m_exitAction = add(fileMenu, "exitAction", words::kExit);

  QMenu* settingsMenu = menu("settingsMenu", words::kSettingsMenu);
  m_preferencesAction = add(settingsMenu, "preferencesAction", words::kPreferences);

  QMenu* helpMenu = menu("helpMenu", words::kHelpMenu);
  m_helpTopicsAction = add(helpMenu, "helpTopicsAction", words::kHelpTopics);
  m_helpTopicsAction->setShortcut(QKeySequence(Qt::Key_F1));
  m_readmeAction = add(helpMenu, "readmeAction", words::kReadme);
  helpMenu->addSeparator();
  m_aboutAction = add(helpMenu, "aboutAction", words::kAbout);
}

void MainWindow::connectSignals() {
  connect(m_browseButton, &QPushButton::clicked, this, &MainWindow::browseForInput);
  connect(m_openAction, &QAction::triggered, this, &MainWindow::browseForInput);
  connect(m_convertButton, &QPushButton::clicked, this, &MainWindow::convertFile);
  connect(m_importTitleButton, &QPushButton::clicked, this, &MainWindow::importTitle);
  connect(m_deletePageButton, &QPushButton::clicked, this, &MainWindow::deletePage);
  connect(m_translatorButton, &QPushButton::clicked, this, &MainWindow::startTranslator);
  connect(m_exitAction, &QAction::triggered, this, &QWidget::close);
  connect(m_preferencesAction, &QAction::triggered, this, &MainWindow::showPreferences);
  connect(m_helpTopicsAction, &QAction::triggered, this, &MainWindow::showHelpTopics);
  connect(m_readmeAction, &QAction::triggered, this, &MainWindow::openReadme);
  connect(m_aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::acceptDroppedFiles() {
  m_dropTargets = {this,           m_fileNameEdit,  m_fileNameLabel,    m_statusLabel,
                   m_browseButton, m_convertButton, m_deletePageButton, m_translatorButton};
  for (QWidget* widget : m_dropTargets) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
  }
  // A drop on the title row or the bar reaches the window behind them, which
  // refuses it there; the title box must not take one of its own.
  m_notDropTargets = {m_titleLabel, m_titleEdit, m_importTitleButton, m_progressBar};
  m_titleEdit->setAcceptDrops(false);
}

// The boxes keep their size whatever face is installed; one that runs wider
// than the face the layout was drawn for gets smaller until every caption fits.
void MainWindow::fitFontToCaptions() {
  const auto fits = [this](const QFont& font) {
    const QFontMetrics metrics(font);
    for (const QLabel* widget : {m_fileNameLabel, m_statusLabel, m_titleLabel}) {
      if (metrics.horizontalAdvance(widget->text()) > widget->width()) return false;
    }
    for (const QPushButton* widget : {m_browseButton, m_convertButton, m_importTitleButton,
                                      m_deletePageButton, m_translatorButton}) {
      if (metrics.horizontalAdvance(shownCaption(widget->text())) > widget->width() - 4)
        return false;
    }
    return true;
  };
  QFont font = this->font();
  font.setPixelSize(ui::largestFittingPixelSize(font.pixelSize(), [&font, &fits](int size) {
    font.setPixelSize(size);
    return fits(font);
  }));
  setFont(font);
  // Menus are windows of their own, children of the menu bar, which passes
  // its font on to no window.
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) menu->setFont(font);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
    return QMainWindow::eventFilter(watched, event);
  }
  // Handled here in full, so that a text box never inserts the dragged text.
  auto* drop = static_cast<QDropEvent*>(event);
  const bool target =
      watched != this || std::find(m_notDropTargets.begin(), m_notDropTargets.end(),
                                   childAt(drop->position().toPoint())) == m_notDropTargets.end();
  const std::optional<std::string> file = target ? droppedFile(drop->mimeData()) : std::nullopt;
  // Only a copy is ever taken: a source asked to move would delete its file.
  if (!file || !(drop->possibleActions() & Qt::CopyAction)) {
    drop->ignore();
    return true;
  }
  drop->setDropAction(Qt::CopyAction);
  drop->accept();
  if (type == QEvent::Drop) setInputName(*file);
  return true;
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // A text box passes Enter on; the default button takes it.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    m_convertButton->click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

// A close event comes accepted: the window closes whatever became of the page.
void MainWindow::closeEvent(QCloseEvent*) {
  if (const Status status =
          program::deletePageOnExit(m_settings, m_lastOutputPath, m_lastOutputIdentity);
      !status.ok()) {
    m_services.messageBoxes.critical(this, kErrorTitle, fromUtf8(status.message()));
  }
}

void MainWindow::browseForInput() {
  const std::optional<QString> chosen = m_services.fileDialogs.openFile(
      this, fromUtf8(texts::main_window::kTextFiles), m_lastChosenFile);
  if (!chosen) return;
  m_lastChosenFile = *chosen;
  setInputName(QFile::encodeName(*chosen).toStdString());
}

void MainWindow::setInputName(const std::string& bytes) {
  m_inputBytes = bytes;
  m_inputShown = shownName(bytes);
  m_fileNameEdit->setText(m_inputShown);
}

std::string MainWindow::inputPath() const {
  // Once the box shows something else, what it shows is the name.
  const QString shown = m_fileNameEdit->text();
  return shown == m_inputShown ? m_inputBytes : shown.toStdString();
}

void MainWindow::convertFile() {
  const conversion::ConversionRequest request{inputPath(), m_titleEdit->text().toStdString(), true};
  const auto result = outOfMemoryAsReadFailure(
      [&] { return conversion::convertFile(request, m_settings, *this, m_services.launcher); });
  if (!result.ok()) {
    if (result.status().silent()) return;
    m_services.messageBoxes.critical(this, kErrorTitle, fromUtf8(result.status().message()));
    conversion::showRunFailed(*this);
    return;
  }
  m_lastOutputPath = result->outputPath;
  m_lastOutputIdentity = result->page;
  m_deletePageButton->setEnabled(true);
  // The page is there all the same; the user opens it another way.
  if (!result->opened.ok()) {
    m_services.messageBoxes.exclamation(this, kProgramTitle, fromUtf8(result->opened.message()));
  }
}

void MainWindow::importTitle() {
  if (const auto title =
          outOfMemoryAsReadFailure([&] { return conversion::importTitle(inputPath()); });
      title.ok()) {
    m_titleEdit->setText(QString::fromStdString(*title));
  }
}

void MainWindow::deletePage() {
  const program::PageDeletion deletion =
      program::deleteWrittenPage(m_lastOutputPath, m_lastOutputIdentity);
  m_statusLabel->setText(fromUtf8(deletion.statusText));
  if (!deletion.failure.ok())
    m_services.messageBoxes.critical(this, kErrorTitle, fromUtf8(deletion.failure.message()));
  m_deletePageButton->setEnabled(deletion.keepButton);
}

void MainWindow::startTranslator() {
  const Status started = program::launchTranslator(m_settings, m_services.launcher);
  if (started.code() == StatusCode::kNotConfigured) {
    m_services.messageBoxes.exclamation(this, kMessageTitle, fromUtf8(started.message()));
  } else if (!started.ok()) {
    m_services.messageBoxes.critical(this, kErrorTitle, fromUtf8(started.message()));
  }
}

void MainWindow::showPreferences() {
  if (m_showPreferences) m_showPreferences();
}

void MainWindow::showHelpTopics() { m_services.help.showTopics(); }

void MainWindow::openReadme() { m_services.help.showReadme(); }

void MainWindow::showAbout() {
  QString text = fromUtf8(program::aboutText());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  m_services.messageBoxes.plain(this, fromUtf8(texts::windows::kAboutTitle), text);
}

void MainWindow::setStatusText(std::string_view text) { m_statusLabel->setText(fromUtf8(text)); }

void MainWindow::repaintStatus() {
  // Both in one pass, so that the screen is updated once.
  centralWidget()->repaint(m_statusLabel->geometry().united(m_progressBar->geometry()));
}

void MainWindow::setProgress(double percent) {
  m_progressBar->setValue(static_cast<int>(std::lround(percent * kProgressStepsPerPercent)));
}

double MainWindow::progress() const {
  return m_progressBar->value() / static_cast<double>(kProgressStepsPerPercent);
}

void SettingsMessageBoxes::notice(std::string_view text) {
  m_boxes.plain(nullptr, kProgramTitle, fromUtf8(text));
}

void SettingsMessageBoxes::failure(std::string_view text) {
  m_boxes.critical(nullptr, kProgramTitle, fromUtf8(text));
}

}  // namespace morlavin::mainwindow
