// The live temporary files sit in fixed storage, so that a signal handler can
// walk them without allocating or locking.
#include "platform/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "platform/system_call.h"

namespace morlavin::platform {
namespace {

constexpr std::string_view kPrefix = ".morlavin-";
constexpr std::size_t kNameSize = 64;  // prefix, two numbers and a suffix fit

enum SlotState : int { kFree, kFilling, kLive };

struct Slot {
  std::atomic<int> state{kFree};
  int directory = -1;
  char name[kNameSize] = {};
};

// A writer holds one slot while its file exists; more writers at once than
// slots only cost the clean-up on a signal, not the writing.
Slot g_slots[32];

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads these");

void removeLiveFiles(int signal) {
  const int saved = errno;
  for (Slot& slot : g_slots) {
    if (slot.state.load(std::memory_order_acquire) == kLive) {
      ::unlinkat(slot.directory, slot.name, 0);
    }
  }
  // The handler was installed with SA_RESETHAND and SA_NODEFER: the default
  // action is back and takes effect at once, so the program ends as it would
  // have without the handler, with the same status for its parent.
  ::raise(signal);
  errno = saved;
}

// The pid in one of our temporary names, or 0 for any other name.
pid_t ownerOf(std::string_view name) {
  if (!name.starts_with(kPrefix) || !name.ends_with(".tmp")) return 0;
  name.remove_prefix(kPrefix.size());
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
  if (error != std::errc() || end == name.data() || *end != '-' || pid <= 0) return 0;
  return pid;
}

}  // namespace

std::string temporaryName(std::string_view suffix) {
  static std::atomic<unsigned> counter{0};
  std::string name(kPrefix);
  name += std::to_string(::getpid());
  name += '-';
  name += std::to_string(counter++);
  name += suffix;
  return name;
}

std::optional<int> rememberTemporaryFile(int directory, std::string_view name) {
  if (name.size() >= kNameSize) return std::nullopt;
  for (int i = 0; i < static_cast<int>(std::size(g_slots)); ++i) {
    Slot& slot = g_slots[i];
    int expected = kFree;
    if (!slot.state.compare_exchange_strong(expected, kFilling)) continue;
    slot.directory = directory;
    std::memcpy(slot.name, name.data(), name.size());
    slot.name[name.size()] = '\0';
    slot.state.store(kLive, std::memory_order_release);
    return i;
  }
  return std::nullopt;
}

void forgetTemporaryFile(std::optional<int> ticket) {
  if (ticket) g_slots[*ticket].state.store(kFree, std::memory_order_release);
}

void removeStaleTemporaryFiles(int directory) {
  const int listing = retryOnInterrupt(
      [&] { return ::openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
  if (listing < 0) return;  // a folder we may write but not read: nothing to find
  DIR* entries = ::fdopendir(listing);
  if (entries == nullptr) {
    ::close(listing);
    return;
  }
  const uid_t user = ::geteuid();
  while (const dirent* entry = ::readdir(entries)) {
    const pid_t pid = ownerOf(entry->d_name);
    if (pid == 0 || pid == ::getpid()) continue;
    // A pid that names no process cannot be writing; a live one may be ours
    // or another program's, and either way the file is not debris.
    if (::kill(pid, 0) == 0) continue;
    if (errno != ESRCH) continue;
    struct stat st {};
    if (::fstatat(listing, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISREG(st.st_mode) && st.st_uid == user) ::unlinkat(listing, entry->d_name, 0);
  }
  ::closedir(entries);
}

void removeTemporaryFilesOnSignals() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    // An ignored signal, or one the program handles itself, is left alone.
    if (::sigaction(signal, nullptr, &previous) != 0 || (previous.sa_flags & SA_SIGINFO) != 0 ||
        previous.sa_handler != SIG_DFL) {
      continue;
    }
    struct sigaction action {};
    action.sa_handler = removeLiveFiles;
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
  }
}

}  // namespace morlavin::platform
