// What the main window decides without widgets: start-up, starting the
// translation program, and the page deleted at exit. The window only shows
// the outcomes, so these run in tests against a scratch program directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_ops.h"
#include "platform/locations.h"
#include "platform/status.h"
#include "settings/settings_record.h"

namespace morlavin::platform {
class Launcher;
}
namespace morlavin::settings {
class SettingsMessages;
}

namespace morlavin::mainwindow {

// What start-up finds out once for the whole run.
struct StartUp {
  std::string programDirectory;  // empty when it could not be found
  std::string directoryPrefix;   // the program directory followed by its separator
  // Holds the settings file and its backups; empty when no folder is known,
  // and then nothing is saved.
  std::string settingsDirectory;
  std::string helpFile;
  std::string readmeFile;
  std::string previewDirectory;
  std::string inputPath;  // for the file-name box
};

inline constexpr std::string_view kNoProgramDirectoryMessage =
    "プログラムのあるフォルダが見つかりません。ヘルプと ReadMe は開けません。";
inline constexpr std::string_view kNoSettingsFolderMessage =
    "設定ファイルを置くフォルダが見つかりません。設定は保存されません。";

// Prepares a run of the program kept in `programDirectory`: finds where its
// files live (see platform::locateFiles), creating the user's settings and
// preview folders when they are missing, takes the input path from
// `arguments` (the shell has split the command line, so they are joined again
// with single blanks) and loads `settings` from the settings file, creating
// the file when it is missing. Version notices and failures go to `messages`,
// each failure once: a file that could not be created is not tried a second time.
StartUp startUp(std::string programDirectory, const std::vector<std::string>& arguments,
                settings::SettingsRecord& settings, settings::SettingsMessages& messages,
                const platform::UserEnvironment& environment = platform::UserEnvironment::current());

// Starts the configured translation program with its one argument "0", never
// through a shell. nullopt when no program is configured; otherwise whether it
// could be started.
std::optional<Status> launchTranslator(const settings::SettingsRecord& settings,
                                       platform::Launcher& launcher);

// Deletes the page a conversion wrote at `path`, but only while it is still
// the file `written` describes: a page edited since, or another file at that
// name, stays, and the result says why. A page that is gone already counts as
// deleted.
Status deleteWrittenPage(const std::string& path, const platform::FileIdentity& written);

// Deletes the page written last (as deleteWrittenPage) when `QuitDeleteHTML`
// asks for it. No page, or a page that is gone already, is no failure; a page
// that stays is.
Status deletePageOnExit(const settings::SettingsRecord& settings,
                        const std::string& lastOutputPath, const platform::FileIdentity& written);

}  // namespace morlavin::mainwindow
