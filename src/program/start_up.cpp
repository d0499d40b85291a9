// Start-up: locations, the command line and the settings file.
#include "program/start_up.h"

#include <utility>

#include "platform/program_dir.h"
#include "platform/texts.h"
#include "settings/settings_file.h"

namespace morlavin::program {
namespace {

std::string joined(const std::vector<std::string>& arguments) {
  std::string text;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) text += ' ';
    text += arguments[i];
  }
  return text;
}

}  // namespace

StartUp startUp(std::string programDirectory, const std::vector<std::string>& arguments,
                settings::SettingsRecord& settings, settings::SettingsMessages& messages,
                const platform::UserEnvironment& environment) {
  const platform::Locations locations = platform::locateFiles(programDirectory, environment);
  StartUp result;
  result.directoryPrefix =
      programDirectory.empty() ? "" : platform::directoryPrefix(programDirectory);
  result.programDirectory = std::move(programDirectory);
  result.settingsDirectory = locations.settingsDirectory;
  result.helpFile = locations.helpFile;
  result.readmeFile = locations.readmeFile;
  result.previewDirectory = locations.previewDirectory;
  result.inputPath = joined(arguments);

  if (result.programDirectory.empty()) messages.failure(texts::kNoProgramDirectory);
  const Result<std::string> prefix = settingsPrefix(result);
  if (!prefix.ok()) {
    messages.failure(prefix.status().message());
    settings = settings::defaultSettings();
    return result;
  }
  // The user's own folders appear as silently as a first settings file beside
  // the program does; one that cannot be made shows up as a failed save.
  if (!locations.settingsBesideProgram) (void)platform::createFolder(result.settingsDirectory);
  if (result.previewDirectory != result.programDirectory) {
    (void)platform::createFolder(result.previewDirectory);
  }
  // Loading creates a missing file and reports a failure to, once.
  settings::SettingsFile(*prefix, messages).loadSettings(settings);
  return result;
}

Result<std::string> settingsPrefix(const StartUp& start) {
  if (start.settingsDirectory.empty()) {
    return Status::error(StatusCode::kNotFound, std::string(texts::kNoSettingsFolder));
  }
  return platform::directoryPrefix(start.settingsDirectory);
}

}  // namespace morlavin::program
