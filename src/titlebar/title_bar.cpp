// Drawn in the colours of the palette and the application's font. A window
// of one size has no maximise button and no edges to drag; the window itself
// still turns down a maximise that the compositor asks for.
#include "titlebar/title_bar.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace morlavin::titlebar {
namespace {

constexpr int kBorder = 4;
constexpr int kButtonGap = 4;
constexpr int kTitleInset = 8;

void drawGlyph(QPainter& painter, const QRectF& place, bool close, bool maximize) {
  const qreal inset = place.width() / 4;
  const QRectF glyph = place.adjusted(inset, inset, -inset, -inset);
  if (close) {
    painter.drawLine(glyph.topLeft(), glyph.bottomRight());
    painter.drawLine(glyph.topRight(), glyph.bottomLeft());
  } else if (maximize) {
    painter.drawRect(glyph);
  } else {
    painter.drawLine(glyph.bottomLeft(), glyph.bottomRight());
  }
}

}  // namespace

TitleBar::TitleBar() {
  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TitleBar::redraw);
}

// The bar is drawn with the window's next frame; a widget window makes one
// only when a widget needs drawing.
void TitleBar::redraw() {
  if (window() == nullptr || window()->handle() == nullptr) return;
  update();
  if (QWidget* widget = QWidget::find(window()->winId())) widget->update();
}

int TitleBar::barHeight() const {
  return std::max(24, QFontMetrics(QGuiApplication::font()).height() + 10);
}

QMargins TitleBar::margins(MarginsType type) const {
  if (type == ShadowsOnly) return {};
  return {kBorder, barHeight(), kBorder, kBorder};
}

// A window of one size that may take any size for a moment under Wayland
// says so (see ui/fixed_windows.h).
bool TitleBar::resizable() const {
  return window()->minimumSize() != window()->maximumSize() &&
         !window()->property("morlavinFixedSize").toBool();
}

std::vector<TitleBar::Button> TitleBar::buttons() const {
  const Qt::WindowFlags flags = window()->flags();
  std::vector<Part> parts;
  if (flags & Qt::WindowCloseButtonHint) parts.push_back(Part::Close);
  if (flags & Qt::WindowMaximizeButtonHint) parts.push_back(Part::Maximize);
  if (flags & Qt::WindowMinimizeButtonHint) parts.push_back(Part::Minimize);
  const qreal side = barHeight() - 2 * kBorder;
  qreal right = m_frame.width() - kBorder;
  std::vector<Button> result;
  for (const Part part : parts) {
    result.push_back({part, QRectF(right - side, kBorder, side, side)});
    right -= side + kButtonGap;
  }
  return result;
}

Qt::Edges TitleBar::edgesAt(const QPointF& local) const {
  if (!resizable()) return {};
  const QSizeF frame = m_frame;
  Qt::Edges edges;
  if (local.x() < kBorder) edges |= Qt::LeftEdge;
  if (local.x() >= frame.width() - kBorder) edges |= Qt::RightEdge;
  if (local.y() < kBorder) edges |= Qt::TopEdge;
  if (local.y() >= frame.height() - kBorder) edges |= Qt::BottomEdge;
  return edges;
}

TitleBar::Part TitleBar::partAt(const QPointF& local) const {
  for (const Button& button : buttons()) {
    if (button.place.contains(local)) return button.part;
  }
  if (edgesAt(local)) return Part::Edge;
  return local.y() < barHeight() ? Part::Bar : Part::None;
}

void TitleBar::paint(QPaintDevice* device) {
  // In the platform's units, which Qt's own scale factor (QT_SCALE_FACTOR)
  // leaves out of the window's size.
  m_frame = QSizeF(device->width(), device->height()) / device->devicePixelRatioF();
  const QRectF frame(QPointF(0, 0), m_frame);
  const QMargins border = margins();
  const QRectF content =
      frame.adjusted(border.left(), border.top(), -border.right(), -border.bottom());
  const QPalette palette = QGuiApplication::palette();
  const bool active = window()->isActive();
  const QColor face = palette.color(active ? QPalette::Highlight : QPalette::Mid);
  const QColor ink = palette.color(active ? QPalette::HighlightedText : QPalette::WindowText);

  QPainter painter(device);
  QPainterPath ring;
  ring.addRect(frame);
  ring.addRect(content);
  painter.fillPath(ring, face);
  painter.setPen(face.darker(150));
  painter.drawRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));

  const std::vector<Button> shown = buttons();
  const qreal titleEnd = shown.empty() ? frame.width() - kBorder : shown.back().place.left();
  const QRectF titlePlace(kTitleInset, 0, std::max<qreal>(0, titleEnd - 2 * kTitleInset),
                          barHeight());
  const QFont font = QGuiApplication::font();
  painter.setFont(font);
  painter.setPen(ink);
  painter.drawText(
      titlePlace, Qt::AlignLeft | Qt::AlignVCenter,
      QFontMetrics(font).elidedText(window()->title(), Qt::ElideRight, int(titlePlace.width())));

  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(ink, 1.5));
  for (const Button& button : shown) {
    painter.fillRect(button.place, face.lighter(120));
    drawGlyph(painter, button.place, button.part == Part::Close, button.part == Part::Maximize);
  }
}

bool TitleBar::handleMouse(QtWaylandClient::QWaylandInputDevice* device, const QPointF& local,
                           const QPointF&, Qt::MouseButtons buttons, Qt::KeyboardModifiers) {
  const Part part = partAt(local);
  // The compositor moves and resizes the window itself, from the press on.
  if (isLeftClicked(buttons)) {
    m_pressed = part;
    if (part == Part::Bar) startMove(device, buttons);
    if (part == Part::Edge) startResize(device, edgesAt(local), buttons);
  } else if (isLeftReleased(buttons)) {
    if (part == m_pressed) press(part);
    m_pressed = Part::None;
  } else if (isRightClicked(buttons) && part == Part::Bar) {
    showWindowMenu(device);
  }
  setMouseButtons(buttons);
  return true;
}

bool TitleBar::handleTouch(QtWaylandClient::QWaylandInputDevice* device, const QPointF& local,
                           const QPointF&, QEventPoint::State state, Qt::KeyboardModifiers) {
  const Part part = partAt(local);
  if (state == QEventPoint::Pressed) {
    m_pressed = part;
    if (part == Part::Bar) startMove(device, Qt::LeftButton);
  } else if (state == QEventPoint::Released) {
    if (part == m_pressed) press(part);
    m_pressed = Part::None;
  }
  return true;
}

void TitleBar::press(Part part) {
  QWindow* target = window();
  // After the event: closing the window may take this title bar with it.
  const auto later = [target](auto action) {
    QMetaObject::invokeMethod(target, action, Qt::QueuedConnection);
  };
  switch (part) {
    case Part::Close:
      later([target] { target->close(); });
      break;
    case Part::Maximize:
      later([target] {
        target->windowStates() & Qt::WindowMaximized ? target->showNormal()
                                                     : target->showMaximized();
      });
      break;
    case Part::Minimize:
      later([target] { target->showMinimized(); });
      break;
    default:
      break;
  }
}

}  // namespace morlavin::titlebar
