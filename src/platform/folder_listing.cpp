// Folder listings through readdir, which names each entry's type on most file
// systems, so that only an unknown type costs a stat.
#include "platform/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/system_call.h"
#include "platform/texts.h"

namespace morlavin::platform {
namespace {

Result<int> openFolderAt(int at, const std::string& name, int flags) {
  const int fd = retryOnInterrupt([&] {
    return ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC | flags);
  });
  if (fd < 0) return posixError(std::string(texts::files::kCannotOpenFolder), errno);
  return fd;
}

}  // namespace

bool isFolder(const std::string& path) {
  struct stat st {};
  return retryOnInterrupt([&] { return ::stat(path.c_str(), &st); }) == 0 && S_ISDIR(st.st_mode);
}

Result<int> openFolder(const std::string& path) { return openFolderAt(AT_FDCWD, path, 0); }

Result<int> openSubfolder(int parent, const std::string& name) {
  return openFolderAt(parent, name, O_NOFOLLOW);
}

Result<std::vector<FolderEntry>> listFolder(int folder) {
  const std::string cannotRead(texts::files::kCannotReadFolder);
  // readdir reads through a descriptor of its own, which closedir closes.
  const int listing = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
  DIR* entries = listing >= 0 ? ::fdopendir(listing) : nullptr;
  if (entries == nullptr) {
    const int error = errno;
    if (listing >= 0) ::close(listing);
    return posixError(cannotRead, error);
  }
  // The copy shares its position with the original: start from the top.
  ::rewinddir(entries);
  // Closed however the listing ends, also when memory runs out.
  const std::unique_ptr<DIR, int (*)(DIR*)> closing(entries, ::closedir);
  std::vector<FolderEntry> found;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(entries);
    if (entry == nullptr) {
      if (errno != 0) return posixError(cannotRead, errno);
      break;
    }
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    unsigned char type = entry->d_type;
    struct stat st {};
    if (type == DT_UNKNOWN && ::fstatat(folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
      type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (type == DT_DIR || type == DT_REG) found.push_back({std::string(name), type == DT_DIR});
  }
  std::sort(found.begin(), found.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return found;
}

}  // namespace morlavin::platform
