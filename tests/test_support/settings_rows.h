// Records for test tables, written by key name rather than by the position of
// eighteen values, so that a row still means the same when fields move.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "settings/settings_record.h"

namespace morlavin::test {

using SettingValues = std::initializer_list<std::pair<std::string_view, std::string_view>>;

// `base` (the defaults unless given) with each named key holding the value
// its text stands for, as the settings file would give it.
inline settings::SettingsRecord with(SettingValues values,
                                     settings::SettingsRecord base = settings::defaultSettings()) {
  for (const auto& [name, text] : values) {
    const settings::SettingKey* key = settings::findSettingKey(name);
    EXPECT_NE(key, nullptr) << "no key " << name;
    if (key) settings::assignSetting(base, *key, text);
  }
  return base;
}

// The same from a table cell: Key=value pairs separated by ';'.
inline settings::SettingsRecord withCell(std::string_view pairs) {
  settings::SettingsRecord record = settings::defaultSettings();
  for (std::size_t from = 0, end; from < pairs.size(); from = end + 1) {
    end = std::min(pairs.find(';', from), pairs.size());
    const std::string_view pair = pairs.substr(from, end - from);
    record = with({{pair.substr(0, pair.find('=')), pair.substr(pair.find('=') + 1)}}, record);
  }
  return record;
}

}  // namespace morlavin::test
