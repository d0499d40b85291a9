// Loading and saving the settings record through the INI profile functions.
#include "settings/settings_file.h"

#include <charconv>

#include "morlavin/version.h"
#include "platform/cp932.h"
#include "platform/file_ops.h"
#include "platform/profile_file.h"
#include "settings/setting_number.h"

namespace morlavin::settings {
namespace {

constexpr std::size_t kReadBufferSize = 255;
constexpr std::string_view kBlanks = " \t";

void trimInPlace(std::string& text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  text.erase(text.find_last_not_of(kBlanks) + 1);
  text.erase(0, first);
}

std::string readKey(const platform::ProfileSnapshot& file, std::string_view key,
                    std::string_view defaultValue) {
  const auto defaultBytes = platform::utf8ToCp932(defaultValue);
  return platform::cp932ToUtf8(file.get(kSettingsSection, key,
                                        defaultBytes ? *defaultBytes : std::string(defaultValue),
                                        kReadBufferSize));
}

std::uint8_t readByte(const platform::ProfileSnapshot& file, const ByteSetting& setting) {
  const std::string text = readKey(file, setting.key, std::to_string(setting.defaultValue));
  std::optional<std::uint8_t> value = settingByte(text);
  // A hand-edited file may hold what no dialog writes: numbers outside a byte,
  // or colour positions past the list. Such a value gives the key's default.
  const bool isPosition = setting.field == &SettingsRecord::Bgcolor ||
                          setting.field == &SettingsRecord::Textcolor;
  if (value && isPosition && *value > kLastColorPosition) value.reset();
  return value.value_or(setting.defaultValue);
}

}  // namespace

std::string versionText(int major, int minor) {
  std::string text = std::to_string(major) + ".";
  if (minor < 10) text += "0";
  return text + std::to_string(minor);
}

std::string programVersionText() { return versionText(kVersionMajor, kVersionMinor); }

float programVersionNumber() {
  return static_cast<float>(kVersionMajor + kVersionMinor / 100.0);
}

std::string backupFileName(float version) {
  const float hundredfold = version * 100.0f;
  char digits[32];
  const auto result = std::to_chars(digits, digits + sizeof digits, hundredfold,
                                    std::chars_format::general, 7);
  return "Morlavin." + std::string(digits, result.ptr);
}

SettingsRecord readSettings(const std::string& path) {
  // One read of the file serves every key, as a run of single-key reads would.
  const auto file = platform::ProfileSnapshot::read(path);
  SettingsRecord record;
  record.Version = static_cast<float>(parseSettingNumber(readKey(file, "Version", "1.00")));
  record.Translator = readKey(file, "Translator", "");
  for (const ByteSetting& setting : kByteSettings) record.*setting.field = readByte(file, setting);
  record.HTMLBackGround = readKey(file, "HTMLBackGround", "");
  return record;
}

SettingsFile::SettingsFile(std::string directoryPrefix, SettingsMessages& messages)
    : m_directoryPrefix(std::move(directoryPrefix)),
      m_path(m_directoryPrefix + std::string(kSettingsFileName)),
      m_messages(messages) {}

bool SettingsFile::exists() const { return platform::exists(m_path); }

std::string SettingsFile::readSetting(std::string_view key, std::string_view defaultValue) const {
  return readKey(platform::ProfileSnapshot::read(m_path), key, defaultValue);
}

namespace {

// Why `value` cannot be stored in a one-line Shift-JIS file; empty if it can.
std::string valueProblem(const std::string& value) {
  if (value.find_first_of("\r\n") != std::string::npos) return "改行を含む値は保存できません";
  if (!platform::utf8ToCp932(value)) return "Shift-JISで表せない文字を含む値は保存できません";
  return {};
}

}  // namespace

bool SettingsFile::writeSetting(std::string_view key, std::string& value, std::string* error) {
  trimInPlace(value);
  std::string problem = valueProblem(value);
  if (problem.empty()) {
    const Status status =
        platform::writeProfileString(m_path, kSettingsSection, key, *platform::utf8ToCp932(value));
    if (status) return true;
    problem = status.message();
  }
  if (error) *error = std::string(key) + ": " + problem;
  return false;
}

bool SettingsFile::saveSettings(SettingsRecord& record) {
  std::string problems;
  bool fileFailed = false;
  const auto write = [&](std::string_view key, std::string& value) {
    // Once the file itself refuses a write, the other keys would only repeat
    // the same reason; the text fields are still trimmed.
    if (fileFailed) {
      trimInPlace(value);
      return;
    }
    std::string error;
    if (writeSetting(key, value, &error)) return;
    problems += "\n" + error;
    fileFailed = valueProblem(value).empty();
  };
  std::string version = programVersionText();
  write("Version", version);
  write("Translator", record.Translator);
  for (const ByteSetting& setting : kByteSettings) {
    std::string number = std::to_string(record.*setting.field);
    write(setting.key, number);
  }
  write("HTMLBackGround", record.HTMLBackGround);
  if (problems.empty()) return true;
  m_messages.failure("設定ファイルに保存できなかった設定があります: " + m_path + problems);
  return false;
}

void SettingsFile::loadSettings(SettingsRecord& record) {
  record = readSettings(m_path);
  if (!exists()) {
    saveSettings(record);
    return;
  }
  const float running = programVersionNumber();
  if (running > record.Version) {
    m_messages.notice(kUpgradeMessage);
    saveSettings(record);
  } else if (running < record.Version) {
    m_messages.notice(kBackupMessage);
    const std::string backup = m_directoryPrefix + backupFileName(record.Version);
    if (const Status status = platform::copyFile(m_path, backup); !status) {
      m_messages.failure("設定ファイルのバックアップを作成できません: " + status.message());
    }
  }
}

}  // namespace morlavin::settings
