// What a run of the program finds out once, before its window appears: where
// its files live, the file named on the command line, and the settings.
#pragma once

#include <string>
#include <vector>

#include "platform/locations.h"
#include "platform/status.h"
#include "settings/settings_record.h"

namespace morlavin::settings {
class SettingsMessages;
}

namespace morlavin::program {

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

// Prepares a run of the program kept in `programDirectory`: finds where its
// files live (see platform::locateFiles), creating the user's settings and
// preview folders when they are missing, takes the input path from
// `arguments` (the shell has split the command line, so they are joined again
// with single blanks) and loads `settings` from the settings file, creating
// the file when it is missing. Version notices and failures go to `messages`,
// each failure once. Without a settings folder `settings` gets the defaults.
StartUp startUp(
    std::string programDirectory, const std::vector<std::string>& arguments,
    settings::SettingsRecord& settings, settings::SettingsMessages& messages,
    const platform::UserEnvironment& environment = platform::UserEnvironment::current());

// What the settings file's folder is called with its separator, for
// settings::SettingsFile; kNotFound, telling the user that settings are not
// saved, when start-up found no folder for it.
Result<std::string> settingsPrefix(const StartUp& start);

}  // namespace morlavin::program
