// Where the program lives: every file that travels with it (settings, backup,
// help, read-me, preview page) is named by this directory's prefix.
#pragma once

#include <string>
#include <string_view>

namespace morlavin::platform {

// The directory that holds the running program file, without a trailing "/"
// except for the root. Empty if it cannot be determined.
std::string programDirectory();

// The text placed between a directory and a file name: empty when the
// directory already ends in the separator (the root), else "/".
std::string pathSeparator(std::string_view directory);

// The directory followed by its separator: the prefix of every file beside the program.
std::string directoryPrefix(std::string_view directory);

}  // namespace morlavin::platform
