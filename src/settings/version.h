// The running program's version, as the settings file, the page's generator
// line, the about box and the batch converter show it.
#pragma once

#include <string>

namespace morlavin::settings {

// "major.minor" with the minor in at least two digits ("1.05").
std::string versionText(int major, int minor);
// This build's version as text ("1.62").
std::string programVersionText();
// This build's version as the single-precision number a settings file's
// version is compared with.
float programVersionNumber();

}  // namespace morlavin::settings
