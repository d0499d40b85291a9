// The two classes of Qt's Wayland platform through which a program draws its
// own title bars. Qt installs no header for them: they are its private
// interface, free to change from one version to the next. They are declared
// here as Qt 6.4 builds them, virtual functions in the library's order, so the
// plugin built on them works with that Qt only; the program loads it only
// there, and the package depends on that exact version.
// No moc: the meta-objects are the library's own.
#pragma once

#include <QtWaylandClient/qtwaylandclientglobal.h>

#include <QEventPoint>
#include <QMargins>
#include <QObject>
#include <QPointF>

class QImage;
class QPaintDevice;
class QWindow;

namespace QtWaylandClient {

class QWaylandInputDevice;
class QWaylandWindow;

class Q_WAYLANDCLIENT_EXPORT QWaylandAbstractDecoration : public QObject {
  Q_OBJECT

 public:
  enum MarginsType { Full, ShadowsExcluded, ShadowsOnly };

  QWaylandAbstractDecoration();
  ~QWaylandAbstractDecoration() override;

  void setWaylandWindow(QWaylandWindow* window);
  QWaylandWindow* waylandWindow() const;
  // Marks the title bar for drawing again at the window's next frame.
  void update();
  bool isDirty() const;

  virtual QMargins margins(MarginsType type = Full) const = 0;
  QWindow* window() const;
  const QImage& contentImage();

  // `local` counts from the top left of the frame, title bar included. True
  // when the event was the title bar's.
  virtual bool handleMouse(QWaylandInputDevice* device, const QPointF& local, const QPointF& global,
                           Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) = 0;
  virtual bool handleTouch(QWaylandInputDevice* device, const QPointF& local, const QPointF& global,
                           QEventPoint::State state, Qt::KeyboardModifiers modifiers) = 0;

 protected:
  virtual void paint(QPaintDevice* device) = 0;

  // The buttons the last event held, which isLeftClicked and the others
  // compare with.
  void setMouseButtons(Qt::MouseButtons buttons);
  void startResize(QWaylandInputDevice* device, Qt::Edges edges, Qt::MouseButtons buttons);
  void startMove(QWaylandInputDevice* device, Qt::MouseButtons buttons);
  void showWindowMenu(QWaylandInputDevice* device);
  bool isLeftClicked(Qt::MouseButtons buttons);
  bool isRightClicked(Qt::MouseButtons buttons);
  bool isLeftReleased(Qt::MouseButtons buttons);
};

class Q_WAYLANDCLIENT_EXPORT QWaylandDecorationPlugin : public QObject {
  Q_OBJECT

 public:
  explicit QWaylandDecorationPlugin(QObject* parent = nullptr);
  ~QWaylandDecorationPlugin() override;

  virtual QWaylandAbstractDecoration* create(const QString& key, const QStringList& parameters) = 0;
};

}  // namespace QtWaylandClient
