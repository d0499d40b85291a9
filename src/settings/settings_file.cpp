// Loading and saving the settings record through the INI profile functions.
#include "settings/settings_file.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "morlavin/version.h"
#include "platform/ascii.h"
#include "platform/cp932.h"
#include "platform/file_ops.h"
#include "platform/profile_file.h"
#include "settings/setting_number.h"

namespace morlavin::settings {
namespace {

constexpr std::size_t kReadBufferSize = 255;
constexpr std::string_view kBlanks = " \t";

void trimInPlace(std::string& text) { text = std::string(platform::trimmed(text, kBlanks)); }

std::string toFileBytes(std::string_view text) {
  const auto bytes = platform::utf8ToCp932(text);
  return bytes ? *bytes : std::string(text);
}

std::uint8_t byteValue(const std::string& text, const ByteSetting& setting) {
  std::optional<std::uint8_t> value = settingByte(text);
  // A hand-edited file may hold what no dialog writes: numbers outside a byte,
  // or colour positions past the list. Such a value gives the key's default.
  const bool isPosition = setting.field == &SettingsRecord::Bgcolor ||
                          setting.field == &SettingsRecord::Textcolor;
  if (value && isPosition && *value > kLastColorPosition) value.reset();
  return value.value_or(setting.defaultValue);
}

// Every key looked up in one walk of the file, as a run of single-key reads
// would find them.
SettingsRecord recordFrom(const platform::ProfileSnapshot& file) {
  std::vector<std::string> defaults{"1.00", ""};
  for (const ByteSetting& setting : kByteSettings) defaults.push_back(std::to_string(setting.defaultValue));
  defaults.emplace_back("");
  std::vector<platform::ProfileLookup> lookups{{"Version", defaults[0]}, {"Translator", defaults[1]}};
  for (std::size_t i = 0; i < kByteSettings.size(); ++i) {
    lookups.push_back({kByteSettings[i].key, defaults[2 + i]});
  }
  lookups.push_back({"HTMLBackGround", defaults.back()});

  std::vector<std::string> values = file.getAll(kSettingsSection, lookups, kReadBufferSize);
  for (std::string& value : values) value = platform::cp932ToUtf8(value);
  SettingsRecord record;
  // Beyond the largest float the version is an infinity, which names no backup.
  const double version = parseSettingNumber(values[0]);
  record.Version = std::abs(version) <= std::numeric_limits<float>::max()
                       ? static_cast<float>(version)
                       : (version > 0 ? 1.0f : -1.0f) * std::numeric_limits<float>::infinity();
  record.Translator = values[1];
  for (std::size_t i = 0; i < kByteSettings.size(); ++i) {
    record.*kByteSettings[i].field = byteValue(values[2 + i], kByteSettings[i]);
  }
  record.HTMLBackGround = values.back();
  return record;
}

// Why `value` cannot be stored in a one-line Shift-JIS file; empty if it can.
std::string valueProblem(const std::string& value) {
  if (value.find_first_of("\r\n") != std::string::npos) return "改行を含む値は保存できません";
  if (!platform::utf8ToCp932(value)) return "Shift-JISで表せない文字を含む値は保存できません";
  return {};
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

std::optional<std::string> backupFileName(float version) {
  const float hundredfold = version * 100.0f;
  if (!std::isfinite(hundredfold)) return std::nullopt;
  // Seven significant digits and their exponent ("-1.234568e+07"), written
  // out in full without trailing zeros after a point.
  char scientific[32];
  const auto end = std::to_chars(scientific, scientific + sizeof scientific, hundredfold,
                                 std::chars_format::scientific, 6).ptr;
  const std::string_view text(scientific, static_cast<std::size_t>(end - scientific));
  const std::size_t e = text.find('e');
  const std::string_view sign = text.substr(0, text.front() == '-' ? 1 : 0);
  std::string digits = std::string(text.substr(sign.size(), 1)) +
                       std::string(text.substr(sign.size() + 2, e - sign.size() - 2));
  const int exponent = std::stoi(std::string(text.substr(e + 1)));
  if (exponent < 0) {
    digits.insert(0, "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0'));
  } else if (static_cast<std::size_t>(exponent) + 1 < digits.size()) {
    digits.insert(static_cast<std::size_t>(exponent) + 1, ".");
  } else {
    digits.append(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
  }
  if (digits.find('.') != std::string::npos) {
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.back() == '.') digits.pop_back();
  }
  return "Morlavin." + std::string(sign) + digits;
}

SettingsRecord readSettings(const std::string& path) {
  const auto file = platform::ProfileSnapshot::read(path);
  return file ? recordFrom(*file) : defaultSettings();
}

SettingsFile::SettingsFile(std::string directoryPrefix, SettingsMessages& messages)
    : m_directoryPrefix(std::move(directoryPrefix)),
      m_path(m_directoryPrefix + std::string(kSettingsFileName)),
      m_messages(messages) {}

bool SettingsFile::exists() const { return platform::exists(m_path); }

std::string SettingsFile::readSetting(std::string_view key, std::string_view defaultValue) const {
  return platform::cp932ToUtf8(platform::readProfileString(
      m_path, kSettingsSection, key, toFileBytes(defaultValue), kReadBufferSize));
}

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
  trimInPlace(record.Translator);
  trimInPlace(record.HTMLBackGround);
  std::vector<std::pair<std::string_view, std::string>> values{
      {"Version", programVersionText()}, {"Translator", record.Translator}};
  for (const ByteSetting& setting : kByteSettings) {
    values.emplace_back(setting.key, std::to_string(record.*setting.field));
  }
  values.emplace_back("HTMLBackGround", record.HTMLBackGround);

  // Values the file cannot hold are left out, so that the file keeps what it
  // had for them, and reported one by one.
  std::string problems;
  std::vector<platform::ProfileEdit> edits;
  for (auto& [key, value] : values) {
    if (const std::string problem = valueProblem(value); !problem.empty()) {
      problems += "\n" + std::string(key) + ": " + problem;
      continue;
    }
    value = *platform::utf8ToCp932(value);
    edits.push_back({key, value});
  }
  // A file that cannot be replaced stored nothing: its reason is all there is
  // to say.
  if (const Status status = platform::writeProfileStrings(m_path, kSettingsSection, edits); !status) {
    problems = "\n" + status.message();
  }
  if (problems.empty()) return true;
  m_messages.failure("設定ファイルに保存できなかった設定があります: " + m_path + problems);
  return false;
}

void SettingsFile::loadSettings(SettingsRecord& record) {
  Status readStatus;
  {
    // The bytes are let go before an upgrade reads the file again.
    const auto file = platform::ProfileSnapshot::read(m_path);
    readStatus = file.status();
    record = file ? recordFrom(*file) : defaultSettings();
  }
  if (!readStatus) {
    // Nothing is known of what the file holds: neither an upgrade nor a save
    // may write over it.
    m_messages.failure(readStatus.rephrased("設定ファイルを読み込めません: " + m_path).message());
    return;
  }
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
    const auto backupName = backupFileName(record.Version);
    if (!backupName) {
      m_messages.failure(
          "設定ファイルのバックアップを作成できません: バージョンの数値が大きすぎて、"
          "バックアップの名前を決められません");
    } else if (const Status status = platform::copyFile(m_path, m_directoryPrefix + *backupName);
               !status) {
      m_messages.failure("設定ファイルのバックアップを作成できません: " + status.message());
    }
  }
}

}  // namespace morlavin::settings
