#include "preferences/preferences_dialog.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "preferences/updown_control.h"
#include "program/preview.h"
#include "settings/settings_file.h"
#include "test_support/case_table.h"
#include "test_support/settings_rows.h"
#include "test_support/temp_dir.h"
#include "test_support/ui_fakes.h"

namespace morlavin::preferences {
namespace {

using settings::defaultSettings;
using settings::SettingsRecord;

const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kGrey(0xC0, 0xC0, 0xC0);
QColor buttonFace() { return QApplication::palette().color(QPalette::Button); }
QColor base(QWidget* widget) { return widget->palette().color(QPalette::Base); }
// The text a label draws: markup shows as its rendered text.
QString shown(const QLabel* label) {
  const auto* document = label ? label->findChild<QTextDocument*>() : nullptr;
  return document ? document->toPlainText() : label ? label->text() : QString();
}

// That `widget` looks as tests/data/preferences/`name`.png shows it; a
// different drawing is saved among the temporary files to be looked at.
void expectDrawnAs(QWidget* widget, const QString& name) {
  const QImage drawn = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage golden(QStringLiteral(MORLAVIN_TEST_DATA "/preferences/%1.png").arg(name));
  const QString saved = QDir::temp().filePath(name + QStringLiteral(".png"));
  EXPECT_TRUE(drawn == golden.convertToFormat(QImage::Format_RGB32) || !drawn.save(saved))
      << name.toStdString() << " is drawn otherwise: " << saved.toStdString();
}

// A program directory with a saved settings file, and the dialog open on it.
struct Program {
  explicit Program(const SettingsRecord& initial = defaultSettings()) : record(initial) {
    EXPECT_TRUE(file.saveSettings(record).ok());
    savedFile = fileNow();
    dialog = std::make_unique<PreferencesDialog>(
        PreferencesServices{record, file, launcher, fileDialogs, boxes, help, dir.path()}, nullptr);
    dialog->show();
  }
  std::string fileNow() const { return test::readFile(file.path()); }
  // The dialog's control of that name.
  template <class T = QWidget>
  T* at(const QString& name) {
    T* widget = dialog->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
  }
  void click(const char* name) { QTest::mouseClick(at<QAbstractButton>(name), Qt::LeftButton); }

