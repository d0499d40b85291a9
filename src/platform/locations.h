// Where a run keeps its files. A portable folder keeps everything beside the
// program; a system install (help and read-me in ../share/morlavin, as the
// package puts them) keeps each user's files in that user's own folders.
#pragma once

#include <functional>
#include <string>

#include "platform/status.h"

namespace morlavin::platform {

// The variables that name a user's folders. Relative values count as unset,
// as the XDG base-directory rules ask.
struct UserEnvironment {
  std::string home;        // HOME, else the home folder of the user's account
  std::string configHome;  // XDG_CONFIG_HOME
  std::string runtimeDir;  // XDG_RUNTIME_DIR
  std::string cacheHome;   // XDG_CACHE_HOME

  static UserEnvironment current();
};

struct Locations {
  // Holds Morlavin.ini and its backups. Empty only when neither the program
  // folder nor a home folder is known.
  std::string settingsDirectory;
  bool settingsBesideProgram = false;
  std::string helpFile;    // empty when the program folder is unknown
  std::string readmeFile;  // likewise
  // Where the preview page is written. Empty only when neither the program
  // folder nor a home folder is known.
  std::string previewDirectory;
};

// Whether the user may create files in `folder` (not only the permission
// bits: a read-only mount says no too).
bool canWriteFolder(const std::string& folder);

// The settings file lives beside the program when it is there already, or
// when the program folder is a writable portable folder; otherwise in
// $XDG_CONFIG_HOME/morlavin. Help and read-me are taken from beside the
// program, else from ../share/morlavin. The preview page goes beside a
// writable portable program, else into $XDG_RUNTIME_DIR/morlavin, else the
// cache folder; without a home folder, beside the program (where writing
// then reports why it fails). A writable system install (root, or a prefix in the home
// folder) never gets files beside its program. `programDirectory` is empty
// when it could not be found.
Locations locateFiles(const std::string& programDirectory, const UserEnvironment& environment,
                      const std::function<bool(const std::string&)>& writable = canWriteFolder);

// The folder below which Qt finds the program's own plugins: the program
// folder itself when the help is beside the program (a portable folder, the
// build), else lib/<multiarch>/morlavin beside share/ in a system install.
// Empty when the program folder is unknown.
std::string pluginFolder(const std::string& programDirectory);

// Creates `folder` with any missing parents, private to the user (0700) as
// the XDG rules ask. A folder that exists already is no failure.
Status createFolder(const std::string& folder);

}  // namespace morlavin::platform
