// What the main window's commands decide: starting the translation program,
// deleting the page a conversion wrote, and what happens to it at exit. The
// window shows the outcomes, so these run in tests without a display.
#pragma once

#include <string>

#include "platform/file_ops.h"
#include "platform/status.h"
#include "settings/settings_record.h"

namespace morlavin::platform {
class Launcher;
}

namespace morlavin::program {

// Starts the configured translation program with its one argument "0", never
// through a shell. Fails with kNotConfigured and the request to name one when
// no program is configured, else with the launcher's reason.
Status launchTranslator(const settings::SettingsRecord& settings, platform::Launcher& launcher);

// The delete button's outcome: the status line's text, whether the button
// stays for another try, and the failure to show, if any.
struct PageDeletion {
  std::string statusText;
  bool keepButton = false;
  Status failure;
};

// Deletes the page a conversion wrote at `path`, but only while it is still
// the file `written` describes: a page edited since, or another file at that
// name, stays, and the failure says why. A page that is gone already counts
// as deleted.
PageDeletion deleteWrittenPage(const std::string& path, const platform::FileIdentity& written);

// Deletes the page written last (as deleteWrittenPage) when `QuitDeleteHTML`
// asks for it. No page, or a page that is gone already, is no failure; a page
// that stays is.
Status deletePageOnExit(const settings::SettingsRecord& settings, const std::string& lastOutputPath,
                        const platform::FileIdentity& written);

}  // namespace morlavin::program
