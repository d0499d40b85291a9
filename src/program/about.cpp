// The about text, from the version information the build generates.
#include "program/about.h"

#include "morlavin/version.h"
#include "platform/texts.h"
#include "settings/version.h"

namespace morlavin::program {

std::string aboutText(int major, int minor, std::string_view legalCopyright,
                      std::string_view author, std::string_view homePage) {
  std::string text =
      std::string(texts::kVersionPrefix) + settings::versionText(major, minor) + "\r\n";
  text.append(legalCopyright).append("(").append(author).append(")\r\n");
  text.append(homePage);
  return text;
}

std::string aboutText() {
  return aboutText(kVersionMajor, kVersionMinor, kLegalCopyright, kAuthor, kHomePage);
}

}  // namespace morlavin::program
