// The version texts, from the version the build generates.
#include "settings/version.h"

#include "morlavin/version.h"

namespace morlavin::settings {

std::string versionText(int major, int minor) {
  std::string text = std::to_string(major) + ".";
  if (minor < 10) text += "0";
  return text + std::to_string(minor);
}

std::string programVersionText() { return versionText(kVersionMajor, kVersionMinor); }

float programVersionNumber() { return static_cast<float>(kVersionMajor + kVersionMinor / 100.0); }

}  // namespace morlavin::settings