  test::TempDir dir;
  test::FakeSettingsMessages settingsMessages;
  settings::SettingsFile file{dir.path() + "/", settingsMessages};
  SettingsRecord record;
  std::string savedFile;
  test::FakeLauncher launcher;
  test::FakeFileDialogs fileDialogs;
  test::FakeMessageBoxes boxes;
  test::FakeHelpViewer help;
  std::unique_ptr<PreferencesDialog> dialog;
};

const SettingsRecord kCustom = test::with({{"Version", "1.62"},
                                           {"Translator", "/opt/翻訳/tr"},
                                           {"DisableEncodeMetaTag", "1"},
                                           {"QuitDeleteHTML", "1"},
                                           {"OutputExtHTML", "1"},
                                           {"TextIgnoreTags", "1"},
                                           {"ManualBgcolorSet", "1"},
                                           {"Bgcolor", "20"},
                                           {"Textcolor", "41"},
                                           {"HTMLBgcolorR", "10"},
                                           {"HTMLBgcolorG", "20"},
                                           {"HTMLBgcolorB", "30"},
                                           {"HTMLTextcolorR", "1"},
                                           {"HTMLTextcolorG", "2"},
                                           {"HTMLTextcolorB", "3"},
                                           {"CheckBackground", "1"},
                                           {"HTMLBackGround", "背景.gif"}});

// Every value reaches its control and comes back unchanged through OK; Cancel
// and the close box discard every edit, whatever was touched. Choices that
// cannot be saved still hold for the run; the user reads why once.
TEST(PreferencesDialog, OkGivesBackTheRecordEvenUnsavedCancelAndCloseBoxDiscardEdits) {
  struct Row {
    SettingsRecord record;
    std::string closer;
  };
  for (const Row& row :
       {Row{defaultSettings(), "okButton"}, Row{kCustom, "okButton"}, Row{kCustom, "Return"},
        Row{kCustom, "cancelButton"}, Row{kCustom, "close box"}}) {
    SCOPED_TRACE(row.closer);
    Program p(row.record);
    const bool ok = row.closer == "okButton" || row.closer == "Return";
    if (!ok) {
      p.at<QLineEdit>("translatorEdit")->setText("/bin/other");
      p.click("noCharsetMetaBox");
      p.click("backgroundManualBox");
      p.at<QComboBox>("textColourList")->setCurrentIndex(3);
      p.at<UpDownControl>("textGreenUpDown")->setValue(99);
      p.at<QLineEdit>("backgroundImageEdit")->setText("other.gif");
      p.fileDialogs.answer = QStringLiteral("/usr/bin/chosen");
      p.click("browseButton");
      EXPECT_EQ(p.at<QLineEdit>("translatorEdit")->text() + p.fileDialogs.filters.at(0),
                "/usr/bin/chosen実行可能ファイル");
      QTest::keyClick(p.dialog.get(), Qt::Key_Escape);
      EXPECT_TRUE(p.dialog->isVisible()) << "Escape closes nothing";
    }
    if (row.closer == "Return") {
      QTest::keyClick(p.at("deleteOnExitBox"), Qt::Key_Return);  // outside a button: OK
    } else {
      row.closer == "close box" ? (void)p.dialog->close() : p.click(row.closer.c_str());
    }
    EXPECT_EQ(p.dialog->result(), ok ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_EQ(p.record, row.record);
    EXPECT_EQ(p.fileNow(), p.savedFile);
  }
  // Loaded values are compared with 0: 20 is near enough for single steps, 30 is not.
  Program p(kCustom);
  EXPECT_EQ(p.at<UpDownControl>("backgroundGreenUpDown")->step() * 100 +
                p.at<UpDownControl>("backgroundBlueUpDown")->step(),
            110);
  p.at<QLineEdit>("translatorEdit")->setText("/opt/〜/tr");
  p.click("okButton");
  EXPECT_EQ(p.record.Translator, "/opt/〜/tr");
  EXPECT_EQ(p.boxes.shown(), "critical Morlavin " + p.file.saveSettings(p.record).message());
  EXPECT_TRUE(p.settingsMessages.failures.empty());
}

TEST(PreferencesDialog, DefaultsButtonWritesTheColoursAtOnceAndNothingElse) {
  Program p(kCustom);
  p.click("defaultColoursButton");
  EXPECT_EQ(p.at<QComboBox>("backgroundColourList")->currentText() +
                p.at<QLineEdit>("backgroundRedEdit")->text(),
            "white255");
  EXPECT_TRUE(!p.at<QCheckBox>("backgroundManualBox")->isChecked() &&
              p.at<QCheckBox>("backgroundImageBox")->isChecked());
  EXPECT_EQ(
      p.at<QLineEdit>("translatorEdit")->text() + p.at<QLineEdit>("backgroundImageEdit")->text(),
      "/opt/翻訳/tr背景.gif");
  p.click("cancelButton");
  SettingsRecord expected = kCustom;
  settings::resetColours(expected);
  EXPECT_EQ(p.record, expected) << "default colours stay in force after Cancel";
  EXPECT_EQ(p.fileNow(), p.savedFile) << "and reach the file only with OK";
}

// Idle, and with each arrow held: the held one sunken.
TEST(PreferencesDialog, UpDownDrawsTwoArrowButtons) {
  UpDownControl upDown;
  upDown.resize(upDown.sizeHint());
  upDown.show();
  for (const auto& [state, y] : {std::pair{"idle", -1}, {"up", 2}, {"down", 19}}) {
    if (y >= 0) QTest::mousePress(&upDown, Qt::LeftButton, {}, QPoint(8, y));
    expectDrawnAs(&upDown, QStringLiteral("updown-%1").arg(state));
    if (y >= 0) QTest::mouseRelease(&upDown, Qt::LeftButton, {}, QPoint(8, y));
  }
}

// Each group's manual switch trades its list for its value boxes; the boxes
// are grey until a switch is first used, the image box until it is toggled.
TEST(PreferencesDialog, SwitchesEnableEachGroupOnItsOwnAndTextsShowAsWritten) {
  Program p;
  // Every control where the picture has it, with its first value.
  QApplication::setCursorFlashTime(0);  // the text cursor shown, not blinking
  expectDrawnAs(p.dialog.get(), QStringLiteral("dialog"));
  EXPECT_EQ(p.dialog->windowTitle(), "環境設定");
  const auto fixedWithoutMaximize = [](const QWidget* window) {
    return window->minimumSize() == window->maximumSize() &&
           !(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  };
  EXPECT_TRUE(fixedWithoutMaximize(p.dialog.get()));
  // Only the main window waits: a help window, open before or after, still takes keys.
  EXPECT_EQ(p.dialog->windowModality(), Qt::WindowModal);
  p.click("helpButton");
  EXPECT_EQ(p.help.requests, std::vector<int>{15}) << "help asks for the dialog's own topic";
  EXPECT_EQ(p.at<QPushButton>("cancelButton")->text(), "ｷｬﾝｾﾙ");
  // A group's list, then its value boxes with their up-downs and labels.
  const auto expectGroup = [&p](const QString& group, bool manual, const QColor& boxesOff) {
    auto* list = p.at<QComboBox>(group + "ColourList");
    EXPECT_TRUE(list->isEnabled() != manual && !list->isEditable()) << group.toStdString();
    EXPECT_EQ(list->palette().color(QPalette::Button), manual ? buttonFace() : kWhite)
        << group.toStdString();
    const QString caption = p.at<QLabel>(group + "ColourLabel")->text();
    const auto labels = QAccessible::queryAccessibleInterface(list)->relations(QAccessible::Label);
    EXPECT_TRUE(!labels.isEmpty() && labels[0].first->object() == p.at(group + "ColourLabel"));
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(list)->text(QAccessible::Name) == caption &&
                list->view()->accessibleName() == caption)
        << "read out, shut and open";
    for (const char* component : {"Red", "Green", "Blue"}) {
      const QString name = group + component;
      EXPECT_EQ(base(p.at(name + "Edit")), manual ? kWhite : boxesOff) << name.toStdString();
      for (const char* control : {"Edit", "UpDown", "Label"})
        EXPECT_EQ(p.at(name + control)->isEnabled(), manual) << name.toStdString() << control;
    }
  };
  expectGroup("background", false, kGrey);
  expectGroup("text", false, kGrey);
  auto* list = p.at<QComboBox>("backgroundColourList");
  QAccessibleActionInterface* opens =
      QAccessible::queryAccessibleInterface(list)->actionInterface();
  opens->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(list->view()->isVisible() && (list->hidePopup(), true)) << "a screen reader opens it";
  list->setCurrentIndex(20);
  p.click("backgroundManualBox");
  expectGroup("background", true, kGrey);
  expectGroup("text", false, kGrey);
  p.click("backgroundManualBox");
  EXPECT_EQ(p.at<QComboBox>("backgroundColourList")->currentText(), "deeppink")
      << "the earlier choice comes back";
  p.click("textManualBox");
  expectGroup("background", false, buttonFace());
  expectGroup("text", true, kGrey);

  auto* image = p.at<QLineEdit>("backgroundImageEdit");
  EXPECT_FALSE(image->isEnabled());
  EXPECT_EQ(base(image), QApplication::palette().color(QPalette::Active, QPalette::Base));
  image->setText("keep.gif");
  p.click("backgroundImageBox");
  EXPECT_EQ(base(image), kWhite);
  p.click("backgroundImageBox");
  EXPECT_TRUE(!image->isEnabled() && image->text() == "keep.gif" && base(image) == buttonFace());

  // What the user reads is the text as written, also where it looks like markup.
  for (const auto& [name, tip] :
       {std::pair{"noCharsetMetaBox", "変換する時文字コード用の<META>タグを追加しません。"},
        std::pair{"ignoreTagsBox", "変換中、<BR>などのタグを認識しないようにします。"},
        std::pair{"textColourList", "文字色を設定します。"},
        std::pair{"previewButton", "表示プレビューを"},
        std::pair{"defaultColoursButton", "HTML設定を初期に戻します"}}) {
    QWidget* control = p.at(name);
    QHelpEvent hover(QEvent::ToolTip, QPoint(4, 4), control->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(control, &hover);
    QLabel* label = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->objectName() == "qtooltip_label" && window->isVisible())
        label = qobject_cast<QLabel*>(window);
    EXPECT_EQ(shown(label), QString::fromUtf8(tip)) << name;
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Description),
              QString::fromUtf8(tip))
        << "a screen reader reads it as written too";
  }
  for (const auto kind :
       {&ui::MessageBoxes::plain, &ui::MessageBoxes::exclamation, &ui::MessageBoxes::critical}) {
    QString message;
    QTimer::singleShot(0, [&message, &fixedWithoutMaximize] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      message = shown(box ? box->findChild<QLabel*>("qt_msgbox_label") : nullptr);
      EXPECT_TRUE(box && fixedWithoutMaximize(box));
      if (box) box->accept();
    });
    (ui::QtMessageBoxes().*kind)(nullptr, "エラー", "ファイルを開けません: /tmp/a<br>b.txt");
    EXPECT_EQ(message, "ファイルを開けません: /tmp/a<br>b.txt");
  }
}

