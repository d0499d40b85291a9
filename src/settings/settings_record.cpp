// Defaults and colour values of the settings record.
#include "settings/settings_record.h"

#include "settings/flags.h"

namespace morlavin::settings {

SettingsRecord defaultSettings() {
  SettingsRecord record;
  record.Version = 1.0f;
  for (const ByteSetting& setting : kByteSettings) record.*setting.field = setting.defaultValue;
  return record;
}

void resetColours(SettingsRecord& record) {
  const SettingsRecord defaults = defaultSettings();
  record.ManualBgcolorSet = defaults.ManualBgcolorSet;
  record.Bgcolor = defaults.Bgcolor;
  record.ManualTextcolorSet = defaults.ManualTextcolorSet;
  record.Textcolor = defaults.Textcolor;
  record.HTMLBgcolorR = defaults.HTMLBgcolorR;
  record.HTMLBgcolorG = defaults.HTMLBgcolorG;
  record.HTMLBgcolorB = defaults.HTMLBgcolorB;
  record.HTMLTextcolorR = defaults.HTMLTextcolorR;
  record.HTMLTextcolorG = defaults.HTMLTextcolorG;
  record.HTMLTextcolorB = defaults.HTMLTextcolorB;
}

std::string htmlColourValue(std::uint8_t manualFlag, std::uint8_t position, std::uint8_t red,
                            std::uint8_t green, std::uint8_t blue) {
  if (!isSet(manualFlag)) {
    return position <= kLastColorPosition ? std::string(kColorNameList[position]) : std::string();
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string value = "#";
  for (const std::uint8_t component : {red, green, blue}) {
    value += kHex[component >> 4];
    value += kHex[component & 0x0F];
  }
  return value;
}

}  // namespace morlavin::settings
