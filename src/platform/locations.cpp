// The one rule for where the settings file, help, read-me and preview page live.
#include "platform/locations.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/file_ops.h"
#include "platform/paths.h"
#include "platform/program_dir.h"
#include "platform/texts.h"

namespace morlavin::platform {

namespace {

std::string absoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

std::string join(const std::string& folder, const std::string& name) {
  return directoryPrefix(folder) + name;
}

// The user's folder of one kind: the variable when it is set, else the
// default below the home folder, else none.
std::string userFolder(const std::string& variable, const std::string& home,
                       const char* underHome) {
  if (!variable.empty()) return join(variable, "morlavin");
  if (!home.empty()) return join(join(home, underHome), "morlavin");
  return "";
}

}  // namespace

UserEnvironment UserEnvironment::current() {
  UserEnvironment environment;
  environment.home = absoluteVariable("HOME");
  if (environment.home.empty()) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/') {
      environment.home = found->pw_dir;
    }
  }
  environment.configHome = absoluteVariable("XDG_CONFIG_HOME");
  environment.runtimeDir = absoluteVariable("XDG_RUNTIME_DIR");
  environment.cacheHome = absoluteVariable("XDG_CACHE_HOME");
  return environment;
}

bool canWriteFolder(const std::string& folder) {
  return !folder.empty() && ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

Locations locateFiles(const std::string& programDirectory, const UserEnvironment& environment,
                      const std::function<bool(const std::string&)>& writable) {
  const auto absolute = [](const std::string& path) { return !path.empty() && path[0] == '/'; };
  const std::string home = absolute(environment.home) ? environment.home : "";
  const auto valid = [&](const std::string& path) { return absolute(path) ? path : std::string(); };
  Locations result;

  bool portable = false;
  bool settingsThere = false;
  if (!programDirectory.empty()) {
    const std::string shared =
        join(join(std::string(parentFolderOf(programDirectory)), "share"), "morlavin");
    const auto document = [&](const char* name) {
      const std::string beside = join(programDirectory, name);
      const std::string installed = join(shared, name);
      return !exists(beside) && exists(installed) ? installed : beside;
    };
    result.helpFile = document("Morlavin.hlp");
    result.readmeFile = document("Morlavin.txt");
    const bool systemInstall = result.helpFile != join(programDirectory, "Morlavin.hlp");
    portable = !systemInstall && writable(programDirectory);
    settingsThere = exists(join(programDirectory, "Morlavin.ini"));
  }

  result.settingsBesideProgram = settingsThere || portable;
  result.settingsDirectory = result.settingsBesideProgram
                                 ? programDirectory
                                 : userFolder(valid(environment.configHome), home, ".config");
  // Without a home folder, the program folder is the only place left; saving
  // there reports why it fails.
  if (result.settingsDirectory.empty() && !programDirectory.empty()) {
    result.settingsDirectory = programDirectory;
    result.settingsBesideProgram = true;
  }

  if (portable) {
    result.previewDirectory = programDirectory;
  } else if (!valid(environment.runtimeDir).empty()) {
    result.previewDirectory = join(environment.runtimeDir, "morlavin");
  } else {
    result.previewDirectory = userFolder(valid(environment.cacheHome), home, ".cache");
  }
  if (result.previewDirectory.empty()) result.previewDirectory = programDirectory;
  return result;
}

std::string pluginFolder(const std::string& programDirectory) {
  if (programDirectory.empty()) return "";
  const std::string parent = std::string(parentFolderOf(programDirectory));
  const bool systemInstall = !exists(join(programDirectory, "Morlavin.hlp")) &&
                             exists(join(join(join(parent, "share"), "morlavin"), "Morlavin.hlp"));
  return systemInstall ? join(parent, MORLAVIN_LIBRARY_FOLDER) : programDirectory;
}

Status createFolder(const std::string& folder) {
  if (folder.empty()) return posixError(std::string(texts::files::kCannotCreateFolder), ENOENT);
  std::string::size_type next = 1;
  while (true) {
    next = folder.find('/', next);
    const std::string part = folder.substr(0, next);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      return posixError(std::string(texts::files::kCannotCreateFolder) + ": " + part, errno);
    }
    if (next == std::string::npos) break;
    ++next;
  }
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return posixError(std::string(texts::files::kCannotCreateFolder) + ": " + folder, ENOTDIR);
  }
  return Status();
}

}  // namespace morlavin::platform
