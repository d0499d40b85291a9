// Qt's own title bar under Wayland (up to Qt 6.4 at least) draws a maximise
// button whatever the window asks for, so the program brings its own. A
// compositor may still ask for a maximise (a key of its own, its window
// menu), and a window that takes the maximised state without the
// compositor's size is a protocol error that ends the program. So under
// Wayland a fixed window may take any size for a moment, and returns to its
// own at once.
#include "ui/fixed_windows.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLayout>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace morlavin::ui {
namespace {

constexpr char kFixedSize[] = "morlavinFixedSize";
constexpr char kDecorationVariable[] = "QT_WAYLAND_DECORATION";
constexpr char kTitleBarKey[] = "morlavin";
constexpr char kTitleBarPlugin[] = "wayland-decoration-client/libmorlavin-title-bar.so";

class UnmaximizeFixedWindows : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::WindowStateChange) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
      auto* window = static_cast<QWidget*>(watched);
      // After the window's own handling: a message box fixes its size as it is shown.
      QTimer::singleShot(0, window, [window] { keepSize(window); });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  static void keepSize(QWidget* window) {
    if (!window->property(kFixedSize).isValid()) {
      if (window->minimumSize() != window->maximumSize()) return;
      window->setProperty(kFixedSize, window->minimumSize());
      // For the title bar, which sees the window and not the widget: no edges to drag.
      if (QWindow* handle = window->windowHandle()) handle->setProperty(kFixedSize, true);
      // A layout that fixes the size would fix it again at its next turn.
      if (QLayout* layout = window->layout();
          layout && layout->sizeConstraint() == QLayout::SetFixedSize) {
        layout->setSizeConstraint(QLayout::SetMinimumSize);
      }
      window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    // Shrinking it here would race the compositor, which may still hold it
    // maximised: leaving the state brings back the size it had.
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
      window->setWindowState(window->windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    }
  }
};

}  // namespace

void withoutMaximizeButton(QWidget* window) {
  window->setWindowFlags((window->windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) &
                         ~(Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint |
                           Qt::WindowFullscreenButtonHint));
}

void keepFixedWindowsUnmaximized(QObject* application) {
  application->installEventFilter(new UnmaximizeFixedWindows(application));
}

void useOwnWaylandTitleBars(const std::string& pluginFolder) {
  if (qstrcmp(qVersion(), QT_VERSION_STR) != 0 || qEnvironmentVariableIsSet(kDecorationVariable)) {
    return;
  }
  const QDir folder(QString::fromStdString(pluginFolder));
  if (pluginFolder.empty() || !QFileInfo::exists(folder.filePath(QLatin1String(kTitleBarPlugin)))) {
    return;
  }
  QCoreApplication::addLibraryPath(folder.path());
  qputenv(kDecorationVariable, kTitleBarKey);
}

}  // namespace morlavin::ui
