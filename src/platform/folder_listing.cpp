// Folder listings through readdir, which names each entry's type on most file
// systems, so that only links and unknown types cost a stat.
#include "platform/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "platform/system_call.h"
#include "platform/texts.h"

namespace morlavin::platform {

bool isFolder(const std::string& path) {
  struct stat st {};
  return retryOnInterrupt([&] { return ::stat(path.c_str(), &st); }) == 0 && S_ISDIR(st.st_mode);
}

Result<std::vector<FolderEntry>> listFolder(const std::string& path) {
  const std::string cannotOpen = texts::files::cannotOpenFolder(path);
  const int fd = retryOnInterrupt(
      [&] { return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC); });
  if (fd < 0) return Status::fromErrno(cannotOpen, errno);
  DIR* folder = ::fdopendir(fd);
  if (folder == nullptr) {
    const int error = errno;
    ::close(fd);
    return Status::fromErrno(cannotOpen, error);
  }
  std::vector<FolderEntry> entries;
  int error = 0;
  try {
    for (;;) {
      errno = 0;
      const dirent* entry = ::readdir(folder);
      if (entry == nullptr) {
        error = errno;
        break;
      }
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      unsigned char type = entry->d_type;
      struct stat st {};
      if (type == DT_UNKNOWN && ::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
      }
      if (type == DT_LNK && ::fstatat(fd, entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode)) continue;
      entries.push_back({std::string(name), type == DT_DIR});
    }
  } catch (const std::bad_alloc&) {
    error = ENOMEM;
  }
  ::closedir(folder);
  if (error != 0) return Status::fromErrno(texts::files::cannotReadFolder(path), error);
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

}  // namespace morlavin::platform
