// The windows' doors to the outside: message boxes, file dialogs and help.
// The program's windows receive these as interfaces so that tests answer them
// without ever blocking on a modal window.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace morlavin::ui {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Modal boxes with an OK button: no icon, the exclamation icon, the
  // critical-stop icon.
  virtual void plain(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void exclamation(QWidget* parent, const QString& title, const QString& text) = 0;
  virtual void critical(QWidget* parent, const QString& title, const QString& text) = 0;
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // A modal file-open dialog with one filter entry ("Description (*.txt)"),
  // showing `preselected` when it is not empty. nullopt when cancelled.
  virtual std::optional<QString> openFile(QWidget* parent, const QString& filter,
                                          const QString& preselected) = 0;
  // A file-open dialog for a program, its one entry described as `description`.
  // Programs here carry no extension, so the dialog offers executable files
  // whatever their name.
  virtual std::optional<QString> openProgram(QWidget* parent, const QString& description) {
    return openFile(parent, description, QString());
  }
};

// The program's help: its topics list, or one topic by context number; and
// its read-me, a text file shown as it is written.
class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  virtual void showTopics() = 0;
  virtual void showTopic(int contextNumber) = 0;
  virtual void showReadme() = 0;
};

// Gives `widget` a tooltip that shows `text` exactly as written, even where it
// looks like markup ("<META>"), and a screen reader the same text.
void setPlainToolTip(QWidget* widget, const QString& text);

class QtMessageBoxes : public MessageBoxes {
 public:
  void plain(QWidget* parent, const QString& title, const QString& text) override;
  void exclamation(QWidget* parent, const QString& title, const QString& text) override;
  void critical(QWidget* parent, const QString& title, const QString& text) override;
};

class QtFileDialogs : public FileDialogs {
 public:
  std::optional<QString> openFile(QWidget* parent, const QString& filter,
                                  const QString& preselected) override;
  std::optional<QString> openProgram(QWidget* parent, const QString& description) override;
};

}  // namespace morlavin::ui
