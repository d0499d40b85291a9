// The program's own temporary files: names that say which process made them,
// removal when a signal ends the program, and removal of those a process left
// behind when it was killed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace morlavin::platform {

// A fresh name for a temporary file, short whatever the target's name:
// ".morlavin-PID-N" followed by `suffix`, N counting up within the process.
std::string temporaryName(std::string_view suffix = ".tmp");

// Marks the temporary file `name` in the folder open as `directory` for removal
// should a signal end the program. Returns a ticket for forgetTemporaryFile,
// or none when too many are live at once; such a file is left for
// removeStaleTemporaryFiles. `directory` must stay open until forgotten.
std::optional<int> rememberTemporaryFile(int directory, std::string_view name);
// The file is gone or in its place: a signal no longer removes it.
void forgetTemporaryFile(std::optional<int> ticket);

// Removes from the folder open as `directory` the temporary files (".tmp")
// that belong to the current user and were made by a process that no longer
// exists. Anything it cannot read or remove stays as it is.
void removeStaleTemporaryFiles(int directory);

// Makes SIGINT, SIGTERM and SIGHUP remove the live temporary files and then end
// the program as they would have. A signal that is ignored or already handled
// stays as it is.
void removeTemporaryFilesOnSignals();

}  // namespace morlavin::platform
