// The translator launch and deleting the page a run wrote.
#include "program/commands.h"

#include "platform/launcher.h"
#include "platform/texts.h"
#include "settings/flags.h"

namespace morlavin::program {
namespace {

Status removeIfUnchanged(const std::string& path, const platform::FileIdentity& written) {
  return platform::removeFileIfUnchanged(path, written, texts::kPageChanged);
}

}  // namespace

Status launchTranslator(const settings::SettingsRecord& settings, platform::Launcher& launcher) {
  if (settings.Translator.empty()) {
    return Status::error(StatusCode::kNotConfigured, std::string(texts::kNoTranslator));
  }
  return launcher.startProgram(settings.Translator, {"0"});
}

PageDeletion deleteWrittenPage(const std::string& path, const platform::FileIdentity& written) {
  Status status = removeIfUnchanged(path, written);
  if (status.ok()) return {std::string(texts::kPageDeleted), false, Status()};
  // The page is still there: the button stays for another try.
  return {std::string(texts::kPageNotDeleted), true, std::move(status)};
}

Status deletePageOnExit(const settings::SettingsRecord& settings, const std::string& lastOutputPath,
                        const platform::FileIdentity& written) {
  if (!settings::isOn(settings.QuitDeleteHTML) || lastOutputPath.empty()) return Status();
  return removeIfUnchanged(lastOutputPath, written);
}

}  // namespace morlavin::program
