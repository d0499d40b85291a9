// posix_spawn reports a program that cannot be executed as an error at once;
// a detached thread reaps each child so that none lingers as a zombie.
#include "platform/launcher.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cerrno>
#include <climits>
#include <thread>

#include "platform/texts.h"

extern char** environ;

namespace morlavin::platform {
namespace {

Status spawn(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& workingDirectory, bool searchPath) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // The child gets a session of its own so that closing Morlavin's terminal
  // does not take the browser or the translator with it.
  // A caller that ignores SIGPIPE (to see EPIPE on its own output) must not
  // pass that on to programs that expect the default.
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = 0;
  const int rc = searchPath
                     ? posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ)
                     : posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return Status::fromErrno(texts::launching::cannotStart(program), rc);
  std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
  return Status::ok();
}

// `path` made absolute against `base`, itself taken against the current
// directory when it is relative or empty.
std::string absolutePath(const std::string& path, const std::string& base) {
  if (path.starts_with('/')) return path;
  std::string folder = base;
  if (!folder.starts_with('/')) {
    char buffer[PATH_MAX];
    // Without a current directory, "./" still keeps the path a path.
    const std::string current = ::getcwd(buffer, sizeof buffer) != nullptr ? buffer : ".";
    folder = folder.empty() ? current : current + "/" + folder;
  }
  if (!folder.ends_with('/')) folder += '/';
  return folder + path;
}

}  // namespace

Status DesktopLauncher::openDocument(const std::string& document,
                                     const std::string& workingDirectory) {
  // xdg-open takes "https:/x.htm" or "mailto:x?.htm" for a URL and "-x.htm"
  // for an option: a path starting with "/" is always a file.
  return spawn("xdg-open", {absolutePath(document, workingDirectory)}, workingDirectory, true);
}

Status DesktopLauncher::startProgram(const std::string& program,
                                     const std::vector<std::string>& arguments) {
  // A name without a folder is looked up on PATH, as a desktop would.
  const bool searchPath = program.find('/') == std::string::npos;
  return spawn(program, arguments, {}, searchPath);
}

}  // namespace morlavin::platform
