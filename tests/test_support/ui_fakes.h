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

struct RecordedBox {
  QString icon;  // "plain", "exclamation" or "critical"
  QString title;
  QString text;
};

struct FakeMessageBoxes : ui::MessageBoxes {
  void plain(QWidget*, const QString& title, const QString& text) override { boxes.push_back({"plain", title, text}); }
  void exclamation(QWidget*, const QString& title, const QString& text) override {
    boxes.push_back({"exclamation", title, text});
  }
  void critical(QWidget*, const QString& title, const QString& text) override {
    boxes.push_back({"critical", title, text});
  }
  // The `i`th box as one line: "icon title text".
  std::string shown(std::size_t i = 0) const {
    const RecordedBox& box = boxes.at(i);
    return (box.icon + " " + box.title + " " + box.text).toStdString();
  }
  std::vector<RecordedBox> boxes;
};

// Answers each dialog with `answer` (nullopt: the user cancels).
struct FakeFileDialogs : ui::FileDialogs {
  std::optional<QString> openFile(QWidget*, const QString& filter, const QString& preselected) override {
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
  std::vector<int> requests;  // -1 for the topics list
};

}  // namespace morlavin::test
