// Defaults and colour values of the settings record, and how each key's text
// becomes its field.
#include "settings/settings_record.h"

#include <cmath>
#include <limits>
#include <optional>

#include "platform/ascii.h"
#include "settings/flags.h"
#include "settings/setting_number.h"
#include "settings/version.h"

namespace morlavin::settings {
namespace {

// Beyond the largest float a version is an infinity, which names no backup.
float versionNumber(std::string_view text) {
  const double version = parseSettingNumber(text);
  if (std::abs(version) <= std::numeric_limits<float>::max()) return static_cast<float>(version);
  return (version > 0 ? 1.0f : -1.0f) * std::numeric_limits<float>::infinity();
}

}  // namespace

const SettingKey* findSettingKey(std::string_view name) {
  for (const SettingKey& key : kSettingKeys) {
    if (key.name == name) return &key;
  }
  return nullptr;
}

void assignSetting(SettingsRecord& record, const SettingKey& key, std::string_view text) {
  switch (key.kind) {
    case SettingKind::kVersion:
      record.*key.number = versionNumber(text);
      return;
    case SettingKind::kText:
      record.*key.text = std::string(text);
      return;
    case SettingKind::kFlag:
    case SettingKind::kByte:
    case SettingKind::kPosition: {
      // A hand-edited file may hold what no dialog writes: numbers outside a
      // byte, or colour positions past the list.
      std::optional<std::uint8_t> value = settingByte(text);
      if (!value || *value > key.maximum) value = settingByte(key.defaultText);
      record.*key.byte = value.value_or(0);
      return;
    }
  }
}

std::string settingText(const SettingsRecord& record, const SettingKey& key) {
  if (key.text) return record.*key.text;
  if (key.byte) return std::to_string(record.*key.byte);
  return programVersionText();
}

SettingsRecord defaultSettings() {
  SettingsRecord record;
  for (const SettingKey& key : kSettingKeys) assignSetting(record, key, key.defaultText);
  return record;
}

void resetColours(SettingsRecord& record) {
  const SettingsRecord defaults = defaultSettings();
  for (const ColourGroup& group : kColourGroups) {
    for (auto field : {group.manual, group.position}) record.*field = defaults.*field;
    for (auto field : group.components) record.*field = defaults.*field;
  }
}

std::string htmlColourValue(std::uint8_t manualFlag, std::uint8_t position, std::uint8_t red,
                            std::uint8_t green, std::uint8_t blue) {
  if (!isSet(manualFlag)) {
    return position <= kLastColorPosition ? std::string(kColorNameList[position]) : std::string();
  }
  std::string value = "#";
  for (const std::uint8_t component : {red, green, blue}) {
    value += platform::hexByte(component, platform::HexCase::kUpper);
  }
  return value;
}

}  // namespace morlavin::settings
