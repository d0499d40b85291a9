// Where the program lives, which decides where its files are looked for (see
// locations.h), and how a folder is joined with a name.
#pragma once

#include <string>
#include <string_view>

namespace morlavin::platform {

// The directory that holds the running program file, without a trailing "/"
// except for the root. Empty if it cannot be determined.
std::string programDirectory();

// The directory followed by its separator, ready for a name. The root ends
// in its separator already and gets none.
std::string directoryPrefix(std::string_view directory);

}  // namespace morlavin::platform
