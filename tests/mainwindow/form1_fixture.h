// The main window over a scratch program directory, every seam answered by a fake.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "mainwindow/main_window.h"
#include "program/start_up.h"
#include "platform/texts.h"
#include "test_support/temp_dir.h"
#include "test_support/ui_fakes.h"

namespace morlavin::mainwindow {

using test::TempDir;
using test::writeFile;

class Form1 : public testing::Test {
 protected:
  void open(platform::Launcher* use = nullptr, const std::vector<std::string>& arguments = {}) {
    window.reset();
    boxes.boxes.clear();
    start = program::startUp(programDir.path(), arguments, settings, settingsBoxes);
    window = std::make_unique<MainWindow>(start, settings,
                                          Services{boxes, dialogs, help, use ? *use : launcher});
    window->showCentred();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  template <typename T = QWidget>
  T* control(const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
  }
  QLineEdit* line(const char* name) { return control<QLineEdit>(name); }
  // Writes a one-line text file and names it in the file-name box.
  void name(const std::string& path) {
    writeFile(path, "line\r\n");
    line("Text1")->setText(QString::fromStdString(path));
  }
  void convert(const std::string& path) {
    name(path);
    control<QPushButton>("Command2")->click();
  }
  std::string box(std::size_t i = 0) {
    const auto& b = boxes.boxes.at(i);
    return (b.icon + " " + b.title + " " + b.text).toStdString();
  }

  TempDir programDir, work;
  settings::SettingsRecord settings;
  test::FakeMessageBoxes boxes;
  test::FakeFileDialogs dialogs;
  test::FakeHelpViewer help;
  test::FakeLauncher launcher;
  SettingsMessageBoxes settingsBoxes{boxes};
  program::StartUp start;
  std::unique_ptr<MainWindow> window;
};

}  // namespace morlavin::mainwindow
