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
#include "ui/seams.h"
#include "ui/ui_font.h"

namespace morlavin::mainwindow {
namespace {

const QString kErrorTitle = QStringLiteral("エラー");

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
Widget* place(QWidget* parent, const char* name, const QRect& geometry) {
  auto* widget = new Widget(parent);
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(geometry);
  return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry) {
  auto* widget = place<QLabel>(parent, name, geometry);
  // Status texts are never markup, whatever a message happens to contain.
  widget->setTextFormat(Qt::PlainText);
  widget->setText(caption);
  return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QRect& geometry) {
  auto* widget = place<QPushButton>(parent, name, geometry);
  widget->setText(caption);
  // Enter on a focused button clicks that button; anywhere else in the
  // window it goes to the default button.
  widget->setAutoDefault(true);
  return widget;
}

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
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
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Morlavin"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  // Message boxes are windows of their own; they share the font too.
  setAttribute(Qt::WA_WindowPropagation);
  setFont(ui::windowFont());

  auto* client = new QWidget(this);
  client->setFixedSize(6015 / 15, 2070 / 15);
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  Label1 = label(client, "Label1", QStringLiteral("ファイル名："), twips(120, 120, 975, 255));
  Text1 = place<QLineEdit>(client, "Text1", twips(1080, 120, 3975, 270));
  setInputName(m_startUp.inputPath);
  Command1 = button(client, "Command1", QStringLiteral("参照...(&B)"), twips(5040, 120, 855, 255));
  Label2 =
      label(client, "Label2",
            QStringLiteral("ファイル名を指定して変換キーを押してください。D&Dに対応しています。"),
            twips(120, 480, 5775, 255));
  ProgressBar1 = place<QProgressBar>(client, "ProgressBar1", twips(120, 840, 5775, 255));
  ProgressBar1->setRange(0, 100 * kProgressStepsPerPercent);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  // A plain bar: the default style's shaded one costs fifteen times as much
  // to draw, and a run repaints the bar about a hundred times while it holds
  // the window.
  if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) {
    plain->setParent(ProgressBar1);
    ProgressBar1->setStyle(plain);
  }
  Label3 = label(client, "Label3", QStringLiteral("タイトル："), twips(120, 1200, 975, 255));
  txtTitle = place<QLineEdit>(client, "txtTitle", twips(1080, 1200, 3975, 270));
  // A screen reader names each box by its label.
  Label1->setBuddy(Text1);
  Label3->setBuddy(txtTitle);
  ProgressBar1->setAccessibleName(QStringLiteral("変換の進行状況"));
  txtTitle->setMaxLength(std::numeric_limits<int>::max());  // an imported line replaces it whole
  Command3 = button(client, "Command3", QStringLiteral("取込(&G)"), twips(5040, 1200, 855, 255));
  Command2 =
      button(client, "Command2", QStringLiteral("変換開始(&C)"), twips(1080, 1560, 1215, 375));
  Command2->setDefault(true);
  Command4 =
      button(client, "Command4", QStringLiteral("HTML消去(&D)"), twips(2400, 1560, 1215, 375));
  Command4->setEnabled(false);
  Command5 =
      button(client, "Command5", QStringLiteral("ソフト起動(&S)"), twips(3720, 1560, 1215, 375));
  // Alt+S is the settings menu's, as the menu bar takes Alt+letter first;
  // sharing it would have Qt alternate between the two.
  Command5->setShortcut(QKeySequence());

  QWidget* const tabOrder[] = {Text1, Command1, Command2, Command4, Command5, txtTitle, Command3};
  for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
  Text1->setFocus();
}

void MainWindow::createMenus() {
  const auto add = [](QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
  };
  QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  mnuFile->setObjectName(QStringLiteral("mnuFile"));
  mnuOpen = add(mnuFile, "mnuOpen", QStringLiteral("テキストファイルを開く(&O)"));
  mnuFile->addSeparator()->setObjectName(QStringLiteral("mnu0"));
  mnuExit = add(mnuFile, "mnuExit", QStringLiteral("終了(&X)"));

  QMenu* mnuOpt = menuBar()->addMenu(QStringLiteral("設定(&S)"));
  mnuOpt->setObjectName(QStringLiteral("mnuOpt"));
  mnuTrans = add(mnuOpt, "mnuTrans", QStringLiteral("環境設定...(&E)"));

  QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
  mnuTopic = add(mnuHelp, "mnuTopic", QStringLiteral("トピックの検索(&H)"));
  mnuTopic->setShortcut(QKeySequence(Qt::Key_F1));
  mnuReadme = add(mnuHelp, "mnuReadme", QStringLiteral("ReadMe(&R)"));
  mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnu2"));
  mnuAbout = add(mnuHelp, "mnuAbout", QStringLiteral("バージョン情報(&A)"));
}

