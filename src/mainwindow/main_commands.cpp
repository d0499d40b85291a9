// Start-up, the translator launch and deleting the page a run wrote.
#include "mainwindow/main_commands.h"

#include <utility>

#include "platform/file_ops.h"
#include "platform/launcher.h"
#include "platform/program_dir.h"
#include "settings/settings_file.h"

namespace morlavin::mainwindow {
namespace {

// Passes messages on and remembers whether a failure was among them.
class FailureWatch : public settings::SettingsMessages {
 public:
  explicit FailureWatch(settings::SettingsMessages& messages) : m_messages(messages) {}
  void notice(std::string_view text) override { m_messages.notice(text); }
  void failure(std::string_view text) override {
    m_failed = true;
    m_messages.failure(text);
  }
  bool failed() const { return m_failed; }

 private:
  settings::SettingsMessages& m_messages;
  bool m_failed = false;
};

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
  result.directoryPrefix = programDirectory.empty() ? "" : platform::directoryPrefix(programDirectory);
  result.programDirectory = std::move(programDirectory);
  result.settingsDirectory = locations.settingsDirectory;
  result.helpFile = locations.helpFile;
  result.readmeFile = locations.readmeFile;
  result.previewDirectory = locations.previewDirectory;
  result.inputPath = joined(arguments);

  if (result.programDirectory.empty()) messages.failure(kNoProgramDirectoryMessage);
  if (result.settingsDirectory.empty()) {
    messages.failure(kNoSettingsFolderMessage);
    settings = settings::defaultSettings();
    return result;
  }
  // The user's own folders appear as silently as a first settings file beside
  // the program does; one that cannot be made shows up as a failed save.
  if (!locations.settingsBesideProgram) (void)platform::createFolder(result.settingsDirectory);
  if (result.previewDirectory != result.programDirectory) {
    (void)platform::createFolder(result.previewDirectory);
  }

  FailureWatch watch(messages);
  settings::SettingsFile file(platform::directoryPrefix(result.settingsDirectory), watch);
  file.loadSettings(settings);
  // Loading creates a missing file already; when that failed the user has been
  // told, and a second attempt would only repeat the message.
  if (!file.exists() && !watch.failed()) (void)file.saveSettings(settings);
  return result;
}

std::optional<Status> launchTranslator(const settings::SettingsRecord& settings,
                                       platform::Launcher& launcher) {
  if (settings.Translator.empty()) return std::nullopt;
  return launcher.startProgram(settings.Translator, {"0"});
}

Status deleteWrittenPage(const std::string& path, const platform::FileIdentity& written) {
  return platform::removeFileIfUnchanged(path, written,
                                         "変換後に変更されたため、HTMLファイルを削除しませんでした: ");
}

Status deletePageOnExit(const settings::SettingsRecord& settings,
                        const std::string& lastOutputPath, const platform::FileIdentity& written) {
  if (settings.QuitDeleteHTML != 1 || lastOutputPath.empty()) return Status::ok();
  return deleteWrittenPage(lastOutputPath, written);
}

}  // namespace morlavin::mainwindow
