// An up-down control: a pair of arrows that steps a value within a range,
// repeating while an arrow is held, and that tells when the mouse button goes
// down and comes up on it (the colour choosers change their step on those).
#pragma once

#include <QTimer>
#include <QWidget>

namespace morlavin::preferences {

class UpDownControl : public QWidget {
  Q_OBJECT

 public:
  explicit UpDownControl(QWidget* parent = nullptr);

  int value() const { return m_value; }
  // Sets the value, clamped to the range; valueChanged follows a change.
  void setValue(int value);
  int step() const { return m_step; }
  void setStep(int step) { m_step = step; }
  int minimum() const { return m_minimum; }
  int maximum() const { return m_maximum; }
  // How long an arrow is held before it repeats, and how often it repeats.
  void setRepeatTiming(int delayMs, int intervalMs);
  // One click on the up arrow (+1) or the down arrow (-1), press and release,
  // as a screen reader's increment and decrement give it.
  void click(int direction);

  QSize sizeHint() const override;

 signals:
  void valueChanged(int value);
  void pressed();
  void released();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void stepOnce();

  int m_value = 255;
  int m_minimum = 0;
  int m_maximum = 255;
  int m_step = 1;
  int m_direction = 0;  // +1 while the up arrow is held, -1 for the down arrow
  int m_repeatDelay = 400;
  int m_repeatInterval = 50;
  QTimer m_repeat;
};

}  // namespace morlavin::preferences
