// Loading and saving the settings record through the INI profile functions,
// key by key as the key table lists them.
#include "settings/settings_file.h"

#include <locale.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/ascii.h"
#include "platform/cp932.h"
#include "platform/file_ops.h"
#include "platform/profile_file.h"
#include "platform/texts.h"
#include "settings/setting_number.h"

namespace morlavin::settings {
namespace {

namespace texts = morlavin::texts::program;
constexpr std::string_view kBlanks = " \t";

void trimInPlace(std::string& text) { text = std::string(platform::trimmed(text, kBlanks)); }

std::string toFileBytes(std::string_view text) {
  const auto bytes = platform::utf8ToCp932(text);
  return bytes ? *bytes : std::string(text);
}

// Every key looked up in one walk of the file, as a run of single-key reads
// would find them.
SettingsRecord recordFrom(const platform::ProfileSnapshot& file) {
  std::vector<std::string> defaults;
  for (const SettingKey& key : kSettingKeys) defaults.push_back(toFileBytes(key.defaultText));
  std::vector<platform::ProfileLookup> lookups;
  for (std::size_t i = 0; i < std::size(kSettingKeys); ++i)
    lookups.push_back({kSettingKeys[i].name, defaults[i]});

  const std::vector<std::string> values =
      file.getAll(kSettingsSection, lookups, kLongestSettingText + 1);
  SettingsRecord record;
  for (std::size_t i = 0; i < std::size(kSettingKeys); ++i) {
    assignSetting(record, kSettingKeys[i], platform::cp932ToUtf8(values[i]));
  }
  return record;
}

// Why `value` cannot be stored in a one-line Shift-JIS file; empty if it can.
std::string_view valueProblem(const std::string& value) {
  if (value.find_first_of("\r\n") != std::string::npos) return texts::kValueHasLineBreak;
  if (!platform::utf8ToCp932(value)) return texts::kValueNotShiftJis;
  return {};
}

}  // namespace

std::optional<std::string> backupFileName(float version) {
  const float hundredfold = version * 100.0f;
  if (!std::isfinite(hundredfold)) return std::nullopt;
  // Seven significant digits and their exponent ("-1.234568e+07"), written
  // out in full without trailing zeros after a point. printf in the C locale
  // rounds the exact value as to_chars would; to_chars for a float would
  // bring in the maths library, one more to load at every start.
  const locale_t userLocale = ::uselocale(cNumbers());
  char scientific[32];
  const int length =
      std::snprintf(scientific, sizeof scientific, "%.6e", static_cast<double>(hundredfold));
  ::uselocale(userLocale);
  const std::string_view text(scientific, static_cast<std::size_t>(length));
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

Result<SettingsRecord> readSettings(const std::string& path) {
  const auto file = platform::ProfileSnapshot::read(path);
  if (!file.ok()) return file.status();
  return recordFrom(*file);
}

SettingsFile::SettingsFile(std::string directoryPrefix, SettingsMessages& messages)
    : m_directoryPrefix(std::move(directoryPrefix)),
      m_path(m_directoryPrefix + std::string(kSettingsFileName)),
      m_messages(messages) {}

bool SettingsFile::exists() const { return platform::exists(m_path); }

Status SettingsFile::saveSettings(SettingsRecord& record) {
  for (const SettingKey& key : kSettingKeys) {
    if (key.text) trimInPlace(record.*key.text);
  }
  // Values the file cannot hold are left out, so that the file keeps what it
  // had for them, and reported one by one.
  std::string problems;
  std::vector<std::string> values;
  std::vector<platform::ProfileEdit> edits;
  values.reserve(std::size(kSettingKeys));
  for (const SettingKey& key : kSettingKeys) {
    const std::string value = settingText(record, key);
    if (const std::string_view problem = valueProblem(value); !problem.empty()) {
      problems += "\n" + std::string(key.name) + ": " + std::string(problem);
      continue;
    }
    edits.push_back({key.name, values.emplace_back(*platform::utf8ToCp932(value))});
  }
  const std::string what = std::string(texts::kSettingsNotAllSaved) + m_path;
  // A file that cannot be replaced stored nothing: its reason is all there is
  // to say.
  if (const Status status = platform::writeProfileStrings(m_path, kSettingsSection, edits);
      !status.ok()) {
    return Status::error(status.code(), what + "\n" + status.message());
  }
  if (problems.empty()) return Status();
  return Status::error(StatusCode::kBadInput, what + problems);
}

void SettingsFile::loadSettings(SettingsRecord& record) {
  Status readStatus;
  {
    // The bytes are let go before an upgrade reads the file again.
    const auto file = platform::ProfileSnapshot::read(m_path);
    readStatus = file.status();
    record = file.ok() ? recordFrom(*file) : defaultSettings();
  }
  if (!readStatus.ok()) {
    // Nothing is known of what the file holds: neither an upgrade nor a save
    // may write over it.
    m_messages.failure(
        readStatus.rephrased(std::string(texts::kSettingsUnreadable) + m_path).message());
    return;
  }
  const float running = programVersionNumber();
  const bool missing = !exists();
  if (missing || running > record.Version) {
    if (!missing) m_messages.notice(texts::kUpgradeNotice);
    if (const Status saved = saveSettings(record); !saved.ok()) m_messages.failure(saved.message());
  } else if (running < record.Version) {
    m_messages.notice(texts::kBackupNotice);
    const auto backupName = backupFileName(record.Version);
    if (!backupName) {
      m_messages.failure(std::string(texts::kBackupFailed) + std::string(texts::kBackupUnnamed));
    } else if (const Status status = platform::copyFile(m_path, m_directoryPrefix + *backupName);
               !status.ok()) {
      m_messages.failure(std::string(texts::kBackupFailed) + status.message());
    }
  }
}

}  // namespace morlavin::settings
