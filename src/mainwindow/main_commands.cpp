// Start-up, the translator launch and deleting the page a run wrote.
#include "mainwindow/main_commands.h"

#include <utility>

#include "platform/file_ops.h"
#include "platform/launcher.h"
#include "platform/program_dir.h"
#include "settings/flags.h"
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
                settings::SettingsRecord& settings, settings::SettingsMessages& messages) {
  StartUp result;
  result.directoryPrefix = platform::directoryPrefix(programDirectory);
  result.programDirectory = std::move(programDirectory);
  result.helpFile = result.directoryPrefix + "Morlavin.hlp";
  result.inputPath = joined(arguments);

  FailureWatch watch(messages);
  settings::SettingsFile file(result.directoryPrefix, watch);
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
  if (!settings::isOn(settings.QuitDeleteHTML) || lastOutputPath.empty()) return Status::ok();
  return deleteWrittenPage(lastOutputPath, written);
}

}  // namespace morlavin::mainwindow
