// posix_spawn reports a program that cannot be executed as an error at once;
// a detached thread reaps each child so that none lingers as a zombie.
// xdg-open gives up within a few tenths of a second when it finds no handler,
// but one that found a handler may run as long as the browser it started:
// the opener is watched that long and no longer.
#include "platform/launcher.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <thread>

#include "platform/texts.h"

extern char** environ;

namespace morlavin::platform {
namespace {

// How long the opener may take to fail. Measured: xdg-open without a handler
// fails in 0.1 to 0.4 s; a browser it starts in the foreground is not waited for.
constexpr auto kOpenerFailureWait = std::chrono::milliseconds(1000);

// What a finished xdg-open says with its exit status (see xdg-open(1)).
Status openerOutcome(const std::string& document, int waitStatus) {
  if (WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0) return Status();
  const std::string what = texts::launching::cannotOpen(document);
  if (WIFSIGNALED(waitStatus)) {
    return Status::error(StatusCode::kIoError, what, texts::launching::openerKilled(WTERMSIG(waitStatus)));
  }
  const int code = WEXITSTATUS(waitStatus);
  const StatusCode kind = code == 2 || code == 3 ? StatusCode::kNotFound : StatusCode::kIoError;
  return Status::error(kind, what, texts::launching::openerFailed(code));
}

// Starts `program`; its process id, or why it could not be started.
Result<pid_t> spawn(const std::string& program, const std::vector<std::string>& arguments,
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
  if (rc != 0) return posixError(texts::launching::cannotStart(program), rc);
  return pid;
}

void reapLater(pid_t pid) {
  std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
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
  const std::string path = absolutePath(document, workingDirectory);
  const Result<pid_t> pid = spawn("xdg-open", {path}, workingDirectory, true);
  if (!pid.ok()) return pid.status();
  const auto deadline = std::chrono::steady_clock::now() + kOpenerFailureWait;
  do {
    int waitStatus = 0;
    const pid_t reaped = ::waitpid(*pid, &waitStatus, WNOHANG);
    if (reaped == *pid) return openerOutcome(path, waitStatus);
    if (reaped < 0 && errno != EINTR) return Status();  // reaped elsewhere: nothing to tell
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  } while (std::chrono::steady_clock::now() < deadline);
  // Still running: it found a handler, which now has the page.
  reapLater(*pid);
  return Status();
}

Status DesktopLauncher::startProgram(const std::string& program,
                                     const std::vector<std::string>& arguments) {
  // A name without a folder is looked up on PATH, as a desktop would.
  const bool searchPath = program.find('/') == std::string::npos;
  const Result<pid_t> pid = spawn(program, arguments, {}, searchPath);
  if (!pid.ok()) return pid.status();
  reapLater(*pid);
  return Status();
}

}  // namespace morlavin::platform
