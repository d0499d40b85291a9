// The settings file "Morlavin.ini" beside the program: single keys of its
// section "Setting", and the whole record loaded at start-up and saved by the
// preferences dialog, with the upgrade of older files and the backup of newer ones.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_record.h"

namespace morlavin::settings {

// How the settings file speaks to the user. The GUI shows message boxes; the
// tests record the calls.
class SettingsMessages {
 public:
  virtual ~SettingsMessages() = default;
  // An announcement with an OK button, no icon, and the program's name as title.
  virtual void notice(std::string_view text) = 0;
  // A failure the user must know about (a settings file that cannot be read,
  // settings that could not be stored).
  virtual void failure(std::string_view text) = 0;
};

inline constexpr std::string_view kSettingsFileName = "Morlavin.ini";
inline constexpr std::string_view kSettingsSection = "Setting";
inline constexpr std::string_view kUpgradeMessage =
    "バージョンアップのため、設定ファイルを更新します。";
inline constexpr std::string_view kBackupMessage =
    "バージョンが設定ファイルより古いので、バックアップを行います。";

// The running program's version: as text ("1.62") and as the single-precision
// number the version comparison uses.
std::string versionText(int major, int minor);
std::string programVersionText();
float programVersionNumber();

// The name of the backup of a settings file that says `version`: "Morlavin."
// and version × 100 in plain decimal digits, at most seven of them significant
// and never an exponent ("170", "162.5", "12345680"); nullopt when that is no
// finite number.
std::optional<std::string> backupFileName(float version);

// Reads the record from the INI file at `path` without changing anything on
// disk: each key by the rules of readSetting, missing keys giving defaults.
SettingsRecord readSettings(const std::string& path);

class SettingsFile {
 public:
  // `directoryPrefix` is the program directory followed by its separator.
  SettingsFile(std::string directoryPrefix, SettingsMessages& messages);

  const std::string& path() const { return m_path; }
  bool exists() const;

  // The text stored under `key`, or `defaultValue` when the file, the section
  // or the key is missing. At most 254 bytes of the stored value come back.
  std::string readSetting(std::string_view key, std::string_view defaultValue) const;

  // Trims blanks from `value` (the caller's variable too) and stores it under
  // `key`. Fails without touching the file when the value cannot be stored as
  // it is: a character Shift-JIS cannot hold, a line break, or a file that
  // cannot be read or written.
  [[nodiscard]] bool writeSetting(std::string_view key, std::string& value, std::string* error);

  // Fills every field, then brings the file into line with the running
  // version: creates a missing file, rewrites an older one after announcing it,
  // and copies a newer one to its backup after announcing it. A file that
  // exists but cannot be read (a folder, a FIFO, no permission) is reported
  // with the reason; every field takes its default and the file is left alone.
  void loadSettings(SettingsRecord& record);

  // Writes every field in file order, stamping the running version, and trims
  // the two text fields in the record. The file is read once and replaced
  // once. A value that cannot be stored keeps the file's old value while the
  // others are stored; a file that cannot be read or written is left as it
  // was. Reports what could not be stored; returns false if there was any.
  bool saveSettings(SettingsRecord& record);

 private:
  std::string m_directoryPrefix;
  std::string m_path;
  SettingsMessages& m_messages;
};

}  // namespace morlavin::settings
