// What Qt's Wayland platform loads for the key "morlavin".
#include <QtGlobal>

#include "titlebar/title_bar.h"

namespace morlavin::titlebar {

class TitleBarPlugin : public QtWaylandClient::QWaylandDecorationPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID
                    "org.qt-project.Qt.WaylandClient.QWaylandDecorationFactoryInterface.5.4" FILE
                    "title_bar.json")

 public:
  QtWaylandClient::QWaylandAbstractDecoration* create(const QString&, const QStringList&) override {
    // Another Qt would call into a class whose shape it does not share.
    if (qstrcmp(qVersion(), QT_VERSION_STR) != 0) return nullptr;
    return new TitleBar;
  }
};

}  // namespace morlavin::titlebar

#include "title_bar_plugin.moc"
