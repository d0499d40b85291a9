// Stand-ins for the windows' seams: they answer at once and keep every call,
// so that widget tests never block on a modal window. The core's are in
// core_fakes.h.
#pragma once

#include <QString>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "test_support/core_fakes.h"
#include "ui/seams.h"

// Failures show texts, not arrays of UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace morlavin::test {

// Keeps each box as one line: "icon title text", the icon being "plain", "exclamation" or
// "critical".
struct FakeMessageBoxes : ui::MessageBoxes {
  void plain(QWidget*, const QString& title, const QString& text) override {
    add("plain", title, text);
  }
  void exclamation(QWidget*, const QString& title, const QString& text) override {
    add("exclamation", title, text);
  }
  void critical(QWidget*, const QString& title, const QString& text) override {
    add("critical", title, text);
  }
  void add(const QString& icon, const QString& title, const QString& text) {
    boxes.push_back((icon + " " + title + " " + text).toStdString());
  }
  // Every box shown, one after another: "" when there was none.
  std::string shown() const {
    std::string all;
    for (const std::string& box : boxes) all += (all.empty() ? "" : "\n") + box;
    return all;
  }
  std::vector<std::string> boxes;
};

// Answers each dialog with `answer` (nullopt: the user cancels).
struct FakeFileDialogs : ui::FileDialogs {
  std::optional<QString> openFile(QWidget*, const QString& filter,
                                  const QString& preselected) override {
    filters.push_back(filter);
    preselections.push_back(preselected);
    return answer;
  }
  std::optional<QString> openProgram(QWidget*, const QString& description) override {
    filters.push_back(description);
    return answer;
  }
  std::optional<QString> answer;
  std::vector<QString> filters;
  std::vector<QString> preselections;
};

struct FakeHelpViewer : ui::HelpViewer {
  void showTopics() override { requests.push_back(-1); }
  void showTopic(int contextNumber) override { requests.push_back(contextNumber); }
  void showReadme() override { requests.push_back(kReadme); }
  static constexpr int kReadme = -2;
  std::vector<int> requests;  // -1 for the topics list, kReadme for the read-me
};

}  // namespace morlavin::test
