// The dialog maps controls to and from the settings record; the rules behind
// the fields (saving, the preview page's bytes) live in the core.
#include "preferences/preferences_dialog.h"

#include <QApplication>
#include <array>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/launcher.h"
#include "platform/texts.h"
#include "preferences/colour_chooser.h"
#include "program/preview.h"
#include "settings/flags.h"
#include "settings/settings_file.h"
#include "ui/fixed_windows.h"
#include "ui/seams.h"
#include "ui/ui_font.h"

namespace morlavin::preferences {
namespace {

QCheckBox* optionBox(const QString& caption, const QString& tooltip, const char* name, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QLatin1String(name));
  ui::setPlainToolTip(box, tooltip);
  return box;
}

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
  auto* pushButton = new QPushButton(caption, parent);
  pushButton->setObjectName(QLatin1String(name));
  // Enter on a focused button clicks that button; anywhere else it goes to OK.
  pushButton->setAutoDefault(true);
  return pushButton;
}

QString toQString(const std::string& text) { return QString::fromStdString(text); }

using Record = settings::SettingsRecord;

ColourChoice choiceIn(const Record& record, const settings::ColourGroup& group) {
  return {record.*group.manual, record.*group.position,
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
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("環境設定"));
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
  m_ok = button(QStringLiteral("OK"), "Command1", this);
  m_ok->setDefault(true);
  m_cancel = button(QStringLiteral("ｷｬﾝｾﾙ"), "Command2", this);
  m_help = button(QStringLiteral("ヘルプ"), "Command5", this);
  layOut();
}

void PreferencesDialog::createOptions() {
  auto* translatorLabel = new QLabel(QStringLiteral("翻訳ソフト指定："), this);
  translatorLabel->setObjectName(QStringLiteral("Label1"));
  m_translatorLabel = translatorLabel;
  m_translator = new QLineEdit(this);
  m_translator->setObjectName(QStringLiteral("Text1"));
  translatorLabel->setBuddy(m_translator);
  m_browse = button(QStringLiteral("参照...(&B)"), "Command3", this);

  m_noCharsetMeta = optionBox(QStringLiteral("文字コード設定の<META>タグを使わない"),
                              QStringLiteral("変換する時文字コード用の<META>タグを追加しません。"), "chkchar", this);
  m_deleteOnExit = optionBox(QStringLiteral("ソフト終了時にHTMLファイルを削除"),
                             QStringLiteral("ソフト終了後に変換したHTMLファイルを消去します。"), "chkEndHTML", this);
  m_htmlExtension = optionBox(QStringLiteral("HTML変換後の拡張子は.html"),
                              QStringLiteral("HTMLに変換したときの拡張子を.htmlにします。"), "chkHTMLExt", this);
  m_ignoreTags = optionBox(QStringLiteral("テキスト中のタグ認識を無効"),
                           QStringLiteral("変換中、<BR>などのタグを認識しないようにします。"),
                           "chkTextIgnoreTags", this);
}

void PreferencesDialog::createColourFrame() {
  auto* frame = new QGroupBox(QStringLiteral("HTMLの設定"), this);
  frame->setObjectName(QStringLiteral("Frame1"));
  m_frame = frame;
  m_background = new ColourChooser(
      {QStringLiteral("背景色"), QStringLiteral("背景色の設定"), QStringLiteral("Label2"), QStringLiteral("背景色を設定します。"),
       QStringLiteral("cboColor(0)"), QStringLiteral("chkManual"), QStringLiteral("背景色を手動設定できます。"),
       {0, 1, 2}, 0},
      m_updcolStart, frame);
  m_text = new ColourChooser(
      {QStringLiteral("文字色"), QStringLiteral("文字色の設定"), QStringLiteral("Label4"), QStringLiteral("文字色を設定します。"),
       QStringLiteral("cboColor(1)"), QStringLiteral("chkManual2"), QStringLiteral("文字色を手動設定できます。"),
       {5, 3, 4}, 3},
      m_updcolStart, frame);
  m_useBackgroundImage = optionBox(QStringLiteral("背景画像"), QStringLiteral("背景画像を設定します。"), "chkBkg", frame);
  m_backgroundImage = new QLineEdit(frame);
  m_backgroundImage->setObjectName(QStringLiteral("txtBackGround"));
  m_backgroundImage->setAccessibleName(QStringLiteral("背景画像のファイル"));
  m_backgroundImage->setToolTip(QStringLiteral("背景画像を設定します。"));
  // Disabled, but in the normal text-box colour until the box is first toggled.
  m_backgroundImage->setEnabled(false);
  QPalette normal = m_backgroundImage->palette();
  normal.setColor(QPalette::Base, QApplication::palette().color(QPalette::Active, QPalette::Base));
  m_backgroundImage->setPalette(normal);
  m_defaults = button(QStringLiteral("標準"), "Command4", frame);
  m_defaults->setToolTip(QStringLiteral("HTML設定を初期に戻します"));
  m_preview = button(QStringLiteral("プレビュー"), "cmdPreview", frame);
  m_preview->setToolTip(QStringLiteral("表示プレビューを"));
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
  for (QCheckBox* box : {m_noCharsetMeta, m_deleteOnExit, m_htmlExtension, m_ignoreTags}) options->addWidget(box);
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
  connect(m_useBackgroundImage, &QCheckBox::toggled, this, &PreferencesDialog::applyBackgroundImage);
}

void PreferencesDialog::loadFromRecord() {
  const settings::SettingsRecord& r = m_services.record;
  m_translator->setText(toQString(r.Translator));
  m_noCharsetMeta->setChecked(settings::isSet(r.DisableEncodeMetaTag));
  m_deleteOnExit->setChecked(settings::isSet(r.QuitDeleteHTML));
  m_htmlExtension->setChecked(settings::isSet(r.OutputExtHTML));
  m_ignoreTags->setChecked(settings::isSet(r.TextIgnoreTags));
  showColours();
  m_useBackgroundImage->setChecked(settings::isSet(r.CheckBackground));
  m_backgroundImage->setText(toQString(r.HTMLBackGround));
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
    m_services.messages.critical(this, QStringLiteral("Morlavin"), toQString(saved.message()));
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
  if (const auto path = m_services.fileDialogs.openProgram(this, QStringLiteral("実行可能ファイル"))) {
    m_translator->setText(*path);
  }
}

void PreferencesDialog::showHelp() { m_services.help.showTopic(kPreferencesHelpContext); }

void PreferencesDialog::preview() {
  if (const Status status = program::writePreview(m_services.previewDirectory, valuesFromControls()); !status.ok()) {
    m_services.messages.critical(this, QStringLiteral("エラー"), toQString(status.message()));
    return;
  }
  // The page is written; the user is told why no browser shows it.
  const std::string page = program::previewPath(m_services.previewDirectory);
  if (const Status opened = m_services.launcher.openDocument(page, m_services.previewDirectory); !opened.ok()) {
    const std::string what = std::string(morlavin::texts::program::kPreviewNotOpened) + page;
    m_services.messages.exclamation(this, QStringLiteral("Morlavin"), toQString(opened.rephrased(what).message()));
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
