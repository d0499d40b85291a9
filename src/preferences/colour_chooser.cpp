// The manual switch, the up-downs' step acceleration, and the colour list as a
// screen reader meets it.
#include "preferences/colour_chooser.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

#include "platform/texts.h"
#include "preferences/updown_control.h"
#include "settings/flags.h"
#include "settings/settings_record.h"
#include "ui/controls.h"

namespace morlavin::preferences {
namespace {

using ui::fromUtf8;

constexpr int kAccelerationDistance = 20;
constexpr int kFastStep = 10;
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kInitialBoxGrey(0xC0, 0xC0, 0xC0);

constexpr char kNamedByGroup[] = "morlavinNamedByGroup";

// Qt names a list box that takes no typing after its current entry, and
// leaves out the name it is given. This one is named by its group and tells
// the entry as its value; the open list is its child, and pressing opens it.
class AccessibleColourList : public QAccessibleWidget {
 public:
  explicit AccessibleColourList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

  QString text(QAccessible::Text type) const override {
    if (type == QAccessible::Value) return list()->currentText();
    return QAccessibleWidget::text(type);
  }
  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child->object() == list()->view() ? 0 : -1;
  }
  QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
  void doAction(const QString& name) override {
    if (name != showMenuAction() && name != pressAction()) return;
    if (list()->view()->isVisible()) {
      list()->hidePopup();
    } else {
      list()->showPopup();
    }
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* accessibleColourList(const QString&, QObject* object) {
  auto* list = qobject_cast<QComboBox*>(object);
  if (list == nullptr || !list->property(kNamedByGroup).toBool()) return nullptr;
  return new AccessibleColourList(list);
}

QColor buttonFace() { return QApplication::palette().color(QPalette::Button); }

// Marks a control enabled or disabled by its background, in every state. The
// text of a disabled control stays dark enough to read on the grey.
void setBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, colour);
  palette.setColor(QPalette::Button, colour);
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x60, 0x60, 0x60));
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x60, 0x60, 0x60));
  widget->setPalette(palette);
}

}  // namespace

ColourChooser::ColourChooser(const texts::preferences_dialog::ColourGroup& words, const char* name,
                             std::uint8_t& valueAtPress, QWidget* parent)
    : QObject(parent), m_valueAtPress(valueAtPress) {
  namespace dialog = texts::preferences_dialog;
  const QString prefix = QLatin1String(name);
  const QString colour = fromUtf8(words.colour);
  const QString caption = fromUtf8(words.list.caption);
  m_caption = new QLabel(caption, parent);
  m_caption->setObjectName(prefix + QStringLiteral("ColourLabel"));
  m_caption->setToolTip(fromUtf8(words.list.tooltip));

  m_names = new QComboBox(parent);
  m_names->setObjectName(prefix + QStringLiteral("ColourList"));
  m_names->setToolTip(fromUtf8(words.list.tooltip));
  // Named by the group, not by the colour it shows; the same for the boxes
  // below. The buddy tells the label as a relation too.
  static const bool accessible = (QAccessible::installFactory(accessibleColourList), true);
  (void)accessible;
  m_names->setProperty(kNamedByGroup, true);
  m_caption->setBuddy(m_names);
  m_names->setAccessibleName(caption);
  m_names->view()->setAccessibleName(caption);
  for (const std::string_view colourName : settings::kColorNameList) {
    m_names->addItem(
        QString::fromLatin1(colourName.data(), static_cast<qsizetype>(colourName.size())));
  }
  setBackground(m_names, kWhite);

  m_manual = new QCheckBox(fromUtf8(dialog::kManual), parent);
  m_manual->setObjectName(prefix + QStringLiteral("ManualBox"));
  m_manual->setToolTip(fromUtf8(words.manualTooltip));
  m_manual->setAccessibleName(colour + QStringLiteral(" ") + fromUtf8(dialog::kManual));

  static const QString kComponents[] = {QStringLiteral("Red"), QStringLiteral("Green"),
                                        QStringLiteral("Blue")};
  for (int i = 0; i < 3; ++i) {
    const QString component = prefix + kComponents[i];
    m_componentLabels[i] = new QLabel(fromUtf8(dialog::kComponentCaptions[i]), parent);
    m_componentLabels[i]->setObjectName(component + QStringLiteral("Label"));
    m_componentLabels[i]->setEnabled(false);

    m_boxes[i] = new QLineEdit(QStringLiteral("255"), parent);
    m_boxes[i]->setObjectName(component + QStringLiteral("Edit"));
    m_boxes[i]->setValidator(new QIntValidator(0, 255, m_boxes[i]));
    m_boxes[i]->setMaxLength(3);
    m_boxes[i]->setFixedWidth(36);
    m_boxes[i]->setAlignment(Qt::AlignRight);
    m_boxes[i]->setEnabled(false);
    setBackground(m_boxes[i], kInitialBoxGrey);

    m_upDowns[i] = new UpDownControl(parent);
    m_upDowns[i]->setObjectName(component + QStringLiteral("UpDown"));
    m_upDowns[i]->setEnabled(false);
    const QString spoken = colour + QStringLiteral(" ") + fromUtf8(dialog::kComponentNames[i]);
    m_boxes[i]->setAccessibleName(spoken);
    m_upDowns[i]->setAccessibleName(spoken);
  }
  connectSignals();
}

