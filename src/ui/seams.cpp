// The real message boxes and file dialogs.
#include "ui/seams.h"

#include <QFileDialog>
#include <QMessageBox>

namespace morlavin::ui {
namespace {

void show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
  QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace

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
  dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace morlavin::ui
