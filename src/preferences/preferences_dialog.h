// The preferences dialog, 環境設定: the only place where the user edits the
// options. Edits live in the controls until OK copies them into the record
// and saves it; Cancel and the close box discard them. 標準 alone acts at
// once: it puts the default colours into the record, where they hold for the
// run whatever closes the dialog; the settings file has them at the next save.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "settings/settings_record.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace morlavin::platform {
class Launcher;
}
namespace morlavin::settings {
class SettingsFile;
}
namespace morlavin::ui {
class FileDialogs;
class HelpViewer;
class MessageBoxes;
}  // namespace morlavin::ui

namespace morlavin::preferences {

class ColourChooser;

// What the dialog works on and talks through.
struct PreferencesServices {
  settings::SettingsRecord& record;
  settings::SettingsFile& settingsFile;
  platform::Launcher& launcher;
  ui::FileDialogs& fileDialogs;
  ui::MessageBoxes& messages;
  ui::HelpViewer& help;
  std::string previewDirectory;  // where the preview page is written
};

// The help topic that describes this dialog.
inline constexpr int kPreferencesHelpContext = 15;

class PreferencesDialog : public QDialog {
  Q_OBJECT

 public:
  PreferencesDialog(const PreferencesServices& services, QWidget* parent = nullptr);
  // Deletes the preview page, however the dialog was closed.
  ~PreferencesDialog() override;

  // The options as the controls show them, on top of the record's other fields.
  settings::SettingsRecord valuesFromControls() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void createControls();
  void createOptions();
  void createColourFrame();
  void layOut();
  void connectSignals();
  void loadFromRecord();
  void showColours();

  void confirm();
  void restoreDefaultColours();
  void chooseTranslator();
  void showHelp();
  void preview();
  void applyBackgroundImage(bool enabled);

  PreferencesServices m_services;
  // The value the up-down under the mouse had when its button went down,
  // shared by every colour chooser.
  std::uint8_t m_valueAtPress = 0;

  QLineEdit* m_translator = nullptr;
  QPushButton* m_browse = nullptr;
  QCheckBox* m_noCharsetMeta = nullptr;
  QCheckBox* m_deleteOnExit = nullptr;
  QCheckBox* m_htmlExtension = nullptr;
  QCheckBox* m_ignoreTags = nullptr;
  ColourChooser* m_background = nullptr;
  ColourChooser* m_text = nullptr;
  QWidget* m_translatorLabel = nullptr;
  QWidget* m_frame = nullptr;
  QCheckBox* m_useBackgroundImage = nullptr;
  QLineEdit* m_backgroundImage = nullptr;
  QPushButton* m_defaults = nullptr;
  QPushButton* m_preview = nullptr;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_help = nullptr;
};

}  // namespace morlavin::preferences