void MainWindow::connectSignals() {
  connect(Command1, &QPushButton::clicked, this, &MainWindow::browseForInput);
  connect(mnuOpen, &QAction::triggered, this, &MainWindow::browseForInput);
  connect(Command2, &QPushButton::clicked, this, &MainWindow::convertFile);
  connect(Command3, &QPushButton::clicked, this, &MainWindow::importTitle);
  connect(Command4, &QPushButton::clicked, this, &MainWindow::deletePage);
  connect(Command5, &QPushButton::clicked, this, &MainWindow::startTranslator);
  connect(mnuExit, &QAction::triggered, this, &QWidget::close);
  connect(mnuTrans, &QAction::triggered, this, &MainWindow::showPreferences);
  connect(mnuTopic, &QAction::triggered, this, &MainWindow::showHelpTopics);
  connect(mnuReadme, &QAction::triggered, this, &MainWindow::openReadme);
  connect(mnuAbout, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::acceptDroppedFiles() {
  m_dropTargets = {this, Text1, Label1, Label2, Command1, Command2, Command4, Command5};
  for (QWidget* widget : m_dropTargets) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
  }
  // A drop on the title row or the bar reaches the window behind them, which
  // refuses it there; the title box must not take one of its own.
  m_notDropTargets = {Label3, txtTitle, Command3, ProgressBar1};
  txtTitle->setAcceptDrops(false);
}

// The boxes keep their size whatever face is installed; one that runs wider
// than the face the layout was drawn for gets smaller until every caption fits.
void MainWindow::fitFontToCaptions() {
  const auto fits = [this](const QFont& font) {
    const QFontMetrics metrics(font);
    for (const QLabel* widget : {Label1, Label2, Label3}) {
      if (metrics.horizontalAdvance(widget->text()) > widget->width()) return false;
    }
    for (const QPushButton* widget : {Command1, Command2, Command3, Command4, Command5}) {
      if (metrics.horizontalAdvance(shownCaption(widget->text())) > widget->width() - 4)
        return false;
    }
    return true;
  };
  QFont font = this->font();
  while (!fits(font) && font.pixelSize() > 8) font.setPixelSize(font.pixelSize() - 1);
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
    Command2->click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (const Status status = program::deletePageOnExit(m_settings, m_lastOutputPath, m_lastOutputIdentity);
      !status.ok()) {
    m_services.messageBoxes.critical(this, kErrorTitle, fromUtf8(status.message()));
  }
  event->accept();
}

void MainWindow::browseForInput() {
  const std::optional<QString> chosen = m_services.fileDialogs.openFile(
      this, QStringLiteral("テキスト ファイル (*.txt)"), m_lastChosenFile);
  if (!chosen) return;
  m_lastChosenFile = *chosen;
  setInputName(QFile::encodeName(*chosen).toStdString());
}

void MainWindow::setInputName(const std::string& bytes) {
  m_inputBytes = bytes;
  m_inputShown = shownName(bytes);
  Text1->setText(m_inputShown);
}

std::string MainWindow::inputPath() const {
  // Once the box shows something else, what it shows is the name.
  return Text1->text() == m_inputShown ? m_inputBytes : Text1->text().toStdString();
}

void MainWindow::convertFile() {
  const conversion::ConversionRequest request{inputPath(),
                                              txtTitle->text().toStdString(), true};
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
  Command4->setEnabled(true);
  // The page is there all the same; the user opens it another way.
  if (!result->opened.ok()) {
    m_services.messageBoxes.exclamation(this, QStringLiteral("Morlavin"), fromUtf8(result->opened.message()));
  }
}

void MainWindow::importTitle() {
  if (const auto title = outOfMemoryAsReadFailure([&] { return conversion::importTitle(inputPath()); });
      title.ok()) {
    txtTitle->setText(QString::fromStdString(*title));
  }
}

void MainWindow::deletePage() {
  const program::PageDeletion deletion = program::deleteWrittenPage(m_lastOutputPath, m_lastOutputIdentity);
  Label2->setText(fromUtf8(deletion.statusText));
  if (!deletion.failure.ok()) m_services.messageBoxes.critical(this, kErrorTitle, fromUtf8(deletion.failure.message()));
  Command4->setEnabled(deletion.keepButton);
}

void MainWindow::startTranslator() {
  const Status started = program::launchTranslator(m_settings, m_services.launcher);
  if (started.code() == StatusCode::kNotConfigured) {
    m_services.messageBoxes.exclamation(this, QStringLiteral("メッセージ"), fromUtf8(started.message()));
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
  m_services.messageBoxes.plain(this, QStringLiteral("About Morlavin"), text);
}

void MainWindow::setStatusText(std::string_view text) { Label2->setText(fromUtf8(text)); }

void MainWindow::repaintStatus() {
  // Both in one pass, so that the screen is updated once.
  centralWidget()->repaint(Label2->geometry().united(ProgressBar1->geometry()));
}

void MainWindow::setProgress(double percent) {
  ProgressBar1->setValue(static_cast<int>(std::lround(percent * kProgressStepsPerPercent)));
}

double MainWindow::progress() const {
  return ProgressBar1->value() / static_cast<double>(kProgressStepsPerPercent);
}

void SettingsMessageBoxes::notice(std::string_view text) {
  m_boxes.plain(nullptr, QStringLiteral("Morlavin"), fromUtf8(text));
}

void SettingsMessageBoxes::failure(std::string_view text) {
  m_boxes.critical(nullptr, QStringLiteral("Morlavin"), fromUtf8(text));
}

}  // namespace morlavin::mainwindow
