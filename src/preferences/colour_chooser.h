// One colour of the page, chosen by name from the colour list or by hand as
// red, green and blue components, with up-downs whose step grows while held.
#pragma once

#include <QObject>
#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace morlavin::texts::preferences_dialog {
struct ColourGroup;
}

namespace morlavin::preferences {

class UpDownControl;

// What a chooser shows and stands for, in the record's terms.
struct ColourChoice {
  std::uint8_t manual = 0;
  std::uint8_t position = 0;
  std::array<std::uint8_t, 3> components{};  // red, green, blue
};

class ColourChooser : public QObject {
  Q_OBJECT

 public:
  // `words` are what the user reads and a screen reader says. The controls'
  // object names, by which tests and tools find them, start with `name`:
  // "<name>ColourLabel", "<name>ColourList", "<name>ManualBox", and
  // "<name>RedLabel", "<name>RedEdit", "<name>RedUpDown" and the same for
  // Green and Blue. `valueAtPress` is shared by every up-down of the dialog:
  // it keeps the value the up-down under the mouse had when the button went down.
  ColourChooser(const texts::preferences_dialog::ColourGroup& words, const char* name,
                std::uint8_t& valueAtPress, QWidget* parent);

  // Puts the controls into two rows of `grid` from `row` on.
  void addTo(QGridLayout* grid, int row);

  // Shows `choice`; a change of the manual switch enables and disables the
  // controls as a click would, and each component that takes a new value
  // counts as a change.
  void setChoice(const ColourChoice& choice);
  ColourChoice choice() const;

 private:
  void connectSignals();
  void applyManual(bool manual);
  void componentChanged(int component);
  void componentPressed(int component);
  void componentReleased(int component);

  std::uint8_t& m_valueAtPress;
  QLabel* m_caption;
  QComboBox* m_names;
  QCheckBox* m_manual;
  std::array<QLabel*, 3> m_componentLabels{};
  std::array<QLineEdit*, 3> m_boxes{};
  std::array<UpDownControl*, 3> m_upDowns{};
};

}  // namespace morlavin::preferences
