// The title bar of the program's windows under Wayland, where the program
// draws its own: the title, and only the buttons the window's flags ask for.
#pragma once

#include <vector>

#include "titlebar/qt_wayland_decoration.h"

namespace morlavin::titlebar {

class TitleBar : public QtWaylandClient::QWaylandAbstractDecoration {
 public:
  TitleBar();

  QMargins margins(MarginsType type = Full) const override;
  bool handleMouse(QtWaylandClient::QWaylandInputDevice* device, const QPointF& local,
                   const QPointF& global, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers) override;
  bool handleTouch(QtWaylandClient::QWaylandInputDevice* device, const QPointF& local,
                   const QPointF& global, QEventPoint::State state,
                   Qt::KeyboardModifiers modifiers) override;

 protected:
  void paint(QPaintDevice* device) override;

 private:
  enum class Part { None, Bar, Edge, Close, Maximize, Minimize };
  struct Button {
    Part part;
    QRectF place;
  };

  int barHeight() const;
  bool resizable() const;
  // The buttons the window's flags ask for, from the right.
  std::vector<Button> buttons() const;
  Part partAt(const QPointF& local) const;
  Qt::Edges edgesAt(const QPointF& local) const;
  void press(Part part);
  // Draws the bar again in the colours of the window's new state.
  void redraw();

  Part m_pressed = Part::None;
  QSizeF m_frame;  // as last drawn, title bar and borders included
};

}  // namespace morlavin::titlebar
