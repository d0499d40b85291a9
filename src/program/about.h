// The about box's text: the version and legal notice the build generates.
#pragma once

#include <string>
#include <string_view>

namespace morlavin::program {

// "Morlavin Ver " with the version (minor in at least two digits), the legal
// notice directly followed by "(" author ")", and the home page, joined by CR LF.
std::string aboutText(int major, int minor, std::string_view legalCopyright,
                      std::string_view author, std::string_view homePage);

// The about text of this build.
std::string aboutText();

}  // namespace morlavin::program
