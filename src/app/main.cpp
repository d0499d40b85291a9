// Morlavin: start-up, then the main window until it closes.
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>
#include <string>
#include <vector>

#include "help/help_window.h"
#include "mainwindow/main_window.h"
#include "platform/launcher.h"
#include "platform/locations.h"
#include "platform/program_dir.h"
#include "platform/temporary_files.h"
#include "platform/texts.h"
#include "preferences/preferences_dialog.h"
#include "program/start_up.h"
#include "settings/settings_file.h"
#include "settings/settings_record.h"
#include "ui/controls.h"
#include "ui/fixed_windows.h"
#include "ui/qt_texts.h"
#include "ui/seams.h"
#include "ui/ui_font.h"

int main(int argc, char** argv) {
  using namespace morlavin;
  platform::removeTemporaryFilesOnSignals();
  // The whole command line names the file to convert. Qt gets none of it, so
  // that no file name is ever taken for one of its options.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  ui::useOwnWaylandTitleBars(platform::pluginFolder(platform::programDirectory()));
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QApplication::setApplicationName(ui::fromUtf8(texts::windows::kProgramName));
  QApplication::setApplicationVersion(QString::fromStdString(settings::programVersionText()));
  QIcon icon(QStringLiteral(":/icons/morlavin-16.png"));
  icon.addFile(QStringLiteral(":/icons/morlavin-32.png"), QSize(32, 32));
  QApplication::setWindowIcon(icon);
  if (QGuiApplication::platformName() == QStringLiteral("wayland")) {
    ui::keepFixedWindowsUnmaximized(&app);
  }
  // Qt's own dialogs (file dialogs, message boxes at start-up) in the same
  // face as the windows, rather than whatever the session's default resolves to.
  QApplication::setFont(ui::windowFont());
  // Qt's own texts (file dialogs, message-box buttons, context menus) in the
  // session's language when it is Japanese, as every other text is.
  QTranslator qtTexts;
  ui::MissingQtTexts missingQtTexts(qtTexts);
  if (QLocale::system().language() == QLocale::Japanese) {
    if (qtTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      QApplication::installTranslator(&qtTexts);
    }
    QApplication::installTranslator(&missingQtTexts);
  }

  ui::QtMessageBoxes messageBoxes;
  ui::QtFileDialogs fileDialogs;
  platform::DesktopLauncher launcher;
  // The programs the windows start (the translator, a browser kept by
  // xdg-open) are collected as soon as they end.
  QSocketNotifier childEnded(launcher.childEndedFd(), QSocketNotifier::Read);
  QObject::connect(&childEnded, &QSocketNotifier::activated, [&] { launcher.reapFinished(); });
  settings::SettingsRecord settings;
  mainwindow::SettingsMessageBoxes settingsMessages(messageBoxes);
  const program::StartUp start =
      program::startUp(platform::programDirectory(), arguments, settings, settingsMessages);

  help::HelpWindow helpWindow(QString::fromStdString(start.helpFile),
                              QString::fromStdString(start.readmeFile));
  // Closing the main window ends the program, even with the help still open.
  helpWindow.setAttribute(Qt::WA_QuitOnClose, false);
  mainwindow::MainWindow window(start, settings, {messageBoxes, fileDialogs, helpWindow, launcher});
  window.setPreferencesCommand([&] {
    // Without a folder for the settings file there is nothing to save them in.
    const Result<std::string> prefix = program::settingsPrefix(start);
    if (!prefix.ok()) {
      settingsMessages.failure(prefix.status().message());
      return;
    }
    settings::SettingsFile settingsFile(*prefix, settingsMessages);
    // Made for each opening and gone with its closing, so that every opening
    // starts from the record.
    preferences::PreferencesDialog dialog({settings, settingsFile, launcher, fileDialogs,
                                           messageBoxes, helpWindow, start.previewDirectory},
                                          &window);
    dialog.exec();
  });
  window.showCentred();
  return app.exec();
}
