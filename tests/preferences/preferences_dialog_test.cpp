#include "preferences/preferences_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>

#include "preferences/updown_control.h"
#include "settings/settings_file.h"
#include "test_support/temp_dir.h"
#include "test_support/ui_fakes.h"

namespace morlavin::preferences {
namespace {

using settings::defaultSettings;
using settings::SettingsRecord;

// A program directory with a saved settings file, and the dialog's services.
struct Program {
  explicit Program(const SettingsRecord& initial = defaultSettings()) : record(initial) {
    EXPECT_TRUE(file.saveSettings(record));
    savedFile = test::readFile(file.path());
  }
  std::unique_ptr<PreferencesDialog> openDialog() {
    return std::make_unique<PreferencesDialog>(
        PreferencesServices{record, file, launcher, fileDialogs, boxes, help, dir.path()});
  }
  std::string settingsFileNow() const { return test::readFile(file.path()); }

  test::TempDir dir;
  test::FakeSettingsMessages settingsMessages;
  settings::SettingsFile file{dir.path() + "/", settingsMessages};
  SettingsRecord record;
  std::string savedFile;
  test::FakeLauncher launcher;
  test::FakeFileDialogs fileDialogs;
  test::FakeMessageBoxes boxes;
  test::FakeHelpViewer help;
};

template <class T>
T* child(QWidget* dialog, const char* name) {
  T* widget = dialog->findChild<T*>(QLatin1String(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

QColor base(QWidget* widget) { return widget->palette().color(QPalette::Base); }
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kGrey(0xC0, 0xC0, 0xC0);
QColor buttonFace() { return QApplication::palette().color(QPalette::Button); }

SettingsRecord customRecord() {
  SettingsRecord r = defaultSettings();
  r.Version = 1.62f;
  r.Translator = "/opt/翻訳/tr";
  r.DisableEncodeMetaTag = r.QuitDeleteHTML = r.OutputExtHTML = r.TextIgnoreTags = 1;
  r.ManualBgcolorSet = 1;
  r.Bgcolor = 20;
  r.HTMLBgcolorR = 10;
  r.HTMLBgcolorG = 20;
  r.HTMLBgcolorB = 30;
  r.Textcolor = 41;
  r.HTMLTextcolorR = 1;
  r.HTMLTextcolorG = 2;
  r.HTMLTextcolorB = 3;
  r.CheckBackground = 1;
  r.HTMLBackGround = "背景.gif";
  return r;
}

TEST(PreferencesDialog, FirstStartStateOfEveryControl) {
  Program program;
  const auto dialog = program.openDialog();
  EXPECT_EQ(dialog->windowTitle(), "環境設定");
  for (const char* name : {"chkchar", "chkEndHTML", "chkHTMLExt", "chkTextIgnoreTags", "chkManual",
                           "chkManual2", "chkBkg"}) {
    EXPECT_FALSE(child<QCheckBox>(dialog.get(), name)->isChecked()) << name;
  }
  EXPECT_EQ(child<QLineEdit>(dialog.get(), "Text1")->text(), "");
  const struct {
    const char* list;
    const char* name;
  } lists[] = {{"cboColor(0)", "white"}, {"cboColor(1)", "black"}};
  for (const auto& list : lists) {
    auto* combo = child<QComboBox>(dialog.get(), list.list);
    EXPECT_EQ(combo->currentText(), list.name);
    EXPECT_EQ(combo->count(), 76);
    EXPECT_FALSE(combo->isEditable());
    EXPECT_TRUE(combo->isEnabled());
    EXPECT_EQ(base(combo), kWhite);
  }
  const char* values[] = {"255", "255", "255", "0", "0", "0"};
  for (int i = 0; i < 6; ++i) {
    auto* box = child<QLineEdit>(dialog.get(), qPrintable(QStringLiteral("txtcol(%1)").arg(i)));
    EXPECT_EQ(box->text(), values[i]) << i;
    EXPECT_FALSE(box->isEnabled()) << i;
    EXPECT_EQ(base(box), kGrey) << "value boxes keep their first grey until a switch " << i;
    EXPECT_FALSE(child<QLabel>(dialog.get(), qPrintable(QStringLiteral("Label3(%1)").arg(i)))->isEnabled());
    EXPECT_FALSE(child<UpDownControl>(dialog.get(), qPrintable(QStringLiteral("Updcol(%1)").arg(i)))->isEnabled());
  }
  auto* image = child<QLineEdit>(dialog.get(), "txtBackGround");
  EXPECT_FALSE(image->isEnabled());
  EXPECT_EQ(image->text(), "");
  EXPECT_EQ(base(image), buttonFace());
  EXPECT_TRUE(child<QPushButton>(dialog.get(), "Command1")->isDefault());
  EXPECT_EQ(child<QPushButton>(dialog.get(), "Command2")->text(), "ｷｬﾝｾﾙ");
}

TEST(PreferencesDialog, LoadThenOkGivesBackTheSameRecordAndFile) {
  Program program(customRecord());
  const auto dialog = program.openDialog();
  EXPECT_EQ(child<QComboBox>(dialog.get(), "cboColor(0)")->currentText(), "deenpink");
  EXPECT_EQ(child<QLineEdit>(dialog.get(), "txtcol(1)")->text(), "20");
  EXPECT_TRUE(child<QLineEdit>(dialog.get(), "txtBackGround")->isEnabled());
  EXPECT_EQ(base(child<QLineEdit>(dialog.get(), "txtcol(0)")), kWhite);
  EXPECT_FALSE(child<QComboBox>(dialog.get(), "cboColor(0)")->isEnabled());
  QTest::mouseClick(child<QPushButton>(dialog.get(), "Command1"), Qt::LeftButton);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(program.record, customRecord());
  EXPECT_EQ(program.settingsFileNow(), program.savedFile);
}

// Cancel and the close box discard every edit, whatever was touched.
TEST(PreferencesDialog, CancelAndCloseBoxChangeNothing) {
  for (const bool useCloseBox : {false, true}) {
    SCOPED_TRACE(useCloseBox ? "close box" : "cancel");
    Program program(customRecord());
    const auto dialog = program.openDialog();
    dialog->show();
    child<QLineEdit>(dialog.get(), "Text1")->setText("/bin/other");
    child<QCheckBox>(dialog.get(), "chkchar")->click();
    child<QCheckBox>(dialog.get(), "chkManual")->click();
    child<QComboBox>(dialog.get(), "cboColor(1)")->setCurrentIndex(3);
    child<UpDownControl>(dialog.get(), "Updcol(4)")->setValue(99);
    child<QLineEdit>(dialog.get(), "txtBackGround")->setText("other.gif");
    program.fileDialogs.answer = QStringLiteral("/usr/bin/chosen");
    QTest::mouseClick(child<QPushButton>(dialog.get(), "Command3"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(dialog.get(), "Text1")->text(), "/usr/bin/chosen");
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible()) << "Escape closes nothing";
    if (useCloseBox) {
      dialog->close();
    } else {
      QTest::mouseClick(child<QPushButton>(dialog.get(), "Command2"), Qt::LeftButton);
    }
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(program.record, customRecord());
    EXPECT_EQ(program.settingsFileNow(), program.savedFile);
  }
}

TEST(PreferencesDialog, DefaultsButtonWritesTheColoursAtOnceAndNothingElse) {
  Program program(customRecord());
  const auto dialog = program.openDialog();
  QTest::mouseClick(child<QPushButton>(dialog.get(), "Command4"), Qt::LeftButton);
  EXPECT_EQ(child<QComboBox>(dialog.get(), "cboColor(0)")->currentText(), "white");
  EXPECT_FALSE(child<QCheckBox>(dialog.get(), "chkManual")->isChecked());
  EXPECT_EQ(child<QLineEdit>(dialog.get(), "txtcol(0)")->text(), "255");
  EXPECT_EQ(child<QLineEdit>(dialog.get(), "txtcol(5)")->text(), "0");
  EXPECT_TRUE(child<QCheckBox>(dialog.get(), "chkchar")->isChecked());
  EXPECT_TRUE(child<QCheckBox>(dialog.get(), "chkBkg")->isChecked());
  EXPECT_EQ(child<QLineEdit>(dialog.get(), "txtBackGround")->text(), "背景.gif");
  EXPECT_EQ(child<QLineEdit>(dialog.get(), "Text1")->text(), "/opt/翻訳/tr");
  QTest::mouseClick(child<QPushButton>(dialog.get(), "Command2"), Qt::LeftButton);

  SettingsRecord expected = customRecord();
  settings::resetColours(expected);
  EXPECT_EQ(program.record, expected) << "default colours stay in force after Cancel";
  EXPECT_EQ(program.settingsFileNow(), program.savedFile) << "and reach the file only with OK";
}

TEST(PreferencesDialog, ManualSwitchEnablesEachGroupOnItsOwn) {
  Program program;
  const auto dialog = program.openDialog();
  auto* backgroundList = child<QComboBox>(dialog.get(), "cboColor(0)");
  backgroundList->setCurrentIndex(20);
  child<QCheckBox>(dialog.get(), "chkManual")->click();
  EXPECT_FALSE(backgroundList->isEnabled());
  EXPECT_EQ(base(backgroundList), buttonFace());
  for (int i = 0; i < 6; ++i) {
    const bool background = i < 3;
    auto* box = child<QLineEdit>(dialog.get(), qPrintable(QStringLiteral("txtcol(%1)").arg(i)));
    EXPECT_EQ(box->isEnabled(), background) << i;
    EXPECT_EQ(base(box), background ? kWhite : kGrey) << i;
    EXPECT_EQ(child<UpDownControl>(dialog.get(), qPrintable(QStringLiteral("Updcol(%1)").arg(i)))->isEnabled(),
              background);
    EXPECT_EQ(child<QLabel>(dialog.get(), qPrintable(QStringLiteral("Label3(%1)").arg(i)))->isEnabled(), background);
  }
  EXPECT_TRUE(child<QComboBox>(dialog.get(), "cboColor(1)")->isEnabled());

  child<QCheckBox>(dialog.get(), "chkManual")->click();
  EXPECT_TRUE(backgroundList->isEnabled());
  EXPECT_EQ(backgroundList->currentText(), "deenpink") << "the earlier choice comes back";
  EXPECT_EQ(base(child<QLineEdit>(dialog.get(), "txtcol(0)")), buttonFace());
  child<QCheckBox>(dialog.get(), "chkManual2")->click();
  EXPECT_FALSE(child<QComboBox>(dialog.get(), "cboColor(1)")->isEnabled());
  EXPECT_TRUE(child<QLabel>(dialog.get(), "Label3(5)")->isEnabled());
  EXPECT_TRUE(backgroundList->isEnabled());

  auto* image = child<QLineEdit>(dialog.get(), "txtBackGround");
  image->setText("keep.gif");
  child<QCheckBox>(dialog.get(), "chkBkg")->click();
  EXPECT_EQ(base(image), kWhite);
  child<QCheckBox>(dialog.get(), "chkBkg")->click();
  EXPECT_FALSE(image->isEnabled());
  EXPECT_EQ(image->text(), "keep.gif");
}

// Holds an arrow of `upDown` until the value stops moving; returns the values it took.
std::vector<int> holdArrow(UpDownControl* upDown, bool up) {
  std::vector<int> values;
  const auto connection = QObject::connect(upDown, &UpDownControl::valueChanged,
                                           [&values](int value) { values.push_back(value); });
  upDown->setRepeatTiming(1, 1);
  const int limit = up ? upDown->maximum() : upDown->minimum();
  QTest::mousePress(upDown, Qt::LeftButton, {}, QPoint(upDown->width() / 2, up ? 1 : upDown->height() - 2));
  EXPECT_TRUE(QTest::qWaitFor([&] { return upDown->value() == limit; }, 10000));
  QTest::mouseRelease(upDown, Qt::LeftButton, {}, QPoint(upDown->width() / 2, 1));
  QObject::disconnect(connection);
  return values;
}

TEST(PreferencesDialog, HeldArrowsStepByTenOnceTwentyAway) {
  Program program;
  const auto dialog = program.openDialog();
  dialog->show();
  child<QCheckBox>(dialog.get(), "chkManual")->click();
  child<QCheckBox>(dialog.get(), "chkManual2")->click();

  std::vector<int> upFromZero;
  for (int v = 1; v <= 21; ++v) upFromZero.push_back(v);
  for (int v = 31; v <= 251; v += 10) upFromZero.push_back(v);
  upFromZero.push_back(255);
  auto* red = child<UpDownControl>(dialog.get(), "Updcol(3)");
  EXPECT_EQ(holdArrow(red, true), upFromZero);
  EXPECT_EQ(child<QLineEdit>(dialog.get(), "txtcol(3)")->text(), "255");
  EXPECT_EQ(red->step(), 1) << "a release goes back to single steps";

  // A loaded 255 was compared with 0: its first steps are ten wide until a release.
  auto* blue = child<UpDownControl>(dialog.get(), "Updcol(2)");
  EXPECT_EQ(blue->step(), 10);
  EXPECT_EQ(holdArrow(blue, false).front(), 245);

  blue->setValue(255);
  QTest::mouseClick(blue, Qt::LeftButton, {}, QPoint(blue->width() / 2, 1));  // a press and release at the top
  std::vector<int> downFrom255;
  for (int v = 254; v >= 234; --v) downFrom255.push_back(v);
  for (int v = 224; v >= 4; v -= 10) downFrom255.push_back(v);
  downFrom255.push_back(0);
  EXPECT_EQ(holdArrow(blue, false), downFrom255);
}

TEST(PreferencesDialog, PreviewShowsTheControlsAndIsRemovedOnClose) {
  const struct {
    const char* name;
    void (*setUp)(QWidget*);
    const char* bodyLine;
  } cases[] = {
      {"manual background, named text",
       [](QWidget* d) { child<QCheckBox>(d, "chkManual")->click(); },
       "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"black\">"},
      {"named background, manual text, image",
       [](QWidget* d) {
         child<QCheckBox>(d, "chkManual2")->click();
         child<UpDownControl>(d, "Updcol(5)")->setValue(128);
         child<QCheckBox>(d, "chkBkg")->click();
         child<QLineEdit>(d, "txtBackGround")->setText("bg.gif");
       },
       "<BODY BGCOLOR=\"white\" TEXT=\"#000080\" BACKGROUND=\"bg.gif\">"},
  };
  for (const char* closer : {"Command1", "Command2", "close box"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " / " + closer);
      Program program;
      auto dialog = program.openDialog();
      dialog->show();
      c.setUp(dialog.get());
      auto* preview = child<QPushButton>(dialog.get(), "cmdPreview");
      QTest::mouseClick(preview, Qt::LeftButton);
      QTest::mouseClick(preview, Qt::LeftButton);
      const std::string path = program.dir.file("~mlvpre.htm");
      EXPECT_EQ(test::readFile(path),
                std::string("<HTML>\r\n<HEAD><TITLE>Color Preview</TITLE></HEAD>\r\n") + c.bodyLine +
                    "\r\n<P ALIGN=CENTER><FONT SIZE=6><B><I>Color Sample</I></B></FONT></P>\r\n</BODY></HTML>\r\n");
      ASSERT_EQ(program.launcher.documents.size(), 2u);
      EXPECT_EQ(program.launcher.documents[0].file, path);
      EXPECT_EQ(program.launcher.documents[0].workingDirectory, program.dir.path());
      if (std::string(closer) == "close box") {
        dialog->close();
      } else {
        QTest::mouseClick(child<QPushButton>(dialog.get(), closer), Qt::LeftButton);
      }
      dialog.reset();
      EXPECT_FALSE(std::filesystem::exists(path));
      EXPECT_TRUE(program.boxes.boxes.empty());
    }
  }
}

TEST(PreferencesDialog, HelpAsksForTheDialogsTopic) {
  Program program;
  const auto dialog = program.openDialog();
  QTest::mouseClick(child<QPushButton>(dialog.get(), "Command5"), Qt::LeftButton);
  EXPECT_EQ(program.help.requests, std::vector<int>{15});
}

}  // namespace
}  // namespace morlavin::preferences
