// The dialog maps controls to and from the settings record; the rules behind
// the fields (saving, the preview page's bytes) live in the core.
#include "preferences/preferences_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "platform/launcher.h"
#include "platform/texts.h"
#include "preferences/colour_chooser.h"
#include "program/preview.h"
#include "settings/flags.h"
#include "settings/settings_file.h"
#include "ui/controls.h"
#include "ui/fixed_windows.h"
#include "ui/seams.h"
#include "ui/ui_font.h"

namespace morlavin::preferences {
namespace {

using ui::fromUtf8;
namespace words = texts::preferences_dialog;

// A switch with its caption and tooltip, `name` being how tests and tools find it.
QCheckBox* optionBox(const words::Captioned& text, const char* name, QWidget* parent) {
  auto* box = new QCheckBox(fromUtf8(text.caption), parent);
  box->setObjectName(QLatin1String(name));
  ui::setPlainToolTip(box, fromUtf8(text.tooltip));
  return box;
}

using Record = settings::SettingsRecord;

ColourChoice choiceIn(const Record& record, const settings::ColourGroup& group) {
  return {record.*group.manual,
          record.*group.position,
          {record.*group.components[0], record.*group.components[1], record.*group.components[2]}};
}

void store(const ColourChoice& choice, const settings::ColourGroup& group, Record& record) {
  record.*group.manual = choice.manual;
  record.*group.position = choice.position;
  for (std::size_t i = 0; i < 3; ++i) record.*group.components[i] = choice.components[i];
}

}  // namespace

PreferencesDialog::PreferencesDialog(const PreferencesServices& services, QWidget* parent)
    : QDialog(parent), m_services(services) {
  setObjectName(QStringLiteral("PreferencesDialog"));
  setWindowTitle(fromUtf8(words::kTitle));
  // Modal to the main window only, so that the help opened from here, or
  // open already, still takes the user's input.
  setWindowModality(Qt::WindowModal);
  setFont(ui::windowFont());
  ui::withoutMaximizeButton(this);
  createControls();
  connectSignals();
  loadFromRecord();
  setFixedSize(sizeHint());
}

PreferencesDialog::~PreferencesDialog() { program::removePreview(m_services.previewDirectory); }

void PreferencesDialog::createControls() {
  createOptions();
  createColourFrame();
  m_ok = ui::button(this, "okButton", words::kOk);
  m_ok->setDefault(true);
  m_cancel = ui::button(this, "cancelButton", words::kCancel);
  m_help = ui::button(this, "helpButton", words::kHelp);
  layOut();
}

void PreferencesDialog::createOptions() {
  auto* translatorLabel = new QLabel(fromUtf8(words::kTranslatorLabel), this);
  translatorLabel->setObjectName(QStringLiteral("translatorLabel"));
  m_translatorLabel = translatorLabel;
  m_translator = new QLineEdit(this);
  m_translator->setObjectName(QStringLiteral("translatorEdit"));
  translatorLabel->setBuddy(m_translator);
  m_browse = ui::button(this, "browseButton", texts::windows::kBrowse);

  m_noCharsetMeta = optionBox(words::kNoCharsetMeta, "noCharsetMetaBox", this);
  m_deleteOnExit = optionBox(words::kDeleteOnExit, "deleteOnExitBox", this);
  m_htmlExtension = optionBox(words::kHtmlExtension, "htmlExtensionBox", this);
  m_ignoreTags = optionBox(words::kIgnoreTags, "ignoreTagsBox", this);
}

void PreferencesDialog::createColourFrame() {
  auto* frame = new QGroupBox(fromUtf8(words::kHtmlFrame), this);
  frame->setObjectName(QStringLiteral("htmlFrame"));
  m_frame = frame;
  m_background = new ColourChooser(words::kBackgroundColour, "background", m_valueAtPress, frame);
  m_text = new ColourChooser(words::kTextColour, "text", m_valueAtPress, frame);
  m_useBackgroundImage = optionBox(words::kBackgroundImage, "backgroundImageBox", frame);
  m_backgroundImage = new QLineEdit(frame);
  m_backgroundImage->setObjectName(QStringLiteral("backgroundImageEdit"));
  m_backgroundImage->setAccessibleName(fromUtf8(words::kBackgroundImageFile));
  m_backgroundImage->setToolTip(fromUtf8(words::kBackgroundImage.tooltip));
  // Disabled, but in the normal text-box colour until the box is first toggled.
  m_backgroundImage->setEnabled(false);
  QPalette normal = m_backgroundImage->palette();
  normal.setColor(QPalette::Base, QApplication::palette().color(QPalette::Active, QPalette::Base));
  m_backgroundImage->setPalette(normal);
  m_defaults = ui::button(frame, "defaultColoursButton", words::kDefaults.caption);
  m_defaults->setToolTip(fromUtf8(words::kDefaults.tooltip));
  m_preview = ui::button(frame, "previewButton", words::kPreview.caption);
  m_preview->setToolTip(fromUtf8(words::kPreview.tooltip));
  for (QPushButton* tall : {m_defaults, m_preview}) {
    tall->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  }
}

void PreferencesDialog::layOut() {
  auto* colours = new QGridLayout;
  m_background->addTo(colours, 0);
  m_text->addTo(colours, 2);
  colours->addWidget(m_useBackgroundImage, 4, 0);
  colours->addWidget(m_backgroundImage, 4, 1, 1, 2);
  auto* frameButtons = new QVBoxLayout;
  frameButtons->addWidget(m_defaults);
  frameButtons->addWidget(m_preview);
  auto* frameLayout = new QHBoxLayout(m_frame);
  frameLayout->addLayout(colours, 1);
  frameLayout->addLayout(frameButtons);

  auto* translatorRow = new QHBoxLayout;
  translatorRow->addWidget(m_translator, 1);
  translatorRow->addWidget(m_browse);
  auto* options = new QVBoxLayout;
  options->setContentsMargins(12, 0, 0, 0);
  for (QCheckBox* box : {m_noCharsetMeta, m_deleteOnExit, m_htmlExtension, m_ignoreTags})
    options->addWidget(box);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* pushButton : {m_ok, m_cancel, m_help}) buttons->addWidget(pushButton);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_translatorLabel);
  layout->addLayout(translatorRow);
  layout->addLayout(options);
  layout->addWidget(m_frame);
  layout->addLayout(buttons);
}

