// The real message boxes and file dialogs.
#include "ui/seams.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QSortFilterProxyModel>
#include <QWidget>

#include "ui/fixed_windows.h"

namespace morlavin::ui {
namespace {

void show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
  QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
  // File names and messages are never markup, whatever they contain.
  box.setTextFormat(Qt::PlainText);
  withoutMaximizeButton(&box);
  box.exec();
}

// Folders, to move through, and files the user may run. Qt's own executable
// filter hides every entry of the dialog's list, so the choice is made here.
class ProgramsOnly : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files == nullptr) return true;
    const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
    return info.isDir() || info.isExecutable();
  }
};

}  // namespace

// A tooltip that looks like markup is shown as markup; escaped text inside a
// paragraph that keeps its line is always markup, and shows the text as typed.
// A screen reader would read that markup as the description.
void setPlainToolTip(QWidget* widget, const QString& text) {
  widget->setToolTip(
      QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(text.toHtmlEscaped()));
  widget->setAccessibleDescription(text);
}

void QtMessageBoxes::plain(QWidget* parent, const QString& title, const QString& text) {
  show(parent, QMessageBox::NoIcon, title, text);
}

void QtMessageBoxes::exclamation(QWidget* parent, const QString& title, const QString& text) {
  show(parent, QMessageBox::Warning, title, text);
}

void QtMessageBoxes::critical(QWidget* parent, const QString& title, const QString& text) {
  show(parent, QMessageBox::Critical, title, text);
}

std::optional<QString> QtFileDialogs::openFile(QWidget* parent, const QString& filter,
                                               const QString& preselected) {
  QFileDialog dialog(parent, QString(), QString(), filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setOption(QFileDialog::ReadOnly);
  if (!preselected.isEmpty()) dialog.selectFile(preselected);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtFileDialogs::openProgram(QWidget* parent, const QString& description) {
  // The last bracketed group of a filter is its pattern; hiding the details
  // shows the description alone, as the user expects to read it.
  QFileDialog dialog(parent, QString(), QString(), description + QStringLiteral(" (*)"));
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  // The list is filtered by the dialog's own model, which a desktop's native
  // dialog would not use.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setProxyModel(new ProgramsOnly(&dialog));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace morlavin::ui