// Holds an arrow of `upDown` until the value stops moving; returns the values it took.
std::vector<int> holdArrow(UpDownControl* upDown, bool up) {
  std::vector<int> values;
  const auto connection = QObject::connect(upDown, &UpDownControl::valueChanged,
                                           [&values](int value) { values.push_back(value); });
  upDown->setRepeatTiming(1, 1);
  const int limit = up ? upDown->maximum() : upDown->minimum();
  QTest::mousePress(upDown, Qt::LeftButton, {},
                    QPoint(upDown->width() / 2, up ? 1 : upDown->height() - 2));
  EXPECT_TRUE(QTest::qWaitFor([&] { return upDown->value() == limit; }, 10000));
  QTest::mouseRelease(upDown, Qt::LeftButton, {}, QPoint(upDown->width() / 2, 1));
  QObject::disconnect(connection);
  return values;
}

// `values`, then from, from + step, … through, then `last` when it is given.
std::vector<int> steps(std::vector<int> values, int from, int through, int step, int last = -1) {
  for (int v = from; step > 0 ? v <= through : v >= through; v += step) values.push_back(v);
  if (last >= 0) values.push_back(last);
  return values;
}

// The preview shows the controls as they stand, and goes with the dialog; one
// that cannot be written is reported and not opened.
TEST(PreferencesDialog, HeldArrowsStepByTenAndPreviewShowsTheControls) {
  Program p;
  const std::string path = p.dir.file("~mlvpre.htm");
  std::filesystem::create_directory(path);
  p.click("previewButton");
  EXPECT_EQ(p.boxes.shown(),
            "critical エラー " + program::writePreview(p.dir.path(), defaultSettings()).message());
  EXPECT_TRUE(p.launcher.documents.empty());
  std::filesystem::remove(path);
  p.click("backgroundManualBox");
  p.click("textManualBox");
  // A held arrow steps by ten once twenty away.
  auto* red = p.at<UpDownControl>("textRedUpDown");
  EXPECT_EQ(holdArrow(red, true), steps(steps({}, 1, 21, 1), 31, 251, 10, 255));
  EXPECT_EQ(red->step(), 1) << "a release goes back to single steps";
  // A screen reader hears the box's name, the value, range and step, and its
  // actions step once each way, as a click does at once; the right button does nothing.
  QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(red);
  const QAccessibleValueInterface* told = spoken->valueInterface();
  EXPECT_EQ(QStringList({spoken->text(QAccessible::Name), told->minimumValue().toString(),
                         told->maximumValue().toString(), told->minimumStepSize().toString()}),
            QStringList({p.at("textRedEdit")->accessibleName(), "0", "255", "1"}));
  QAccessibleActionInterface* actions = spoken->actionInterface();
  for (const QString& action :
       {actions->increaseAction(), actions->decreaseAction(), actions->decreaseAction()})
    actions->doAction(action);
  QTest::mouseClick(red, Qt::LeftButton, {}, QPoint(red->width() / 2, 1));
  QTest::mouseClick(red, Qt::RightButton, {}, QPoint(red->width() / 2, 1));
  EXPECT_EQ(p.at<QLineEdit>("textRedEdit")->text() + " " + spoken->text(QAccessible::Value),
            "254 254");

  // The loaded 255 was there already, so no change: single steps from the first press.
  EXPECT_EQ(holdArrow(p.at<UpDownControl>("backgroundBlueUpDown"), false),
            steps(steps({}, 254, 234, -1), 224, 4, -10, 0));
  p.at<UpDownControl>("textBlueUpDown")->setValue(128);
  p.click("backgroundImageBox");
  p.at<QLineEdit>("backgroundImageEdit")->setText("bg.gif");
  p.click("previewButton");
  p.click("previewButton");
  EXPECT_NE(test::readFile(path).find(
                "\r\n<BODY BGCOLOR=\"#FFFF00\" TEXT=\"#FE0080\" BACKGROUND=\"bg.gif\">\r\n"),
            std::string::npos);
  ASSERT_EQ(p.launcher.documents.size(), 2u);
  EXPECT_EQ(p.launcher.documents[0].file + " in " + p.launcher.documents[0].workingDirectory,
            path + " in " + p.dir.path());
  // A desktop that cannot open it says why.
  p.launcher.openResult = Status::error(StatusCode::kNotFound, "開けません: " + path,
                                        "開くためのアプリケーションが見つかりません");
  p.boxes.boxes.clear();
  p.click("previewButton");
  EXPECT_EQ(p.boxes.shown(), "exclamation Morlavin プレビューを作成しましたが、開けませんでした: " +
                                 path + " (開くためのアプリケーションが見つかりません)");
  p.click("cancelButton");
  p.dialog.reset();
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(p.boxes.boxes.size(), 1u);
}

// The real dialog on a folder holding a program, a text and a folder.
TEST(PreferencesDialog, TranslatorBrowserListsFoldersAndPrograms) {
  test::TempDir dir;
  test::writeFile(dir.file("tr"), "#!/bin/sh\n");
  std::filesystem::permissions(dir.file("tr"), std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  test::writeFile(dir.file("notes.txt"), "text");
  std::filesystem::create_directory(dir.file("sub"));
  QStringList listed;
  QString filter;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    dialog->setDirectory(QString::fromStdString(dir.path()));
    auto* files = dialog->findChild<QFileSystemModel*>();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return files->rowCount(files->index(QString::fromStdString(dir.path()))) == 3; }));
    auto* view = dialog->findChild<QListView*>("listView");
    for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
      listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
    filter = dialog->findChild<QComboBox*>("fileTypeCombo")->currentText();
    dialog->reject();
  });
  EXPECT_FALSE(ui::QtFileDialogs().openProgram(nullptr, "実行可能ファイル"));
  listed.sort();
  EXPECT_EQ(listed, QStringList({"sub", "tr"}));
  EXPECT_EQ(filter, "実行可能ファイル");
}

}  // namespace
}  // namespace morlavin::preferences
