// Drawn as two bevelled arrow buttons, one above the other.
#include "preferences/updown_control.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace morlavin::preferences {

UpDownControl::UpDownControl(QWidget* parent) : QWidget(parent) {
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
    style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow,
                           &painter, this);
  }
}

}  // namespace morlavin::preferences
