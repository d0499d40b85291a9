// posix_spawn reports a program that cannot be executed as an error at once.
// xdg-open gives up within a few tenths of a second when it finds no handler,
// but one that found a handler may run as long as the browser it started:
// the opener is watched that long and no longer. A SIGCHLD handler writes to
// a pipe, which wakes that wait at once and tells an event loop when to
// collect the children that have ended since.
#include "platform/launcher.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>

#include "platform/system_call.h"
#include "platform/texts.h"

extern char** environ;

namespace morlavin::platform {
namespace {

// How long the opener may take to fail. Measured: xdg-open without a handler
// fails in 0.1 to 0.4 s; a browser it starts in the foreground is not waited for.
constexpr auto kOpenerFailureWait = std::chrono::milliseconds(1000);
// How long the wait sleeps at most between looks at the opener, for when
// another library has taken SIGCHLD over and the pipe stays silent.
constexpr auto kLookInterval = std::chrono::milliseconds(50);

// Written to by the signal handler, read by whoever collects children.
int g_childEnded[2] = {-1, -1};
struct sigaction g_previousHandler {};

void noteChildEnded(int signal, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  const char byte = 0;
  // A full pipe has said it already.
  (void)!::write(g_childEnded[1], &byte, 1);
  // A handler installed before this one still hears of its children.
  if ((g_previousHandler.sa_flags & SA_SIGINFO) != 0) {
    if (g_previousHandler.sa_sigaction != nullptr) {
      g_previousHandler.sa_sigaction(signal, info, context);
    }
  } else if (g_previousHandler.sa_handler != SIG_DFL && g_previousHandler.sa_handler != SIG_IGN) {
    g_previousHandler.sa_handler(signal);
  }
  errno = savedErrno;
}

void watchChildren() {
  [[maybe_unused]] static const bool watching = [] {
    if (::pipe2(g_childEnded, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_sigaction = noteChildEnded;
    // Stopped children are no news; restarting keeps reads and writes
    // elsewhere from failing with EINTR.
    action.sa_flags = SA_SIGINFO | SA_RESTART | SA_NOCLDSTOP;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGCHLD, &action, &g_previousHandler) == 0;
  }();
}

void drainChildEnded() {
  char bytes[64];
  while (::read(g_childEnded[0], bytes, sizeof bytes) > 0) {
  }
}

// waitpid without blocking: 0 while `pid` runs, `pid` once collected (its
// wait status in `waitStatus`), -1 when it is no child to collect any more.
pid_t collect(pid_t pid, int* waitStatus = nullptr) {
  return retryOnInterrupt([&] { return ::waitpid(pid, waitStatus, WNOHANG); });
}

// What a finished xdg-open says with its exit status (see xdg-open(1)).
Status openerOutcome(const std::string& document, int waitStatus) {
  if (WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0) return Status();
  const std::string what = texts::launching::cannotOpen(document);
  if (WIFSIGNALED(waitStatus)) {
    return Status::error(StatusCode::kIoError, what,
                         texts::launching::openerKilled(WTERMSIG(waitStatus)));
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
  const int rc =
      searchPath ? posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ)
                 : posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return posixError(texts::launching::cannotStart(program), rc);
  return pid;
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

DesktopLauncher::DesktopLauncher() { watchChildren(); }

int DesktopLauncher::childEndedFd() const { return g_childEnded[0]; }

void DesktopLauncher::reapFinished() {
  drainChildEnded();
  std::erase_if(m_running, [](pid_t pid) { return collect(pid) != 0; });
}

Status DesktopLauncher::openDocument(const std::string& document,
                                     const std::string& workingDirectory) {
  reapFinished();
  // xdg-open takes "https:/x.htm" or "mailto:x?.htm" for a URL and "-x.htm"
  // for an option: a path starting with "/" is always a file.
  const std::string path = absolutePath(document, workingDirectory);
  const Result<pid_t> pid = spawn("xdg-open", {path}, workingDirectory, true);
  if (!pid.ok()) return pid.status();
  const auto deadline = std::chrono::steady_clock::now() + kOpenerFailureWait;
  for (;;) {
    int waitStatus = 0;
    const pid_t reaped = collect(*pid, &waitStatus);
    if (reaped == *pid) return openerOutcome(path, waitStatus);
    if (reaped != 0) return Status();  // collected elsewhere: nothing to tell
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    // Other children that end meanwhile are collected too, as the pipe is read.
    pollfd ended{g_childEnded[0], POLLIN, 0};
    if (::poll(&ended, 1, static_cast<int>(std::min(left, kLookInterval).count())) > 0) {
      reapFinished();
    }
  }
  // Still running: it found a handler, which now has the page.
  m_running.push_back(*pid);
  return Status();
}

Status DesktopLauncher::startProgram(const std::string& program,
                                     const std::vector<std::string>& arguments) {
  reapFinished();
  // A name without a folder is looked up on PATH, as a desktop would.
  const bool searchPath = program.find('/') == std::string::npos;
  const Result<pid_t> pid = spawn(program, arguments, {}, searchPath);
  if (!pid.ok()) return pid.status();
  m_running.push_back(*pid);
  return Status();
}

}  // namespace morlavin::platform