void PreferencesDialog::connectSignals() {
  connect(m_ok, &QPushButton::clicked, this, &PreferencesDialog::confirm);
  connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_defaults, &QPushButton::clicked, this, &PreferencesDialog::restoreDefaultColours);
  connect(m_browse, &QPushButton::clicked, this, &PreferencesDialog::chooseTranslator);
  connect(m_help, &QPushButton::clicked, this, &PreferencesDialog::showHelp);
  connect(m_preview, &QPushButton::clicked, this, &PreferencesDialog::preview);
  connect(m_useBackgroundImage, &QCheckBox::toggled, this,
          &PreferencesDialog::applyBackgroundImage);
}

void PreferencesDialog::loadFromRecord() {
  const settings::SettingsRecord& r = m_services.record;
  m_translator->setText(fromUtf8(r.Translator));
  m_noCharsetMeta->setChecked(settings::isSet(r.DisableEncodeMetaTag));
  m_deleteOnExit->setChecked(settings::isSet(r.QuitDeleteHTML));
  m_htmlExtension->setChecked(settings::isSet(r.OutputExtHTML));
  m_ignoreTags->setChecked(settings::isSet(r.TextIgnoreTags));
  showColours();
  m_useBackgroundImage->setChecked(settings::isSet(r.CheckBackground));
  m_backgroundImage->setText(fromUtf8(r.HTMLBackGround));
}

settings::SettingsRecord PreferencesDialog::valuesFromControls() const {
  settings::SettingsRecord r = m_services.record;
  r.Translator = m_translator->text().toStdString();
  r.DisableEncodeMetaTag = m_noCharsetMeta->isChecked() ? 1 : 0;
  r.QuitDeleteHTML = m_deleteOnExit->isChecked() ? 1 : 0;
  r.OutputExtHTML = m_htmlExtension->isChecked() ? 1 : 0;
  r.TextIgnoreTags = m_ignoreTags->isChecked() ? 1 : 0;
  store(m_background->choice(), settings::kBackgroundColour, r);
  store(m_text->choice(), settings::kTextColour, r);
  r.CheckBackground = m_useBackgroundImage->isChecked() ? 1 : 0;
  r.HTMLBackGround = m_backgroundImage->text().toStdString();
  return r;
}

void PreferencesDialog::confirm() {
  m_services.record = valuesFromControls();
  // The record holds the user's choices for this run even when they could
  // not all be saved.
  if (const Status saved = m_services.settingsFile.saveSettings(m_services.record); !saved.ok()) {
    m_services.messages.critical(this, fromUtf8(texts::windows::kProgramName),
                                 fromUtf8(saved.message()));
  }
  accept();
}

void PreferencesDialog::restoreDefaultColours() {
  settings::resetColours(m_services.record);
  showColours();
}

void PreferencesDialog::showColours() {
  m_background->setChoice(choiceIn(m_services.record, settings::kBackgroundColour));
  m_text->setChoice(choiceIn(m_services.record, settings::kTextColour));
}

void PreferencesDialog::chooseTranslator() {
  if (const auto path = m_services.fileDialogs.openProgram(this, fromUtf8(words::kPrograms))) {
    m_translator->setText(*path);
  }
}

void PreferencesDialog::showHelp() { m_services.help.showTopic(kPreferencesHelpContext); }

void PreferencesDialog::preview() {
  if (const Status status =
          program::writePreview(m_services.previewDirectory, valuesFromControls());
      !status.ok()) {
    m_services.messages.critical(this, fromUtf8(texts::windows::kErrorTitle),
                                 fromUtf8(status.message()));
    return;
  }
  // The page is written; the user is told why no browser shows it.
  const std::string page = program::previewPath(m_services.previewDirectory);
  if (const Status opened = m_services.launcher.openDocument(page, m_services.previewDirectory);
      !opened.ok()) {
    const std::string what = std::string(texts::program::kPreviewNotOpened) + page;
    m_services.messages.exclamation(this, fromUtf8(texts::windows::kProgramName),
                                    fromUtf8(opened.rephrased(what).message()));
  }
}

void PreferencesDialog::applyBackgroundImage(bool enabled) {
  m_backgroundImage->setEnabled(enabled);
  QPalette palette = m_backgroundImage->palette();
  palette.setColor(QPalette::Base, enabled ? QColor(0xFF, 0xFF, 0xFF)
                                           : QApplication::palette().color(QPalette::Button));
  m_backgroundImage->setPalette(palette);
}

// The dialog closes only through its buttons and its close box.
void PreferencesDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace morlavin::preferences
