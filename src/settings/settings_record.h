// The user's options, one record for the whole run, with the fixed colour list
// and the rule that turns a chosen colour into the text a page carries.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace morlavin::settings {

// Fields carry the names of the keys under which the settings file keeps them.
// A freshly made record is all zeros and empty texts; loading gives every field
// its stored value or its default.
struct SettingsRecord {
  float Version = 0.0f;
  std::string Translator;
  std::uint8_t DisableEncodeMetaTag = 0;
  std::uint8_t QuitDeleteHTML = 0;
  std::uint8_t OutputExtHTML = 0;
  std::uint8_t TextIgnoreTags = 0;
  std::uint8_t ManualBgcolorSet = 0;
  std::uint8_t Bgcolor = 0;
  std::uint8_t ManualTextcolorSet = 0;
  std::uint8_t Textcolor = 0;
  std::uint8_t HTMLBgcolorR = 0;
  std::uint8_t HTMLBgcolorG = 0;
  std::uint8_t HTMLBgcolorB = 0;
  std::uint8_t HTMLTextcolorR = 0;
  std::uint8_t HTMLTextcolorG = 0;
  std::uint8_t HTMLTextcolorB = 0;
  std::uint8_t CheckBackground = 0;
  std::string HTMLBackGround;

  bool operator==(const SettingsRecord&) const = default;
};

// One numeric key of the settings file, in file order, with its default.
struct ByteSetting {
  std::string_view key;
  std::uint8_t SettingsRecord::*field;
  std::uint8_t defaultValue;
};

inline constexpr std::array<ByteSetting, 15> kByteSettings{{
    {"DisableEncodeMetaTag", &SettingsRecord::DisableEncodeMetaTag, 0},
    {"QuitDeleteHTML", &SettingsRecord::QuitDeleteHTML, 0},
    {"OutputExtHTML", &SettingsRecord::OutputExtHTML, 0},
    {"TextIgnoreTags", &SettingsRecord::TextIgnoreTags, 0},
    {"ManualBgcolorSet", &SettingsRecord::ManualBgcolorSet, 0},
    {"Bgcolor", &SettingsRecord::Bgcolor, 0},
    {"ManualTextcolorSet", &SettingsRecord::ManualTextcolorSet, 0},
    {"Textcolor", &SettingsRecord::Textcolor, 75},
    {"HTMLBgcolorR", &SettingsRecord::HTMLBgcolorR, 255},
    {"HTMLBgcolorG", &SettingsRecord::HTMLBgcolorG, 255},
    {"HTMLBgcolorB", &SettingsRecord::HTMLBgcolorB, 255},
    {"HTMLTextcolorR", &SettingsRecord::HTMLTextcolorR, 0},
    {"HTMLTextcolorG", &SettingsRecord::HTMLTextcolorG, 0},
    {"HTMLTextcolorB", &SettingsRecord::HTMLTextcolorB, 0},
    {"CheckBackground", &SettingsRecord::CheckBackground, 0},
}};

// The colour names the two colour positions index, in the program's own
// order: a position stored in a settings file keeps meaning the same colour.
inline constexpr std::array<std::string_view, 76> kColorNameList{
    "white", "orange", "pink", "tomato", "violet", "salmon", "rosybrown", "purple",
    "orangered", "magenta", "maroon", "mediumorchid", "fuchsia", "hotpink", "red",
    "mediumvioletred", "lightcoral", "orchid", "indianred", "darkmagenta", "deeppink",
    "darkred", "crimson", "coral", "chocolate", "darkgoldenrod", "darkkhaki", "darkorange",
    "firebrick", "gold", "goldenrod", "khaki", "navajowhite", "palegoldenrod", "yellow",
    "yellowgreen", "turquoise", "seagreen", "springgreen", "olive", "teal", "olivedrab",
    "palegreen", "mediumseagreen", "lawngreen", "lightgreen", "lime", "limegreen", "green",
    "greenyellow", "forestgreen", "cadetblue", "darkgreen", "chartreuse", "aquamarine", "aqua",
    "blue", "cornflowerblue", "cyan", "darkblue", "darkcyan", "darkslateblue", "deepskyblue",
    "dodgerblue", "lightblue", "mediumblue", "mediumslateblue", "midnightblue", "navy",
    "paleturquoise", "powderblue", "skyblue", "slateblue", "slategray", "steelblue", "black",
};

inline constexpr std::uint8_t kLastColorPosition = kColorNameList.size() - 1;

// The defaults of every field, as a first start without a settings file gets them.
SettingsRecord defaultSettings();

// Puts the ten colour fields back to their defaults; the other fields stay.
void resetColours(SettingsRecord& record);

// The text that stands for one colour in a page: the listed name at `position`
// when `manualFlag` is 0, else "#RRGGBB" in upper-case hexadecimal. A position
// past the list gives an empty name.
std::string htmlColourValue(std::uint8_t manualFlag, std::uint8_t position, std::uint8_t red,
                            std::uint8_t green, std::uint8_t blue);

}  // namespace morlavin::settings
