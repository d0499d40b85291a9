// The largest file a run accepts, converted through the main window on the
// offscreen platform (click to final status on screen), beside the batch
// converter on the same file: window_bench [RUNS]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <vector>

#include "mainwindow/main_window.h"
#include "sample_text.h"
#include "test_support/core_fakes.h"
#include "ui/seams.h"

namespace {

using namespace morlavin;
using Clock = std::chrono::steady_clock;

struct SilentBoxes : ui::MessageBoxes {
  void plain(QWidget*, const QString&, const QString&) override {}
  void exclamation(QWidget*, const QString&, const QString&) override {}
  void critical(QWidget*, const QString&, const QString& text) override {
    std::fprintf(stderr, "error: %s\n", text.toUtf8().constData());
    std::exit(1);
  }
};
struct NoDialogs : ui::FileDialogs {
  std::optional<QString> openFile(QWidget*, const QString&, const QString&) override { return {}; }
};
struct NoHelp : ui::HelpViewer {
  void showTopics() override {}
  void showTopic(int) override {}
  void showReadme() override {}
};

double milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

void report(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::printf("%-40s min %7.1f ms  median %7.1f ms  max %7.1f ms\n", what, times.front(),
              times[times.size() / 2], times.back());
}

std::vector<double> timeRuns(int runs, const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    run();
    times.push_back(milliseconds(Clock::now() - start));
  }
  return times;
}

void runBatchConverter(const std::string& input) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const char* argv[] = {MORLAVIN_CONVERT, "--quiet", input.c_str(), nullptr};
  pid_t pid = 0;
  int status = 1;
  if (posix_spawn(&pid, MORLAVIN_CONVERT, &actions, nullptr, const_cast<char**>(argv), environ) ==
      0) {
    ::waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (status != 0) std::fprintf(stderr, "morlavin-convert failed\n"), std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

  char directory[] = "/tmp/morlavin-window-bench-XXXXXX";
  if (::mkdtemp(directory) == nullptr) return 1;
  const std::string input = std::string(directory) + "/sample.txt";
  const std::string text = bench::makeSampleText(65535, 80);
  std::ofstream(input, std::ios::binary)
      .write(text.data(), static_cast<std::streamsize>(text.size()));
  std::printf("%s: 65535 lines, %zu bytes, %d runs each\n", input.c_str(), text.size(), runs);

  SilentBoxes boxes;
  NoDialogs dialogs;
  NoHelp help;
  test::FakeLauncher browser;
  settings::SettingsRecord settings;
  mainwindow::SettingsMessageBoxes settingsMessages(boxes);
  const program::StartUp start = program::startUp(directory, {}, settings, settingsMessages);
  mainwindow::MainWindow window(start, settings, {boxes, dialogs, help, browser});
  window.showCentred();
  QApplication::processEvents();
  window.findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(input));
  auto* convert = window.findChild<QPushButton*>("convertButton");
  auto* status = window.findChild<QLabel*>("statusLabel");

  report("window: click to final status", timeRuns(runs, [&] {
           convert->click();
           QApplication::processEvents();  // the final status reaches the screen
           if (!status->text().startsWith(QStringLiteral("テキストを変換しました"))) std::exit(1);
         }));
  report("morlavin-convert --quiet", timeRuns(runs, [&] { runBatchConverter(input); }));

  for (const char* name : {"/sample.txt", "/sample.htm", "/Morlavin.ini"}) {
    ::unlink((directory + std::string(name)).c_str());
  }
  ::rmdir(directory);
  return 0;
}
