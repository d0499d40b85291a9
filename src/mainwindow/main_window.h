// The program's one window: the file-name and title boxes, the status line
// and its bar, five buttons and the menus. It maps them onto the core's
// conversion, title import and settings, and shows what those report.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "conversion/conversion_run.h"
#include "platform/file_ops.h"
#include "program/start_up.h"
#include "settings/settings_file.h"

class QAction;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace morlavin::platform {
class Launcher;
}
namespace morlavin::ui {
class FileDialogs;
class HelpViewer;
class MessageBoxes;
}  // namespace morlavin::ui

namespace morlavin::mainwindow {

// The world outside the window; tests hand in fakes.
struct Services {
  ui::MessageBoxes& messageBoxes;
  ui::FileDialogs& fileDialogs;
  ui::HelpViewer& help;
  platform::Launcher& launcher;
};

// The window declares no signals, slots or properties of its own (its
// connections name member functions), so it needs no meta-object.
class MainWindow : public QMainWindow, private conversion::ConversionView {
 public:
  // `settings` is the run's one record; the window reads it at every use, so
  // that changes made by the preferences dialog take effect at once.
  MainWindow(program::StartUp startUp, settings::SettingsRecord& settings, const Services& services,
             QWidget* parent = nullptr);

  // Shows the window in the middle of its screen.
  void showCentred();
  // What the preferences command runs.
  void setPreferencesCommand(std::function<void()> command);
  // The page the last successful conversion wrote; empty before the first.
  const std::string& lastOutputPath() const { return m_lastOutputPath; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void createControls();
  void createMenus();
  void connectSignals();
  void acceptDroppedFiles();
  void fitFontToCaptions();
  void centre();
  // Shows a file name given as bytes in the file-name box.
  void setInputName(const std::string& bytes);
  // The file the box names, as bytes for the file system.
  std::string inputPath() const;

  void browseForInput();
  void convertFile();
  void importTitle();
  void deletePage();
  void startTranslator();
  void showPreferences();
  void showHelpTopics();
  void openReadme();
  void showAbout();

  void setStatusText(std::string_view text) override;
  void repaintStatus() override;
  void setProgress(double percent) override;
  double progress() const override;

  settings::SettingsRecord& m_settings;
  Services m_services;
  program::StartUp m_startUp;
  std::function<void()> m_showPreferences;
  std::string m_lastOutputPath;
  platform::FileIdentity m_lastOutputIdentity;  // what was written there
  bool m_centreWithFrame = false;               // until the desktop has framed the window
  QString m_lastChosenFile;
  // The bytes of the name last put into the file-name box and how the box
  // shows them; a name need not be UTF-8.
  std::string m_inputBytes;
  QString m_inputShown;
  std::vector<QWidget*> m_dropTargets;
  std::vector<QWidget*> m_notDropTargets;

  QLabel* m_fileNameLabel = nullptr;
  QLineEdit* m_fileNameEdit = nullptr;
  QPushButton* m_browseButton = nullptr;
  QLabel* m_statusLabel = nullptr;
  QProgressBar* m_progressBar = nullptr;
  QLabel* m_titleLabel = nullptr;
  QLineEdit* m_titleEdit = nullptr;
  QPushButton* m_importTitleButton = nullptr;
  QPushButton* m_convertButton = nullptr;
  QPushButton* m_deletePageButton = nullptr;
  QPushButton* m_translatorButton = nullptr;

  QAction* m_openAction = nullptr;
  QAction* m_exitAction = nullptr;
  QAction* m_preferencesAction = nullptr;
  QAction* m_helpTopicsAction = nullptr;
  QAction* m_readmeAction = nullptr;
  QAction* m_aboutAction = nullptr;
};

// The settings file's notices and failures as message boxes titled with the
// program's name. Start-up shows them before the window exists.
class SettingsMessageBoxes : public settings::SettingsMessages {
 public:
  explicit SettingsMessageBoxes(ui::MessageBoxes& boxes) : m_boxes(boxes) {}
  void notice(std::string_view text) override;
  void failure(std::string_view text) override;

 private:
  ui::MessageBoxes& m_boxes;
};

}  // namespace morlavin::mainwindow
