// Drawn as two bevelled arrow buttons, one above the other; a screen reader
// sees a spin button with its value, range, step and two actions.
#include "preferences/updown_control.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace morlavin::preferences {
namespace {

// QAccessibleWidget is the action interface already.
class AccessibleUpDown : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleUpDown(UpDownControl* upDown)
      : QAccessibleWidget(upDown, QAccessible::SpinBox) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text type) const override {
    if (type == QAccessible::Value) return QString::number(upDown()->value());
    return QAccessibleWidget::text(type);
  }

  QVariant currentValue() const override { return upDown()->value(); }
  void setCurrentValue(const QVariant& value) override { upDown()->setValue(value.toInt()); }
  QVariant maximumValue() const override { return upDown()->maximum(); }
  QVariant minimumValue() const override { return upDown()->minimum(); }
  QVariant minimumStepSize() const override { return upDown()->step(); }

  QStringList actionNames() const override { return {increaseAction(), decreaseAction()}; }
  void doAction(const QString& name) override {
    if (!upDown()->isEnabled()) return;
    if (name == increaseAction()) upDown()->click(1);
    if (name == decreaseAction()) upDown()->click(-1);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  UpDownControl* upDown() const { return static_cast<UpDownControl*>(widget()); }
};

QAccessibleInterface* accessibleUpDown(const QString&, QObject* object) {
  auto* upDown = qobject_cast<UpDownControl*>(object);
  return upDown != nullptr ? new AccessibleUpDown(upDown) : nullptr;
}

}  // namespace

UpDownControl::UpDownControl(QWidget* parent) : QWidget(parent) {
  static const bool accessible = (QAccessible::installFactory(accessibleUpDown), true);
  (void)accessible;
  setFocusPolicy(Qt::NoFocus);
  connect(&m_repeat, &QTimer::timeout, this, [this] {
    m_repeat.setInterval(m_repeatInterval);
    stepOnce();
  });
}

void UpDownControl::setValue(int value) {
  value = std::clamp(value, m_minimum, m_maximum);
  if (value == m_value) return;
  m_value = value;
  emit valueChanged(m_value);
}

void UpDownControl::setRepeatTiming(int delayMs, int intervalMs) {
  m_repeatDelay = delayMs;
  m_repeatInterval = intervalMs;
}

QSize UpDownControl::sizeHint() const { return {16, 22}; }

void UpDownControl::stepOnce() { setValue(m_value + m_direction * m_step); }

void UpDownControl::click(int direction) {
  if (m_direction != 0) return;  // an arrow is held already
  emit pressed();
  m_direction = direction;
  stepOnce();
  m_direction = 0;
  emit released();
}

void UpDownControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || m_direction != 0) return;
  m_direction = event->position().y() < height() / 2.0 ? 1 : -1;
  update();
  emit pressed();
  stepOnce();
  m_repeat.start(m_repeatDelay);
}

void UpDownControl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || m_direction == 0) return;
  m_repeat.stop();
  m_direction = 0;
  update();
  emit released();
}

void UpDownControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int half = height() / 2;
  const QRect halves[] = {QRect(0, 0, width(), half), QRect(0, half, width(), height() - half)};
  for (int i = 0; i < 2; ++i) {
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = halves[i];
    const bool down = m_direction == (i == 0 ? 1 : -1);
    button.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &button, &painter, this);
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = halves[i].adjusted(3, 2, -3, -2);
    style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown,
                           &arrow, &painter, this);
  }
}

}  // namespace morlavin::preferences
