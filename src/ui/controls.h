// What the windows build their controls from: the catalogue's texts as Qt
// strings, and push buttons that answer Enter alike in every window.
#pragma once

#include <QString>
#include <string_view>

class QPushButton;
class QWidget;

namespace morlavin::ui {

// UTF-8 text (a catalogue text, a message, a path shown) as Qt shows it.
QString fromUtf8(std::string_view text);

// A push button showing `caption`, with the object name `name` by which tests
// and tools find it. Enter on a focused button clicks that button; anywhere
// else in the window it goes to the window's default button.
QPushButton* button(QWidget* parent, const char* name, std::string_view caption);

}  // namespace morlavin::ui