void ColourChooser::connectSignals() {
  for (int i = 0; i < 3; ++i) {
    connect(m_upDowns[i], &UpDownControl::valueChanged, this, [this, i] { componentChanged(i); });
    connect(m_upDowns[i], &UpDownControl::pressed, this, [this, i] { componentPressed(i); });
    connect(m_upDowns[i], &UpDownControl::released, this, [this, i] { componentReleased(i); });
    // A typed value moves the up-down; the box always ends up showing the up-down's value.
    connect(m_boxes[i], &QLineEdit::textEdited, this, [this, i](const QString& text) {
      bool ok = false;
      const int value = text.toInt(&ok);
      if (ok) m_upDowns[i]->setValue(value);
    });
    connect(m_boxes[i], &QLineEdit::editingFinished, this,
            [this, i] { m_boxes[i]->setText(QString::number(m_upDowns[i]->value())); });
  }
  connect(m_manual, &QCheckBox::toggled, this, &ColourChooser::applyManual);
}

void ColourChooser::addTo(QGridLayout* grid, int row) {
  grid->addWidget(m_caption, row, 0);
  grid->addWidget(m_names, row, 1, 1, 2);
  auto* components = new QHBoxLayout;
  components->addWidget(m_manual);
  for (int i = 0; i < 3; ++i) {
    components->addSpacing(6);
    components->addWidget(m_componentLabels[i]);
    components->addWidget(m_boxes[i]);
    components->addWidget(m_upDowns[i]);
  }
  components->addStretch();
  grid->addLayout(components, row + 1, 0, 1, 3);
}

void ColourChooser::setChoice(const ColourChoice& choice) {
  m_manual->setChecked(settings::isSet(choice.manual));
  m_names->setCurrentIndex(std::min<int>(choice.position, settings::kLastColorPosition));
  // A value the up-down holds already is no change, so it leaves the step alone.
  for (int i = 0; i < 3; ++i) m_upDowns[i]->setValue(choice.components[i]);
}

ColourChoice ColourChooser::choice() const {
  ColourChoice choice;
  choice.manual = m_manual->isChecked() ? 1 : 0;
  choice.position = static_cast<std::uint8_t>(m_names->currentIndex());
  for (int i = 0; i < 3; ++i)
    choice.components[i] = static_cast<std::uint8_t>(m_upDowns[i]->value());
  return choice;
}

void ColourChooser::applyManual(bool manual) {
  m_names->setEnabled(!manual);
  setBackground(m_names, manual ? buttonFace() : kWhite);
  for (int i = 0; i < 3; ++i) {
    m_componentLabels[i]->setEnabled(manual);
    m_boxes[i]->setEnabled(manual);
    setBackground(m_boxes[i], manual ? kWhite : buttonFace());
    m_upDowns[i]->setEnabled(manual);
  }
}

// A value more than 20 away from where the press began makes the steps ten
// wide; only a release brings them back to one. A value set while no button is
// down is compared with 0.
void ColourChooser::componentChanged(int component) {
  UpDownControl* upDown = m_upDowns[component];
  m_boxes[component]->setText(QString::number(upDown->value()));
  const int distance = int(m_valueAtPress) - upDown->value();
  if (distance < -kAccelerationDistance || distance > kAccelerationDistance)
    upDown->setStep(kFastStep);
}

void ColourChooser::componentPressed(int component) {
  m_valueAtPress = static_cast<std::uint8_t>(m_upDowns[component]->value());
}

void ColourChooser::componentReleased(int component) {
  m_valueAtPress = 0;
  m_upDowns[component]->setStep(1);
}

}  // namespace morlavin::preferences
