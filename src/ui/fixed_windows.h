// Windows of one size only: no maximise button, and a maximise that reaches
// them anyway (a desktop's own title bar, a compositor's request) undone.
#pragma once

class QObject;
class QWidget;

namespace morlavin::ui {

// Asks the desktop for a title bar without a maximise button on `window`.
void withoutMaximizeButton(QWidget* window);

// Watches every window of the application: one whose size is fixed and that
// becomes maximised returns to its size at once.
void keepFixedWindowsUnmaximized(QObject* application);

}  // namespace morlavin::ui
