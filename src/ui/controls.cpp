// Kept out of line, so that a window's header needs no widget headers.
#include "ui/controls.h"

#include <QPushButton>

namespace morlavin::ui {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* button(QWidget* parent, const char* name, std::string_view caption) {
  auto* pushButton = new QPushButton(fromUtf8(caption), parent);
  pushButton->setObjectName(QLatin1String(name));
  pushButton->setAutoDefault(true);
  return pushButton;
}

}  // namespace morlavin::ui
