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

// The colour names the two colour positions index, in the program's own
// order: a position stored in a settings file keeps meaning the same colour.
inline constexpr std::array<std::string_view, 76> kColorNameList{
    "white",           "orange",         "pink",
    "tomato",          "violet",         "salmon",
    "rosybrown",       "purple",         "orangered",
    "magenta",         "maroon",         "mediumorchid",
    "fuchsia",         "hotpink",        "red",
    "mediumvioletred", "lightcoral",     "orchid",
    "indianred",       "darkmagenta",    "deeppink",
    "darkred",         "crimson",        "coral",
    "chocolate",       "darkgoldenrod",  "darkkhaki",
    "darkorange",      "firebrick",      "gold",
    "goldenrod",       "khaki",          "navajowhite",
    "palegoldenrod",   "yellow",         "yellowgreen",
    "turquoise",       "seagreen",       "springgreen",
    "olive",           "teal",           "olivedrab",
    "palegreen",       "mediumseagreen", "lawngreen",
    "lightgreen",      "lime",           "limegreen",
    "green",           "greenyellow",    "forestgreen",
    "cadetblue",       "darkgreen",      "chartreuse",
    "aquamarine",      "aqua",           "blue",
    "cornflowerblue",  "cyan",           "darkblue",
    "darkcyan",        "darkslateblue",  "deepskyblue",
    "dodgerblue",      "lightblue",      "mediumblue",
    "mediumslateblue", "midnightblue",   "navy",
    "paleturquoise",   "powderblue",     "skyblue",
    "slateblue",       "slategray",      "steelblue",
    "black",
};

inline constexpr std::uint8_t kLastColorPosition = kColorNameList.size() - 1;

// How a key's stored text becomes its field.
enum class SettingKind {
  kVersion,   // the version that wrote the file, a decimal number
  kText,      // a text, blanks trimmed when saved
  kFlag,      // an on/off switch kept as the byte it was given
  kByte,      // a colour component
  kPosition,  // a place in kColorNameList
};

// Text values longer than this are cut when read: the file keeps one line per
// key, read through a fixed buffer.
inline constexpr unsigned kLongestSettingText = 254;

// One key of the settings file. A stored text that reads as no value of the
// key's kind, or as a number above `maximum`, gives the key's default.
struct SettingKey {
  std::string_view name;
  SettingKind kind;
  std::string_view defaultText;  // as the file would hold it
  unsigned maximum;              // the largest number, or the longest text in bytes
  float SettingsRecord::*number = nullptr;
  std::string SettingsRecord::*text = nullptr;
  std::uint8_t SettingsRecord::*byte = nullptr;
};

// Every key, in the order a saved file lists them. Reading, saving, the
// upgrade of older files and the defaults all follow this table.
inline constexpr SettingKey kSettingKeys[] = {
    // clang-format off
    {"Version",              SettingKind::kVersion,  "1.00", 0,   &SettingsRecord::Version},
    {"Translator",           SettingKind::kText,     "",  kLongestSettingText, nullptr, &SettingsRecord::Translator},
    {"DisableEncodeMetaTag", SettingKind::kFlag,     "0",   255, nullptr, nullptr, &SettingsRecord::DisableEncodeMetaTag},
    {"QuitDeleteHTML",       SettingKind::kFlag,     "0",   255, nullptr, nullptr, &SettingsRecord::QuitDeleteHTML},
    {"OutputExtHTML",        SettingKind::kFlag,     "0",   255, nullptr, nullptr, &SettingsRecord::OutputExtHTML},
    {"TextIgnoreTags",       SettingKind::kFlag,     "0",   255, nullptr, nullptr, &SettingsRecord::TextIgnoreTags},
    {"ManualBgcolorSet",     SettingKind::kFlag,     "0",   255, nullptr, nullptr, &SettingsRecord::ManualBgcolorSet},
    {"Bgcolor",              SettingKind::kPosition, "0",   kLastColorPosition, nullptr, nullptr, &SettingsRecord::Bgcolor},
    {"ManualTextcolorSet",   SettingKind::kFlag,     "0",   255, nullptr, nullptr, &SettingsRecord::ManualTextcolorSet},
    {"Textcolor",            SettingKind::kPosition, "75",  kLastColorPosition, nullptr, nullptr, &SettingsRecord::Textcolor},
    {"HTMLBgcolorR",         SettingKind::kByte,     "255", 255, nullptr, nullptr, &SettingsRecord::HTMLBgcolorR},
    {"HTMLBgcolorG",         SettingKind::kByte,     "255", 255, nullptr, nullptr, &SettingsRecord::HTMLBgcolorG},
    {"HTMLBgcolorB",         SettingKind::kByte,     "255", 255, nullptr, nullptr, &SettingsRecord::HTMLBgcolorB},
    {"HTMLTextcolorR",       SettingKind::kByte,     "0",   255, nullptr, nullptr, &SettingsRecord::HTMLTextcolorR},
    {"HTMLTextcolorG",       SettingKind::kByte,     "0",   255, nullptr, nullptr, &SettingsRecord::HTMLTextcolorG},
    {"HTMLTextcolorB",       SettingKind::kByte,     "0",   255, nullptr, nullptr, &SettingsRecord::HTMLTextcolorB},
    {"CheckBackground",      SettingKind::kFlag,     "0",   255, nullptr, nullptr, &SettingsRecord::CheckBackground},
    {"HTMLBackGround",       SettingKind::kText,     "",  kLongestSettingText, nullptr, &SettingsRecord::HTMLBackGround},
    // clang-format on
};

// The key called `name` (exactly so), or nullptr.
const SettingKey* findSettingKey(std::string_view name);

// Gives `key`'s field in `record` the value `text` stands for (UTF-8, as read
// from the file), or the key's default when it stands for none.
void assignSetting(SettingsRecord& record, const SettingKey& key, std::string_view text);

// The text the file stores for `key`'s field in `record`. A save stamps the
// file with the running version, so the version key gives that.
std::string settingText(const SettingsRecord& record, const SettingKey& key);

// The five fields that make one colour: the switch between the list and the
// three components, the list position, and red, green and blue.
struct ColourGroup {
  std::uint8_t SettingsRecord::*manual;
  std::uint8_t SettingsRecord::*position;
  std::array<std::uint8_t SettingsRecord::*, 3> components;
};

inline constexpr ColourGroup kBackgroundColour{
    &SettingsRecord::ManualBgcolorSet,
    &SettingsRecord::Bgcolor,
    {&SettingsRecord::HTMLBgcolorR, &SettingsRecord::HTMLBgcolorG, &SettingsRecord::HTMLBgcolorB}};
inline constexpr ColourGroup kTextColour{
    &SettingsRecord::ManualTextcolorSet,
    &SettingsRecord::Textcolor,
    {&SettingsRecord::HTMLTextcolorR, &SettingsRecord::HTMLTextcolorG,
     &SettingsRecord::HTMLTextcolorB}};
inline constexpr std::array<ColourGroup, 2> kColourGroups{kBackgroundColour, kTextColour};

// The defaults of every field, as a first start without a settings file gets them.
SettingsRecord defaultSettings();

// Puts the fields of every colour group back to their defaults; the other
// fields stay.
void resetColours(SettingsRecord& record);

// The text that stands for one colour in a page: the listed name at `position`
// when `manualFlag` is 0, else "#RRGGBB" in upper-case hexadecimal. A position
// past the list gives an empty name.
std::string htmlColourValue(std::uint8_t manualFlag, std::uint8_t position, std::uint8_t red,
                            std::uint8_t green, std::uint8_t blue);

}  // namespace morlavin::settings
