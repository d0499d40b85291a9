// The about box text, from the version information the build generates.
#include "mainwindow/about.h"

#include "morlavin/version.h"
#include "settings/settings_file.h"

namespace morlavin::mainwindow {

std::string aboutText(int major, int minor, std::string_view legalCopyright,
                      std::string_view author, std::string_view homePage) {
  std::string text = "Morlavin Ver " + settings::versionText(major, minor) + "\r\n";
  text.append(legalCopyright).append("(").append(author).append(")\r\n");
  text.append(homePage);
  return text;
}

std::string aboutText() {
  return aboutText(kVersionMajor, kVersionMinor, kLegalCopyright, kAuthor, kHomePage);
}

}  // namespace morlavin::mainwindow
