// The colour preview page the preferences dialog writes and opens, and removes
// again when it closes.
#pragma once

#include <string>

#include "platform/status.h"
#include "settings/settings_record.h"

namespace morlavin::program {

// Where the preview page goes in `previewDirectory`.
std::string previewPath(const std::string& previewDirectory);

// Writes the preview page of `values` (see conversion::previewPage) to its
// path in `previewDirectory`, atomically. The failure tells the user that
// no preview could be made, and why.
Status writePreview(const std::string& previewDirectory, const settings::SettingsRecord& values);

// Removes the preview page, if there is one.
void removePreview(const std::string& previewDirectory);

}  // namespace morlavin::program
