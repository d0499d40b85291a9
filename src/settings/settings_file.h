// The settings file "Morlavin.ini" in the folder start-up chose for it (see
// platform::locateFiles): single keys of its section "Setting", and the whole
// record loaded at start-up and saved by the preferences dialog, with the
// upgrade of older files and the backup of newer ones.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "settings/settings_record.h"
#include "settings/version.h"

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

// The name of the backup of a settings file that says `version`: "Morlavin."
// and version × 100 in plain decimal digits, at most seven of them significant
// and never an exponent ("170", "162.5", "12345680"); nullopt when that is no
// finite number.
std::optional<std::string> backupFileName(float version);

// Reads the record from the INI file at `path` without changing anything on
// disk: a missing file or key gives the defaults, values longer than
// kLongestSettingText bytes are cut. Fails for a file that cannot be read.
Result<SettingsRecord> readSettings(const std::string& path);

class SettingsFile {
 public:
  // `directoryPrefix` is the program directory followed by its separator.
  SettingsFile(std::string directoryPrefix, SettingsMessages& messages);

  const std::string& path() const { return m_path; }
  bool exists() const;

  // Fills every field, then brings the file into line with the running
  // version: creates a missing file, rewrites an older one after announcing it,
  // and copies a newer one to its backup after announcing it. A file that
  // exists but cannot be read (a folder, a FIFO, no permission) is reported
  // with the reason; every field takes its default and the file is left alone.
  // A save that fails here is reported as saveSettings words it.
  void loadSettings(SettingsRecord& record);

  // Writes every field in file order, stamping the running version, and trims
  // the two text fields in the record. The file is read once and replaced
  // once. A value that cannot be stored keeps the file's old value while the
  // others are stored; a file that cannot be read or written is left as it
  // was. The failure names the file and, one per line, what could not be
  // stored (kBadInput), or why the file could not be written (its own code);
  // the caller shows it.
  [[nodiscard]] Status saveSettings(SettingsRecord& record);

 private:
  std::string m_directoryPrefix;
  std::string m_path;
  SettingsMessages& m_messages;
};

}  // namespace morlavin::settings
