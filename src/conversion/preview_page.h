// The colour preview: a five-line page with a sample text, in the colours and
// background image the preferences dialog shows before they are confirmed.
#pragma once

#include <string>
#include <string_view>

#include "settings/settings_record.h"

namespace morlavin::conversion {

inline constexpr std::string_view kPreviewFileName = "~mlvpre.htm";

// The preview page's bytes for the colour and background fields of `values`.
// Unlike a converted page, any CheckBackground other than 0 writes the image.
std::string previewPage(const settings::SettingsRecord& values);

}  // namespace morlavin::conversion
