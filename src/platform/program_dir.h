// Where the program lives: every file that travels with it (settings, backup,
// help, read-me, preview page) is named by this directory's prefix.
#pragma once

#include <string>
#include <string_view>

namespace morlavin::platform {

// The directory that holds the running program file, without a trailing "/"
// except for the root. Empty if it cannot be determined.
std::string programDirectory();

// The directory followed by its separator: the prefix of every file beside
// the program. The root ends in its separator already and gets none.
std::string directoryPrefix(std::string_view directory);

}  // namespace morlavin::platform
