// Windows of one size only: no maximise button, and a maximise that reaches
// them anyway (a desktop's own title bar, a compositor's request) undone.
#pragma once

#include <string>

class QObject;
class QWidget;

namespace morlavin::ui {

// Asks the desktop for a title bar without a maximise button on `window`.
void withoutMaximizeButton(QWidget* window);

// Watches every window of the application: one whose size is fixed and that
// becomes maximised returns to its size at once. For Wayland, where the
// compositor may maximise any window; an X11 window manager keeps to the
// fixed size, which this lifts to allow the return.
void keepFixedWindowsUnmaximized(QObject* application);

// Under Wayland, where the program draws its title bars itself, has them
// drawn by its own plugin below `pluginFolder` (see platform::pluginFolder)
// rather than by Qt's, which offers a maximise button on every window. Call
// before the application object is made. Does nothing when the user has
// chosen a title bar (QT_WAYLAND_DECORATION), when the plugin is not there,
// or under another Qt than the one it was built for: Qt's own is drawn then.
void useOwnWaylandTitleBars(const std::string& pluginFolder);

}  // namespace morlavin::ui
